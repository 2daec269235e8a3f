#include "EngineFixture.h"
#include "ResultPayload.h"

namespace {

QString payload(const QStringList &pieces) {
    return pieces.join(PayloadSeparator());
}

} // namespace

TEST_F(EngineTest, AnswerListPayloadsCarryEachTypesStandardScore) {
    addPool();
    open();
    startNewPaper();
    engine->StoreAnswer(0, QStringLiteral("A"));
    engine->StoreAnswer(4, QStringLiteral("B"));
    const HandInResult result = engine->HandIn();
    const QString single = engine->PaperQuestionIds()[0];
    const QString sub = engine->PaperQuestionIds()[4];

    EXPECT_EQ(engine->AnswerListPayload(result.answerList[0]),
              payload({QStringLiteral("1"), QStringLiteral("单选题"), QStringLiteral("2分"), QStringLiteral("A"),
                       QStringLiteral("A"), QStringLiteral("2分"), QStringLiteral("解析") + single, single}));
    // A case row stands for its stem: five sub-questions' points. Not answered: no points.
    EXPECT_EQ(engine->AnswerListPayload(result.answerList[4]),
              payload({QStringLiteral("5"), QStringLiteral("不定项选择题"), QStringLiteral("10分"), QStringLiteral("A"),
                       QStringLiteral("B"), QStringLiteral("0分"), QStringLiteral("解析") + sub, sub}));
    EXPECT_EQ(engine->AnswerListPayload(result.answerList[5]).section(PayloadSeparator(), 4, 5),
              QStringLiteral("=*=&分"));
    // The explanation button gives the sub-question its own points.
    EXPECT_EQ(engine->ExplanationPayload(4).section(PayloadSeparator(), 2, 2), QStringLiteral("2分"));
    bank.statements.clear();
    engine->ExplanationPayload(0);
    EXPECT_EQ(sent(), (QStringList{QStringLiteral("select * from shijuan where xth = 1 and sjID = 1"),
                                   QStringLiteral("select * from kjks_tigan where tigan_id = ") + single}));
}

TEST_F(EngineTest, FourthTypeDecidesTheScoreTextsOfBothPayloads) {
    struct Case {
        const char16_t *fourth;
        const char16_t *listStandard, *listScore, *buttonStandard, *buttonScore, *buttonSingleScore;
    };
    // Fourth section: 2 questions worth 6, so 3 each; the operation answer is right.
    const Case cases[] = {
        {u"计算分析题", u"3", u"分", u"3", u"", u"2"},
        {u"电算化操作题", u"3分", u"分", u"3分", u"3分", u"2分"},
    };
    for (const Case &c : cases) {
        FixtureBank fresh;
        bank.model = fresh.model;
        addPool();
        for (int id : {41, 42})
            bank.addQuestion(id, QStringLiteral("实操题"), 1, 1, QStringLiteral("答案"), 0);
        setProfile("shicaotype", QString::fromUtf16(c.fourth));
        setProfile("shicaoti", QStringLiteral("2"));
        setProfile("shicaofen", QStringLiteral("6"));
        open();
        startNewPaper();
        bank.exec(QStringLiteral("update shijuan set KSDA = '答案' where sjID = 1 and xth = 5"));
        engine->StoreAnswer(0, QStringLiteral("A"));
        const PaperRow fourthRow = engine->ReadPaperRow(4);
        const QStringList list = engine->AnswerListPayload(fourthRow).split(PayloadSeparator());
        EXPECT_EQ(list[2], QString::fromUtf16(c.listStandard));
        EXPECT_EQ(list[5], QString::fromUtf16(c.listScore)); // not handed in yet: no points stored
        const QStringList button = engine->ExplanationPayload(4).split(PayloadSeparator());
        EXPECT_EQ(button[2], QString::fromUtf16(c.buttonStandard));
        EXPECT_EQ(button[5], QString::fromUtf16(c.buttonScore));
        // A right single-choice answer shows its own points, not the fourth section's.
        EXPECT_EQ(engine->ExplanationPayload(0).split(PayloadSeparator())[5], QString::fromUtf16(c.buttonSingleScore));
    }
}

TEST_F(EngineTest, AnExplanationFallsBackToTheChapterAndSectionNames) {
    struct Case {
        const char *change;
        const char *chapterSql, *sectionSql;
    };
    const Case cases[] = {
        {"update kjks_tigan set jiexi = '' where tigan_id = 11", "select mc from kjks_zhangjie where daima = \"0101\"",
         "select mc from kjks_zhangjie where daima = \"010101\""},
        {"update kjks_tigan set jiexi = NULL, zhang = NULL, jie = NULL where tigan_id = 11",
         "select mc from kjks_zhangjie where daima = \"0101\"",
         "select mc from kjks_zhangjie where daima = \"010102\""},
    };
    for (const Case &c : cases) {
        FixtureBank fresh;
        bank.model = fresh.model;
        addPool();
        open();
        bank.exec(QString::fromLatin1(c.change));
        bank.statements.clear();
        const QString section = QString::fromLatin1(c.sectionSql).contains(QStringLiteral("010102"))
                                    ? QStringLiteral("第二节 会计基本假设")
                                    : QStringLiteral("第一节 会计概念");
        EXPECT_EQ(engine->ExplanationOf(11), QStringLiteral("第一章 会计概述\n\r") + section);
        EXPECT_EQ(sent(), (QStringList{QStringLiteral("select * from kjks_tigan where tigan_id = 11"),
                                       QString::fromUtf8(c.chapterSql), QString::fromUtf8(c.sectionSql)}));
    }
}

TEST_F(EngineTest, AnswerListCellsShowAnOperationsAnswersAsOmitted) {
    PaperRow operation;
    operation.tixing = QStringLiteral("电算化操作题");
    PaperRow single;
    single.tixing = QStringLiteral("单选题");
    const QString longText = QString(60, QLatin1Char('A'));
    EXPECT_EQ(ExamEngine::AnswerCellText(operation, QStringLiteral("答案")), QStringLiteral("略"));
    EXPECT_EQ(ExamEngine::AnswerCellText(single, longText), longText.left(50));
    EXPECT_EQ(ExamEngine::AnswerCellText(single, QStringLiteral("AB")), QStringLiteral("AB"));
}
