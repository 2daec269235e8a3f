// libFuzzer target for the GIFT importer: any bytes must be read or refused without a crash or a
// hang, every refusal must name the file, and what is accepted must make a model the bank's rules
// accept.
#include "../ImportFuzzCheck.h"
#include "GiftImport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ImportProblems problems;
    const auto questions = ReadGiftQuestions(QStringLiteral("t.gift"), bytes, QStringLiteral("导入题目"), &problems);
    CheckImport(questions, problems);
    return 0;
}
