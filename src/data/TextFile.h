#pragma once

#include <QByteArray>
#include <QString>

// Files next to the program that are read whole: the study documents and the updater's record.

// The file's bytes. Throws std::runtime_error naming the file when it cannot be opened or read.
QByteArray ReadWholeFile(const QString &path);

// Text files come from Chinese Windows desktops (GBK) as often as from editors that write UTF-8.
// A byte order mark decides first; otherwise bytes that are valid UTF-8 are read as UTF-8 and
// anything else as GBK, so that no file shows as mojibake.
QString DecodeTextFile(const QByteArray &bytes);
