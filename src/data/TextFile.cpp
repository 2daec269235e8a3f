#include "TextFile.h"

#include "Gbk.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <stdexcept>

QByteArray ReadWholeFile(const QString &path) {
    auto failure = [&](const char *what, const QFile &file) {
        return std::runtime_error(
            QStringLiteral("%1 \"%2\". %3")
                .arg(QString::fromLatin1(what), QDir::toNativeSeparators(path), file.errorString())
                .toStdString());
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw failure("Cannot open file", file);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) throw failure("Cannot read file", file);
    return bytes;
}

QString DecodeTextFile(const QByteArray &bytes) {
    if (const auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom); // skips the byte order mark
        return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return GbkToUnicode(bytes);
}
