#include "EngineFixture.h"
#include "PaperSql.h"

#include <QSet>

#include <set>

namespace {

QString ids(const QStringList &list) {
    return list.join(QLatin1Char(','));
}

} // namespace

TEST_F(EngineTest, NewPaperWritesItsRowsSectionBySectionWithTheQuotedStatements) {
    addPool();
    open();
    startNewPaper();

    EXPECT_EQ(launchParameters().PaperKey, QStringLiteral("1")); // empty catalogue: paper 1
    EXPECT_EQ(rows(QStringLiteral("select sjID, DTKSSJ, JJSJ, DEFEN, flag_state from kjks_SJML")),
              QStringList{QStringLiteral("1|2026-05-16 09:00:00|NULL|NULL|0")});

    const QStringList paperIds = engine->PaperQuestionIds();
    ASSERT_EQ(paperIds.size(), 9);
    EXPECT_EQ(engine->FillCounter(), 10);
    const QStringList items = rows(QStringLiteral(
        "select xth, tixing, tigan_id, daan, KSDA, defen, kaolv from shijuan where sjID = 1 order by id"));
    ASSERT_EQ(items.size(), 9);
    const QString types[] = {QStringLiteral("单选题"), QStringLiteral("单选题"), QStringLiteral("多选题"),
                             QStringLiteral("判断题")};
    const QString answers[] = {QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("AB"), QStringLiteral("√")};
    for (int i = 0; i < 9; ++i) {
        // Case sub-questions carry the profile's fourth type name and their own answers.
        const QString type = i < 4 ? types[i] : QStringLiteral("不定项选择题");
        const QString daan = i < 4 ? answers[i] : QString(QChar(u'A' + (i - 4) % 4));
        EXPECT_EQ(items[i], QStringLiteral("%1|%2|%3|%4|NULL|NULL|NULL").arg(i + 1).arg(type, paperIds[i], daan));
    }
    EXPECT_NE(paperIds[0], paperIds[1]);
    const int stem = paperIds[4].toInt() / 100;
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(paperIds[4 + k].toInt(), stem * 100 + k + 1);

    auto fetch = [&](int i) { return ObjectiveFetchSql(paperIds[i].toInt()); };
    const QStringList expected{
        QStringLiteral("select max(sjID) from kjks_SJML"),
        QStringLiteral("select * from kjks_SJML where 1 =2"),
        QStringLiteral("select * from shijuan where 1 = 2"),
        QStringLiteral("select tigan_id from kjks_tigan where flag_state <> 1 and daan <> \"\" and tixing = '单选题' "
                       "and  shijuan = '随机'"),
        fetch(0),
        fetch(1),
        QStringLiteral("select tigan_id from kjks_tigan where daan <> \"\" and  flag_state <> 1 and tixing = '多选题' "
                       "and  shijuan = '随机'"),
        fetch(2),
        QStringLiteral("select tigan_id from kjks_tigan where flag_state <> 1 and daan <> \"\" and  tixing = '判断题' "
                       "and  shijuan = '随机'"),
        fetch(3),
        QStringLiteral("select id from zongtigan where flag_state <> 1  and  shijuan = '随机'"),
        QStringLiteral("select tigan_id,daan from kjks_tigan where flag_state <> 1 and zongtimian = \"%1\"  order by "
                       "tigan_ID")
            .arg(stem)};
    EXPECT_EQ(sent(QStringLiteral("select")), expected);
    EXPECT_EQ(platform.pausedMs, 0);
}

TEST_F(EngineTest, NewPaperNumberFollowsTheHighestStoredOne) {
    addPool();
    BankPaper old;
    old.sjID = 12;
    bank.model.papers.push_back(old);
    open();
    startNewPaper();
    EXPECT_EQ(launchParameters().PaperKey, QStringLiteral("13"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from shijuan where sjID = 13")).toInt(), 9);
}

TEST_F(EngineTest, OnlyEligibleRowsAreDrawnAndEveryOneOfThemIsReachable) {
    // Eligible singles 11–13; the others are withdrawn, unanswerable, of another set or type.
    addPool();
    bank.addQuestion(14, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).flag_state = 1;
    bank.addQuestion(15, QStringLiteral("单选题"), 1, 1, QString());
    bank.addQuestion(16, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).shijuan = QStringLiteral("真题");
    // Two cases of 5 from stems 7 and 8; stem 9 is withdrawn.
    bank.addStem(9, 1, 2).flag_state = 1;
    setProfile("shicaoti", QStringLiteral("10"));
    open();

    std::set<std::pair<int, QString>> singles; // (slot, id)
    for (quint64 seed = 0; seed < 40; ++seed) {
        platform.seed = seed;
        startNewPaper();
        const QStringList paper = engine->PaperQuestionIds();
        singles.insert({0, paper[0]});
        singles.insert({1, paper[1]});
        // Both usable stems, each once, the withdrawn one never.
        const std::set<int> stems{paper[4].toInt() / 100, paper[9].toInt() / 100};
        EXPECT_EQ(stems, (std::set<int>{7, 8})) << ids(paper).toStdString();
    }
    std::set<std::pair<int, QString>> all;
    for (int slot : {0, 1})
        for (const char *id : {"11", "12", "13"})
            all.insert({slot, QString::fromLatin1(id)});
    EXPECT_EQ(singles, all);
}

TEST_F(EngineTest, CaseSectionTakesFiveSubQuestionsPerStemOnlyForThePracticeSubject) {
    struct Case {
        const char16_t *title;
        int perStem;
    };
    for (const Case c : {Case{u"初级会计实务", 5}, Case{u"经济法基础", 4}}) {
        FixtureBank fresh;
        bank.model = fresh.model;
        addPool();
        setProfile("shicaoti", QStringLiteral("10"));
        setTitle(QString::fromUtf16(c.title));
        open();
        startNewPaper();
        const QStringList paper = engine->PaperQuestionIds();
        ASSERT_EQ(paper.size(), 14);
        EXPECT_EQ(engine->FillCounter(), 4 + 2 * c.perStem + 1);
        for (int i = 4; i < 14; ++i)
            EXPECT_EQ(paper[i].isEmpty(), i >= 4 + 2 * c.perStem) << i;
        EXPECT_EQ(paper[4 + c.perStem - 1].toInt() % 100, c.perStem);
        EXPECT_EQ(itemCount(), 4 + 2 * c.perStem);
    }
}

TEST_F(EngineTest, AShortStemRepeatsItsLastUsableSubQuestion) {
    addPool();
    bank.model.stems.clear();
    bank.model.questions.erase(std::remove_if(bank.model.questions.begin(), bank.model.questions.end(),
                                              [](const BankQuestion &q) { return !q.zongtimian.isEmpty(); }),
                               bank.model.questions.end());
    bank.addStem(7, 1, 2, 4);
    for (BankQuestion &q : bank.model.questions)
        if (q.id == 704) q.flag_state = 1; // withdrawn: the stem has 701–703 left
    open();
    startNewPaper();
    EXPECT_EQ(ids(engine->PaperQuestionIds().mid(4)), QStringLiteral("701,702,703,703,703"));
}

TEST_F(EngineTest, CalculationAndOperationSectionsDrawTheBanksPracticalRows) {
    struct Case {
        const char16_t *fourth;
        QString (*fetch)(int);
    };
    for (const Case c : {Case{u"计算分析题", &CalculationFetchSql}, Case{u"电算化操作题", &OperationFetchSql}}) {
        FixtureBank fresh;
        bank.model = fresh.model;
        addPool();
        // Practical rows belong to no paper set; the condition does not ask for one.
        for (int id : {41, 42, 43})
            bank.addQuestion(id, QStringLiteral("实操题"), 1, 1, QStringLiteral("答案"), 0).shijuan.clear();
        const QString fourth = QString::fromUtf16(c.fourth);
        setProfile("shicaotype", fourth);
        setProfile("shicaoti", QStringLiteral("2"));
        open();
        startNewPaper();
        const QStringList paper = engine->PaperQuestionIds();
        ASSERT_EQ(paper.size(), 6);
        EXPECT_EQ(rows(QStringLiteral("select tixing, daan from shijuan where sjID = 1 and xth > 4 order by id")),
                  (QStringList{fourth + QStringLiteral("|答案"), fourth + QStringLiteral("|答案")}));
        const QStringList selects = sent(QStringLiteral("select"));
        EXPECT_EQ(selects.mid(selects.size() - 3),
                  (QStringList{PracticalListSql(), c.fetch(paper[4].toInt()), c.fetch(paper[5].toInt())}));
        EXPECT_EQ(PracticalListSql(),
                  QStringLiteral(
                      "select tigan_id from kjks_tigan where flag_state <> 1 and daan <> \"\" and  tixing = '实操题'"));
    }
    EXPECT_EQ(CalculationFetchSql(41),
              QStringLiteral("select * from kjks_tigan where flag_state <> 1 and tigan_id = 41"));
    EXPECT_EQ(OperationFetchSql(41),
              QStringLiteral("select tigan_id,daan from kjks_tigan where flag_state <> 1 and tigan_id = 41"));
}

TEST_F(EngineTest, WithoutDrawModeOrWithAnUnknownFourthTypeLessIsDrawn) {
    addPool();
    setProfile("shicaotype", QStringLiteral("案例分析题"));
    open();
    startNewPaper();
    EXPECT_EQ(itemCount(), 4); // no fourth section for a name the generators do not know

    launchParameters().PaperKey = QStringLiteral("0");
    launchParameters().PaperDrawMode.clear();
    engine->StartPaper();
    EXPECT_EQ(launchParameters().PaperKey, QStringLiteral("2"));
    EXPECT_EQ(count(QStringLiteral("kjks_SJML")), 2);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from shijuan where sjID = 2")).toInt(), 0);
    EXPECT_EQ(engine->FillCounter(), 1);
}

TEST_F(EngineTest, ABankTooSmallForASectionLeavesNoPaperAndSaysWhy) {
    struct Case {
        const char *column;
        const char *value;
        const char16_t *message;
    };
    const Case cases[] = {
        {"danxuanti", "4", u"题库中可抽取的“单选题”不足，无法生成试卷：试卷需要 4 道，题库中只有 3 道。"},
        {"panduanti", "3", u"题库中可抽取的“判断题”不足，无法生成试卷：试卷需要 3 道，题库中只有 2 道。"},
        // Stem 9 is listed but has no sub-question to give: two usable cases for three.
        {"shicaoti", "15", u"题库中可抽取的“不定项选择题”案例不足，无法生成试卷：试卷需要 3 个案例，题库中只有 2 个。"},
    };
    for (const Case &c : cases) {
        FixtureBank fresh;
        bank.model = fresh.model;
        addPool();
        bank.addStem(9, 1, 2, 0);
        BankPaper old;
        old.sjID = 3;
        bank.model.papers.push_back(old);
        setProfile(c.column, QString::fromLatin1(c.value));
        open();
        try {
            startNewPaper();
            ADD_FAILURE() << c.column;
        } catch (const PaperError &e) {
            EXPECT_EQ(e.message(), QString::fromUtf16(c.message));
        }
        EXPECT_EQ(count(QStringLiteral("kjks_SJML")), 1) << c.column;
        EXPECT_EQ(itemCount(), 0) << c.column;
        EXPECT_EQ(launchParameters().PaperKey, QStringLiteral("0"));
        EXPECT_EQ(engine->FillCounter(), 1);
        EXPECT_EQ(engine->PaperQuestionIds().join(QString()), QString());
    }
}

TEST_F(EngineTest, AFailurePartWayThroughANewPaperLeavesTheBankAsItWas) {
    addPool();
    open();
    bank.exec(QStringLiteral("create trigger fail_fourth before insert on shijuan when (select count(*) from shijuan "
                             "where sjID = NEW.sjID) >= 3 begin select raise(abort, 'disk I/O error'); end"));
    EXPECT_THROW(startNewPaper(), SqlError);
    EXPECT_EQ(count(QStringLiteral("kjks_SJML")), 0);
    EXPECT_EQ(itemCount(), 0);
    EXPECT_EQ(launchParameters().PaperKey, QStringLiteral("0"));

    bank.exec(QStringLiteral("drop trigger fail_fourth"));
    startNewPaper();
    EXPECT_EQ(launchParameters().PaperKey, QStringLiteral("1"));
    EXPECT_EQ(itemCount(), 9);
}

TEST_F(EngineTest, ReopeningRefreshesTheStartAndClearsAnswersAndPointsInIdOrder) {
    addPool();
    BankPaper paper;
    paper.sjID = 12;
    paper.DTKSSJ = QStringLiteral("2026-05-01 08:00:00");
    bank.model.papers.push_back(paper);
    auto item = [&](int id, int xth, int tigan, const char *ksda, double defen, const char *kaolv) {
        BankPaperItem i;
        i.id = id;
        i.sjID = 12;
        i.xth = xth;
        i.tixing = QStringLiteral("单选题");
        i.tigan_id = tigan;
        i.daan = QStringLiteral("A");
        i.KSDA = QString::fromLatin1(ksda);
        i.hasDefen = true;
        i.defen = defen;
        i.kaolv = QString::fromLatin1(kaolv);
        bank.model.paperItems.push_back(i);
    };
    item(50, 2, 12, "A", 2, "1");
    item(51, 1, 11, "B", 0, "0");
    item(52, 3, 13, "A", 2, "0");
    open();
    launchParameters().PaperKey = QStringLiteral("12");
    engine->StartPaper();

    EXPECT_EQ(engine->PaperQuestionIds().mid(0, 4),
              (QStringList{QStringLiteral("12"), QStringLiteral("11"), QStringLiteral("13"), QString()}));
    EXPECT_EQ(engine->FillCounter(), 4);
    EXPECT_EQ(rows(QStringLiteral("select DTKSSJ from kjks_SJML where sjID = 12")),
              QStringList{QStringLiteral("2026-05-16 09:00:00")});
    EXPECT_EQ(rows(QStringLiteral("select ID, KSDA, defen, kaolv from shijuan where sjID = 12 order by id")),
              (QStringList{QStringLiteral("50||NULL|1"), QStringLiteral("51||NULL|0"), QStringLiteral("52||NULL|0")}));
    EXPECT_EQ(sent(QStringLiteral("select")),
              (QStringList{QStringLiteral("select * from kjks_SJML where sjID = 12"),
                           QStringLiteral("select * from shijuan where sjID = 12 order by id")}));
    EXPECT_EQ(launchParameters().PaperKey, QStringLiteral("12"));
}

TEST_F(EngineTest, ReopeningAPaperThatIsNotThereWritesNothing) {
    addPool();
    open();
    launchParameters().PaperKey = QStringLiteral("12");
    EXPECT_THROW(engine->StartPaper(), PaperError);
    EXPECT_EQ(count(QStringLiteral("kjks_SJML")), 0);
}

// A learner sitting paper after paper meets questions and cases the paper before did not have while
// the bank holds enough; with too few the draw still fills the paper.
TEST_F(EngineTest, ConsecutivePapersShareNoQuestionWhileTheBankHasEnough) {
    addPool(); // two multiple-choice questions and two stems, one of each a paper; three singles, two a paper
    open();
    int before = 0, multipleBefore = 0;
    QSet<QString> singlesBefore;
    for (int paper = 0; paper < 6; ++paper) {
        platform.seed = 7; // the same seed every time: only the previous paper steers the draw
        startNewPaper();
        const QStringList ids = engine->PaperQuestionIds();
        const int stem = ids.at(4).toInt() / 100;
        EXPECT_NE(stem, before) << "paper " << paper + 1;
        EXPECT_NE(ids.at(2).toInt(), multipleBefore) << "paper " << paper + 1;
        // Two singles of three: one of the paper before comes back, no more.
        const QSet<QString> singles{ids.at(0), ids.at(1)};
        EXPECT_LE(QSet<QString>(singles).intersect(singlesBefore).size(), 1) << "paper " << paper + 1;
        before = stem;
        multipleBefore = ids.at(2).toInt();
        singlesBefore = singles;
    }
    bank.exec(QStringLiteral("update zongtigan set flag_state = 1 where id = %1").arg(before == 7 ? 8 : 7));
    startNewPaper();
    EXPECT_EQ(engine->PaperQuestionIds().at(4).toInt() / 100, before); // the one drawable case again
}
