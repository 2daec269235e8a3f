// libFuzzer target for the updater's record: any file may lie next to the program, and any text
// may come from the update service. Input: one byte choosing the key, one byte giving the length
// of the value, the value (UTF-8), then the file. Writing a key must read back as the value on one
// line, keep another section's key as it was, and never put a control character into the file.
#include "UpdateIni.h"

#include <cstdint>
#include <cstdlib>

namespace {

const char *const kKeys[] = {"VersionDate", "Server", "Code", "VersionId", "VersionName", "ClientName", "VersionState"};

void require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    const QString key = QString::fromLatin1(kKeys[data[0] % 7]);
    const size_t valueSize = qMin<size_t>(data[1], size - 2);
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), qsizetype(valueSize));
    const QByteArray file(reinterpret_cast<const char *>(data + 2 + valueSize), qsizetype(size - 2 - valueSize));

    const QString section = QStringLiteral("Option");
    const QString other = QStringLiteral("Download");
    IniFile ini = IniFile::parse(file);
    const QString otherBefore = ini.value(other, QStringLiteral("Folder"));
    const QByteArray before = ini.toBytes();
    ini.setValue(section, key, value);
    const QByteArray after = ini.toBytes();

    const IniFile reread = IniFile::parse(after);
    require(reread.value(section, key) == IniFile::lineValue(value));
    require(reread.value(other, QStringLiteral("Folder")) == otherBefore);
    // The new line adds no control character but the line end.
    auto controls = [](const QByteArray &bytes) {
        int n = 0;
        for (const char c : bytes)
            if ((uchar(c) < 0x20 && c != '\n' && c != '\r' && c != '\t') || c == 0x7F) ++n;
        return n;
    };
    require(controls(after) <= controls(before));
    return 0;
}
