#include "TextFileEncoding.h"

#include "Gbk.h"

#include <QStringDecoder>

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
