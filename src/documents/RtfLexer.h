#pragma once

#include <QByteArrayView>
#include <string_view>

// One piece of RTF syntax. Text runs and control-word names point into the lexer's input.
struct RtfToken {
    enum Kind { End, GroupStart, GroupEnd, ControlWord, ControlSymbol, HexByte, Text };
    Kind kind = End;
    std::string_view word;  // ControlWord: the letters; empty when longer than any real word
    bool hasParam = false;  // ControlWord: a numeric parameter followed the letters
    int param = 0;          // ControlWord: saturated to the int range
    char symbol = 0;        // ControlSymbol: the character after the backslash
    unsigned char byte = 0; // HexByte: the value of \'hh
    QByteArrayView text;    // Text: a run of bytes without braces, backslashes or line breaks
};

// Splits RTF bytes into tokens. It never reads past its input: a truncated control word or
// escape at the end simply ends the token stream.
class RtfLexer {
public:
    explicit RtfLexer(QByteArrayView data) : m_p(data.data()), m_end(data.data() + data.size()) {}

    RtfToken next();
    // The raw bytes after \binN: at most `count`, never past the end of the input.
    QByteArrayView takeBytes(qint64 count);

private:
    RtfToken control();

    const char *m_p;
    const char *m_end;
};
