#pragma once

#include <QByteArray>
#include <QString>

// Code page 936 (GBK): the bank's enciphered texts and the documents' bytes. Decoding reads a table
// made once from glibc iconv's GBK; encoding goes through iconv.

// Invalid or truncated byte sequences become U+FFFD; decoding never fails.
QString GbkToUnicode(const QByteArray &bytes);
QString GbkToUnicode(const char *data, qsizetype size);
// Characters GBK cannot hold become '?', unless `ok` is given: then it is set to false instead.
QByteArray UnicodeToGbk(const QString &text, bool *ok = nullptr);
// The text cut to at most `maxBytes` bytes of its GBK form, never in the middle of a character.
QString LeftGbkBytes(const QString &text, int maxBytes);
