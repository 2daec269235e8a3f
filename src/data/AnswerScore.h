#pragma once

#include <QString>
#include <optional>

// How a bank scores the answers of multiple-choice questions and case sub-questions.
enum class ScoringRule {
    // All or nothing: the exact text earns the points, anything else 0.
    AllOrNothing,
    // The real exam's rule: all right options earn the points; fewer, none of them wrong, earn 0.5
    // per right option chosen; any wrong option earns 0.
    PartialCredit,
};

// The points one answer earns under a rule. Answers are letters in option order (as stored); the
// texts are compared case-sensitively ("ab" names no right option). Every place that scores an
// answer (the exam's stored points, practice's checks) calls this one function.
double AnswerPoints(const QString &answer, const QString &standardAnswer, ScoringRule rule, double points);

// Points per right option chosen under partial credit.
inline constexpr double kPartialPointsPerOption = 0.5;

// The sys_option keys a bank states its exam with, and their readings. An absent or invalid value
// reads as nothing: the title's default time, all-or-nothing scoring.
QString ExamMinutesOptionKey(); // "EXAM_MINUTES": whole minutes, 1 to 600
QString ExamScoringOptionKey(); // "EXAM_SCORING": "all_or_nothing" or "partial"
std::optional<int> ExamMinutesOf(const QString &optionValue);
std::optional<ScoringRule> ScoringRuleOf(const QString &optionValue);
