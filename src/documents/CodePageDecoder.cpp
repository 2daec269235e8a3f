#include "CodePageDecoder.h"

#include "Gbk.h"

#include <QByteArray>
#include <cerrno>

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr int kGbkCodePage = 936;

QByteArray iconvName(int codePage) {
    switch (codePage) {
    case 65001:
        return QByteArrayLiteral("UTF-8");
    case 10000:
        return QByteArrayLiteral("MACINTOSH");
    case 20127:
        return QByteArrayLiteral("ASCII");
    case 28591:
        return QByteArrayLiteral("ISO-8859-1");
    default:
        return QByteArrayLiteral("CP") + QByteArray::number(codePage);
    }
}

} // namespace

CodePageDecoder::~CodePageDecoder() {
    for (auto &entry : m_converters)
        if (entry.second != kNoConverter) iconv_close(entry.second);
}

iconv_t CodePageDecoder::converterFor(int codePage) {
    auto it = m_converters.find(codePage);
    if (it != m_converters.end()) return it->second;
    iconv_t cd = kNoConverter;
    if (codePage > 0) cd = iconv_open("UTF-16LE", iconvName(codePage).constData());
    m_converters.emplace(codePage, cd);
    return cd;
}

bool CodePageDecoder::isLeadByte(int codePage, unsigned char byte) {
    switch (codePage) {
    case 936:
    case 949:
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    default:
        return false;
    }
}

QString CodePageDecoder::decode(int codePage, QByteArrayView bytes) {
    if (bytes.isEmpty()) return QString();
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    // Every code page a document may name agrees with ASCII below 0x80.
    if (ascii) return QString::fromLatin1(bytes);

    // Chinese text goes through the program's one GBK decoder.
    if (codePage == kGbkCodePage) return GbkToUnicode(bytes.toByteArray());

    iconv_t cd = converterFor(codePage);
    if (cd == kNoConverter) return QString::fromLatin1(bytes);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    QString out;
    out.reserve(bytes.size());
    QByteArray buf(bytes.size() * 2 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    auto take = [&](size_t oLeft) {
        out.append(reinterpret_cast<const QChar *>(buf.constData()), qsizetype((size_t(buf.size()) - oLeft) / 2));
    };
    while (inLeft > 0) {
        char *o = buf.data();
        size_t oLeft = size_t(buf.size());
        const size_t rc = iconv(cd, &in, &inLeft, &o, &oLeft);
        take(oLeft);
        if (rc == size_t(-1) && errno != E2BIG) {
            // A byte that starts no valid character: one replacement, then go on after it.
            out.append(QChar(0xFFFD));
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    // Converters that hold back a character (waiting for a combining mark) release it here.
    char *o = buf.data();
    size_t oLeft = size_t(buf.size());
    iconv(cd, nullptr, nullptr, &o, &oLeft);
    take(oLeft);
    return out;
}
