#include "EngineFixture.h"

namespace {

const QDateTime kHandIn(QDate(2026, 5, 16), QTime(10, 30, 0));

} // namespace

TEST_F(EngineTest, HandingInAnUnansweredPaperStoresZerosShowsEmptySumsAndFlagsEveryQuestion) {
    addPool();
    open();
    startNewPaper();
    platform.clock = kHandIn;
    bank.statements.clear();
    const HandInResult result = engine->HandIn();

    for (const QString &sum : result.sumTexts)
        EXPECT_EQ(sum, QString());
    for (double stored : result.stored)
        EXPECT_EQ(stored, 0);
    const std::vector<std::array<QString, 4>> sheet{{
        {QStringLiteral("题型"), QStringLiteral("题量"), QStringLiteral("总分"), QStringLiteral("得分")},
        {QStringLiteral("单选题"), QStringLiteral("2"), QStringLiteral("4"), QString()},
        {QStringLiteral("多选题"), QStringLiteral("1"), QStringLiteral("2"), QString()},
        {QStringLiteral("判断题"), QStringLiteral("1"), QStringLiteral("1"), QString()},
        {QStringLiteral("不定项选择题"), QStringLiteral("5"), QStringLiteral("10"), QString()},
        {QStringLiteral("合计"), QString(), QStringLiteral("17"), QString()}, // the sections' points added up
    }};
    EXPECT_EQ(result.sheet.cells, sheet);
    EXPECT_EQ(result.sheet.totalText, QString());
    EXPECT_EQ(rows(QStringLiteral("select JJSJ, DEFEN, DanDeFen, DuoDeFen, PanDeFen, AnLiDeFen from kjks_SJML")),
              QStringList{QStringLiteral("2026-05-16 10:30:00|0|0|0|0|0")});
    EXPECT_EQ(rows(QStringLiteral("select distinct DDCS from kjks_tigan where tigan_id in (select tigan_id from "
                                  "shijuan where sjID = 1)")),
              QStringList{QStringLiteral("1")});
    // Questions outside the paper keep their flag.
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from kjks_tigan where DDCS = '1'")).toInt(), 9);
    // The chapter tree's kept counts follow the hand-in's writes.
    EXPECT_EQ(ProgressCountsDrift(bankSession()->db), QString());

    QStringList expected{QStringLiteral("select * from shijuan where tixing = \"电算化操作题\" and sjID =1"),
                         QStringLiteral("select sum(defen) from shijuan where sjID = 1"),
                         QStringLiteral("select sum(defen) from shijuan where sjID = 1 and tixing = \"单选题\""),
                         QStringLiteral("select sum(defen) from shijuan where sjID = 1 and tixing = \"多选题\""),
                         QStringLiteral("select sum(defen) from shijuan where sjID = 1 and tixing = \"判断题\""),
                         QStringLiteral("select sum(defen) from shijuan where sjID = 1 and tixing = \"不定项选择题\""),
                         QStringLiteral("select * from kjks_SJML where sjID = 1"),
                         QStringLiteral("select * from shijuan where sjID = 1 order by ID asc")};
    for (const QString &id : engine->PaperQuestionIds())
        expected << QStringLiteral("select * from kjks_tigan where tigan_id = ") + id;
    // The paper's one case, by its stem.
    expected
        << QStringLiteral("select * from zongtigan where id = %1").arg(engine->PaperQuestionIds().at(4).toInt() / 100);
    EXPECT_EQ(sent(QStringLiteral("select")), expected);
    ASSERT_EQ(result.answerList.size(), 9u);
    EXPECT_EQ(result.answerList[0].xth, 1);
}

TEST_F(EngineTest, OperationItemsAreScoredAtHandIn) {
    addPool();
    for (int id : {41, 42})
        bank.addQuestion(id, QStringLiteral("实操题"), 1, 1, QStringLiteral("答案"), 0);
    setProfile("shicaotype", QStringLiteral("电算化操作题"));
    setProfile("shicaoti", QStringLiteral("2"));
    setProfile("shicaofen", QStringLiteral("6"));
    open();
    startNewPaper();
    // The operation program writes the learner's answer into the item; only one matches.
    bank.exec(QStringLiteral("update shijuan set KSDA = '答案' where sjID = 1 and xth = 5"));
    const HandInResult result = engine->HandIn();

    EXPECT_EQ(rows(QStringLiteral("select defen from shijuan where sjID = 1 and xth > 4 order by xth")),
              (QStringList{QStringLiteral("3"), QStringLiteral("0")}));
    EXPECT_EQ(result.sumTexts[4], QStringLiteral("3"));
    EXPECT_EQ(result.sumTexts[0], QStringLiteral("3"));
    EXPECT_EQ(result.sumTexts[1], QString());
    EXPECT_EQ(result.sheet.cells[4][3], QStringLiteral("3"));
    EXPECT_EQ(result.sheet.totalText, QStringLiteral("3"));
}

TEST_F(EngineTest, SectionSumsFollowTheProfilesTypeNames) {
    const char *columns[] = {"danxuan", "duoxuan", "panduan"};
    const QString names[] = {QStringLiteral("单项选择题"), QStringLiteral("多项选择题"), QStringLiteral("判断正误题")};
    const int ids[] = {11, 21, 31};
    const QString daan[] = {QStringLiteral("A"), QStringLiteral("AB"), QStringLiteral("√")};
    for (int s = 0; s < 3; ++s) {
        setProfile(columns[s], names[s]);
        bank.addQuestion(ids[s], names[s], 1, 1, daan[s]);
        bank.addQuestion(ids[s] + 1, names[s], 1, 1, daan[s]);
    }
    setProfile("shicaotype", QStringLiteral("其他")); // no fourth section
    open();
    startNewPaper();
    for (int p = 0; p < 4; ++p)
        engine->StoreAnswer(p, engine->ReadPaperRow(p).daan);
    const HandInResult result = engine->HandIn();
    EXPECT_EQ(result.sumTexts, (std::array<QString, 5>{QStringLiteral("7"), QStringLiteral("4"), QStringLiteral("2"),
                                                       QStringLiteral("1"), QString()}));
    EXPECT_EQ(rows(QStringLiteral("select DEFEN, DanDeFen, DuoDeFen, PanDeFen, AnLiDeFen from kjks_SJML")),
              QStringList{QStringLiteral("7|4|2|1|0")});
}

TEST_F(EngineTest, AReopenedPaperCountsOnlyTheNewAttempt) {
    addPool();
    open();
    startNewPaper();
    const int first = engine->PaperQuestionIds()[0].toInt();
    engine->StoreAnswer(0, QStringLiteral("A"));
    EXPECT_EQ(engine->HandIn().sumTexts[0], QStringLiteral("2"));
    EXPECT_EQ(scalar(QStringLiteral("select DDCS from kjks_tigan where tigan_id = %1").arg(first)).toString(),
              QStringLiteral("0"));

    launchParameters().PaperKey = QStringLiteral("1"); // "重做" from the history
    engine->StartPaper();
    const HandInResult again = engine->HandIn();
    EXPECT_EQ(again.sumTexts[0], QString());
    EXPECT_EQ(again.sumTexts[1], QString());
    EXPECT_EQ(rows(QStringLiteral("select DEFEN, DanDeFen from kjks_SJML")), QStringList{QStringLiteral("0|0")});
    EXPECT_EQ(scalar(QStringLiteral("select DDCS from kjks_tigan where tigan_id = %1").arg(first)).toString(),
              QStringLiteral("1"));
}

TEST_F(EngineTest, AFailurePartWayThroughAHandInLeavesTheBankAsItWas) {
    addPool();
    for (int id : {41, 42})
        bank.addQuestion(id, QStringLiteral("实操题"), 1, 1, QStringLiteral("答案"), 0);
    setProfile("shicaotype", QStringLiteral("电算化操作题"));
    setProfile("shicaoti", QStringLiteral("2"));
    open();
    startNewPaper();
    engine->StoreAnswer(0, QStringLiteral("A"));
    const QStringList items = rows(QStringLiteral("select * from shijuan order by id"));
    const QStringList questions = rows(QStringLiteral("select tigan_id, DDCS from kjks_tigan order by tigan_id"));
    // The third flag cannot be written.
    bank.exec(QStringLiteral("create table flag_writes (n INTEGER)"));
    bank.exec(QStringLiteral("create trigger fail_flags before update of DDCS on kjks_tigan when (select count(*) from "
                             "flag_writes) >= 2 begin select raise(abort, 'disk I/O error'); end"));
    bank.exec(QStringLiteral("create trigger count_flags after update of DDCS on kjks_tigan begin insert into "
                             "flag_writes values (1); end"));

    EXPECT_THROW(engine->HandIn(), SqlError);
    EXPECT_EQ(rows(QStringLiteral("select JJSJ, DEFEN, DanDeFen from kjks_SJML")),
              QStringList{QStringLiteral("NULL|NULL|NULL")});
    EXPECT_EQ(rows(QStringLiteral("select * from shijuan order by id")), items); // operation points too
    EXPECT_EQ(rows(QStringLiteral("select tigan_id, DDCS from kjks_tigan order by tigan_id")), questions);
    EXPECT_EQ(count(QStringLiteral("flag_writes")), 0);
}

TEST_F(EngineTest, APaperAnsweredThroughTheEngineIsHandedInWithEveryValueStored) {
    addPool();
    open();
    startNewPaper();
    const QStringList ids = engine->PaperQuestionIds();
    // Right: single 1, multiple, case sub-questions 1 and 3 (answers A, C); wrong: single 2,
    // judgement, case sub-question 2; sub-questions 4 and 5 left open.
    const std::pair<int, QString> answers[] = {
        {0, QStringLiteral("A")}, {1, QStringLiteral("B")}, {2, QStringLiteral("AB")}, {3, QStringLiteral("×")},
        {4, QStringLiteral("A")}, {5, QStringLiteral("D")}, {6, QStringLiteral("C")},
    };
    for (const auto &a : answers)
        engine->StoreAnswer(a.first, a.second);
    platform.clock = kHandIn;
    const HandInResult result = engine->HandIn();

    EXPECT_EQ(result.sumTexts, (std::array<QString, 5>{QStringLiteral("8"), QStringLiteral("2"), QStringLiteral("2"),
                                                       QStringLiteral("0"), QStringLiteral("4")}));
    EXPECT_EQ(result.sheet.totalText, QStringLiteral("8"));
    EXPECT_EQ(result.sheet.cells[1][3], QStringLiteral("2"));
    EXPECT_EQ(result.sheet.cells[3][3], QStringLiteral("0"));
    EXPECT_EQ(result.sheet.cells[5][3], QStringLiteral("8"));
    EXPECT_EQ(
        rows(QStringLiteral("select sjID, DTKSSJ, JJSJ, DEFEN, DanDeFen, DuoDeFen, PanDeFen, AnLiDeFen, flag_state "
                            "from kjks_SJML")),
        QStringList{QStringLiteral("1|2026-05-16 09:00:00|2026-05-16 10:30:00|8|2|2|0|4|0")});

    QStringList expectedItems;
    const char *stored[][3] = {{"A", "2", "0"}, {"B", "0", "1"}, {"AB", "2", "0"}, {"×", "0", "1"}, {"A", "2", "0"},
                               {"D", "0", "1"}, {"C", "2", "0"}, {"", "", "1"},    {"", "", "1"}};
    QStringList expectedFlags;
    for (int i = 0; i < 9; ++i) {
        const QString ksda = QString::fromUtf8(stored[i][0]);
        const QString defen = QString::fromLatin1(stored[i][1]);
        expectedItems << QStringLiteral("%1|%2|%3|%4")
                             .arg(i + 1)
                             .arg(ids[i], ksda.isEmpty() ? QStringLiteral("NULL") : ksda,
                                  defen.isEmpty() ? QStringLiteral("NULL") : defen);
        expectedFlags << ids[i] + QLatin1Char('|') + QString::fromLatin1(stored[i][2]) + QStringLiteral("|0");
    }
    EXPECT_EQ(rows(QStringLiteral("select xth, tigan_id, KSDA, defen from shijuan where sjID = 1 order by id")),
              expectedItems);
    QStringList flags;
    for (const QString &id : ids)
        flags << rows(QStringLiteral("select tigan_id, DDCS, YDCS from kjks_tigan where tigan_id = ") + id);
    EXPECT_EQ(flags, expectedFlags); // YDCS untouched
    ASSERT_EQ(result.answerList.size(), 9u);
    EXPECT_EQ(result.answerList[1].KSDA, QStringLiteral("B"));
    EXPECT_FALSE(result.answerList[7].defen.has_value());
}

// A case is practised and counted by its stem: a case sub-question that missed points on a paper
// brings its case to the wrong-question set, and a case answered in full takes it out again.
TEST_F(EngineTest, CaseSubQuestionsDecideTheirStemsWrongFlag) {
    addPool();
    open();
    startNewPaper();
    const int stem = engine->PaperQuestionIds().at(4).toInt() / 100;
    const QString stemFlag = QStringLiteral("select DDCS from zongtigan where id = %1").arg(stem);
    const QString otherStemFlag = QStringLiteral("select DDCS from zongtigan where id <> %1").arg(stem);
    const QString before = scalar(otherStemFlag).toString();
    const QString right[5] = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                              QStringLiteral("A")};
    for (int k = 0; k < 5; ++k)
        engine->StoreAnswer(4 + k, k == 2 ? QStringLiteral("D") : right[k]); // one sub-question wrong
    engine->HandIn();
    EXPECT_EQ(scalar(stemFlag).toString(), QStringLiteral("1"));
    EXPECT_EQ(scalar(otherStemFlag).toString(), before); // a case not on the paper keeps its flag

    engine->ReopenPaper();
    for (int k = 0; k < 5; ++k)
        engine->StoreAnswer(4 + k, right[k]);
    engine->HandIn();
    EXPECT_EQ(scalar(stemFlag).toString(), QStringLiteral("0"));
}

// Storing what is already stored writes nothing; a changed answer and its points go in together.
TEST_F(EngineTest, AnAnswerIsWrittenOnlyWhenItChangesAndWithItsPoints) {
    addPool();
    open();
    startNewPaper();
    engine->StoreAnswer(0, QStringLiteral("A"));
    bank.statements.clear();
    EXPECT_EQ(engine->StoreAnswer(0, QStringLiteral("A")).defen, std::optional<double>(2));
    EXPECT_EQ(engine->SetMarked(0, false).kaolv, QString());
    EXPECT_TRUE(sent(QStringLiteral("update")).isEmpty());
    EXPECT_TRUE(sent(QStringLiteral("insert")).isEmpty());

    // The points cannot be written: the answer is not left without them.
    bank.exec(QStringLiteral("create trigger refuse_points before update of defen on shijuan "
                             "begin select raise(abort, 'database or disk is full'); end"));
    EXPECT_THROW(engine->StoreAnswer(0, QStringLiteral("B")), std::exception);
    EXPECT_EQ(scalar(QStringLiteral("select KSDA || '|' || defen from shijuan where sjID = 1 and xth = 1")).toString(),
              QStringLiteral("A|2.0"));
}
