#pragma once

#include "ImportModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Questions from a spreadsheet: its rows, however read (a CSV file here, a workbook in
// XlsxImport.h), become questions by one mapping. The first row names the columns
// (docs/kjks-bank.md); their order is free and columns of other names are ignored.
//
// CSV as Excel writes it: UTF-8 (with or without a byte-order mark) or GBK, fields split by commas,
// quoted fields with doubled quotes and line breaks inside, CRLF or LF line ends.

namespace csvcolumns {
QString id();          // 编号
QString type();        // 题型
QString chapter();     // 章节
QString caseLabel();   // 案例
QString text();        // 题干
QString answer();      // 答案
QString explanation(); // 解析
} // namespace csvcolumns

// The text of a file: valid UTF-8 (a leading byte-order mark dropped) is read as UTF-8, anything
// else as GBK, as Excel saves "CSV" on a Chinese system.
QString DecodeSpreadsheetText(const QByteArray &bytes);

// A row of a spreadsheet: a CSV record, or a sheet's row with its cells as the teacher sees them.
struct CsvRecord {
    int line = 0; // where the record starts (a sheet's row number)
    QStringList fields;
};

// Splits the text into records. A quoted field that never closes is reported at its first line
// (*errorLine) and ends the records.
std::vector<CsvRecord> SplitCsv(const QString &text, int *errorLine);

// The questions of a spreadsheet's rows: the first non-blank row is the header. Every refused row
// goes to *problems as "FILE:LINE: reason".
std::vector<ImportedQuestion> QuestionsFromRows(const QString &label, const std::vector<CsvRecord> &records,
                                                ImportProblems *problems);

// The questions of a CSV file.
std::vector<ImportedQuestion> ReadCsvQuestions(const QString &label, const QByteArray &bytes, ImportProblems *problems);
