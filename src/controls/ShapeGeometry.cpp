#include "ShapeGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ShapeGeometry {

int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const qint64 product = qint64(a) * b;
    const qint64 divisor = std::llabs(qint64(c));
    const qint64 magnitude = (std::llabs(product) * 2 + divisor) / (2 * divisor);
    const bool negative = (product < 0) != (c < 0);
    return int(negative ? -magnitude : magnitude);
}

FigureBoxes figureBoxes(int width, int height, int outlineWidth, int shadowDepth, ShapeControl::TShadowOrient orient,
                        ShapeControl::TGPShapeType shape) {
    const int o = outlineWidth / 2;
    const int w = width - outlineWidth + 1;
    const int h = height - outlineWidth + 1;
    const int d = shadowDepth;

    FigureBoxes boxes;
    boxes.figure = {o, o, w, h};
    if (orient == ShapeControl::soNone) return boxes;
    boxes.hasShadow = true;

    // The diamond's shadow falls only sideways: its points touch the top and bottom edges.
    if (shape == ShapeControl::gstDiamond) {
        const bool right = orient == ShapeControl::soLowerRight || orient == ShapeControl::soUpperRight;
        boxes.figure = right ? Box{o, o, w - d, h} : Box{o + d, o, w, h};
        boxes.shadow = right ? Box{o + d, o, w, h} : Box{o, o, w - d, h};
        return boxes;
    }

    switch (orient) {
    case ShapeControl::soLowerRight:
        boxes.figure = {o, o, w - d, h - d};
        boxes.shadow = {o + d, o + d, w, h};
        break;
    case ShapeControl::soUpperRight:
        boxes.figure = {o, o + d, w - d, h};
        boxes.shadow = {o + d, o, w, h - d};
        break;
    case ShapeControl::soUpperLeft:
        boxes.figure = {o + d, o + d, w, h};
        boxes.shadow = {o, o, w - d, h - d};
        break;
    case ShapeControl::soLowerLeft:
        boxes.figure = {o + d, o, w, h - d};
        boxes.shadow = {o, o + d, w - d, h};
        break;
    case ShapeControl::soNone:
        break;
    }
    return boxes;
}

int roundDiameter(int width, int height, int roundPerc) {
    return int(std::trunc(double(std::max(width, height)) * roundPerc / 100.0));
}

QPolygon starPoints(const Box &box, int vectors, int startingAngle, int inVectorPercent) {
    const int w = box.width();
    const int h = box.height();
    const int radius = std::min(w / 2, h / 2) - 4;
    const double cx = box.left + w / 2;
    const double cy = box.top + h / 2;
    const double pi = std::acos(-1.0);

    QPolygon points;
    points.reserve(vectors);
    for (int m = 0; m < vectors; ++m) {
        const double degrees = 360.0 / vectors * m - startingAngle;
        const double radians = degrees * (pi / 180.0);
        const double distance = (m % 2 == 0) ? radius : radius * (100 - inVectorPercent) / 100.0;
        // std::nearbyint rounds halves to the even neighbour in the default rounding mode.
        points << QPoint(int(std::nearbyint(cx + std::cos(radians) * distance)),
                         int(std::nearbyint(cy + std::sin(radians) * distance)));
    }
    return points;
}

QPolygon outlinePoints(ShapeControl::TGPShapeType shape, const Box &box) {
    const int L = box.left;
    const int T = box.top;
    const int Rt = box.right;
    const int B = box.bottom;
    const int w = box.width();
    const int h = box.height();

    QPolygon p;
    switch (shape) {
    case ShapeControl::gstDiamond:
        p << QPoint(L + w / 2, T) << QPoint(L + w - 1, T + h / 2) << QPoint(L + w / 2, T + h - 1)
          << QPoint(L, T + h / 2);
        break;
    case ShapeControl::gstTriangleLeft:
        p << QPoint(L + w - 1, T) << QPoint(L + w - 1, T + h - 1) << QPoint(L, T + h / 2);
        break;
    case ShapeControl::gstTriangleRight:
        p << QPoint(L, T) << QPoint(L + w - 1, T + h / 2) << QPoint(L, T + h - 1);
        break;
    case ShapeControl::gstTriangleUp:
        p << QPoint(L + w / 2, T) << QPoint(L, T + h - 1) << QPoint(L + w - 1, T + h - 1);
        break;
    case ShapeControl::gstTriangleDown:
        p << QPoint(L, T) << QPoint(L + w / 2, T + h - 1) << QPoint(L + w - 1, T);
        break;
    // Arrows: the head is as long as the figure is thick, the shaft half as thick.
    case ShapeControl::gstArrowLeft:
        p << QPoint(L + h, T) << QPoint(L, T + h / 2) << QPoint(L + h, T + h - 1) << QPoint(L + h, B - h / 4)
          << QPoint(L + w - 1, B - h / 4) << QPoint(L + w - 1, T + h / 4) << QPoint(L + h, T + h / 4);
        break;
    case ShapeControl::gstArrowRight:
        p << QPoint(Rt - h, T) << QPoint(L + w - 1, T + h / 2) << QPoint(Rt - h, T + h - 1) << QPoint(Rt - h, B - h / 4)
          << QPoint(L, B - h / 4) << QPoint(L, T + h / 4) << QPoint(Rt - h, T + h / 4);
        break;
    case ShapeControl::gstArrowUp:
        p << QPoint(L + w / 2, T) << QPoint(L, T + w) << QPoint(L + w / 4, T + w) << QPoint(L + w / 4, T + h - 1)
          << QPoint(Rt - w / 4, T + h - 1) << QPoint(L + w - w / 4, T + w) << QPoint(L + w - 1, T + w);
        break;
    case ShapeControl::gstArrowDown:
        p << QPoint(L, T + h - w) << QPoint(L + w / 2, T + h - 1) << QPoint(L + w - 1, T + h - w)
          << QPoint(L + w - w / 4, T + h - w) << QPoint(L + w - w / 4, T) << QPoint(L + w / 4, T)
          << QPoint(L + w / 4, T + h - w);
        break;
    default:
        break;
    }
    return p;
}

QVector<QPoint> outlinePixels(const QPolygon &points) {
    QVector<QPoint> pixels;
    const int n = points.size();
    for (int i = 0; i < n; ++i) {
        const QPoint from = points[i];
        const QPoint to = points[(i + 1) % n];
        const int dx = std::abs(to.x() - from.x());
        const int dy = -std::abs(to.y() - from.y());
        const int sx = from.x() < to.x() ? 1 : -1;
        const int sy = from.y() < to.y() ? 1 : -1;
        int error = dx + dy;
        int x = from.x();
        int y = from.y();
        while (x != to.x() || y != to.y()) {
            pixels << QPoint(x, y);
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x += sx;
            }
            if (twice <= dx) {
                error += dx;
                y += sy;
            }
        }
    }
    if (pixels.isEmpty() && n > 0) pixels << points[0];
    return pixels;
}

QRgb gradientBandColor(int band, QRgb first, QRgb last) {
    auto channel = [band](int a, int z) { return a + mulDiv(band, z - a, 255); };
    return qRgb(channel(qRed(first), qRed(last)), channel(qGreen(first), qGreen(last)),
                channel(qBlue(first), qBlue(last)));
}

Span gradientBandSpan(int band, int length) {
    return {mulDiv(band, length, 256), mulDiv(band + 1, length, 256)};
}

bool stippleBit(Stipple stipple, int x, int y) {
    static const unsigned char half[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    static const unsigned char quarter[8] = {0xAA, 0x00, 0xAA, 0x00, 0xAA, 0x00, 0xAA, 0x00};
    const unsigned char *rows = stipple == Stipple::Percent50 ? half : quarter;
    const int row = ((y % 8) + 8) % 8;
    const int column = ((x % 8) + 8) % 8;
    return (rows[row] & (0x80 >> column)) != 0;
}

} // namespace ShapeGeometry
