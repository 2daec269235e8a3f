#include "AnswerScore.h"

#include <algorithm>

double AnswerPoints(const QString &answer, const QString &standardAnswer, ScoringRule rule, double points) {
    if (answer == standardAnswer) return points;
    if (answer.isEmpty() || rule == ScoringRule::AllOrNothing) return 0;
    for (const QChar letter : answer)
        if (!standardAnswer.contains(letter)) return 0;
    // Only part of the right options: never as much as the whole question.
    return std::min(kPartialPointsPerOption * answer.size(), points);
}

QString ExamMinutesOptionKey() {
    return QStringLiteral("EXAM_MINUTES");
}

QString ExamScoringOptionKey() {
    return QStringLiteral("EXAM_SCORING");
}

std::optional<int> ExamMinutesOf(const QString &optionValue) {
    const QString text = optionValue.trimmed();
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    bool ok = false;
    const int minutes = text.toInt(&ok);
    if (!ok || minutes < 1 || minutes > 600) return std::nullopt;
    return minutes;
}

std::optional<ScoringRule> ScoringRuleOf(const QString &optionValue) {
    const QString text = optionValue.trimmed();
    if (text == QStringLiteral("all_or_nothing")) return ScoringRule::AllOrNothing;
    if (text == QStringLiteral("partial")) return ScoringRule::PartialCredit;
    return std::nullopt;
}
