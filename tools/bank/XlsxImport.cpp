#include "XlsxImport.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <map>
#include <zip.h>

namespace {

// Limits that no teacher's question sheet comes near, so that a hostile file cannot take the
// machine's memory: one part of the workbook unpacked, the columns read, the cells of a sheet.
constexpr qint64 kLargestPart = 64 * 1024 * 1024;
constexpr int kColumnsRead = 256; // A to IV
constexpr qint64 kMostCells = 2 * 1000 * 1000;

// Thrown inside the reader for a mistake of the whole file; becomes one problem.
struct XlsxFailure {
    QString message;
};

class Package {
public:
    explicit Package(const QByteArray &bytes) : m_bytes(bytes) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
        if (source) {
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!m_zip) zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    ~Package() {
        if (m_zip) zip_discard(m_zip);
    }
    Package(const Package &) = delete;
    Package &operator=(const Package &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    bool has(const QString &name) const { return locate(name) >= 0; }

    // A part by its name (case does not matter in a package); throws for a damaged or encrypted
    // one, and for a missing one unless `optional`.
    QByteArray part(const QString &name, bool optional = false) const {
        const zip_int64_t index = locate(name);
        if (index < 0) {
            if (optional) return QByteArray();
            throw XlsxFailure{QStringLiteral("工作簿不完整：缺少 %1（文件已损坏，或不是 Excel 工作簿）").arg(name)};
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &stat) == 0 && (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) &&
            stat.encryption_method != ZIP_EM_NONE)
            throw XlsxFailure{encrypted()};
        zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
        if (!file) {
            const int code = zip_error_code_zip(zip_get_error(m_zip));
            if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP)
                throw XlsxFailure{encrypted()};
            throw damaged(name);
        }
        QByteArray out;
        char buffer[65536];
        for (;;) {
            const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
            if (n < 0) {
                zip_fclose(file);
                throw damaged(name);
            }
            if (n == 0) break;
            out.append(buffer, qsizetype(n));
            if (out.size() > kLargestPart) {
                zip_fclose(file);
                throw XlsxFailure{QStringLiteral("工作簿的 %1 解压后超过 64 MiB，不像是题目表").arg(name)};
            }
        }
        if (zip_fclose(file) != 0) throw damaged(name);
        return out;
    }

    static QString encrypted() {
        return QStringLiteral("工作簿设置了打开密码（已加密），无法读取：请在表格程序中取消密码后另存为 .xlsx");
    }

private:
    zip_int64_t locate(QString name) const {
        if (name.startsWith(QLatin1Char('/'))) name.remove(0, 1);
        return zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
    }
    static XlsxFailure damaged(const QString &name) {
        return XlsxFailure{QStringLiteral("工作簿已损坏：%1 无法解压").arg(name)};
    }

    QByteArray m_bytes; // the archive reads from this buffer
    zip_t *m_zip = nullptr;
};

XlsxFailure badXml(const QString &part, const QXmlStreamReader &xml) {
    return XlsxFailure{QStringLiteral("工作簿已损坏：%1 第 %2 行的 XML 读不懂（%3）")
                           .arg(part)
                           .arg(xml.lineNumber())
                           .arg(xml.errorString())};
}

// Relationship id -> (type, target part name), targets resolved against the part they belong to.
struct Relationship {
    QString type;
    QString target;
};
std::map<QString, Relationship> relationships(const Package &package, const QString &owner) {
    const qsizetype slash = owner.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QString() : owner.left(slash + 1);
    const QString relsName = folder + QStringLiteral("_rels/") + owner.mid(slash + 1) + QStringLiteral(".rels");
    std::map<QString, Relationship> out;
    const QByteArray bytes = package.part(relsName, true);
    if (bytes.isEmpty()) return out;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Relationship")) {
            const QXmlStreamAttributes a = xml.attributes();
            QString target = a.value(QLatin1String("Target")).toString();
            if (a.value(QLatin1String("TargetMode")) == QLatin1String("External")) continue;
            if (target.startsWith(QLatin1Char('/'))) {
                target.remove(0, 1);
            } else {
                const QStringList parts = QString(folder + target).split(QLatin1Char('/'));
                QStringList resolved;
                for (const QString &p : parts) {
                    if (p == QLatin1String("..")) {
                        if (!resolved.isEmpty()) resolved.removeLast();
                    } else if (p != QLatin1String(".") && !p.isEmpty()) {
                        resolved << p;
                    }
                }
                target = resolved.join(QLatin1Char('/'));
            }
            out[a.value(QLatin1String("Id")).toString()] = {a.value(QLatin1String("Type")).toString(), target};
        }
    }
    if (xml.hasError()) throw badXml(relsName, xml);
    return out;
}

QString targetOfType(const std::map<QString, Relationship> &rels, const QString &typeEnd) {
    for (const auto &[id, rel] : rels)
        if (rel.type.endsWith(typeEnd)) return rel.target;
    return QString();
}

// "_x000D_" and friends: characters XML cannot carry, as Excel escapes them.
QString unescapeXString(const QString &text) {
    if (!text.contains(QLatin1String("_x"))) return text;
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype last = 0;
    for (auto it = escape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString withLineFeeds(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The text of a string item (<si> or <is>) at the reader's position: plain <t> or rich-text runs,
// phonetic guides (<rPh>) left out. Reads to the item's end.
QString stringItem(QXmlStreamReader &xml) {
    QString text;
    int phonetic = 0;
    const QString item = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            else if (xml.name() == item)
                break;
        }
    }
    return withLineFeeds(unescapeXString(text));
}

std::vector<QString> sharedStrings(const QByteArray &bytes, const QString &name) {
    std::vector<QString> out;
    if (bytes.isEmpty()) return out;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("si")) out.push_back(stringItem(xml));
    }
    if (xml.hasError()) throw badXml(name, xml);
    return out;
}

// How a number format shows a number: as it is, as a percent, or as a date.
enum class NumberShape { Plain, Percent, Date };

// From a format code: a % outside quotes, escapes and [brackets] makes a percent; a y, m, d, h or s
// there a date (or time).
NumberShape shapeOfFormat(const QString &code) {
    bool quoted = false, bracketed = false, date = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == QLatin1Char('\\'))
            ++i;
        else if (c == QLatin1Char('['))
            bracketed = true;
        else if (c == QLatin1Char(']'))
            bracketed = false;
        else if (bracketed)
            continue;
        else if (c == QLatin1Char('%'))
            return NumberShape::Percent;
        else if (QStringLiteral("ymdhsYMDHS").contains(c))
            date = true;
    }
    return date ? NumberShape::Date : NumberShape::Plain;
}

// For every cell style (the `s` of a cell): how its number format shows a number.
std::vector<NumberShape> numberShapes(const QByteArray &bytes, const QString &name) {
    std::vector<NumberShape> out;
    if (bytes.isEmpty()) return out;
    // Excel's built-in formats that are no plain number: 0% and 0.00%; dates and times.
    std::map<int, NumberShape> formats = {{9, NumberShape::Percent}, {10, NumberShape::Percent}};
    for (int id : {14, 15, 16, 17, 18, 19, 20, 21, 22, 45, 46, 47})
        formats[id] = NumberShape::Date;
    QXmlStreamReader xml(bytes);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == QLatin1String("numFmt"))
                formats[a.value(QLatin1String("numFmtId")).toInt()] =
                    shapeOfFormat(a.value(QLatin1String("formatCode")).toString());
            else if (xml.name() == QLatin1String("cellXfs"))
                inCellXfs = true;
            else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                const auto found = formats.find(a.value(QLatin1String("numFmtId")).toInt());
                out.push_back(found == formats.end() ? NumberShape::Plain : found->second);
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    if (xml.hasError()) throw badXml(name, xml);
    return out;
}

// "BC12" -> column 54 (0-based) and row 12; false for anything else.
bool cellReference(QStringView ref, int *column, int *row) {
    qsizetype i = 0;
    qint64 c = 0;
    while (i < ref.size() && ref[i] >= QLatin1Char('A') && ref[i] <= QLatin1Char('Z') && c <= 16384)
        c = c * 26 + (ref[i++].unicode() - u'A' + 1);
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    if (i == 0 || !ok || r <= 0 || c > 16384) return false;
    *column = int(c - 1);
    *row = r;
    return true;
}

// A number as the teacher typed it: at most 15 significant digits, as Excel shows them; a percent
// as its percent; a date (Excel's day number, 1900 or 1904 based) as yyyy-MM-dd, with hh:mm when it
// has a time of day.
QString numberText(const QString &value, NumberShape shape, bool from1904) {
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok) return value;
    if (shape == NumberShape::Percent) return QString::number(v * 100, 'g', 15) + QLatin1Char('%');
    if (shape == NumberShape::Date && v >= 0 && v < 2958466) { // up to 9999-12-31
        qint64 days = qint64(v);
        int minutes = int(std::lround((v - double(days)) * 24 * 60));
        if (minutes == 24 * 60) {
            ++days;
            minutes = 0;
        }
        // The 1900 system counts a 29 February 1900 that never was: day 60.
        const QDate date = from1904     ? QDate(1904, 1, 1).addDays(days)
                           : days >= 61 ? QDate(1899, 12, 30).addDays(days)
                                        : QDate(1899, 12, 31).addDays(days);
        QString text = date.toString(QStringLiteral("yyyy-MM-dd"));
        if (minutes > 0)
            text += QStringLiteral(" %1:%2")
                        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
        return text;
    }
    return QString::number(v, 'g', 15);
}

using SheetCells = std::map<int, std::map<int, QString>>; // row -> column -> text

XlsxFailure tooManyCells() {
    return XlsxFailure{QStringLiteral("工作表的单元格太多（超过 %1 个），不像是题目表").arg(kMostCells)};
}

struct SheetContext {
    const std::vector<QString> &strings;
    const std::vector<NumberShape> &shapes;
    bool from1904;
    QString part;
};

SheetCells sheetCells(const QByteArray &bytes, const SheetContext &context) {
    SheetCells cells;
    qint64 count = 0;
    QXmlStreamReader xml(bytes);
    int row = 0, column = -1;
    QStringList merges;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("row")) {
            const QStringView r = xml.attributes().value(QLatin1String("r"));
            bool ok = false;
            const int number = r.toInt(&ok);
            row = ok && number > 0 ? number : row + 1;
            column = -1;
        } else if (xml.name() == QLatin1String("c")) {
            const QXmlStreamAttributes a = xml.attributes();
            int refColumn = 0, refRow = 0;
            if (cellReference(a.value(QLatin1String("r")), &refColumn, &refRow)) {
                column = refColumn;
                row = refRow;
            } else {
                ++column;
            }
            const QString type = a.value(QLatin1String("t")).toString();
            const int style = a.value(QLatin1String("s")).toInt();
            QString value;
            bool hasValue = false;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isEndElement() && xml.name() == QLatin1String("c")) break;
                if (!xml.isStartElement()) continue;
                if (xml.name() == QLatin1String("v")) {
                    value = xml.readElementText();
                    hasValue = true;
                } else if (xml.name() == QLatin1String("is")) {
                    value = stringItem(xml);
                    hasValue = true;
                }
            }
            if (!hasValue || column >= kColumnsRead) continue;
            QString text;
            if (type == QLatin1String("s")) {
                bool ok = false;
                const qint64 index = value.trimmed().toLongLong(&ok);
                if (!ok || index < 0 || index >= qint64(context.strings.size()))
                    throw XlsxFailure{QStringLiteral("工作簿已损坏：%1 的单元格指向不存在的共享文字 %2")
                                          .arg(context.part, value.left(20))};
                text = context.strings[size_t(index)];
            } else if (type == QLatin1String("inlineStr")) {
                text = value;
            } else if (type == QLatin1String("b")) {
                text = value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (type == QLatin1String("str") || type == QLatin1String("e") || type == QLatin1String("d")) {
                text = withLineFeeds(unescapeXString(value));
            } else {
                const NumberShape shape = style >= 0 && size_t(style) < context.shapes.size()
                                              ? context.shapes[size_t(style)]
                                              : NumberShape::Plain;
                text = numberText(value.trimmed(), shape, context.from1904);
            }
            if (text.isEmpty()) continue;
            if (++count > kMostCells) throw tooManyCells();
            cells[row][column] = text;
        } else if (xml.name() == QLatin1String("mergeCell")) {
            merges << xml.attributes().value(QLatin1String("ref")).toString();
        }
    }
    if (xml.hasError()) throw badXml(context.part, xml);

    // A merged range shows its first cell's text across the range (a chapter merged over its rows).
    for (const QString &ref : merges) {
        const QStringList corners = ref.split(QLatin1Char(':'));
        int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
        if (corners.size() != 2 || !cellReference(corners[0], &c1, &r1) || !cellReference(corners[1], &c2, &r2))
            continue;
        const auto first = cells.find(r1);
        if (first == cells.end() || first->second.count(c1) == 0) continue;
        const QString text = first->second.at(c1);
        const int lastColumn = std::min(c2, kColumnsRead - 1);
        count += qint64(std::max(0, r2 - r1 + 1)) * std::max(0, lastColumn - c1 + 1);
        if (count > kMostCells) throw tooManyCells();
        for (int r = r1; r <= r2; ++r)
            for (int c = c1; c <= lastColumn; ++c)
                cells[r][c] = text;
    }
    return cells;
}

const char kCfbSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

std::vector<CsvRecord> rowsOfSheet(const XlsxSheetParts &parts);

std::vector<CsvRecord> readRows(const QByteArray &bytes, const QString &wanted) {
    if (bytes.startsWith(QByteArray(kCfbSignature, 8))) {
        // An OLE compound file: an encrypted workbook keeps its package in "EncryptedPackage".
        const QString name = QStringLiteral("EncryptedPackage");
        const QByteArray utf16(reinterpret_cast<const char *>(name.utf16()), name.size() * 2);
        if (bytes.contains(utf16)) throw XlsxFailure{Package::encrypted()};
        throw XlsxFailure{QStringLiteral("这是旧版 Excel 工作簿（.xls），不是 .xlsx：") + SaveAsXlsxOrCsvAdvice()};
    }
    Package package(bytes);
    if (!package.isOpen()) throw XlsxFailure{QStringLiteral("不是 Excel 工作簿（.xlsx）：文件已损坏，或是别的格式")};
    if (package.has(QStringLiteral("mimetype")) && !package.has(QStringLiteral("[Content_Types].xml")))
        throw XlsxFailure{QStringLiteral("这是 OpenDocument 表格（.ods），不是 .xlsx：") + SaveAsXlsxOrCsvAdvice()};

    QString workbook = targetOfType(relationships(package, QString()), QStringLiteral("/officeDocument"));
    if (workbook.isEmpty()) workbook = QStringLiteral("xl/workbook.xml");
    const QByteArray workbookXml = package.part(workbook);
    const std::map<QString, Relationship> rels = relationships(package, workbook);

    // The worksheets in the workbook's order: name and part; and the first one shown as a tab.
    std::vector<std::pair<QString, QString>> sheets;
    QString firstShown;
    bool from1904 = false; // the workbook's days count from 1904 (old Mac workbooks)
    QXmlStreamReader xml(workbookXml);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("workbookPr")) {
            const QStringView flag = xml.attributes().value(QLatin1String("date1904"));
            from1904 = flag == QLatin1String("1") || flag == QLatin1String("true");
        }
        if (!xml.isStartElement() || xml.name() != QLatin1String("sheet")) continue;
        QString name, id;
        bool hidden = false;
        for (const QXmlStreamAttribute &a : xml.attributes()) {
            if (a.name() == QLatin1String("name") && a.namespaceUri().isEmpty()) name = a.value().toString();
            if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty()) id = a.value().toString();
            if (a.name() == QLatin1String("state")) hidden = a.value() != QLatin1String("visible");
        }
        const auto rel = rels.find(id);
        if (rel != rels.end() && rel->second.type.endsWith(QLatin1String("/worksheet"))) {
            sheets.emplace_back(name, rel->second.target);
            if (!hidden && firstShown.isEmpty()) firstShown = rel->second.target;
        }
    }
    if (xml.hasError()) throw badXml(workbook, xml);
    if (sheets.empty()) throw XlsxFailure{QStringLiteral("工作簿里没有工作表")};
    QString part;
    if (wanted.isEmpty()) {
        part = firstShown.isEmpty() ? sheets.front().second : firstShown;
    } else {
        QStringList names;
        for (const auto &[name, target] : sheets) {
            if (name == wanted) part = target;
            names << QStringLiteral("“%1”").arg(name);
        }
        if (part.isEmpty())
            throw XlsxFailure{
                QStringLiteral("工作簿里没有名为“%1”的工作表；有：%2").arg(wanted, names.join(QStringLiteral("、")))};
    }

    XlsxSheetParts parts;
    parts.sheetName = part;
    parts.sheet = package.part(part);
    const QString strings = targetOfType(rels, QStringLiteral("/sharedStrings"));
    if (!strings.isEmpty()) parts.sharedStrings = package.part(strings, true);
    const QString styles = targetOfType(rels, QStringLiteral("/styles"));
    if (!styles.isEmpty()) parts.styles = package.part(styles, true);
    parts.from1904 = from1904;
    return rowsOfSheet(parts);
}

std::vector<CsvRecord> rowsOfSheet(const XlsxSheetParts &parts) {
    const std::vector<QString> strings = sharedStrings(parts.sharedStrings, QStringLiteral("sharedStrings.xml"));
    const std::vector<NumberShape> shapes = numberShapes(parts.styles, QStringLiteral("styles.xml"));
    const SheetCells cells = sheetCells(parts.sheet, SheetContext{strings, shapes, parts.from1904, parts.sheetName});

    std::vector<CsvRecord> records;
    for (const auto &[row, columns] : cells) {
        CsvRecord record;
        record.line = row;
        for (const auto &[column, text] : columns) {
            while (record.fields.size() < column)
                record.fields << QString();
            record.fields << text;
        }
        records.push_back(record);
    }
    return records;
}

} // namespace

QString SaveAsXlsxOrCsvAdvice() {
    return QStringLiteral("请在表格程序中另存为 .xlsx 或 CSV（UTF-8）");
}

std::vector<CsvRecord> ReadXlsxRows(const QString &label, const QByteArray &bytes, const QString &sheet,
                                    ImportProblems *problems) {
    try {
        return readRows(bytes, sheet);
    } catch (const XlsxFailure &failure) {
        problems->add(label, failure.message);
        return {};
    }
}

std::vector<CsvRecord> ReadXlsxSheetRows(const QString &label, const XlsxSheetParts &parts, ImportProblems *problems) {
    try {
        return rowsOfSheet(parts);
    } catch (const XlsxFailure &failure) {
        problems->add(label, failure.message);
        return {};
    }
}

std::vector<ImportedQuestion> ReadXlsxQuestions(const QString &label, const QByteArray &bytes, const QString &sheet,
                                                ImportProblems *problems) {
    const qsizetype before = problems->lines().size();
    const std::vector<CsvRecord> rows = ReadXlsxRows(label, bytes, sheet, problems);
    if (problems->lines().size() != before) return {};
    return QuestionsFromRows(label, rows, problems);
}
