#include "RtfLexer.h"

#include <climits>

namespace {

// Real control words are at most 32 letters long; a longer run of letters names nothing.
constexpr std::size_t kMaxWordLength = 32;

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

RtfToken RtfLexer::next() {
    RtfToken t;
    while (m_p < m_end) {
        const char c = *m_p;
        if (c == '\r' || c == '\n') { // line breaks in the file carry no meaning
            ++m_p;
            continue;
        }
        if (c == '{' || c == '}') {
            ++m_p;
            t.kind = c == '{' ? RtfToken::GroupStart : RtfToken::GroupEnd;
            return t;
        }
        if (c == '\\') return control();
        const char *begin = m_p;
        while (m_p < m_end && *m_p != '\\' && *m_p != '{' && *m_p != '}' && *m_p != '\r' && *m_p != '\n')
            ++m_p;
        t.kind = RtfToken::Text;
        t.text = QByteArrayView(begin, m_p - begin);
        return t;
    }
    return t;
}

RtfToken RtfLexer::control() {
    RtfToken t;
    ++m_p; // the backslash
    if (m_p >= m_end) return t;
    const char c = *m_p;
    if (isLetter(c)) {
        const char *begin = m_p;
        while (m_p < m_end && isLetter(*m_p))
            ++m_p;
        const std::size_t length = std::size_t(m_p - begin);
        t.kind = RtfToken::ControlWord;
        if (length <= kMaxWordLength) t.word = std::string_view(begin, length);
        const bool negative = m_p + 1 < m_end && *m_p == '-' && isDigit(m_p[1]);
        if (negative) ++m_p;
        if (m_p < m_end && isDigit(*m_p)) {
            long long value = 0;
            for (; m_p < m_end && isDigit(*m_p); ++m_p)
                if (value <= INT_MAX) value = value * 10 + (*m_p - '0');
            if (value > INT_MAX) value = INT_MAX;
            t.hasParam = true;
            t.param = int(negative ? -value : value);
        }
        if (m_p < m_end && *m_p == ' ') ++m_p; // the delimiter belongs to the word
        return t;
    }
    if (c == '\'') {
        if (m_end - m_p >= 3 && hexValue(m_p[1]) >= 0 && hexValue(m_p[2]) >= 0) {
            t.kind = RtfToken::HexByte;
            t.byte = static_cast<unsigned char>(hexValue(m_p[1]) * 16 + hexValue(m_p[2]));
            m_p += 3;
            return t;
        }
        // A broken escape: drop the quote, the bytes after it read as text.
        ++m_p;
        t.kind = RtfToken::ControlSymbol;
        t.symbol = c;
        return t;
    }
    ++m_p;
    if (c == '\r' || c == '\n') { // a backslash before a line break is a paragraph mark
        t.kind = RtfToken::ControlWord;
        t.word = "par";
        return t;
    }
    t.kind = RtfToken::ControlSymbol;
    t.symbol = c;
    return t;
}

QByteArrayView RtfLexer::takeBytes(qint64 count) {
    if (count < 0) count = 0;
    if (count > m_end - m_p) count = m_end - m_p;
    QByteArrayView bytes(m_p, count);
    m_p += count;
    return bytes;
}
