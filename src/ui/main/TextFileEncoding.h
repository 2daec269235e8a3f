#pragma once

#include <QByteArray>
#include <QString>

// Text files next to the program come from Chinese Windows desktops (GBK) as often as from
// editors that write UTF-8. A byte order mark decides first; otherwise bytes that are valid UTF-8
// are read as UTF-8 and anything else as GBK, so that no file shows as mojibake.
QString DecodeTextFile(const QByteArray &bytes);
