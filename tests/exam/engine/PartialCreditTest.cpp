#include "EngineFixture.h"

// One paper under the real exam's rule, from the stored answers to the hand-in: partial points are
// stored, summed, shown and leave the question in the wrong-question set.
TEST_F(EngineTest, APaperUnderPartialCreditStoresSumsAndFlagsPartPoints) {
    addPool();
    bank.model.options[QStringLiteral("EXAM_SCORING")] = QStringLiteral("partial");
    bank.model.options[QStringLiteral("EXAM_MINUTES")] = QStringLiteral("105");
    for (BankQuestion &q : bank.model.questions) {
        if (q.tixing == QStringLiteral("多选题")) q.daan = QStringLiteral("ABC");
        if (!q.zongtimian.isEmpty()) q.daan = QStringLiteral("AC");
    }
    open();
    startNewPaper();
    EXPECT_EQ(ExamTimeForTitle(engine->SubjectTitle(), examProfile().examMinutes), 105 * 60);
    // Positions: 0–1 single (2 points each), 2 multiple (2), 3 judgement (1), 4–8 case (2 each).
    auto item = [&](int position) {
        return rows(QStringLiteral("select KSDA, defen from shijuan where sjID = 1 and xth = %1").arg(position + 1))
            .value(0);
    };

    // One option of a multiple choice is no answer: nothing is stored, and going back below two
    // options takes a stored answer away.
    EXPECT_TRUE(engine->NeedsTwoOptions(2));
    EXPECT_FALSE(engine->NeedsTwoOptions(4)); // a case sub-question takes one option or more
    EXPECT_EQ(engine->StoreAnswer(2, QStringLiteral("A")).xth, 0);
    EXPECT_EQ(item(2), QStringLiteral("NULL|NULL"));
    EXPECT_EQ(*engine->StoreAnswer(2, QStringLiteral("ABC")).defen, 2);
    EXPECT_EQ(engine->ClearAnswer(2).KSDA, QString());
    EXPECT_EQ(item(2), QStringLiteral("|NULL"));

    const struct {
        int position;
        const char *answer;
        const char *stored;
    } answers[] = {
        {0, "A", "A|2"},   {1, "B", "B|0"},   {2, "AB", "AB|1"}, {3, "√", "√|1"},
        {4, "A", "A|0.5"}, {5, "AC", "AC|2"}, {6, "AB", "AB|0"},
    };
    for (const auto &a : answers) {
        engine->StoreAnswer(a.position, QString::fromUtf8(a.answer));
        EXPECT_EQ(item(a.position), QString::fromUtf8(a.stored)) << a.position;
    }

    const HandInResult result = engine->HandIn();
    EXPECT_EQ(result.sumTexts, (std::array<QString, 5>{QStringLiteral("6.5"), QStringLiteral("2"), QStringLiteral("1"),
                                                       QStringLiteral("1"), QStringLiteral("2.5")}));
    EXPECT_EQ(rows(QStringLiteral("select DEFEN, DanDeFen, DuoDeFen, PanDeFen, AnLiDeFen from kjks_SJML")),
              QStringList{QStringLiteral("6.5|2|1|1|2.5")});
    EXPECT_EQ(result.sheet.totalText, QStringLiteral("6.5"));
    EXPECT_EQ(result.sheet.cells[2][3], QStringLiteral("1"));

    // Only full points take a question out of the wrong-question set.
    const QStringList ids = engine->PaperQuestionIds();
    auto ddcs = [&](int position) {
        return scalar(QStringLiteral("select DDCS from kjks_tigan where tigan_id = ") + ids.at(position)).toString();
    };
    const char *expected[] = {"0", "1", "1", "0", "1", "0", "1", "1", "1"};
    for (int p = 0; p < 9; ++p)
        EXPECT_EQ(ddcs(p), QString::fromLatin1(expected[p])) << "position " << p;

    // The review shows the part points the item holds.
    const QStringList multiple = engine->AnswerListPayload(result.answerList[2]).split(QStringLiteral("=*=&"));
    EXPECT_EQ(multiple.mid(2, 4),
              (QStringList{QStringLiteral("2分"), QStringLiteral("ABC"), QStringLiteral("AB"), QStringLiteral("1分")}));
    const QStringList caseItem = engine->ExplanationPayload(4).split(QStringLiteral("=*=&"));
    EXPECT_EQ(caseItem.value(5), QStringLiteral("0.5分"));
}

TEST_F(EngineTest, WithoutTheBanksOptionsTheExamKeepsTheTitlesTimeAndAllOrNothing) {
    addPool();
    for (BankQuestion &q : bank.model.questions)
        if (q.tixing == QStringLiteral("多选题")) q.daan = QStringLiteral("ABC");
    setTitle(QStringLiteral("初级会计实务"));
    open();
    startNewPaper();
    EXPECT_EQ(ExamTimeForTitle(engine->SubjectTitle(), examProfile().examMinutes), 7200);
    EXPECT_EQ(ExamTimeForTitle(QStringLiteral("经济法基础"), examProfile().examMinutes), 5400);
    EXPECT_FALSE(engine->NeedsTwoOptions(2));
    EXPECT_EQ(*engine->StoreAnswer(2, QStringLiteral("A")).defen, 0);
    EXPECT_EQ(*engine->StoreAnswer(2, QStringLiteral("AB")).defen, 0);
}
