// libFuzzer target for the CSV importer: any bytes, as a UTF-8 or GBK spreadsheet, must be read or
// refused without a crash or a hang, every refusal must name the file, and what is accepted must
// make a model the bank's rules accept.
#include "../ImportFuzzCheck.h"
#include "CsvImport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ImportProblems problems;
    const auto questions = ReadCsvQuestions(QStringLiteral("t.csv"), bytes, &problems);
    CheckImport(questions, problems);
    return 0;
}
