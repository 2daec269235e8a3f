// libFuzzer target for DecodeQuestionText: every stored value a bank can hold must decode or fail
// with one of its two errors; a decoded text encodes back to a value that decodes to it again.
#include "QuestionText.h"
#include "SqlError.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString stored = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString plain;
    try {
        plain = DecodeQuestionText(stored);
    } catch (const KjksError &e) {
        const QString m = e.message();
        if (m != QLatin1String("Stream read error") && m != QLatin1String("Invalid buffer size for decryption"))
            std::abort();
        return 0;
    }
    bool ok = true;
    const QString again = EncodeQuestionText(plain, &ok);
    if (ok && DecodeQuestionText(again) != plain) std::abort();
    return 0;
}
