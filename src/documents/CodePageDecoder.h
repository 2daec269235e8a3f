#pragma once

#include <QByteArrayView>
#include <QString>
#include <iconv.h>
#include <map>

// Turns bytes of a Windows code page (936 for GBK, 1252, 950, ...) into text: GBK through the data
// library's decoder, every other code page through glibc iconv.
// A document switches code pages with its fonts, so converters are opened on first use and kept
// for the life of the decoder.
class CodePageDecoder {
public:
    CodePageDecoder() = default;
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder &) = delete;
    CodePageDecoder &operator=(const CodePageDecoder &) = delete;

    // Invalid or truncated sequences become U+FFFD; an unknown code page reads as Latin-1.
    QString decode(int codePage, QByteArrayView bytes);

    // True when `byte` starts a two-byte character in a double-byte code page (936, 950, 949, 932).
    static bool isLeadByte(int codePage, unsigned char byte);

private:
    iconv_t converterFor(int codePage);

    std::map<int, iconv_t> m_converters;
};
