// libFuzzer target for the Aiken importer: any bytes must be read or refused without a crash or a
// hang, every refusal must name the file, and what is accepted must make a model the bank's rules
// accept. Also asks the .txt chooser, which reads the same bytes.
#include "../ImportFuzzCheck.h"
#include "AikenImport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)LooksLikeAiken(bytes);
    ImportProblems problems;
    const auto questions = ReadAikenQuestions(QStringLiteral("t.aiken"), bytes, QStringLiteral("导入题目"), &problems);
    CheckImport(questions, problems);
    return 0;
}
