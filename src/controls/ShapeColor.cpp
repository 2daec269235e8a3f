#include "ShapeColor.h"

ShapeColor::ShapeColor(const QColor &color) : m_rgb(color.rgb() | 0xFF000000u) {}

ShapeColor::ShapeColor(Qt::GlobalColor color) : ShapeColor(QColor(color)) {}

ShapeColor::ShapeColor(QPalette::ColorRole systemRole) : m_system(true), m_role(systemRole) {}

ShapeColor ShapeColor::fromRgb(int r, int g, int b) {
    return ShapeColor(QColor(r, g, b));
}

QRgb ShapeColor::resolve(const QPalette &palette) const {
    if (!m_system) return m_rgb;
    return palette.color(QPalette::Active, m_role).rgb() | 0xFF000000u;
}

bool ShapeColor::operator==(const ShapeColor &other) const {
    if (m_system != other.m_system) return false;
    return m_system ? m_role == other.m_role : m_rgb == other.m_rgb;
}
