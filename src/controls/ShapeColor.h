#pragma once

#include <QColor>
#include <QMetaType>
#include <QPalette>

// A colour of the shape control: either a fixed RGB value or a system colour (a palette role)
// that is looked up only when the control paints, so the control follows palette changes.
// Drawing works with opaque RGB: an alpha given with a fixed colour is dropped.
class ShapeColor {
public:
    ShapeColor() = default; // black
    ShapeColor(const QColor &color);
    ShapeColor(Qt::GlobalColor color);
    ShapeColor(QPalette::ColorRole systemRole);

    static ShapeColor fromRgb(int r, int g, int b);

    bool isSystemColor() const { return m_system; }
    QPalette::ColorRole systemRole() const { return m_role; }

    // The opaque RGB value; system colours come from the active group of the given palette.
    QRgb resolve(const QPalette &palette) const;

    bool operator==(const ShapeColor &other) const;
    bool operator!=(const ShapeColor &other) const { return !(*this == other); }

private:
    QRgb m_rgb = qRgb(0, 0, 0);
    bool m_system = false;
    QPalette::ColorRole m_role = QPalette::NoRole;
};

Q_DECLARE_METATYPE(ShapeColor)
