#pragma once

#include <QByteArray>
#include <QString>

// Code page 936 (GBK) through glibc iconv: the bank's enciphered texts and the documents' bytes.

// Invalid or truncated byte sequences become U+FFFD; decoding never fails.
QString GbkToUnicode(const QByteArray &bytes);
// Characters GBK cannot hold become '?', unless `ok` is given: then it is set to false instead.
QByteArray UnicodeToGbk(const QString &text, bool *ok = nullptr);
// The text cut to at most `maxBytes` bytes of its GBK form, never in the middle of a character.
QString LeftGbkBytes(const QString &text, int maxBytes);
