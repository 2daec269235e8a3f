// libFuzzer target for the Excel workbook importer: any bytes must be read or refused without a
// crash or a hang, every refusal must name the file, and what is accepted must make a model the
// bank's rules accept. Input that starts as a zip or an OLE compound file is a whole workbook;
// anything else is a sheet's XML parts unpacked (sheet, shared strings, styles, split by \x01), so
// that mutations reach the XML readers instead of stopping at the zip's checksums.
#include "../ImportFuzzCheck.h"
#include "XlsxImport.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ImportProblems problems;
    if (bytes.startsWith("PK") || bytes.startsWith("\xD0\xCF")) {
        const auto questions = ReadXlsxQuestions(QStringLiteral("t.xlsx"), bytes, QString(), &problems);
        CheckImport(questions, problems);
        return 0;
    }
    const QList<QByteArray> split = bytes.split('\x01');
    XlsxSheetParts parts;
    parts.sheet = split.value(0);
    parts.sharedStrings = split.value(1);
    parts.styles = split.value(2);
    parts.from1904 = split.size() > 3;
    const std::vector<CsvRecord> rows = ReadXlsxSheetRows(QStringLiteral("t.xlsx"), parts, &problems);
    if (problems.isEmpty()) {
        const auto questions = QuestionsFromRows(QStringLiteral("t.xlsx"), rows, &problems);
        CheckImport(questions, problems);
    }
    return 0;
}
