#include "GiftImport.h"

#include "CsvImport.h"
#include "MarkupText.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

// A question's text with every backslash escape resolved: `literal` marks characters that were
// escaped, which never act as GIFT's special characters.
struct GiftChar {
    QChar c;
    bool literal = false;
};
using GiftText = std::vector<GiftChar>;

GiftText lex(const QString &raw) {
    static const QString escapable = QStringLiteral(":#=~{}\\");
    GiftText out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == QLatin1Char('\\') && i + 1 < raw.size()) {
            const QChar next = raw[i + 1];
            if (escapable.contains(next)) {
                out.push_back({next, true});
                ++i;
                continue;
            }
            if (next == QLatin1Char('n')) {
                out.push_back({QLatin1Char('\n'), true});
                ++i;
                continue;
            }
            out.push_back({raw[i], true});
            continue;
        }
        out.push_back({raw[i], false});
    }
    return out;
}

// The first unescaped occurrence of `what` at or after `from`, or -1.
qsizetype find(const GiftText &t, const QString &what, qsizetype from = 0) {
    for (qsizetype i = from; i + what.size() <= qsizetype(t.size()); ++i) {
        bool match = true;
        for (qsizetype k = 0; k < what.size() && match; ++k)
            match = !t[size_t(i + k)].literal && t[size_t(i + k)].c == what[k];
        if (match) return i;
    }
    return -1;
}

GiftText slice(const GiftText &t, qsizetype from, qsizetype to = -1) {
    if (to < 0 || to > qsizetype(t.size())) to = qsizetype(t.size());
    if (from >= to) return {};
    return GiftText(t.begin() + from, t.begin() + to);
}

QString plain(const GiftText &t) {
    QString s;
    for (const GiftChar &g : t)
        s += g.c;
    return s.trimmed();
}

// How a text part is written: Moodle's markers, or none (taken as it stands).
enum class TextFormat { Unmarked, Plain, Moodle, Html, Markdown };

// A leading "[html]"-style marker of `t` (after blanks): its format and where the text starts.
TextFormat leadingFormat(const GiftText &t, TextFormat otherwise, qsizetype *textStart) {
    static const std::pair<const char *, TextFormat> markers[] = {{"[html]", TextFormat::Html},
                                                                  {"[moodle]", TextFormat::Moodle},
                                                                  {"[plain]", TextFormat::Plain},
                                                                  {"[markdown]", TextFormat::Markdown}};
    qsizetype start = 0;
    while (start < qsizetype(t.size()) && t[size_t(start)].c.isSpace())
        ++start;
    for (const auto &[marker, format] : markers)
        if (find(t, QString::fromLatin1(marker), start) == start) {
            *textStart = start + qsizetype(qstrlen(marker));
            return format;
        }
    *textStart = 0;
    return otherwise;
}

// Drops a leading "::title::".
GiftText withoutTitle(GiftText t) {
    qsizetype start = 0;
    while (start < qsizetype(t.size()) && t[size_t(start)].c.isSpace())
        ++start;
    if (find(t, QStringLiteral("::"), start) == start) {
        const qsizetype end = find(t, QStringLiteral("::"), start + 2);
        if (end >= 0) t = slice(t, end + 2);
    }
    return t;
}

// One text part of a question (stem, option, feedback) in the bank's plain text: its own marker, or
// the question text's format. Sets *picture when the part holds an <img> tag.
QString partText(const GiftText &part, TextFormat questionFormat, bool *picture) {
    qsizetype start = 0;
    const TextFormat format = leadingFormat(part, questionFormat, &start);
    const QString raw = plain(slice(part, start));
    if (format == TextFormat::Plain || format == TextFormat::Unmarked) {
        if (format == TextFormat::Unmarked && raw.contains(QLatin1String("<img"), Qt::CaseInsensitive)) *picture = true;
        return raw;
    }
    if (raw.contains(QLatin1String("<img"), Qt::CaseInsensitive)) *picture = true;
    return MarkupToPlainText(raw, format == TextFormat::Html     ? MarkupKind::Html
                                  : format == TextFormat::Moodle ? MarkupKind::MoodleAuto
                                                                 : MarkupKind::Markdown);
}

// "$course$/top/章/节": the last two parts that are not Moodle's own ($...$ and top).
void categoryPlace(const QString &path, QString *chapter, QString *section) {
    QStringList parts;
    for (const QString &p : path.split(QLatin1Char('/'))) {
        const QString part = p.trimmed();
        if (part.isEmpty() || part.startsWith(QLatin1Char('$')) || part == QLatin1String("top")) continue;
        parts << part;
    }
    chapter->clear();
    section->clear();
    if (parts.isEmpty()) return;
    *section = parts.last();
    *chapter = parts.size() >= 2 ? parts[parts.size() - 2] : parts.last();
}

struct Block {
    int line = 0;
    QString text;
};

// Reads one question; on a mistake returns false and says why.
bool readQuestion(const GiftText &whole, ImportedQuestion *q, QString *error) {
    qsizetype textStart = 0;
    const GiftText titled = withoutTitle(whole);
    const TextFormat format = leadingFormat(titled, TextFormat::Unmarked, &textStart);
    const GiftText t = slice(titled, textStart);
    bool picture = false;
    const auto text = [&](const GiftText &part) { return partText(part, format, &picture); };

    const qsizetype open = find(t, QStringLiteral("{"));
    if (open < 0) {
        *error = QStringLiteral("没有答案部分 {…}：只导入单选、多选和判断题");
        return false;
    }
    const qsizetype close = find(t, QStringLiteral("}"), open + 1);
    if (close < 0) {
        *error = QStringLiteral("答案部分的 { 没有对应的 }（题目中的花括号写成 \\{ \\}）");
        return false;
    }
    const QString before = text(slice(t, 0, open));
    const QString after = text(slice(t, close + 1));
    q->text = after.isEmpty() ? before : before + QStringLiteral("（　）") + after;

    GiftText answers = slice(t, open + 1, close);
    QStringList explanation;
    const qsizetype general = find(answers, QStringLiteral("####"));
    if (general >= 0) {
        explanation << text(slice(answers, general + 4));
        answers = slice(answers, 0, general);
    }
    const QString body = plain(answers);
    if (body.isEmpty()) {
        *error = QStringLiteral("空的答案部分 {} 是问答题，不能导入：只导入单选、多选和判断题");
        return false;
    }
    const auto finish = [&]() {
        if (picture) {
            *error = QStringLiteral("含有图片（<img>），不能导入：题库的图片放在源文件夹的 pictures/ 中");
            return false;
        }
        explanation.removeAll(QString());
        q->explanation = explanation.join(QLatin1Char('\n'));
        return true;
    };

    // True/false: {T}, {FALSE#feedback for a wrong answer#feedback for a right one}.
    const qsizetype hash = find(answers, QStringLiteral("#"));
    const QString verdict = plain(slice(answers, 0, hash)).toUpper();
    if (verdict == QLatin1String("T") || verdict == QLatin1String("TRUE") || verdict == QLatin1String("F") ||
        verdict == QLatin1String("FALSE")) {
        q->kind = ImportKind::Judgement;
        q->answer = verdict.startsWith(QLatin1Char('T')) ? QStringLiteral("√") : QStringLiteral("×");
        for (qsizetype from = hash; from >= 0;) {
            const qsizetype next = find(answers, QStringLiteral("#"), from + 1);
            explanation << text(slice(answers, from + 1, next));
            from = next;
        }
        return finish();
    }

    if (body.startsWith(QLatin1Char('#'))) {
        *error = QStringLiteral("数值题（{#…}）不能导入：只导入单选、多选和判断题");
        return false;
    }
    if (find(answers, QStringLiteral("->")) >= 0) {
        *error = QStringLiteral("匹配题（->）不能导入：只导入单选、多选和判断题");
        return false;
    }
    // Choices: each starts at an unescaped = or ~.
    std::vector<qsizetype> starts;
    for (qsizetype i = 0; i < qsizetype(answers.size()); ++i)
        if (!answers[size_t(i)].literal &&
            (answers[size_t(i)].c == QLatin1Char('=') || answers[size_t(i)].c == QLatin1Char('~')))
            starts.push_back(i);
    if (starts.empty() || !plain(slice(answers, 0, starts.front())).isEmpty()) {
        *error = QStringLiteral("答案部分要以 = 或 ~ 开头的选项写成");
        return false;
    }
    struct Choice {
        bool equals = false; // written with =
        double weight = 0;   // ~%n%; 0 without one
        QString feedback;
    };
    std::vector<Choice> choices;
    for (size_t k = 0; k < starts.size(); ++k) {
        Choice choice;
        choice.equals = answers[size_t(starts[k])].c == QLatin1Char('=');
        GiftText part = slice(answers, starts[k] + 1, k + 1 < starts.size() ? starts[k + 1] : -1);
        const qsizetype p1 = find(part, QStringLiteral("%"));
        if (p1 >= 0 && plain(slice(part, 0, p1)).isEmpty()) {
            const qsizetype p2 = find(part, QStringLiteral("%"), p1 + 1);
            bool ok = false;
            if (p2 > p1) choice.weight = plain(slice(part, p1 + 1, p2)).toDouble(&ok);
            if (!ok || choice.weight < -100 || choice.weight > 100) {
                *error = QStringLiteral("选项的分值 %…% 写错了：应是 -100 到 100 之间的数，如 ~%50%");
                return false;
            }
            part = slice(part, p2 + 1);
        }
        const qsizetype fb = find(part, QStringLiteral("#"));
        const QString option = text(slice(part, 0, fb));
        if (option.isEmpty()) {
            *error = QStringLiteral("第 %1 个选项为空").arg(k + 1);
            return false;
        }
        q->options << option;
        choice.feedback = fb >= 0 ? text(slice(part, fb + 1)) : QString();
        choices.push_back(choice);
    }
    const auto equalsCount = std::count_if(choices.begin(), choices.end(), [](const Choice &c) { return c.equals; });
    if (equalsCount == qsizetype(choices.size())) {
        *error = QStringLiteral("只有 = 没有 ~ 的是填空题，不能导入：只导入单选、多选和判断题");
        return false;
    }
    if (equalsCount > 1) {
        *error =
            QStringLiteral("有 %1 个 = 选项：单选题只写一个 =，多选题用分值写正确选项，如 {~%50%甲 ~%50%乙 ~%-100%丙}")
                .arg(equalsCount);
        return false;
    }
    // One = makes a single choice whatever the other weights (partial credit has no place in the
    // bank); without one, the options of positive weight are the answer and add up to 100%.
    QString letters;
    double total = 0;
    for (size_t k = 0; k < choices.size(); ++k) {
        const bool right = equalsCount == 1 ? choices[k].equals : choices[k].weight > 0;
        if (!right) continue;
        letters += QChar(u'A' + int(k % 26));
        total += choices[k].weight;
        explanation << choices[k].feedback;
    }
    if (letters.isEmpty()) {
        *error = QStringLiteral("没有正确答案：正确选项以 = 开头，或带正的分值 ~%50%");
        return false;
    }
    if (equalsCount == 0 && std::abs(total - 100) > 1) {
        *error = QStringLiteral("正确选项的分值加起来是 %1%，应为 100%：单选写 =，多选如 {~%50%甲 ~%50%乙 ~%-100%丙}")
                     .arg(QString::number(total, 'g', 6));
        return false;
    }
    q->kind = letters.size() == 1 ? ImportKind::Single : ImportKind::Multiple;
    q->answer = letters;
    return finish();
}

} // namespace

std::vector<ImportedQuestion> ReadGiftQuestions(const QString &label, const QByteArray &bytes,
                                                const QString &uncategorised, ImportProblems *problems) {
    // Blocks of lines between blank lines, comments left out.
    std::vector<Block> blocks;
    const QStringList lines = DecodeSpreadsheetText(bytes).split(QLatin1Char('\n'));
    bool open = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("//"))) continue;
        if (trimmed.isEmpty()) {
            open = false;
            continue;
        }
        // A category line stands on its own even without a blank line after it.
        if (trimmed.startsWith(QLatin1String("$CATEGORY:"))) {
            blocks.push_back(Block{i + 1, trimmed});
            open = false;
            continue;
        }
        if (!open) blocks.push_back(Block{i + 1, QString()});
        Block &b = blocks.back();
        if (open) b.text += QLatin1Char('\n');
        b.text += line;
        open = true;
    }

    std::vector<ImportedQuestion> out;
    QString defaultChapter, defaultSection;
    SplitChapterPath(uncategorised, &defaultChapter, &defaultSection);
    QString chapter = defaultChapter, section = defaultSection;
    for (const Block &b : blocks) {
        if (b.text.startsWith(QLatin1String("$CATEGORY:"))) {
            categoryPlace(b.text.mid(10), &chapter, &section);
            if (chapter.isEmpty()) { // Moodle's own top category
                chapter = defaultChapter;
                section = defaultSection;
            }
            continue;
        }
        ImportedQuestion q;
        q.file = label;
        q.line = b.line;
        q.chapter = chapter;
        q.section = section;
        QString error;
        if (!readQuestion(lex(b.text), &q, &error)) {
            problems->add(label, b.line, error);
            continue;
        }
        out.push_back(q);
    }
    return out;
}
