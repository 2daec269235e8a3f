// libFuzzer target for the update service's answer: any bytes (the request is plain HTTP) must
// parse to a record or to none without a crash, a hang or unbounded memory.
#include "UpdateCheck.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray answer(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<VersionRecord> record = ParseVersionAnswer(answer);
    // A record can only come out of an answer that holds a `data` member.
    if (record && !answer.contains("data")) std::abort();
    return 0;
}
