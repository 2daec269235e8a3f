#pragma once

#include "ShapeControl.h"

#include <QPolygon>
#include <QRgb>
#include <QVector>

// The geometry of the shape control in the canvas convention the drawing follows: a box is
// (left, top, right, bottom) with right and bottom just outside the figure, and integer halves and
// quarters truncate toward zero.
namespace ShapeGeometry {

struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    Box translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const Box &o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// a * b / c rounded to the nearest integer, halves away from zero; -1 when c is 0.
int mulDiv(int a, int b, int c);

// The figure box and, unless there is no shadow, the shadow box of a control of the given size.
struct FigureBoxes {
    Box figure;
    Box shadow;
    bool hasShadow = false;
};
FigureBoxes figureBoxes(int width, int height, int outlineWidth, int shadowDepth, ShapeControl::TShadowOrient orient,
                        ShapeControl::TGPShapeType shape);

// Corner diameter of the rounded kinds, from the control's size.
int roundDiameter(int width, int height, int roundPerc);

// The points of a star or a regular polygon inscribed in the box.
QPolygon starPoints(const Box &box, int vectors, int startingAngle, int inVectorPercent);

// The points of the diamond, triangle and arrow kinds (empty for the other kinds).
QPolygon outlinePoints(ShapeControl::TGPShapeType shape, const Box &box);

// The pixels of a one-pixel outline through the points, closed: every edge from its first point
// up to but not including its last, so each corner is drawn exactly once.
QVector<QPoint> outlinePixels(const QPolygon &points);

// Colour of gradient band i (0..255) going from first to last.
QRgb gradientBandColor(int band, QRgb first, QRgb last);
// Rows (vertical directions) or columns (horizontal ones) [begin, end) of band i over a length.
struct Span {
    int begin;
    int end;
};
Span gradientBandSpan(int band, int length);

// The 8 x 8 stipple masks, one byte per row, most significant bit leftmost.
enum class Stipple { Percent50, Percent25 };
bool stippleBit(Stipple stipple, int x, int y);

} // namespace ShapeGeometry
