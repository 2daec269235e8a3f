#include "AnswerChecks.h"

#include "Dataset.h"
#include "NumberText.h"
#include "QuestionText.h"

QString LettersOf(const std::vector<bool> &ticked) {
    QString letters;
    for (size_t i = 0; i < ticked.size(); ++i)
        if (ticked[i]) letters += OptionLetter(int(i));
    return letters;
}

QString ScoreText(bool right, double points) {
    return right ? FormatNumber(points) : QStringLiteral("0");
}

bool IsRightAnswer(const QString &standardAnswer, const QString &answer) {
    return standardAnswer == answer;
}

QuestionStats AfterCheck(QuestionStats stats, bool right) {
    stats.DDCS = right ? QStringLiteral("0") : QStringLiteral("1");
    if (stats.YDCS == QStringLiteral("0")) stats.YDCS = QStringLiteral("1");
    return stats;
}

QuestionStats AfterAttempt(QuestionStats stats, bool right) {
    ++stats.ZONGCS;
    if (right) ++stats.ZQCS;
    return stats;
}

QString AttemptsText(const QuestionStats &stats) {
    return QStringLiteral(" 【答对 %1 次-答错 %2 次】  解答题次%3")
        .arg(stats.ZQCS)
        .arg(stats.ZONGCS - stats.ZQCS)
        .arg(stats.ZONGCS);
}

QString AccuracyText(const QuestionStats &stats) {
    // A question never counted shows 0 %, not the figure of the question shown before it.
    if (stats.ZONGCS == 0) return QStringLiteral("题目答题的正确率 0%  ");
    return QStringLiteral("题目答题的正确率 %1% ").arg(qlonglong(stats.ZQCS) * 100 / stats.ZONGCS);
}

std::optional<QString> JudgementAnswerForm(const QString &storedAnswer) {
    if (storedAnswer == QStringLiteral("1")) return QStringLiteral("√");
    if (storedAnswer == QStringLiteral("0")) return QStringLiteral("×");
    return std::nullopt;
}

QString ExplanationOrChapter(const QString &decodedExplanation, const QString &chapterName,
                             const QString &sectionName) {
    if (!decodedExplanation.isEmpty()) return decodedExplanation;
    return chapterName + QStringLiteral("\n\r") + sectionName;
}

QString CaseStemAnswer(const std::vector<SubQuestionBoxes> &boxes) {
    std::vector<bool> all;
    for (const SubQuestionBoxes &sub : boxes)
        all.insert(all.end(), sub.ticked.begin(), sub.ticked.end());
    return LettersOf(all);
}

CaseStemScore ScoreCaseStem(const std::vector<SubQuestionKey> &subQuestions, const std::vector<SubQuestionBoxes> &boxes,
                            double pointsPerSubQuestion, ScoringRule rule) {
    CaseStemScore result;
    for (const SubQuestionKey &sub : subQuestions) {
        QString answer;
        for (const SubQuestionBoxes &own : boxes)
            if (own.tiganId == sub.tiganId) answer = LettersOf(own.ticked);
        result.points += AnswerPoints(answer, sub.daan, rule, pointsPerSubQuestion);
        result.standardText += QStringLiteral("[") + sub.daan + QStringLiteral("]、");
        result.answerText += QStringLiteral("[") + answer + QStringLiteral("]、");
    }
    return result;
}

QuestionStats ReadStats(Dataset &row) {
    QuestionStats stats;
    stats.DDCS = row.asString(QStringLiteral("DDCS"));
    stats.YDCS = row.asString(QStringLiteral("YDCS"));
    stats.ZONGCS = row.asInteger(QStringLiteral("ZONGCS"));
    stats.ZQCS = row.asInteger(QStringLiteral("ZQCS"));
    return stats;
}

void WriteStats(Dataset &row, const QuestionStats &before, const QuestionStats &after) {
    if (before == after) return;
    row.edit();
    if (after.DDCS != before.DDCS) row.setValue(QStringLiteral("DDCS"), after.DDCS);
    if (after.YDCS != before.YDCS) row.setValue(QStringLiteral("YDCS"), after.YDCS);
    if (after.ZONGCS != before.ZONGCS) row.setValue(QStringLiteral("ZONGCS"), after.ZONGCS);
    if (after.ZQCS != before.ZQCS) row.setValue(QStringLiteral("ZQCS"), after.ZQCS);
    row.post();
}

std::vector<SubQuestionKey> ReadSubQuestions(Dataset &subQuestions) {
    std::vector<SubQuestionKey> subs;
    subQuestions.first();
    for (; !subQuestions.eof(); subQuestions.next())
        subs.push_back(
            {subQuestions.asInteger(QStringLiteral("tigan_id")), subQuestions.asString(QStringLiteral("daan"))});
    return subs;
}
