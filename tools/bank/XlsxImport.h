#pragma once

#include "CsvImport.h"
#include "ImportModel.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Questions from an Excel workbook (.xlsx): one sheet's rows through the same column mapping as a
// CSV file (CsvImport.h). The zip container is read with libzip, its XML parts with
// QXmlStreamReader.
//
// The sheet is `sheet` by name, or the workbook's first worksheet that is not hidden. Cells arrive as
// the teacher sees them: shared and inline strings (rich-text runs joined, phonetic guides left
// out), numbers as typed (2025, 0.1; a percent-formatted 0.04 as "4%"; a date as 2025-01-02),
// TRUE/FALSE, a formula's last value; a merged range takes its first cell's text throughout. Rows
// are numbered as in the sheet, so messages say "FILE:ROW". A damaged or non-xlsx file, an
// encrypted (password-protected) workbook, an old binary .xls, an OpenDocument sheet and a missing
// sheet are refused with a Chinese message.
std::vector<CsvRecord> ReadXlsxRows(const QString &label, const QByteArray &bytes, const QString &sheet,
                                    ImportProblems *problems);

std::vector<ImportedQuestion> ReadXlsxQuestions(const QString &label, const QByteArray &bytes, const QString &sheet,
                                                ImportProblems *problems);

// The parts of a workbook that make one sheet's rows, as unpacked from its zip: the sheet, the
// shared strings and the styles (both may be empty). Apart from the zip so that the XML readers
// can be fed directly.
struct XlsxSheetParts {
    QString sheetName = QStringLiteral("sheet.xml"); // how messages name the sheet's part
    QByteArray sheet;
    QByteArray sharedStrings;
    QByteArray styles;
    bool from1904 = false; // the workbook counts days from 1904
};
std::vector<CsvRecord> ReadXlsxSheetRows(const QString &label, const XlsxSheetParts &parts, ImportProblems *problems);

// What spreadsheet programs other than the xlsx form are told: save again as .xlsx or CSV.
QString SaveAsXlsxOrCsvAdvice();
