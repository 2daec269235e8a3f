#include "Gbk.h"

#include <cerrno>
#include <iconv.h>
#include <initializer_list>

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

Converter &utf16ToGbk() {
    static Converter c("GBK", "UTF-16LE");
    return c;
}

// The code page as a table, filled once from iconv's own GBK converter, so that decoding gives
// exactly what iconv gives at a fraction of its cost (a lookup per character instead of a
// conversion call per text). Indexed by the two bytes as one number, so that a lookup needs no
// range test: 0 marks a pair the code page does not define (leads 0x81-0xFE, trails 0x40-0xFE
// and 0x7F excepted).
class GbkTable {
public:
    GbkTable() {
        Converter conv("UTF-16LE", "GBK");
        if (!conv.valid()) return;
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail)
                m_pairs[lead << 8 | trail] = convert(conv, {char(lead), char(trail)});
        m_single80 = convert(conv, {char(0x80)});
        m_singleFF = convert(conv, {char(0xFF)});
    }

    char16_t pair(unsigned char lead, unsigned char trail) const { return m_pairs[lead << 8 | trail]; }
    char16_t single(unsigned char byte) const { return byte == 0x80 ? m_single80 : byte == 0xFF ? m_singleFF : 0; }

private:
    // The one UTF-16 unit iconv makes of exactly these bytes, or 0.
    static char16_t convert(Converter &conv, std::initializer_list<char> bytes) {
        char in[2];
        size_t n = 0;
        for (char b : bytes)
            in[n++] = b;
        char16_t out[4];
        char *ip = in;
        char *op = reinterpret_cast<char *>(out);
        size_t inLeft = n, outLeft = sizeof out;
        iconv_t cd = conv.get();
        if (iconv(cd, &ip, &inLeft, &op, &outLeft) == size_t(-1) || inLeft != 0 || sizeof out - outLeft != 2) return 0;
        return out[0];
    }

    char16_t m_pairs[0x10000] = {};
    char16_t m_single80 = 0;
    char16_t m_singleFF = 0;
};

const GbkTable &gbkTable() {
    static const GbkTable table;
    return table;
}

} // namespace

QString GbkToUnicode(const QByteArray &bytes) {
    return GbkToUnicode(bytes.constData(), bytes.size());
}

QString GbkToUnicode(const char *data, qsizetype size) {
    QString out;
    if (size <= 0) return out;
    const GbkTable &table = gbkTable();
    // Never more characters than bytes.
    out.resize(size);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    const auto *end = p + size;
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            *o++ = b;
            ++p;
            continue;
        }
        if (b != 0x80 && b != 0xFF) {
            const char16_t c = p + 1 < end ? table.pair(b, p[1]) : 0;
            if (c) {
                *o++ = c;
                p += 2;
                continue;
            }
        } else if (const char16_t c = table.single(b)) {
            *o++ = c;
            ++p;
            continue;
        }
        // An undefined or truncated code: one replacement character, then go on after the byte.
        *o++ = 0xFFFD;
        ++p;
    }
    out.truncate(qsizetype(o - reinterpret_cast<char16_t *>(out.data())));
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
