#include "Pictures.h"

#include <QFileInfo>
#include <QGuiApplication>

QString DoubleSizePath(const QString &path) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash + 1) return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

QPixmap LoadPicture(const QString &path) {
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1) {
        const QString sharp = DoubleSizePath(path);
        if (QFileInfo::exists(sharp)) {
            QPixmap picture(sharp);
            if (!picture.isNull()) {
                picture.setDevicePixelRatio(2);
                return picture;
            }
        }
    }
    return QPixmap(path);
}
