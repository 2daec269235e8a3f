// The daily queue on fixture banks: due, not due, mastered, case stems, and practice over it.

#include "BankSession.h"
#include "FixtureBank.h"
#include "PracticeSession.h"
#include "RecordingPlatform.h"
#include "ReviewStore.h"
#include "SqlDatabase.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

const QDateTime kStart(QDate(2026, 5, 1), QTime(9, 0, 0));

class ReviewQueue : public ::testing::Test {
protected:
    void SetUp() override {
        for (int id : {1, 2, 3, 4, 5})
            bank.addQuestion(id, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
        bank.addQuestion(6, QStringLiteral("判断题"), 1, 1, QStringLiteral("√"), 0);
        bank.addStem(7, 1, 2);
        bank.open().LoadExamProfile(QStringLiteral("1"));
    }
    SqlDatabase &db() { return bankSession()->db; }
    void review(ReviewItem item, bool right, int dayOffset) {
        RecordReview(db(), item, right, kStart.addDays(dayOffset));
    }
    qint64 day(int offset) const { return ReviewDay(kStart.addDays(offset)); }

    RecordingPlatform platform;
    FixtureBank bank;
};

TEST_F(ReviewQueue, DueCountsListsAndMasteryFollowTheStates) {
    review({1, false}, false, 0);  // due day 1
    review({2, false}, false, -3); // wrong, then right: S 2.27 → due today
    review({2, false}, true, -2);
    review({3, false}, true, 0);  // never wrong: not in the queue
    review({4, false}, false, 0); // wrong, then right four times when due: S 45, due day 76
    review({4, false}, true, 1);
    review({4, false}, true, 4);
    review({4, false}, true, 12);
    review({4, false}, true, 31);
    review({6, false}, false, 0); // another type
    review({7, true}, false, 0);  // a case, by its stem

    EXPECT_EQ(CountDue(db(), day(0)).today, 1) << "only question 2 is due today";
    const DueCounts tomorrow = CountDue(db(), day(1));
    EXPECT_EQ(tomorrow.today, 4);
    EXPECT_EQ(tomorrow.nextSevenDays, 0);
    EXPECT_EQ(CountDue(db(), day(0)).nextSevenDays, 3);

    // Lowest retrievability first: a day on S 0.40 (question 1) leaves less than three on S 2.27 (2),
    // though 2 is the longer overdue.
    const QString fourth = QStringLiteral("不定项选择题");
    EXPECT_EQ(DueRowIds(db(), QuestionType::Single, fourth, day(1)), (std::vector<qint64>{1, 2}));
    EXPECT_EQ(DueRowIds(db(), QuestionType::Judgement, fourth, day(1)), (std::vector<qint64>{6}));
    EXPECT_EQ(DueRowIds(db(), QuestionType::Fourth, fourth, day(1)), (std::vector<qint64>{7}));
    EXPECT_EQ(DueRowIds(db(), QuestionType::Fourth, QStringLiteral("电算化操作题"), day(1)), std::vector<qint64>{})
        << "a stem is no operation question";

    const std::vector<int> forecast = DueForecast(db(), day(0), 30);
    ASSERT_EQ(forecast.size(), 30u);
    EXPECT_EQ(forecast[0], 1);
    EXPECT_EQ(forecast[1], 3);
    EXPECT_EQ(std::accumulate(forecast.begin(), forecast.end(), 0), 4) << "question 4 comes later";
    const std::optional<ReviewState> four = ReadReviewState(db(), {4, false});
    ASSERT_TRUE(four);
    EXPECT_EQ(four->dueDay, day(76));

    // Mastery shows on the wrong-question list only: question 4 is mastered but not wrong now.
    EXPECT_GE(four->memory.stability, 30);
    EXPECT_EQ(MasteredWrongQuestionIds(db(), ReviewSettings{}), std::set<int>{});
    bank.exec(QStringLiteral("update kjks_tigan set DDCS = '1' where tigan_id in (1, 4)"));
    EXPECT_EQ(MasteredWrongQuestionIds(db(), ReviewSettings{}), std::set<int>{4});

    // Due reviews: question 2's second and 4's last four, right, and 1 missed on its due day; first
    // reviews never count.
    review({1, false}, false, 1);
    const DueReviewTally tally = TallyDueReviews(db());
    EXPECT_EQ(tally.dueReviews, 6);
    EXPECT_EQ(tally.right, 5);
}

// A bank whose question ids are not its row keys: the list finds each question's row, and leaves
// out a question without an answer.
TEST_F(ReviewQueue, ABankWhoseIdsAreNotRowKeysListsTheQuestionsRows) {
    review({1, false}, false, 0);
    review({2, false}, false, 0);
    bank.exec(QStringLiteral("create table copied as select * from kjks_tigan order by tigan_id desc"));
    bank.exec(QStringLiteral("drop table kjks_tigan"));
    bank.exec(QStringLiteral("alter table copied rename to kjks_tigan"));
    const qint64 rowOfOne =
        bank.scalar(QStringLiteral("select _rowid_ from kjks_tigan where tigan_id = 1")).toLongLong();
    const qint64 rowOfTwo =
        bank.scalar(QStringLiteral("select _rowid_ from kjks_tigan where tigan_id = 2")).toLongLong();
    ASSERT_NE(rowOfOne, 1);
    const QString fourth = QStringLiteral("不定项选择题");
    EXPECT_EQ(DueRowIds(db(), QuestionType::Single, fourth, day(1)), (std::vector<qint64>{rowOfOne, rowOfTwo}));
    bank.exec(QStringLiteral("update kjks_tigan set daan = '' where tigan_id = 1"));
    EXPECT_EQ(DueRowIds(db(), QuestionType::Single, fourth, day(1)), (std::vector<qint64>{rowOfTwo}));
}

// A schedule kept before the states kept their question's type gets the types filled in once.
TEST_F(ReviewQueue, StatesKeptWithoutTheirTypeGetItFromTheirQuestion) {
    bank.exec(
        QStringLiteral("create table kjks_app_review_state (is_stem INTEGER NOT NULL, question_id INTEGER NOT NULL,"
                       " difficulty REAL NOT NULL, stability REAL NOT NULL, last_review TEXT NOT NULL,"
                       " last_day INTEGER NOT NULL, due_day INTEGER NOT NULL, lapses INTEGER NOT NULL,"
                       " PRIMARY KEY (is_stem, question_id))"));
    bank.exec(QStringLiteral("insert into kjks_app_review_state values (0, 6, 5, 1, '', %1, %1, 1),"
                             " (1, 7, 5, 1, '', %1, %1, 1)")
                  .arg(day(0)));
    const QString fourth = QStringLiteral("不定项选择题");
    EXPECT_EQ(DueRowIds(db(), QuestionType::Judgement, fourth, day(0)), std::vector<qint64>{6});
    EXPECT_EQ(DueRowIds(db(), QuestionType::Single, fourth, day(0)), std::vector<qint64>{});
    EXPECT_EQ(DueRowIds(db(), QuestionType::Fourth, fourth, day(0)), std::vector<qint64>{7});
}

TEST_F(ReviewQueue, TheDesiredRetentionIsASettingWithinItsRange) {
    EXPECT_DOUBLE_EQ(ReadReviewSettings(db()).desiredRetention, 0.90);
    SaveDesiredRetention(db(), 0.80);
    EXPECT_DOUBLE_EQ(ReadReviewSettings(db()).desiredRetention, 0.80);
    review({1, false}, true, 0);
    EXPECT_EQ(ReadReviewState(db(), {1, false})->dueDay, day(8)) << "S 3.17 at 80 %: 8 days";

    EXPECT_THROW(SaveDesiredRetention(db(), 0.99), KjksError);
    EXPECT_DOUBLE_EQ(ReadReviewSettings(db()).desiredRetention, 0.80) << "a refused value changes nothing";
    bank.exec(QStringLiteral("update kjks_app_settings set value = 'abc'"));
    EXPECT_DOUBLE_EQ(ReadReviewSettings(db()).desiredRetention, 0.90) << "an unusable stored value";
}

// "开始复习": the practice window's sets over today's due questions, which are checked and counted
// as in any practice, and each counted answer is the next review.
TEST_F(ReviewQueue, PracticeOverTheDueReviewsCountsAndReschedules) {
    review({1, false}, false, -1);
    review({2, false}, false, -5);
    review({5, false}, false, 3); // not due yet
    platform.clock = kStart;

    PracticeSession session;
    session.open(QuestionType::Single, int(PracticeScope::DueReviews), QStringLiteral("01"));
    Dataset &set = session.set(QuestionType::Single);
    ASSERT_EQ(set.recordCount(), 2);
    EXPECT_EQ(set.asInteger(QStringLiteral("tigan_id")), 2) << "lowest retrievability first";
    session.checkQuestion(QuestionType::Single, QStringLiteral("A"));
    ASSERT_TRUE(session.commitAndMove(QuestionType::Single, Move::Next));
    EXPECT_EQ(set.asInteger(QStringLiteral("tigan_id")), 1);
    EXPECT_EQ(bank.scalar(QStringLiteral("select ZQCS from kjks_tigan where tigan_id = 2")).toInt(), 1);
    EXPECT_GT(ReadReviewState(db(), {2, false})->dueDay, day(0));
    EXPECT_EQ(CountDue(db(), day(0)).today, 1);

    session.open(QuestionType::Multiple, int(PracticeScope::DueReviews), QString());
    EXPECT_FALSE(session.hasQuestions(QuestionType::Multiple));
}

} // namespace
