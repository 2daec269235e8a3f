#include "Fonts.h"

#include <QFont>
#include <QStringList>

void InstallChineseFontSubstitutes() {
    const QStringList song = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                              QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei"),
                              QStringLiteral("WenQuanYi Micro Hei")};
    const QStringList hei = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                             QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Serif CJK SC")};
    QFont::insertSubstitutions(QStringLiteral("新宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("微软雅黑"), hei);
}

QFont PixelFont(const QString &family, int pixelSize, bool bold) {
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QFont PointFont(const QString &family, int pointSize) {
    QFont f(family);
    f.setPointSize(pointSize);
    return f;
}
