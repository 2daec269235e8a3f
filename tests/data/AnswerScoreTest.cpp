#include "AnswerScore.h"
#include "BankSession.h"
#include "ExamProfile.h"
#include "FixtureBank.h"

#include <gtest/gtest.h>

namespace {

constexpr auto All = ScoringRule::AllOrNothing;
constexpr auto Partial = ScoringRule::PartialCredit;

} // namespace

// The one scoring rule of the exam and of practice: answer × standard × rule × points → points.
TEST(AnswerPoints, ScoresEveryAnswerByTheRule) {
    struct Case {
        const char16_t *answer, *standard;
        ScoringRule rule;
        double points, expected;
    };
    const Case cases[] = {
        // All or nothing: the exact text, case-sensitive, in option order.
        {u"B", u"B", All, 2, 2},
        {u"ABD", u"ABD", All, 2, 2},
        {u"√", u"√", All, 1, 1},
        {u"AB", u"ABC", All, 2, 0},
        {u"DA", u"AD", All, 2, 0},
        {u"a", u"A", All, 2, 0},
        {u"", u"A", All, 2, 0},
        {u"", u"", All, 2, 2}, // a sub-question without an answer key and without ticks, as before
        // Partial credit: all right = full; fewer, none wrong = 0.5 each; any wrong = 0.
        {u"ABCD", u"ABCD", Partial, 2, 2},
        {u"ABC", u"ABCD", Partial, 2, 1.5},
        {u"AB", u"ABCD", Partial, 2, 1},
        {u"A", u"ABC", Partial, 2, 0.5},
        {u"ABE", u"ABCD", Partial, 2, 0},
        {u"ABCDE", u"ABCD", Partial, 2, 0}, // every right option and one wrong
        {u"E", u"ABCD", Partial, 2, 0},
        {u"ab", u"ABCD", Partial, 2, 0}, // lower case names no right option
        {u"", u"AB", Partial, 2, 0},
        {u"A", u"A", Partial, 2, 2},        // a case sub-question with one right option
        {u"AB", u"ABC", Partial, 0.5, 0.5}, // never more than the question's points
    };
    for (const Case &c : cases) {
        const QString answer = QString::fromUtf16(c.answer), standard = QString::fromUtf16(c.standard);
        EXPECT_EQ(AnswerPoints(answer, standard, c.rule, c.points), c.expected)
            << answer.toStdString() << " against " << standard.toStdString()
            << (c.rule == Partial ? " (partial)" : " (all or nothing)");
    }
}

TEST(ExamOptions, ValidValuesAreReadAndEverythingElseReadsAsNothing) {
    EXPECT_EQ(ExamMinutesOf(QStringLiteral("105")), 105);
    EXPECT_EQ(ExamMinutesOf(QStringLiteral(" 75 ")), 75);
    EXPECT_EQ(ExamMinutesOf(QStringLiteral("600")), 600);
    for (const char *bad : {"", "0", "601", "-5", "+90", "90.5", "105分钟", "1e2", "99999999999"})
        EXPECT_EQ(ExamMinutesOf(QString::fromUtf8(bad)), std::nullopt) << bad;

    EXPECT_EQ(ScoringRuleOf(QStringLiteral("partial")), Partial);
    EXPECT_EQ(ScoringRuleOf(QStringLiteral("all_or_nothing")), All);
    for (const char *bad : {"", "PARTIAL", "部分得分", "partial credit"})
        EXPECT_EQ(ScoringRuleOf(QString::fromUtf8(bad)), std::nullopt) << bad;
}

TEST(ExamOptions, TheDataModuleLoadsThemWithDefaultsForAbsentAndInvalidValues) {
    struct Case {
        const char *minutes, *scoring; // nullptr: no row
        std::optional<int> expectedMinutes;
        ScoringRule expectedRule;
    };
    for (const Case &c : {Case{nullptr, nullptr, std::nullopt, All}, Case{"105", "partial", 105, Partial},
                          Case{"两小时", "half", std::nullopt, All}, Case{"90", "all_or_nothing", 90, All}}) {
        FixtureBank bank;
        if (c.minutes) bank.model.options[QStringLiteral("EXAM_MINUTES")] = QString::fromUtf8(c.minutes);
        if (c.scoring) bank.model.options[QStringLiteral("EXAM_SCORING")] = QString::fromUtf8(c.scoring);
        examProfile() = ExamProfile{};
        examProfile().scoring = Partial; // a value left from before must not survive
        bank.open().LoadExamOptions();
        EXPECT_EQ(examProfile().examMinutes, c.expectedMinutes) << (c.minutes ? c.minutes : "none");
        EXPECT_EQ(examProfile().scoring, c.expectedRule) << (c.scoring ? c.scoring : "none");
    }
}
