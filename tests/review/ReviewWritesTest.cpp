// Every counted practice answer and every handed-in exam answer is a review, written with the
// answer's counters in one transaction: both are kept, or neither.

#include "EngineFixture.h"
#include "PracticeSession.h"
#include "ReviewStore.h"
#include "SqlDatabase.h"

namespace {

int logRows(FixtureBank &bank) {
    return bank.scalar(QStringLiteral("select count(*) from kjks_app_review_log")).toInt();
}

class ReviewWrites : public EngineTest {
protected:
    // A trigger that refuses the write: the counters' update, or the review log's insert.
    void refuse(const char *when) {
        EnsureReviewTables(bankSession()->db);
        bank.exec(QStringLiteral("create trigger refuse %1 begin select raise(abort, 'refused'); end")
                      .arg(QString::fromLatin1(when)));
    }
};

TEST_F(ReviewWrites, APracticeAttemptAndItsReviewAreKeptTogetherOrNotAtAll) {
    addPool();
    open();
    platform.clock = QDateTime(QDate(2026, 5, 16), QTime(9, 0, 0));
    const QString zongcs = QStringLiteral("select ZONGCS from kjks_tigan where tigan_id = 11");
    const struct {
        const char *trigger; // none: both written
        int counted, logged;
    } cases[] = {
        {nullptr, 1, 1},
        {"before update of ZONGCS on kjks_tigan", 1, 1}, // refused: nothing more
        {"before insert on kjks_app_review_log", 1, 1},
    };
    for (const auto &c : cases) {
        PracticeSession session;
        session.open(QuestionType::Single, int(PracticeScope::All), QString());
        session.checkQuestion(QuestionType::Single, QStringLiteral("B"));
        if (c.trigger) {
            refuse(c.trigger);
            EXPECT_ANY_THROW(session.commitAndMove(QuestionType::Single, Move::Next)) << c.trigger;
            bank.exec(QStringLiteral("drop trigger refuse"));
        } else {
            session.commitAndMove(QuestionType::Single, Move::Next);
        }
        EXPECT_EQ(bank.scalar(zongcs).toInt(), c.counted) << (c.trigger ? c.trigger : "none");
        EXPECT_EQ(logRows(bank), c.logged) << (c.trigger ? c.trigger : "none");
    }
    const std::optional<ReviewState> state = ReadReviewState(bankSession()->db, {11, false});
    ASSERT_TRUE(state);
    EXPECT_EQ(state->lapses, 1) << "answered B, the answer is A";
}

TEST_F(ReviewWrites, AHandInReviewsEveryAnsweredQuestionAndACaseByItsStem) {
    addPool();
    open();
    startNewPaper();
    platform.clock = QDateTime(QDate(2026, 5, 16), QTime(10, 30, 0));
    engine->StoreAnswer(0, QStringLiteral("A")); // right
    engine->StoreAnswer(2, QStringLiteral("A")); // multiple, wrong
    engine->StoreAnswer(5, QStringLiteral("A")); // one sub-question of the case
    engine->HandIn();

    const QStringList ids = engine->PaperQuestionIds();
    const int stem = ids.at(4).toInt() / 100;
    EXPECT_EQ(
        rows(QStringLiteral("select question_id, is_stem, grade, reviewed_at from kjks_app_review_log order by id")),
        (QStringList{ids.at(0) + QStringLiteral("|0|3|2026-05-16T10:30:00"),
                     ids.at(2) + QStringLiteral("|0|1|2026-05-16T10:30:00"),
                     QString::number(stem) + QStringLiteral("|1|1|2026-05-16T10:30:00")}))
        << "unanswered questions are no review; the case is wrong while a sub-question missed points";
}

TEST_F(ReviewWrites, AHandInThatCannotWriteItsReviewsKeepsNothing) {
    addPool();
    open();
    startNewPaper();
    engine->StoreAnswer(0, QStringLiteral("A"));
    refuse("before insert on kjks_app_review_log");
    EXPECT_ANY_THROW(engine->HandIn());
    EXPECT_EQ(scalar(QStringLiteral("select JJSJ from kjks_SJML where sjID = 1")).toString(), QString());
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from kjks_tigan where DDCS = '1'")).toInt(), 0);

    bank.exec(QStringLiteral("drop trigger refuse"));
    refuse("before update of DDCS on kjks_tigan");
    EXPECT_ANY_THROW(engine->HandIn());
    EXPECT_EQ(logRows(bank), 0);
    EXPECT_EQ(count(QStringLiteral("kjks_app_review_state")), 0);
}

} // namespace
