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

QString ScoreText(bool right, double points) { return right ? FormatNumber(points) : QStringLiteral("0"); }

void RecordCheck(Dataset &row, bool right) {
    row.edit();
    row.setValue(QStringLiteral("DDCS"), right ? QStringLiteral("0") : QStringLiteral("1"));
    row.post();
}

void MarkAnswered(Dataset &row) {
    if (row.asString(QStringLiteral("YDCS")) != QStringLiteral("0")) return;
    row.edit();
    row.setValue(QStringLiteral("YDCS"), QStringLiteral("1"));
    row.post();
}

void CountAttempt(Dataset &row, const QString &answer) {
    const bool right = row.asString(QStringLiteral("daan")) == answer;
    const int total = row.asInteger(QStringLiteral("ZONGCS"));
    const int correct = row.asInteger(QStringLiteral("ZQCS"));
    row.edit();
    row.setValue(QStringLiteral("ZONGCS"), total + 1);
    if (right) row.setValue(QStringLiteral("ZQCS"), correct + 1);
    row.post();
}

QString ExplanationText(Dataset &lookup, const QString &sql, const QString &chapterName, const QString &sectionName) {
    lookup.openSql(sql);
    const QString text = DecodeQuestionText(lookup.firstValue().toString());
    if (!text.isEmpty()) return text;
    return chapterName + QStringLiteral("\n\r") + sectionName;
}

QString CaseStemAnswer(const std::vector<SubQuestionBoxes> &boxes) {
    std::vector<bool> all;
    for (const SubQuestionBoxes &sub : boxes) all.insert(all.end(), sub.ticked.begin(), sub.ticked.end());
    return LettersOf(all);
}

CaseStemScore ScoreCaseStem(Dataset &subQuestions, const std::vector<SubQuestionBoxes> &boxes,
                            double pointsPerSubQuestion) {
    CaseStemScore result;
    subQuestions.first();
    for (int k = 0; k < 4 && !subQuestions.eof(); ++k, subQuestions.next()) {
        const int id = subQuestions.asInteger(QStringLiteral("tigan_id"));
        const QString daan = subQuestions.asString(QStringLiteral("daan"));
        QString answer;
        for (const SubQuestionBoxes &sub : boxes)
            if (sub.tiganId == id) answer = LettersOf(sub.ticked);
        if (answer == daan) result.points += pointsPerSubQuestion;
        result.standardText += QStringLiteral("[") + daan + QStringLiteral("]、");
        result.answerText += QStringLiteral("[") + answer + QStringLiteral("]、");
    }
    return result;
}
