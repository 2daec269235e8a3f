#pragma once

#include <QByteArray>
#include <QString>

// Stored question texts: hexadecimal of an 8-byte little-endian length and the AES-128-ECB
// ciphertext of the zero-padded GBK text. The one key serves every encoded column.

// Stored text -> plain text. Throws KjksError "Stream read error" (fewer than 8 bytes) or
// "Invalid buffer size for decryption" (cipher part not a multiple of 16).
QString DecodeQuestionText(const QString &stored);

// Plain text -> stored text (upper-case hex), exactly the form DecodeQuestionText reads. Only the
// bank tool and test fixtures write encoded texts. Characters GBK cannot hold set *ok to false.
QString EncodeQuestionText(const QString &plain, bool *ok = nullptr);

// The raw pieces, for benchmarks and fuzzing.
QByteArray HexToBytes(const QString &stored);
QByteArray DecryptBlocks(const QByteArray &cipher);
