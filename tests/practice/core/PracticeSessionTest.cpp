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

// Under the bank's partial credit a multiple choice and a case stem's sub-questions score part of
// their points; only the whole answer is right.
TEST(PracticeSession, PartialCreditScoresPartAnswersAndKeepsThemWrong) {
    FixtureBank bank;
    bank.model.options[QStringLiteral("EXAM_SCORING")] = QStringLiteral("partial");
    bank.addQuestion(1, QStringLiteral("多选题"), 1, 1, QStringLiteral("ABC"));
    bank.addStem(7, 1, 1);
    for (BankQuestion &q : bank.model.questions)
        if (q.id == 701) q.daan = QStringLiteral("AC");
    BankSession &form = bank.open();
    form.LoadExamProfile(QStringLiteral("1"));
    form.LoadExamOptions();

    PracticeSession session;
    session.open(QuestionType::Multiple, int(PracticeScope::All), QString());
    const struct {
        const char *answer, *score;
        bool right;
    } checks[] = {{"AB", "1分", false}, {"ABD", "0分", false}, {"A", "0.5分", false}, {"ABC", "2分", true}};
    for (const auto &c : checks) {
        const PracticeSession::Check check = session.checkQuestion(QuestionType::Multiple, QString::fromUtf8(c.answer));
        EXPECT_EQ(check.score, QString::fromUtf8(c.score)) << c.answer;
        EXPECT_EQ(check.right, c.right) << c.answer;
        EXPECT_EQ(bank.scalar(QStringLiteral("select DDCS from kjks_tigan where tigan_id = 1")).toString(),
                  QString::fromLatin1(c.right ? "0" : "1"))
            << c.answer;
    }

    // Sub-questions 701 (AC), 702 (B), 703 (C), 704 (D): A alone earns 0.5, B 2, AC against C nothing.
    session.open(QuestionType::Fourth, int(PracticeScope::All), QString());
    const std::vector<SubQuestionBoxes> boxes{{701, {true, false, false, false}},
                                              {702, {false, true, false, false}},
                                              {703, {true, false, true, false}},
                                              {704, {false, false, false, false}}};
    const QStringList payload = session.caseStemPayload(boxes).text().split(QStringLiteral("=*=&"));
    EXPECT_EQ(payload.value(5), QStringLiteral("2.5分"));
}

} // namespace
