#include "CsvImport.h"

#include "Gbk.h"

#include <QStringDecoder>
#include <map>
#include <optional>

namespace csvcolumns {
QString id() {
    return QStringLiteral("编号");
}
QString type() {
    return QStringLiteral("题型");
}
QString chapter() {
    return QStringLiteral("章节");
}
QString caseLabel() {
    return QStringLiteral("案例");
}
QString text() {
    return QStringLiteral("题干");
}
QString answer() {
    return QStringLiteral("答案");
}
QString explanation() {
    return QStringLiteral("解析");
}
} // namespace csvcolumns

QString DecodeSpreadsheetText(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    return GbkToUnicode(bytes);
}

std::vector<CsvRecord> SplitCsv(const QString &text, int *errorLine) {
    std::vector<CsvRecord> records;
    *errorLine = 0;
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto atLineEnd = [&](qsizetype at) { return text[at] == QLatin1Char('\n') || text[at] == QLatin1Char('\r'); };
    // Steps over one line end at i (CRLF, LF or CR alone).
    const auto skipLineEnd = [&]() {
        if (text[i] == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
        ++i;
        ++line;
    };
    while (i < n) {
        CsvRecord record;
        record.line = line;
        for (;;) {
            QString field;
            if (i < n && text[i] == QLatin1Char('"')) {
                const int opened = line;
                ++i;
                for (;;) {
                    if (i >= n) {
                        *errorLine = opened;
                        return records;
                    }
                    if (text[i] == QLatin1Char('"')) {
                        if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                            field += QLatin1Char('"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (atLineEnd(i)) {
                        skipLineEnd(); // a line break inside a cell is kept as one LF
                        field += QLatin1Char('\n');
                        continue;
                    }
                    field += text[i++];
                }
            }
            // Unquoted text, or anything after a closing quote, up to the separator or line end.
            while (i < n && text[i] != QLatin1Char(',') && !atLineEnd(i))
                field += text[i++];
            record.fields << field;
            if (i < n && text[i] == QLatin1Char(',')) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n) skipLineEnd();
        records.push_back(record);
    }
    return records;
}

namespace {

std::optional<ImportKind> kindOf(const QString &written) {
    static const std::map<QString, ImportKind> kinds = {
        {QStringLiteral("单选题"), ImportKind::Single},        {QStringLiteral("单选"), ImportKind::Single},
        {QStringLiteral("多选题"), ImportKind::Multiple},      {QStringLiteral("多选"), ImportKind::Multiple},
        {QStringLiteral("判断题"), ImportKind::Judgement},     {QStringLiteral("判断"), ImportKind::Judgement},
        {QStringLiteral("实操题"), ImportKind::Operation},     {QStringLiteral("实操"), ImportKind::Operation},
        {QStringLiteral("案例"), ImportKind::CaseStem},        {QStringLiteral("案例题"), ImportKind::CaseStem},
        {QStringLiteral("不定项选择题"), ImportKind::CaseSub}, {QStringLiteral("不定项"), ImportKind::CaseSub},
        {QStringLiteral("不定项选择"), ImportKind::CaseSub}};
    const auto it = kinds.find(written.trimmed());
    if (it == kinds.end()) return std::nullopt;
    return it->second;
}

bool isBlankRecord(const CsvRecord &r) {
    for (const QString &f : r.fields)
        if (!f.trimmed().isEmpty()) return false;
    return true;
}

} // namespace

std::vector<ImportedQuestion> ReadCsvQuestions(const QString &label, const QByteArray &bytes,
                                               ImportProblems *problems) {
    // Excel's "Unicode text" is UTF-16: named as what it is, not read as GBK garbage.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        problems->add(
            label, 1,
            QStringLiteral("文件是 UTF-16 编码（Excel 的“Unicode 文本”）：请在 Excel 中另存为“CSV UTF-8（逗号分隔）”"));
        return {};
    }
    int unclosed = 0;
    const std::vector<CsvRecord> records = SplitCsv(DecodeSpreadsheetText(bytes), &unclosed);
    if (unclosed > 0) {
        problems->add(label, unclosed, QStringLiteral("引号没有闭合：单元格以 \" 开头，到文件末尾也没有结束的 \""));
        return {};
    }
    return QuestionsFromRows(label, records, problems);
}

std::vector<ImportedQuestion> QuestionsFromRows(const QString &label, const std::vector<CsvRecord> &records,
                                                ImportProblems *problems) {
    std::vector<ImportedQuestion> out;
    size_t first = 0;
    while (first < records.size() && isBlankRecord(records[first]))
        ++first;
    if (first == records.size()) {
        problems->add(label, QStringLiteral("文件里没有表头和题目"));
        return out;
    }

    // Columns by their header name.
    const CsvRecord &header = records[first];
    std::map<QString, int> column;
    std::map<int, int> optionColumn; // option index -> column
    for (int c = 0; c < header.fields.size(); ++c) {
        const QString name = header.fields[c].trimmed();
        if (name.isEmpty()) continue;
        const bool letter =
            name.size() == 1 && name[0].toUpper() >= QLatin1Char('A') && name[0].toUpper() <= QLatin1Char('Z');
        const bool fresh = letter ? optionColumn.emplace(name[0].toUpper().unicode() - u'A', c).second
                                  : column.emplace(name, c).second;
        if (!fresh) problems->add(label, header.line, QStringLiteral("表头“%1”出现了两次").arg(name));
    }
    QStringList missing;
    for (const QString &required :
         {csvcolumns::type(), csvcolumns::chapter(), csvcolumns::text(), csvcolumns::answer()})
        if (column.find(required) == column.end()) missing << required;
    if (!missing.isEmpty()) {
        // A spreadsheet saved with another separator (Excel in many European settings uses ';') has
        // every name in one cell.
        const QString whole = header.fields.join(QLatin1Char(','));
        for (const auto &[separator, name] : {std::make_pair(QLatin1Char(';'), QStringLiteral("分号")),
                                              std::make_pair(QLatin1Char('\t'), QStringLiteral("制表符"))})
            if (whole.split(separator).size() > 1 && whole.contains(csvcolumns::type()) &&
                whole.contains(csvcolumns::text())) {
                problems->add(label, header.line,
                              QStringLiteral("文件用%1分隔各列，不是逗号：请另存为逗号分隔的 CSV（UTF-8）").arg(name));
                return out;
            }
        problems->add(label, header.line,
                      QStringLiteral("表头缺少“%1”列（表头至少要有：题型、章节、题干、答案；选项列为 A、B、C……）")
                          .arg(missing.join(QStringLiteral("”“"))));
        return out;
    }

    for (size_t r = first + 1; r < records.size(); ++r) {
        const CsvRecord &rec = records[r];
        if (isBlankRecord(rec)) continue;
        const auto cell = [&](const QString &name) {
            const auto it = column.find(name);
            return it == column.end() || it->second >= rec.fields.size() ? QString() : rec.fields[it->second];
        };
        ImportedQuestion q;
        q.file = label;
        q.line = rec.line;
        // A refused row is left out, after every mistake of it is named.
        bool refused = false;
        const std::optional<ImportKind> kind = kindOf(cell(csvcolumns::type()));
        if (!kind) {
            problems->add(label, rec.line,
                          QStringLiteral("题型“%1”不认识：写 单选题、多选题、判断题、实操题、案例 或 不定项选择题")
                              .arg(cell(csvcolumns::type()).trimmed()));
            refused = true;
        }
        q.kind = kind.value_or(ImportKind::Single);
        const QString id = cell(csvcolumns::id()).trimmed();
        if (!id.isEmpty()) {
            bool ok = false;
            q.id = id.toInt(&ok, 10);
            if (!ok || q.id <= 0) {
                problems->add(label, rec.line, QStringLiteral("编号“%1”不是正整数").arg(id));
                refused = true;
            }
        }
        SplitChapterPath(cell(csvcolumns::chapter()), &q.chapter, &q.section);
        q.caseLabel = cell(csvcolumns::caseLabel()).trimmed();
        q.text = cell(csvcolumns::text());
        q.answer = cell(csvcolumns::answer());
        q.explanation = cell(csvcolumns::explanation());
        // Options A, B, ... up to the last filled one; a gap before it is a mistake.
        int last = -1;
        for (const auto &[index, c] : optionColumn)
            if (c < rec.fields.size() && !rec.fields[c].trimmed().isEmpty()) last = index;
        bool gap = false;
        for (int o = 0; o <= last && !gap; ++o) {
            const auto it = optionColumn.find(o);
            const QString option =
                it == optionColumn.end() || it->second >= rec.fields.size() ? QString() : rec.fields[it->second];
            if (option.trimmed().isEmpty()) {
                problems->add(label, rec.line,
                              QStringLiteral("选项 %1 为空，而后面的选项 %2 有内容：选项从 A 起连续填写")
                                  .arg(QChar(u'A' + o))
                                  .arg(QChar(u'A' + last)));
                gap = true;
            }
            q.options << option;
        }
        if (gap || refused) continue;
        out.push_back(q);
    }
    return out;
}
