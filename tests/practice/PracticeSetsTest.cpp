#include "PracticeFixture.h"

namespace {

using Flags = std::array<bool, 4>;

QStringList texts(std::initializer_list<const char *> items) {
    QStringList out;
    for (const char *t : items)
        out << QString::fromUtf8(t);
    return out;
}

QStringList visibleTabs(PracticeWindow &w) {
    QStringList out;
    for (int i = 0; i < w.typeTabs->count(); ++i)
        if (w.typeTabs->isTabVisible(i)) out << w.typeTabs->tabText(i);
    return out;
}

TEST_F(PracticeTest, EveryScopeSendsItsFourStatementsInTabOrder) {
    // The single-choice statements as they must reach the bank; the other kjks_tigan sets differ
    // only by their type name.
    const QStringList single = {
        QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" order by zhang,jie asc"),
        QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" and YDCS <> \"1\" order "
                       "by zhang,jie asc"),
        QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" and DDCS = \"1\"  order "
                       "by zhang,jie asc"),
        QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" and shoucang = \"1\"  "
                       "order by zhang,jie asc"),
        QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" and YDCS = \"1\"  order "
                       "by zhang,jie asc"),
    };
    const QStringList stems = {
        QStringLiteral("select * from zongtigan"),
        QStringLiteral("select * from zongtigan where daan <> \"\" and   YDCS <> \"1\" "),
        QStringLiteral("select * from zongtigan where daan <> \"\" and   DDCS = \"1\" "),
        QStringLiteral("select * from zongtigan where daan <> \"\" and   shoucang = \"1\""),
        QStringLiteral("select * from zongtigan where daan <> \"\" and   YDCS = \"1\" "),
    };
    auto typed = [&](int scope, const QString &type) {
        return QString(single[scope]).replace(QStringLiteral("单选题"), type);
    };
    for (const QString &fourth : {QStringLiteral("不定项选择题"), QStringLiteral("计算分析题")}) {
        setFourthType(fourth);
        opened = false;
        for (int scope = 0; scope <= 4; ++scope) {
            SCOPED_TRACE(qPrintable(fourth + QStringLiteral(" scope ") + QString::number(scope)));
            launchParameters().PracticeScope = scope;
            open();
            QStringList sets = sent(QStringLiteral("select * from kjks_tigan where daan"));
            sets << sent(QStringLiteral("select * from zongtigan"));
            const QStringList expected = {
                single[scope], typed(scope, QStringLiteral("多选题")), typed(scope, QStringLiteral("判断题")),
                fourth == QStringLiteral("不定项选择题") ? stems[scope] : typed(scope, QStringLiteral("实操题"))};
            EXPECT_EQ(sets, expected);
            EXPECT_EQ(w().typeTabs->tabText(3), fourth);
        }
    }
}

TEST_F(PracticeTest, ScopesSelectTheirRows) {
    // Fresh, answered-right, answered-wrong and favourite questions of each kjks_tigan type.
    int id = 100;
    for (const QString &type : {QStringLiteral("单选题"), QStringLiteral("多选题"), QStringLiteral("判断题")}) {
        bank.addQuestion(++id, type, 1, 1, QStringLiteral("A"));
        bank.addQuestion(++id, type, 1, 1, QStringLiteral("A")).progress = {QStringLiteral("1"), QStringLiteral("0"),
                                                                            QStringLiteral("0"), 1, 1};
        bank.addQuestion(++id, type, 1, 1, QStringLiteral("A")).progress = {QStringLiteral("1"), QStringLiteral("1"),
                                                                            QStringLiteral("0"), 0, 1};
        bank.addQuestion(++id, type, 1, 1, QStringLiteral("A")).progress.shoucang = QStringLiteral("1");
    }
    bank.addQuestion(++id, QStringLiteral("单选题"), 1, 1, QString()); // no standard answer: never offered
    bank.addStem(3, 1, 1).daan.clear();                                // offered in scope 0 only, whatever its answer
    // Count the rows of each set by walking it with "下一题" until the number stops changing.
    auto walk = [&](int tab) {
        selectTab(tab);
        QStringList seen;
        for (int i = 0; i < 8; ++i) {
            if (seen.contains(w().numberLabel->text())) break;
            seen << w().numberLabel->text();
            next();
        }
        return seen;
    };
    const std::vector<std::pair<int, QStringList>> expected = {{0, texts({"101", "102", "103", "104"})},
                                                               {1, texts({"101", "104"})},
                                                               {2, texts({"103"})},
                                                               {3, texts({"104"})},
                                                               {4, texts({"102", "103"})}};
    for (const auto &[scope, singles] : expected) {
        SCOPED_TRACE(scope);
        launchParameters().PracticeScope = scope;
        launchParameters().PracticeTypeFlags = {{true, true, true, true}};
        open();
        EXPECT_EQ(walk(0), singles);
        EXPECT_EQ(launchParameters().PracticeTypeFlags[3], scope == 0);
    }
}

TEST_F(PracticeTest, TabsFollowTheFlagsAndTheSets) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).progress.shoucang = QStringLiteral("1");
    bank.addQuestion(2, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB")).progress.shoucang = QStringLiteral("1");
    bank.addQuestion(3, QStringLiteral("判断题"), 1, 1, QStringLiteral("√"));
    bank.addStem(4, 1, 1).progress.shoucang = QStringLiteral("1");

    struct Case {
        const char *name;
        int scope;
        Flags flags;
        QStringList tabs;
        int active;
        Flags written;
    };
    const std::vector<Case> cases = {
        {"favourites without a judgement favourite",
         3,
         {{true, true, true, true}},
         texts({"单选题", "多选题", "不定项选择题"}),
         0,
         {{true, true, false, true}}},
        {"single choice not chosen",
         0,
         {{false, true, true, false}},
         texts({"多选题", "判断题"}),
         1,
         {{false, true, true, false}}},
        {"only the fourth type",
         0,
         {{false, false, false, true}},
         texts({"不定项选择题"}),
         3,
         {{false, false, false, true}}},
        {"no type chosen", 0, {{false, false, false, false}}, {}, -1, {{false, false, false, false}}},
        {"every set empty", 2, {{true, true, true, true}}, {}, -1, {{false, false, false, false}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        launchParameters().PracticeScope = c.scope;
        launchParameters().PracticeTypeFlags = c.flags;
        open();
        EXPECT_EQ(visibleTabs(w()), c.tabs);
        EXPECT_EQ(activeTab(), c.active);
        EXPECT_EQ(launchParameters().PracticeTypeFlags, c.written);
        if (c.active >= 0) {
            EXPECT_EQ(w().typeTabs->currentIndex(), c.active);
            EXPECT_TRUE(w().typeTabs->widget(c.active)->isVisible());
        } else {
            for (int tab = 0; tab < 4; ++tab)
                EXPECT_FALSE(w().typeTabs->widget(tab)->isVisible());
            next(); // nothing to move: no error, nothing written
            EXPECT_TRUE(platform.boxes.empty());
        }
    }
}

TEST_F(PracticeTest, EverySetStartsAtTheChosenChapterAndSpansAllChapters) {
    // (id, zhang, jie) in chapter order for single choice and multiple choice.
    const int rows[][3] = {{11, 1, 1}, {12, 1, 3}, {13, 2, 1}, {14, 2, 3}, {15, 3, 2}};
    for (const auto &r : rows) {
        bank.addQuestion(r[0], QStringLiteral("单选题"), r[1], r[2], QStringLiteral("A"));
        bank.addQuestion(r[0] + 10, QStringLiteral("多选题"), r[1], r[2], QStringLiteral("AB"));
    }
    const std::vector<std::pair<QString, int>> cases = {
        {QStringLiteral("10203"), 14}, // first row with zhang >= 2 and jie >= 3
        {QStringLiteral("103"), 15},   // chapter 3, section 1: 3-2 is the first; later sections are fine
        {QStringLiteral("10102"), 12},
        {QStringLiteral("10204"), 11}, // no row qualifies: the first row
        {QString(), 11},
        {QStringLiteral("1"), 11},
        {QStringLiteral("10"), 11},
        {QStringLiteral("1020"), 11},
    };
    for (const auto &[code, first] : cases) {
        SCOPED_TRACE(qPrintable(code));
        launchParameters().SelectedChapterCode = code;
        open();
        EXPECT_EQ(w().numberLabel->text(), QString::number(first));
        selectTab(1);
        EXPECT_EQ(w().numberLabel->text(), QString::number(first + 10));
    }
    // Earlier chapters stay reachable.
    launchParameters().SelectedChapterCode = QStringLiteral("10203");
    open();
    previous();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("13"));
    previous();
    previous();
    previous();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("11"));
}

TEST_F(PracticeTest, RunPracticeOpensModallyAndDestroysTheWindow) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.open().LoadExamProfile(QStringLiteral("1"));
    launchParameters().PaperKey = QStringLiteral("7");
    QPointer<PracticeWindow> seen;
    QPointer<ResultDialog> dialog;
    QTimer::singleShot(0, [&] {
        seen = qobject_cast<PracticeWindow *>(QApplication::activeModalWidget());
        if (!seen) {
            // Whatever runs modally instead is closed, so the test fails instead of waiting forever.
            ADD_FAILURE() << "the practice window is not the active modal window";
            for (QWidget *top : QApplication::topLevelWidgets())
                if (top->isModal() || qobject_cast<PracticeWindow *>(top)) top->close();
            return;
        }
        EXPECT_EQ(launchParameters().PaperKey, QStringLiteral("0"));
        EXPECT_EQ(seen->windowTitle(), QStringLiteral("题目练习"));
        EXPECT_EQ(seen->size(), QSize(1182, 704));
        EXPECT_TRUE(seen->keepEnabledTimer->isActive());
        EXPECT_EQ(seen->keepEnabledTimer->interval(), 500);
        const auto &options = seen->optionButtons(QuestionType::Single);
        EXPECT_EQ(options.size(), 4u);
        if (!options.empty()) {
            QTest::mouseClick(options.front(), Qt::LeftButton);
            dialog = resultDialog();
            EXPECT_TRUE(dialog && dialog->isVisible());
        }
        QTest::mouseClick(seen->closeButton, Qt::LeftButton);
    });
    RunPractice();
    EXPECT_TRUE(seen.isNull()) << "the window is destroyed when it closes";
    EXPECT_TRUE(dialog.isNull()) << "its result dialog goes with it";
    EXPECT_EQ(bank.scalar(QStringLiteral("select DDCS from kjks_tigan where tigan_id = 1")).toString(),
              QStringLiteral("0"));
}

} // namespace
