#include "Gbk.h"

#include <cerrno>
#include <iconv.h>

namespace {

// One converter per direction for the process: opening iconv costs more than a short conversion.
class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;
    iconv_t get() {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // reset shift state
        return m_cd;
    }
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

private:
    iconv_t m_cd;
};

Converter &gbkToUtf16() {
    static Converter c("UTF-16LE", "GBK");
    return c;
}
Converter &utf16ToGbk() {
    static Converter c("GBK", "UTF-16LE");
    return c;
}

} // namespace

QString GbkToUnicode(const QByteArray &bytes) {
    QString out;
    if (bytes.isEmpty()) return out;
    // Plain ASCII is by far the most common case and needs no converter.
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return QString::fromLatin1(bytes);

    Converter &conv = gbkToUtf16();
    if (!conv.valid()) return QString::fromLatin1(bytes);
    iconv_t cd = conv.get();
    out.reserve(bytes.size());
    QByteArray buf(bytes.size() * 2 + 8, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char *o = buf.data();
        size_t oLeft = size_t(buf.size());
        const size_t rc = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(reinterpret_cast<const QChar *>(buf.constData()), qsizetype((size_t(buf.size()) - oLeft) / 2));
        if (rc == size_t(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (truncated): one replacement character, then go on after the byte.
            out.append(QChar(0xFFFD));
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

QByteArray UnicodeToGbk(const QString &text, bool *ok) {
    if (ok) *ok = true;
    QByteArray out;
    if (text.isEmpty()) return out;
    Converter &conv = utf16ToGbk();
    iconv_t cd = conv.get();
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.constData()));
    size_t inLeft = size_t(text.size()) * 2;
    QByteArray buf(text.size() * 2 + 8, Qt::Uninitialized);
    while (inLeft > 0) {
        char *o = buf.data();
        size_t oLeft = size_t(buf.size());
        const size_t rc = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buf.constData(), qsizetype(size_t(buf.size()) - oLeft));
        if (rc == size_t(-1)) {
            if (errno == E2BIG) continue;
            if (ok) *ok = false;
            out.append('?');
            // Skip one UTF-16 unit, or two for a surrogate pair.
            const ushort u = *reinterpret_cast<const ushort *>(in);
            const size_t step = (u >= 0xD800 && u < 0xDC00 && inLeft >= 4) ? 4 : 2;
            in += step;
            inLeft -= step > inLeft ? inLeft : step;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

QString LeftGbkBytes(const QString &text, int maxBytes) {
    QString out;
    int used = 0;
    for (int i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
        const QString ch = pair ? text.mid(i, 2) : text.mid(i, 1);
        const int n = int(UnicodeToGbk(ch).size());
        if (used + n > maxBytes) break;
        used += n;
        out += ch;
        if (pair) ++i;
    }
    return out;
}
