#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// A small INI file (`[Section]` headers, `Key=value` lines) kept line by line, so that writing a
// few keys leaves comments, other sections and other keys exactly as they were. Section and key
// names match without regard to case, as INI readers on Windows do. The file is read as UTF-8
// (GBK when it is not valid UTF-8) and written as UTF-8 without a byte order mark.
class IniFile {
public:
    // Reads the file at `path`; a missing file (or a folder of that name) is an empty file.
    // Throws std::runtime_error when an existing file cannot be read.
    static IniFile load(const QString &path);

    // The value of `key` in the first `section`, blanks trimmed; empty when either is missing.
    QString value(const QString &section, const QString &key) const;
    // Replaces the key's line in the first `section`, or adds it at the end of the section; adds
    // the section at the end of the file when it is missing. The value is stored as lineValue()
    // gives it.
    void setValue(const QString &section, const QString &key, const QString &value);

    // Writes the whole file at once (a failed write leaves the old file). Throws
    // std::runtime_error on failure.
    void save(const QString &path) const;

    QStringList lines() const { return m_lines; }

    // The file's text from its bytes, and the bytes save() writes.
    static IniFile parse(const QByteArray &bytes);
    QByteArray toBytes() const;

    // What value() reads back after setValue(value): a value is one line of text, so line breaks
    // and every other control character (NUL included) become blanks, and blanks around it go.
    static QString lineValue(const QString &value);

private:
    // Line index range [first, end) of the section's body; first = -1 when missing.
    std::pair<int, int> sectionBody(const QString &section) const;
    int keyLine(const QString &section, const QString &key) const;

    QStringList m_lines;
    QString m_newline = QStringLiteral("\n");
};
