// The practice rules as values: no window, no bank.

#include "AnswerChecks.h"
#include "PracticeQueries.h"
#include "QuestionTypes.h"
#include "SqlError.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

QuestionStats stats(const char *ddcs, const char *ydcs, int zongcs, int zqcs) {
    return {QString::fromUtf8(ddcs), QString::fromUtf8(ydcs), zongcs, zqcs};
}

TEST(PracticeRules, AnAnswerIsRightOnlyWhenItEqualsTheStandardExactly) {
    struct Case {
        const char *standard;
        const char *answer;
        bool right;
    } cases[] = {{"AC", "AC", true}, {"ac", "AC", false}, {"AC", "CA", false}, {"AC", "AC ", false},
                 {"√", "√", true},   {"1", "√", false},   {"", "", true},      {"", "A", false}};
    for (const Case &c : cases)
        EXPECT_EQ(IsRightAnswer(QString::fromUtf8(c.standard), QString::fromUtf8(c.answer)), c.right)
            << c.standard << " / " << c.answer;
}

TEST(PracticeRules, ChecksAndAttemptsChangeTheirOwnColumnsOnly) {
    struct Case {
        const char *name;
        QuestionStats before;
        bool right;
        QuestionStats afterCheck;
        QuestionStats afterAttempt;
    } cases[] = {
        {"new, right", stats("1", "0", 0, 0), true, stats("0", "1", 0, 0), stats("1", "0", 1, 1)},
        {"new, wrong", stats("0", "0", 0, 0), false, stats("1", "1", 0, 0), stats("0", "0", 1, 0)},
        {"answered before", stats("1", "1", 4, 1), true, stats("0", "1", 4, 1), stats("1", "1", 5, 2)},
        // Only "0" turns answered: other stored values are left as they are.
        {"empty flag", stats("", "", 0, 0), false, stats("1", "", 0, 0), stats("", "", 1, 0)},
        {"odd flag", stats("0", "2", 7, 7), true, stats("0", "2", 7, 7), stats("0", "2", 8, 8)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AfterCheck(c.before, c.right), c.afterCheck);
        EXPECT_EQ(AfterAttempt(c.before, c.right), c.afterAttempt);
    }
}

TEST(PracticeRules, HeaderTextsOfTheStatistics) {
    EXPECT_EQ(AttemptsText(stats("", "", 0, 0)), QStringLiteral(" 【答对 0 次-答错 0 次】  解答题次0"));
    EXPECT_EQ(AttemptsText(stats("", "", 5, 2)), QStringLiteral(" 【答对 2 次-答错 3 次】  解答题次5"));
    EXPECT_EQ(AccuracyText(stats("", "", 0, 0)), QStringLiteral("题目答题的正确率 0%  "))
        << "never the previous question's";
    EXPECT_EQ(AccuracyText(stats("", "", 3, 2)), QStringLiteral("题目答题的正确率 66% ")) << "rounded down";
    EXPECT_EQ(AccuracyText(stats("", "", 1, 1)), QStringLiteral("题目答题的正确率 100% "));
}

TEST(PracticeRules, JudgementAnswersAndExplanations) {
    EXPECT_EQ(JudgementAnswerForm(QStringLiteral("1")), QStringLiteral("√"));
    EXPECT_EQ(JudgementAnswerForm(QStringLiteral("0")), QStringLiteral("×"));
    EXPECT_EQ(JudgementAnswerForm(QStringLiteral("√")), std::nullopt);
    EXPECT_EQ(JudgementAnswerForm(QStringLiteral("10")), std::nullopt);

    EXPECT_EQ(ExplanationOrChapter(QStringLiteral("解析"), QStringLiteral("章"), QStringLiteral("节")),
              QStringLiteral("解析"));
    EXPECT_EQ(ExplanationOrChapter(QString(), QStringLiteral("章"), QStringLiteral("节")), QStringLiteral("章\n\r节"));
}

TEST(PracticeRules, CaseStemsAreAnsweredAsAWholeAndScoredPerSubQuestion) {
    // Sub-questions of 2, 3 and 1 boxes, and a fifth one that is scored like the others.
    const std::vector<SubQuestionBoxes> boxes = {
        {11, {true, false}}, {12, {false, true, true}}, {13, {true}}, {15, {true, false}}};
    EXPECT_EQ(CaseStemAnswer(boxes), QStringLiteral("ADEFG"));
    EXPECT_EQ(CaseStemAnswer({{11, {false, false}}}), QString());

    const std::vector<SubQuestionKey> subs = {{11, QStringLiteral("A")},
                                              {12, QStringLiteral("BC")},
                                              {13, QStringLiteral("B")},
                                              {14, QStringLiteral("A")},
                                              {15, QStringLiteral("A")}};
    const CaseStemScore score = ScoreCaseStem(subs, boxes, 2.5);
    EXPECT_EQ(score.points, 7.5) << "11, 12 and 15 right; 13 wrong; 14 has no boxes";
    EXPECT_EQ(score.standardText, QStringLiteral("[A]、[BC]、[B]、[A]、[A]、"));
    EXPECT_EQ(score.answerText, QStringLiteral("[A]、[BC]、[A]、[]、[A]、"));

    EXPECT_EQ(ScoreCaseStem({}, boxes, 2).points, 0.0);
    EXPECT_EQ(ScoreCaseStem(subs, {}, 2).answerText, QStringLiteral("[]、[]、[]、[]、[]、"));
}

TEST(PracticeRules, ChapterCodesPositionTheSets) {
    struct Case {
        const char *code;
        bool positioned;
        int chapter;
        int section;
    } codes[] = {
        {"1", false, 0, 0}, {"", false, 0, 0}, {"103", true, 3, 1}, {"10312", true, 3, 12}, {"1031", false, 0, 0}};
    for (const Case &c : codes) {
        const ChapterStart start = ParseChapterCode(QString::fromLatin1(c.code));
        EXPECT_EQ(start.positioned, c.positioned) << c.code;
        EXPECT_EQ(start.chapter, c.chapter) << c.code;
        EXPECT_EQ(start.section, c.section) << c.code;
    }
}

TEST(Vocabulary, FourthTypeNamesAndScopes) {
    struct Case {
        const char *name;
        FourthKind kind;
        bool caseStems;
    } names[] = {{"不定项选择题", FourthKind::CaseStem, true}, {"案例分析题", FourthKind::Other, true},
                 {"计算分析题", FourthKind::Analysis, false},  {"电算化操作题", FourthKind::Operation, false},
                 {"实操题", FourthKind::Other, false},         {"", FourthKind::Other, false}};
    for (const Case &c : names) {
        EXPECT_EQ(FourthKindOf(QString::fromUtf8(c.name)), c.kind) << c.name;
        EXPECT_EQ(CountsCaseStems(QString::fromUtf8(c.name)), c.caseStems) << c.name;
    }
    EXPECT_EQ(PracticeScopeOf(0), PracticeScope::All);
    EXPECT_EQ(PracticeScopeOf(4), PracticeScope::Answered);
    EXPECT_EQ(PracticeScopeOf(5), PracticeScope::DueReviews);
    for (int bad : {-1, 6})
        EXPECT_THROW(PracticeScopeOf(bad), KjksError) << bad;
    // The fourth set of an operation profile reads the bank's operation rows.
    EXPECT_EQ(PracticeSetSql(QuestionType::Fourth, PracticeScope::Wrong, OperationTypeName()),
              QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"实操题\" and DDCS = \"1\"  "
                             "order by zhang,jie asc"));
    // Whether a set holds a question: its own conditions, one row, no order (stems have none).
    EXPECT_EQ(AnyPracticeQuestionSql(QuestionType::Fourth, PracticeScope::Wrong, OperationTypeName()),
              QStringLiteral(
                  "select 1 from kjks_tigan where daan <> \"\" and  tixing = \"实操题\" and DDCS = \"1\"  limit 1"));
    EXPECT_EQ(AnyPracticeQuestionSql(QuestionType::Fourth, PracticeScope::Favourites, QStringLiteral("不定项选择题")),
              QStringLiteral("select 1 from zongtigan where daan <> \"\" and   shoucang = \"1\" limit 1"));
}

} // namespace
