// libFuzzer target for the Excel workbook importer: any bytes (a damaged zip, hostile XML in a sound
// one) must be read or refused without a crash or a hang, every refusal must name the file, and
// what is accepted must make a model the bank's rules accept.
#include "../ImportFuzzCheck.h"
#include "XlsxImport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ImportProblems problems;
    const auto questions = ReadXlsxQuestions(QStringLiteral("t.xlsx"), bytes, QString(), &problems);
    CheckImport(questions, problems);
    return 0;
}
