#include "QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QString InstallQtTranslation() {
    static QTranslator *installed = nullptr;
    if (installed) return installed->filePath().isEmpty() ? QString() : installed->language();
    const QLocale system;
    const QLocale chinese = system.language() == QLocale::Chinese ? system : QLocale(QLocale::Chinese, QLocale::China);
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), folder) &&
        !translator->load(QStringLiteral("qtbase_zh_CN"), folder)) {
        delete translator;
        return QString();
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return translator->language();
}
