#include "EngineFixture.h"

// Fixture paper: positions 0–1 single (2 points each), 2 multiple (2), 3 judgement (1), 4–8 case (2).

TEST_F(EngineTest, PositionsFallIntoTheProfilesSectionsInOrder) {
    open();
    const ExamProfile::Section expected[] = {ExamProfile::Single,    ExamProfile::Single, ExamProfile::Multiple,
                                             ExamProfile::TrueFalse, ExamProfile::Fourth, ExamProfile::Fourth};
    for (int p = 0; p < 6; ++p)
        EXPECT_EQ(engine->SectionOf(p), expected[p]) << p;
    EXPECT_EQ(engine->SectionStart(ExamProfile::Fourth), 4);
    EXPECT_EQ(engine->Total(), 9);
}

TEST_F(EngineTest, AStoredAnswerIsWrittenAndScoredWithItsSectionsPoints) {
    addPool();
    open();
    startNewPaper();
    struct Case {
        int position;
        const char16_t *answer;
        const char *scoreSql;
        double points;
    };
    const Case cases[] = {
        {0, u"A", "select ID,daan,defen,tigan_id from shijuan where xth = 1 and sjID =1", 2},
        {1, u"C", "select ID,daan,defen,tigan_id from shijuan where xth = 2 and sjID =1", 0},
        {2, u"AB", "select ID,daan,defen from shijuan where xth = 3 and sjID =1", 2},
        {2, u"A", "select ID,daan,defen from shijuan where xth = 3 and sjID =1", 0},
        {3, u"√", "select ID,daan,defen from shijuan where xth = 4 and sjID =1", 1},
        {4, u"A", "select ID,daan,defen from shijuan where xth = 5 and sjID =1", 2},
    };
    for (const Case &c : cases) {
        bank.statements.clear();
        const QString answer = QString::fromUtf16(c.answer);
        const PaperRow row = engine->StoreAnswer(c.position, answer);
        EXPECT_EQ(row.KSDA, answer);
        EXPECT_EQ(row.defen.value_or(-1), c.points) << c.position;
        EXPECT_EQ(sent(QStringLiteral("select")),
                  (QStringList{QStringLiteral("select * from shijuan where xth = %1 and sjID =1").arg(c.position + 1),
                               QString::fromLatin1(c.scoreSql)}));
        EXPECT_EQ(
            rows(QStringLiteral("select KSDA, defen from shijuan where sjID = 1 and xth = %1").arg(c.position + 1)),
            QStringList{answer + QLatin1Char('|') + QString::number(c.points)});
    }
}

TEST_F(EngineTest, MarksAreStoredAndReturnedWithTheAnswer) {
    addPool();
    open();
    startNewPaper();
    bank.statements.clear();
    PaperRow row = engine->SetMarked(1, true);
    EXPECT_TRUE(row.marked());
    EXPECT_FALSE(row.answered());
    EXPECT_EQ(sent(QStringLiteral("select")),
              QStringList{QStringLiteral("select * from shijuan where xth = 2 and sjID =1")});

    row = engine->StoreAnswer(1, QStringLiteral("B"));
    EXPECT_TRUE(row.marked()); // the card keeps it red
    row = engine->SetMarked(1, false);
    EXPECT_FALSE(row.marked());
    EXPECT_TRUE(row.answered());
    EXPECT_EQ(rows(QStringLiteral("select kaolv, KSDA from shijuan where sjID = 1 and xth = 2")),
              QStringList{QStringLiteral("0|B")});
}

TEST_F(EngineTest, NothingIsStoredForAnEmptyAnswerOrWhereThePaperHasNoItem) {
    addPool();
    setTitle(QStringLiteral("经济法基础")); // four sub-questions per case: position 8 stays empty
    open();
    startNewPaper();
    const QStringList before = rows(QStringLiteral("select * from shijuan order by id"));
    bank.statements.clear();

    EXPECT_EQ(engine->StoreAnswer(0, QString()).xth, 0);
    EXPECT_TRUE(bank.statements.isEmpty()); // not even a read
    EXPECT_EQ(engine->StoreAnswer(8, QStringLiteral("A")).xth, 0);
    EXPECT_EQ(engine->SetMarked(8, true).xth, 0);
    EXPECT_EQ(rows(QStringLiteral("select * from shijuan order by id")), before);

    // Without an open paper the practice's answer row (paper 0, number 200) stays untouched.
    launchParameters().PaperKey = QStringLiteral("0");
    EXPECT_THROW(engine->StoreAnswer(199, QStringLiteral("A")), PaperError);
    EXPECT_THROW(engine->SetMarked(199, true), PaperError);
    EXPECT_THROW(engine->HandIn(), PaperError);
    EXPECT_EQ(rows(QStringLiteral("select * from shijuan order by id")), before);
}

TEST_F(EngineTest, PresentationReadsOneItemAndSectionHandlersTheirSection) {
    addPool();
    open();
    startNewPaper();
    engine->StoreAnswer(3, QStringLiteral("×"));
    bank.statements.clear();

    const PaperRow row = engine->ReadPaperRow(3);
    EXPECT_EQ(row.xth, 4);
    EXPECT_EQ(row.tixing, QStringLiteral("判断题"));
    EXPECT_EQ(row.KSDA, QStringLiteral("×"));
    EXPECT_EQ(row.defen.value_or(-1), 0);
    EXPECT_EQ(engine->SectionRows(ExamProfile::Fourth).size(), 5u);
    EXPECT_EQ(sent(),
              (QStringList{QStringLiteral("select * from shijuan where xth = 4 and sjID = 1"),
                           QStringLiteral("select * from shijuan where tixing = \"不定项选择题\" and sjID = 1")}));
}
