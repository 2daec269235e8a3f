#include "UpdateIni.h"

#include "TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace {

// The section name of a header line, or a null string for any other line.
QString sectionName(const QString &line) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return QString();
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0) return QString();
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QString &line) {
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

// Splits a `Key=value` line; false for any other line.
bool splitKeyLine(const QString &line, QString *key, QString *value) {
    if (isComment(line) || !sectionName(line).isNull()) return false;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0) return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    return !key->isEmpty();
}

std::runtime_error fileError(const char *what, const QString &path, const QString &reason) {
    return std::runtime_error(QStringLiteral("%1 \"%2\". %3")
                                  .arg(QString::fromLatin1(what), QDir::toNativeSeparators(path), reason)
                                  .toStdString());
}

} // namespace

IniFile IniFile::load(const QString &path) {
    if (!QFileInfo(path).isFile()) return IniFile();
    return parse(ReadWholeFile(path));
}

IniFile IniFile::parse(const QByteArray &bytes) {
    IniFile ini;
    QString text = DecodeTextFile(bytes);
    // A second byte order mark is left as U+FEFF at the start; written back, it becomes the UTF-8
    // mark that the next reading drops, and the first line would read differently then.
    while (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (text.contains(QLatin1String("\r\n"))) ini.m_newline = QStringLiteral("\r\n");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    if (!text.isEmpty()) ini.m_lines = text.split(QLatin1Char('\n'));
    return ini;
}

std::pair<int, int> IniFile::sectionBody(const QString &section) const {
    int first = -1;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString name = sectionName(m_lines[i]);
        if (name.isNull()) continue;
        if (first >= 0) return {first, i};
        if (name.compare(section, Qt::CaseInsensitive) == 0) first = i + 1;
    }
    return {first, int(m_lines.size())};
}

int IniFile::keyLine(const QString &section, const QString &key) const {
    const auto [first, end] = sectionBody(section);
    if (first < 0) return -1;
    QString k, v;
    for (int i = first; i < end; ++i)
        if (splitKeyLine(m_lines[i], &k, &v) && k.compare(key, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString IniFile::value(const QString &section, const QString &key) const {
    const int i = keyLine(section, key);
    if (i < 0) return QString();
    QString k, v;
    splitKeyLine(m_lines[i], &k, &v);
    return v;
}

QString IniFile::lineValue(const QString &value) {
    QString oneLine = value;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : oneLine)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return oneLine.trimmed();
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value) {
    const QString line = key + QLatin1Char('=') + lineValue(value);

    const int existing = keyLine(section, key);
    if (existing >= 0) {
        m_lines[existing] = line;
        return;
    }
    auto [first, end] = sectionBody(section);
    if (first < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty()) m_lines << QString();
        m_lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
        return;
    }
    // After the section's last non-blank line, so that a blank line before the next header stays.
    int at = end;
    while (at > first && m_lines[at - 1].trimmed().isEmpty())
        --at;
    m_lines.insert(at, line);
}

QByteArray IniFile::toBytes() const {
    QString text;
    for (const QString &line : m_lines)
        text += line + m_newline;
    return text.toUtf8();
}

void IniFile::save(const QString &path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw fileError("Cannot create file", path, file.errorString());
    file.write(toBytes());
    if (!file.commit()) throw fileError("Cannot write file", path, file.errorString());
}
