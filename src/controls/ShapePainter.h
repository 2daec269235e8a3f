#pragma once

#include "ShapeGeometry.h"

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>

class QPainter;

// Paints the shape control's figure in four steps (shadow, surface, outline) with the drawing
// rules of a classic device context: a box includes its left and top edges and excludes its right
// and bottom ones, an outlined figure covers its whole box, a figure without a pen is one pixel
// smaller to the right and bottom, patterns and stipples are anchored at the surface's origin.
namespace ShapePainter {

// Everything the painting needs, with the colours already resolved to RGB.
struct Look {
    ShapeControl::TGPShapeType shape = ShapeControl::gstRectangle;
    ShapeControl::TShadowOrient shadowOrient = ShapeControl::soNone;
    ShapeControl::TShadowFill shadowFill = ShapeControl::sfSolid;
    ShapeControl::TSurfaceType surfaceType = ShapeControl::stBrushOpaque;
    ShapeControl::TFillDirection fillDirection = ShapeControl::gdUp;
    ShapeControl::TPenStyle outlineStyle = ShapeControl::psSolid;
    ShapeControl::TBrushStyle pattern = ShapeControl::bsClear;
    QRgb backColor = qRgb(255, 255, 255);
    QRgb foreColor = qRgb(0, 0, 0);
    QRgb gradientToColor = qRgb(0, 0, 0);
    QRgb outlineColor = qRgb(0, 0, 0);
    QRgb shadowColor = qRgb(0, 0, 0);
    int outlineWidth = 1;
    int roundPerc = 25;
    int shadowDepth = 5;
    int vectors = 10;
    int startingAngle = 90;
    int inVectorPercent = 50;
    QImage image;
};

// One figure on a box: drawn with the painter's current pen and brush, or used as a clip region.
class Figure {
public:
    enum Kind { Rectangle, RoundRect, Ellipse, Polygon };

    static Figure build(const Look &look, const ShapeGeometry::Box &box, QSize controlSize);

    Kind kind() const { return m_kind; }
    const QPolygon &points() const { return m_points; }
    Figure translated(int dx, int dy) const;
    void draw(QPainter &painter) const;
    QRegion region() const;

private:
    Kind m_kind = Rectangle;
    ShapeGeometry::Box m_box;
    int m_diameter = 0;
    QPolygon m_points;
};

void paintShape(QPainter &painter, const Look &look, QSize controlSize, QPoint surfaceOrigin);

// ANDs the colour into the existing pixels where the stipple mask has a 1 bit; the mask is
// anchored at surfaceOrigin (in the painter's coordinates).
void stipple(QPainter &painter, const QRect &area, QRgb color, ShapeGeometry::Stipple mask, QPoint surfaceOrigin);

// The 256 gradient bands over the whole control.
void fillGradient(QPainter &painter, QSize controlSize, QRgb backColor, QRgb gradientToColor,
                  ShapeControl::TFillDirection direction);

} // namespace ShapePainter
