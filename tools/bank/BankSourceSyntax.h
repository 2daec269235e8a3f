#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// The record syntax of bank source files, shared by the reader and the exporter so that what one
// writes the other reads back unchanged.
//
//   [table key]          starts a record
//   column: value        a plain value, blanks (space, tab) around it dropped
//     more               a line starting with a blank continues the value after a line break
//   column:: "a\n b"     an escaped value: \n \r \t \\ \" \uXXXX, nothing dropped
//   # comment            ignored, as are blank lines

namespace banksource {

enum class ValueKind { Text, Integer, Number };
enum class KeyKind { Integer, Name, ChapterCode };

struct Column {
    QString name; // canonical spelling
    ValueKind kind = ValueKind::Text;
    bool repeatable = false;
};

struct Table {
    QString name;
    KeyKind key = KeyKind::Integer;
    std::vector<Column> columns;
};

// The tables a source may hold; names and columns match case-insensitively.
const std::vector<Table> &Tables();
const Table *FindTable(QStringView name);
const Column *FindColumn(const Table &table, QStringView name);

inline bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
QStringView TrimBlanks(QStringView text);

// A control character a value may not hold as it is: below U+0020 (tab, line break and carriage
// return only through their escapes) and U+007F. A raw NUL counts too.
bool IsControlCharacter(QChar c);
// The index of the first control character (other than tab) of a plain value, or -1 when there is none.
qsizetype FirstControlCharacter(QStringView text);

// Reads the text between the quotes of an escaped value. On a mistake returns false and says why.
// \uXXXX may not write a control character (the named escapes \n \r \t say those) nor half a
// surrogate pair.
bool UnescapeValue(QStringView quoted, QString *value, QString *error);

// The lines that write `column` with `value`, ending in a line break: the plain form when the reader
// gives back exactly `value`, else the escaped form.
QString FormatValue(const QString &column, const QString &value);

// A non-null empty text: present-but-empty values stay distinct from absent ones (NULL in the bank).
QString EmptyText();

} // namespace banksource
