// A practice session on a fixture bank, without a window.

#include "PracticeSession.h"
#include "FixtureBank.h"

#include <gtest/gtest.h>

namespace {

TEST(PracticeSession, ACheckIsWrittenAtOnceAndCountedOnceWhenTheLearnerMovesOn) {
    FixtureBank bank;
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.open().LoadExamProfile(QStringLiteral("1"));
    auto column = [&](int id, const char *name) {
        return bank
            .scalar(
                QStringLiteral("select %1 from kjks_tigan where tigan_id = %2").arg(QString::fromLatin1(name)).arg(id))
            .toString();
    };

    PracticeSession session;
    session.open(QuestionType::Single, int(PracticeScope::All), QString());
    ASSERT_TRUE(session.hasQuestions(QuestionType::Single));
    EXPECT_FALSE(session.hasQuestions(QuestionType::Multiple)) << "never opened";

    const PracticeSession::Check wrong = session.checkQuestion(QuestionType::Single, QStringLiteral("A"));
    EXPECT_FALSE(wrong.right);
    EXPECT_EQ(wrong.score, QStringLiteral("0分"));
    EXPECT_EQ(column(1, "DDCS"), QStringLiteral("1"));
    const PracticeSession::Check right = session.checkQuestion(QuestionType::Single, QStringLiteral("B"));
    EXPECT_EQ(right.score, QStringLiteral("2分"));
    EXPECT_EQ(column(1, "DDCS"), QStringLiteral("0"));
    EXPECT_EQ(column(1, "YDCS"), QStringLiteral("1"));
    EXPECT_EQ(column(1, "ZONGCS"), QStringLiteral("0")) << "counted only when leaving";
    EXPECT_EQ(session.questionPayload(QuestionType::Single, right).text(),
              QStringLiteral("1=*=&单选题=*=&2分=*=&B=*=&B=*=&2分=*=&解析1=*=&1"));

    session.commitAndMove(QuestionType::Single, Move::Next);
    EXPECT_EQ(session.pendingAnswer(), QString());
    EXPECT_EQ(column(1, "ZONGCS"), QStringLiteral("1"));
    EXPECT_EQ(column(1, "ZQCS"), QStringLiteral("1")) << "judged on the latest answer";
    EXPECT_EQ(session.set(QuestionType::Single).asInteger(QStringLiteral("tigan_id")), 2);

    session.commitAndMove(QuestionType::Single, Move::Previous);
    EXPECT_EQ(column(1, "ZONGCS"), QStringLiteral("1")) << "nothing pending, nothing counted";
    EXPECT_EQ(column(2, "ZONGCS"), QStringLiteral("0"));
    EXPECT_EQ(session.set(QuestionType::Single).asInteger(QStringLiteral("tigan_id")), 1);
}

} // namespace
