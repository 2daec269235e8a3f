#include "ShapePainter.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <utility>

using ShapeGeometry::Box;

namespace ShapePainter {

namespace {

QPen outlinePen(const Look &look) {
    if (look.outlineStyle == ShapeControl::psClear) return QPen(Qt::NoPen);
    const int width = std::max(0, look.outlineWidth);
    // Wide outlines have round ends and joins, as geometric pens do by default.
    QPen pen(QColor(look.outlineColor), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    // Dashes and dots exist only for thin outlines; a wider outline is drawn solid.
    if (width <= 1) {
        switch (look.outlineStyle) {
        case ShapeControl::psDash:
            pen.setDashPattern({18, 6});
            break;
        case ShapeControl::psDot:
            pen.setDashPattern({3, 3});
            break;
        case ShapeControl::psDashDot:
            pen.setDashPattern({9, 6, 3, 6});
            break;
        case ShapeControl::psDashDotDot:
            pen.setDashPattern({9, 3, 3, 3, 3, 3});
            break;
        default:
            break;
        }
    }
    return pen;
}

QBrush patternBrush(QRgb color, ShapeControl::TBrushStyle style) {
    switch (style) {
    case ShapeControl::bsSolid:
        return QBrush(QColor(color), Qt::SolidPattern);
    case ShapeControl::bsHorizontal:
        return QBrush(QColor(color), Qt::HorPattern);
    case ShapeControl::bsVertical:
        return QBrush(QColor(color), Qt::VerPattern);
    case ShapeControl::bsFDiagonal:
        return QBrush(QColor(color), Qt::FDiagPattern);
    case ShapeControl::bsBDiagonal:
        return QBrush(QColor(color), Qt::BDiagPattern);
    case ShapeControl::bsCross:
        return QBrush(QColor(color), Qt::CrossPattern);
    case ShapeControl::bsDiagCross:
        return QBrush(QColor(color), Qt::DiagCrossPattern);
    case ShapeControl::bsClear:
        break;
    }
    return QBrush(Qt::NoBrush);
}

QRect pixelsOf(const Box &box) {
    return QRect(box.left, box.top, box.width(), box.height());
}

// Boxes given right-to-left or bottom-to-top are drawn as their mirror image.
Box normalized(Box box) {
    if (box.right < box.left) std::swap(box.left, box.right);
    if (box.bottom < box.top) std::swap(box.top, box.bottom);
    return box;
}

// Polygon corners are pixel centres: the fill takes the pixels whose centres lie inside, and a
// thin outline is the run of pixels from corner to corner, corners included. Qt's own thin
// polygon outline leaves out the lowest and rightmost corners.
void drawPolygon(QPainter &painter, const QPolygon &points) {
    const QPolygonF centred = QPolygonF(points).translated(0.5, 0.5);
    const QPen pen = painter.pen();
    if (pen.style() == Qt::NoPen || pen.width() > 1) {
        painter.drawPolygon(centred, Qt::WindingFill);
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(centred, Qt::WindingFill);

    const QVector<QPoint> pixels = ShapeGeometry::outlinePixels(points);
    QVector<QPoint> lit;
    const QVector<qreal> dashes = pen.style() == Qt::SolidLine ? QVector<qreal>() : pen.dashPattern();
    int period = 0;
    for (qreal length : dashes)
        period += int(length);
    for (int i = 0; i < pixels.size(); ++i) {
        bool on = true;
        if (period > 0) {
            int position = i % period;
            for (int d = 0; d < dashes.size(); ++d) {
                position -= int(dashes[d]);
                if (position < 0) {
                    on = d % 2 == 0;
                    break;
                }
            }
        }
        if (on) lit << pixels[i];
    }
    painter.setPen(QPen(pen.color(), 1));
    painter.drawPoints(lit.constData(), int(lit.size()));
    painter.setPen(pen);
}

void tileImage(QPainter &painter, const QImage &image, QSize controlSize) {
    for (int y = 0; y < controlSize.height(); y += image.height())
        for (int x = 0; x < controlSize.width(); x += image.width())
            painter.drawImage(QPoint(x, y), image);
}

void paintShadow(QPainter &painter, const Look &look, const Figure &shadow, const Box &shadowBox,
                 QPoint surfaceOrigin) {
    if (look.shadowFill == ShapeControl::sfSolid) {
        painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(QColor(look.shadowColor));
        shadow.draw(painter);
        return;
    }
    const auto mask = look.shadowFill == ShapeControl::sf50Percent ? ShapeGeometry::Stipple::Percent50
                                                                   : ShapeGeometry::Stipple::Percent25;
    painter.save();
    if (shadow.kind() != Figure::Rectangle) painter.setClipRegion(shadow.region(), Qt::IntersectClip);
    stipple(painter, pixelsOf(shadowBox), look.shadowColor, mask, surfaceOrigin);
    painter.restore();
}

void paintSurface(QPainter &painter, const Look &look, const Figure &figure, const Box &figureBox, QSize controlSize,
                  QPoint surfaceOrigin) {
    switch (look.surfaceType) {
    case ShapeControl::stBrushTransparent:
        painter.setPen(outlinePen(look));
        painter.setBrush(patternBrush(look.foreColor, look.pattern));
        figure.draw(painter);
        return;
    case ShapeControl::stBrushOpaque:
        painter.setPen(outlinePen(look));
        painter.setBrush(QColor(look.backColor));
        figure.draw(painter);
        painter.setBrush(patternBrush(look.foreColor, look.pattern));
        figure.draw(painter);
        return;
    default:
        break;
    }

    painter.save();
    painter.setClipRegion(figure.region(), Qt::IntersectClip);
    switch (look.surfaceType) {
    case ShapeControl::stBrushImage:
        if (look.image.width() >= 1 && look.image.height() >= 1) tileImage(painter, look.image, controlSize);
        break;
    case ShapeControl::stGradientFill:
        fillGradient(painter, controlSize, look.backColor, look.gradientToColor, look.fillDirection);
        break;
    case ShapeControl::stBrush50PercentOpaque:
        stipple(painter, pixelsOf(figureBox), look.backColor, ShapeGeometry::Stipple::Percent50, surfaceOrigin);
        break;
    case ShapeControl::stBrush25PercentOpaque:
        stipple(painter, pixelsOf(figureBox), look.backColor, ShapeGeometry::Stipple::Percent25, surfaceOrigin);
        break;
    default:
        break;
    }
    painter.restore();
}

} // namespace

Figure Figure::build(const Look &look, const Box &box, QSize controlSize) {
    Figure figure;
    figure.m_box = box;
    switch (look.shape) {
    case ShapeControl::gstRectangle:
    case ShapeControl::gstSquare:
        figure.m_kind = Rectangle;
        break;
    case ShapeControl::gstRoundRect:
    case ShapeControl::gstRoundSquare:
        figure.m_kind = RoundRect;
        figure.m_diameter = ShapeGeometry::roundDiameter(controlSize.width(), controlSize.height(), look.roundPerc);
        break;
    case ShapeControl::gstEllipse:
    case ShapeControl::gstCircle:
        figure.m_kind = Ellipse;
        break;
    case ShapeControl::gstStar:
    case ShapeControl::gstPolyGon:
        figure.m_kind = Polygon;
        figure.m_points = ShapeGeometry::starPoints(box, look.vectors, look.startingAngle, look.inVectorPercent);
        break;
    default:
        figure.m_kind = Polygon;
        figure.m_points = ShapeGeometry::outlinePoints(look.shape, box);
        break;
    }
    return figure;
}

Figure Figure::translated(int dx, int dy) const {
    Figure moved = *this;
    moved.m_box = m_box.translated(dx, dy);
    moved.m_points.translate(dx, dy);
    return moved;
}

void Figure::draw(QPainter &painter) const {
    if (m_kind == Polygon) {
        drawPolygon(painter, m_points);
        return;
    }
    const Box box = normalized(m_box);
    if (box.width() < 1 || box.height() < 1) return;
    // Qt outlines a rectangle of width n over n + 1 pixels and fills it over n without a pen:
    // exactly the box with a pen and one pixel less without.
    const QRect rect(box.left, box.top, box.width() - 1, box.height() - 1);
    switch (m_kind) {
    case Rectangle:
        painter.drawRect(rect);
        break;
    case RoundRect:
        painter.drawRoundedRect(rect, m_diameter / 2.0, m_diameter / 2.0);
        break;
    case Ellipse:
        painter.drawEllipse(rect);
        break;
    case Polygon:
        break;
    }
}

QRegion Figure::region() const {
    if (m_kind == Polygon) return QRegion(m_points, Qt::WindingFill);
    const QRect rect = pixelsOf(normalized(m_box));
    switch (m_kind) {
    case Rectangle:
        return QRegion(rect);
    case Ellipse:
        return QRegion(rect, QRegion::Ellipse);
    case RoundRect: {
        QPainterPath path;
        path.addRoundedRect(QRectF(rect), m_diameter / 2.0, m_diameter / 2.0);
        return QRegion(path.toFillPolygon().toPolygon(), Qt::WindingFill);
    }
    case Polygon:
        break;
    }
    return QRegion();
}

void stipple(QPainter &painter, const QRect &area, QRgb color, ShapeGeometry::Stipple mask, QPoint surfaceOrigin) {
    const bool andable = painter.paintEngine() && painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    // Where the mask is 0 the texture is white (AND keeps the pixel) or, on a device without
    // raster operations, transparent; there the colour is simply laid over the 1 bits.
    const QRgb keep = andable ? qRgb(255, 255, 255) : qRgba(0, 0, 0, 0);
    QImage texture(8, 8, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            texture.setPixel(x, y, ShapeGeometry::stippleBit(mask, x, y) ? (color | 0xFF000000u) : keep);

    painter.save();
    if (andable) painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.setBrushOrigin(surfaceOrigin);
    painter.fillRect(area, QBrush(texture));
    painter.restore();
}

void fillGradient(QPainter &painter, QSize controlSize, QRgb backColor, QRgb gradientToColor,
                  ShapeControl::TFillDirection direction) {
    const bool backFirst = direction == ShapeControl::gdUp || direction == ShapeControl::gdLeft;
    const QRgb first = backFirst ? backColor : gradientToColor;
    const QRgb last = backFirst ? gradientToColor : backColor;
    const bool vertical = direction == ShapeControl::gdUp || direction == ShapeControl::gdDown;
    const int width = controlSize.width();
    const int height = controlSize.height();

    for (int band = 0; band < 256; ++band) {
        const auto span = ShapeGeometry::gradientBandSpan(band, vertical ? height : width);
        if (span.end <= span.begin) continue;
        const QRect area = vertical ? QRect(0, span.begin, width, span.end - span.begin)
                                    : QRect(span.begin, 0, span.end - span.begin, height);
        painter.fillRect(area, QColor(ShapeGeometry::gradientBandColor(band, first, last)));
    }
}

void paintShape(QPainter &painter, const Look &look, QSize controlSize, QPoint surfaceOrigin) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrushOrigin(surfaceOrigin);

    const auto boxes = ShapeGeometry::figureBoxes(controlSize.width(), controlSize.height(), look.outlineWidth,
                                                  look.shadowDepth, look.shadowOrient, look.shape);
    const Figure figure = Figure::build(look, boxes.figure, controlSize);

    if (boxes.hasShadow) {
        const Figure shadow =
            figure.translated(boxes.shadow.left - boxes.figure.left, boxes.shadow.top - boxes.figure.top);
        paintShadow(painter, look, shadow, boxes.shadow, surfaceOrigin);
    }
    paintSurface(painter, look, figure, boxes.figure, controlSize, surfaceOrigin);

    painter.setPen(outlinePen(look));
    painter.setBrush(Qt::NoBrush);
    figure.draw(painter);

    painter.restore();
}

} // namespace ShapePainter
