// Renders the shape control's seventeen figures, its six surfaces and its shadows into one PNG:
//   kjks-shape-gallery [output.png]    (QT_QPA_PLATFORM=offscreen works without a display)
#include "ShapeControl.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QMetaEnum>
#include <QPainter>
#include <QWidget>

#include <cstdio>

namespace {

constexpr int CellWidth = 190;
constexpr int CellHeight = 130;
constexpr int ShapeWidth = 130;
constexpr int ShapeHeight = 90;
constexpr int Columns = 5;

template <typename Enum> QString enumName(Enum value) {
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(int(value)));
}

QImage tilePicture() {
    QImage tile(16, 16, QImage::Format_RGB32);
    QPainter p(&tile);
    p.fillRect(0, 0, 8, 8, QColor(0xE0, 0x40, 0x40));
    p.fillRect(8, 0, 8, 8, QColor(0xF0, 0xD0, 0x40));
    p.fillRect(0, 8, 8, 8, QColor(0x40, 0x90, 0xE0));
    p.fillRect(8, 8, 8, 8, QColor(0x50, 0xB0, 0x60));
    return tile;
}

class Sheet {
public:
    Sheet() {
        m_sheet.setAutoFillBackground(true);
        QPalette palette = m_sheet.palette();
        palette.setColor(QPalette::Window, QColor(0xF4, 0xF1, 0xE8));
        palette.setColor(QPalette::WindowText, QColor(0x20, 0x20, 0x20));
        m_sheet.setPalette(palette);
    }

    ShapeControl *add(const QString &caption, QSize size = QSize(ShapeWidth, ShapeHeight)) {
        const int column = m_count % Columns;
        const int row = m_count / Columns;
        ++m_count;
        const int x = column * CellWidth + (CellWidth - size.width()) / 2;
        const int y = m_top + row * CellHeight + 8;
        auto *shape = new ShapeControl(&m_sheet);
        shape->setGeometry(x, y, size.width(), size.height());
        auto *label = new QLabel(caption, &m_sheet);
        QFont font = label->font();
        font.setPointSize(7);
        label->setFont(font);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setGeometry(column * CellWidth, y + ShapeHeight + 2, CellWidth, 24);
        return shape;
    }

    void section(const QString &title) {
        if (m_count > 0) m_top += ((m_count + Columns - 1) / Columns) * CellHeight;
        m_count = 0;
        auto *label = new QLabel(title, &m_sheet);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        label->setGeometry(8, m_top + 4, Columns * CellWidth - 16, 20);
        m_top += 26;
    }

    QImage render() {
        const int rows = (m_count + Columns - 1) / Columns;
        m_sheet.resize(Columns * CellWidth, m_top + rows * CellHeight);
        QImage image(m_sheet.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        m_sheet.render(&image);
        return image;
    }

private:
    QWidget m_sheet;
    int m_top = 0;
    int m_count = 0;
};

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shape-gallery.png");

    const ShapeControl::TSurfaceType surfaces[] = {
        ShapeControl::stGradientFill,         ShapeControl::stBrushOpaque,      ShapeControl::stBrushImage,
        ShapeControl::stBrush50PercentOpaque, ShapeControl::stBrushTransparent, ShapeControl::stBrush25PercentOpaque};
    const ShapeControl::TShadowOrient orients[] = {ShapeControl::soLowerRight, ShapeControl::soUpperRight,
                                                   ShapeControl::soUpperLeft, ShapeControl::soLowerLeft};
    const ShapeControl::TFillDirection directions[] = {ShapeControl::gdUp, ShapeControl::gdDown, ShapeControl::gdLeft,
                                                       ShapeControl::gdRight};
    const QImage picture = tilePicture();

    auto dress = [&](ShapeControl *shape, ShapeControl::TSurfaceType surface, int index) {
        const bool stippled =
            surface == ShapeControl::stBrush50PercentOpaque || surface == ShapeControl::stBrush25PercentOpaque;
        shape->setSurfaceType(surface);
        // A stipple ANDs its colour into what lies below, so it needs a dark colour to show.
        shape->setBackColor(stippled ? QColor(0x20, 0x50, 0xB0) : QColor(0x9C, 0xC8, 0xF0));
        shape->setGradientToColor(QColor(0x1E, 0x3C, 0x8C));
        shape->setFillDirection(directions[index % 4]);
        shape->setForeColor(QColor(0xC0, 0x30, 0x30));
        shape->setPattern(surface == ShapeControl::stBrushTransparent ? ShapeControl::bsDiagCross
                                                                      : ShapeControl::bsHorizontal);
        shape->setImage(picture);
        shape->setOutlineColor(QColor(0x20, 0x20, 0x20));
        shape->setOutlineWidth(2);
    };

    Sheet sheet;
    sheet.section(QStringLiteral("Figures (surface and shadow vary from cell to cell)"));
    for (int kind = ShapeControl::gstRectangle; kind <= ShapeControl::gstArrowDown; ++kind) {
        const auto shape = ShapeControl::TGPShapeType(kind);
        const auto surface = surfaces[kind % 6];
        const auto orient = orients[kind % 4];
        // The vertical arrows put their head length (the width) along the height.
        const bool upright = shape == ShapeControl::gstArrowUp || shape == ShapeControl::gstArrowDown;
        ShapeControl *s = sheet.add(enumName(shape) + QStringLiteral("\n") + enumName(surface) + QStringLiteral(", ") +
                                        enumName(orient),
                                    upright ? QSize(56, ShapeHeight) : QSize(ShapeWidth, ShapeHeight));
        s->setShape(shape);
        dress(s, surface, kind);
        s->setShadowColor(QColor(0x70, 0x70, 0x70));
        s->setShadowDepth(6);
        s->setShadowOrient(orient);
    }

    sheet.section(QStringLiteral("Surfaces on a rounded rectangle"));
    for (int i = 0; i < 6; ++i) {
        const auto surface = ShapeControl::TSurfaceType(i);
        ShapeControl *s = sheet.add(enumName(surface));
        s->setShape(ShapeControl::gstRoundRect);
        dress(s, surface, i);
        s->setOutlineWidth(1);
    }

    sheet.section(QStringLiteral("Shadows on a star"));
    const ShapeControl::TShadowFill fills[] = {ShapeControl::sfSolid, ShapeControl::sf50Percent,
                                               ShapeControl::sf25Percent};
    for (int i = 0; i < 6; ++i) {
        const auto orient = orients[i % 4];
        const auto fill = i < 4 ? ShapeControl::sfSolid : fills[i - 3];
        ShapeControl *s = sheet.add(enumName(orient) + QStringLiteral(", ") + enumName(fill));
        s->setShape(ShapeControl::gstStar);
        dress(s, ShapeControl::stGradientFill, i);
        s->setShadowColor(QColor(0x50, 0x50, 0x90));
        s->setShadowDepth(8);
        s->setShadowFill(fill);
        s->setShadowOrient(orient);
    }

    const QImage image = sheet.render();
    if (!image.save(output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("wrote %s (%d x %d)\n", qPrintable(output), image.width(), image.height());
    return 0;
}
