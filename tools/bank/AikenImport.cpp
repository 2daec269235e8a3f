#include "AikenImport.h"

#include "CsvImport.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// "ANSWER: B" (any case, a full-width colon too); captures what follows.
const QRegularExpression &answerLine() {
    static const QRegularExpression re(QStringLiteral("^ANSWER\\s*[:：]\\s*(.*)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// "A. text", "A) text", "A．text", "A）text", "A、text": the letter and the text.
const QRegularExpression &optionLine() {
    static const QRegularExpression re(QStringLiteral("^([A-Z])\\s*[.)．）、]\\s*(.*)$"));
    return re;
}

QStringList lines(const QByteArray &bytes) {
    QStringList out = DecodeSpreadsheetText(bytes).split(QLatin1Char('\n'));
    for (QString &line : out)
        line = line.trimmed(); // also drops the CR of CRLF
    return out;
}

} // namespace

bool LooksLikeAiken(const QByteArray &bytes) {
    bool answer = false;
    for (const QString &line : lines(bytes)) {
        if (line.contains(QLatin1Char('{'))) return false;
        answer = answer || answerLine().match(line).hasMatch();
    }
    return answer;
}

std::vector<ImportedQuestion> ReadAikenQuestions(const QString &label, const QByteArray &bytes, const QString &chapter,
                                                 ImportProblems *problems) {
    std::vector<ImportedQuestion> out;
    QString chapterName, sectionName;
    SplitChapterPath(chapter, &chapterName, &sectionName);
    const QStringList all = lines(bytes);

    ImportedQuestion q;
    QStringList stem;
    bool broken = false; // the question in progress was refused: skip to its answer line or a blank
    const auto reset = [&]() {
        q = ImportedQuestion();
        stem.clear();
    };
    for (int i = 0; i < all.size(); ++i) {
        const QString &line = all[i];
        const int number = i + 1;
        if (line.isEmpty()) {
            if (!broken && !stem.isEmpty())
                problems->add(label, q.line,
                              q.options.isEmpty() ? QStringLiteral("题干后面没有选项（A. …）和 ANSWER: 行")
                                                  : QStringLiteral("选项后面没有 ANSWER: 行"));
            broken = false;
            reset();
            continue;
        }
        const QRegularExpressionMatch answer = answerLine().match(line);
        if (broken) {
            if (answer.hasMatch()) {
                broken = false;
                reset();
            }
            continue;
        }
        if (stem.isEmpty()) {
            if (answer.hasMatch()) {
                problems->add(label, number, QStringLiteral("ANSWER: 行前面没有题干和选项"));
                continue;
            }
            q.line = number;
            stem << line;
            continue;
        }
        if (answer.hasMatch()) {
            if (q.options.isEmpty()) {
                problems->add(label, q.line, QStringLiteral("题干后面没有选项（A. …）"));
                reset();
                continue;
            }
            q.file = label;
            q.chapter = chapterName;
            q.section = sectionName;
            q.text = stem.join(QLatin1Char('\n'));
            q.answer = answer.captured(1).trimmed();
            int letters = 0;
            for (const QChar c : q.answer)
                letters += c.isLetter() ? 1 : 0;
            q.kind = letters > 1 ? ImportKind::Multiple : ImportKind::Single;
            out.push_back(q);
            reset();
            continue;
        }
        // An option takes the next letter; before the first one, lines continue the stem.
        const QRegularExpressionMatch option = optionLine().match(line);
        const QChar next = QChar(u'A' + int(q.options.size()));
        if (option.hasMatch() && option.captured(1)[0] == next) {
            if (option.captured(2).trimmed().isEmpty()) {
                problems->add(label, number, QStringLiteral("选项 %1 为空").arg(next));
                broken = true;
                continue;
            }
            q.options << option.captured(2).trimmed();
            continue;
        }
        if (q.options.isEmpty()) {
            stem << line;
            continue;
        }
        problems->add(label, number,
                      QStringLiteral("选项 %1 之后应是选项 %2 或 ANSWER: 行，而不是“%3”")
                          .arg(QChar(next.unicode() - 1))
                          .arg(next)
                          .arg(line.left(20)));
        broken = true;
    }
    if (!broken && !stem.isEmpty())
        problems->add(label, q.line,
                      q.options.isEmpty() ? QStringLiteral("题干后面没有选项（A. …）和 ANSWER: 行")
                                          : QStringLiteral("选项后面没有 ANSWER: 行"));
    return out;
}
