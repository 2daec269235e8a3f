#include "AccessibleNames.h"
#include "PracticeFixture.h"
#include "TabOrder.h"

#include <QCheckBox>
#include <QScrollArea>
#include <random>

namespace {

TEST_F(PracticeTest, ATabSwitchCountsNothingAndShowsTheQuestionAfresh) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(3, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB"));
    open();
    next();
    clickOption(0, 0);
    selectTab(1);
    EXPECT_EQ(w().session().pendingAnswer(), QString());
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("3"));
    selectTab(0);
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2")) << "the tab keeps its place";
    for (QAbstractButton *b : w().optionButtons(type(0)))
        EXPECT_FALSE(b->isChecked());
    next();
    EXPECT_EQ(tigan(2, QStringLiteral("ZONGCS")), QStringLiteral("0"));
    EXPECT_EQ(tigan(3, QStringLiteral("ZONGCS")), QStringLiteral("0")) << "nor against the other tab's question";
    EXPECT_EQ(tigan(2, QStringLiteral("DDCS")), QStringLiteral("0")) << "the check itself was written";
    EXPECT_EQ(tigan(2, QStringLiteral("YDCS")), QStringLiteral("1"));
}

TEST_F(PracticeTest, NextAtTheLastQuestionStaysAndCountsOnlyOnce) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    open();
    next();
    clickOption(0, 1);
    next();
    next();
    next();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2"));
    EXPECT_EQ(tigan(2, QStringLiteral("ZONGCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(2, QStringLiteral("ZQCS")), QStringLiteral("0"));
    EXPECT_EQ(w().attemptsLabel->text(), QStringLiteral(" 【答对 0 次-答错 1 次】  解答题次1"));
    EXPECT_EQ(w().accuracyLabel->text(), QStringLiteral("题目答题的正确率 0% "));
    previous();
    previous();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("1"));
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(PracticeTest, FavouritesFollowTheQuestionOnScreen) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).progress.shoucang = QStringLiteral("1");
    bank.addQuestion(2, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB"));
    bank.addQuestion(3, QStringLiteral("判断题"), 1, 1, QStringLiteral("√"), 0).progress.shoucang = QStringLiteral("1");
    bank.addQuestion(4, QStringLiteral("判断题"), 1, 1, QStringLiteral("√"), 0).progress.shoucang = QStringLiteral("1");
    open();
    EXPECT_EQ(w().favouriteButton->text(), QStringLiteral("取消收藏"));
    selectTab(1);
    EXPECT_EQ(w().favouriteButton->text(), QStringLiteral("收藏本题"));
    click(w().favouriteButton);
    EXPECT_EQ(tigan(2, QStringLiteral("shoucang")), QStringLiteral("1"));
    EXPECT_EQ(w().favouriteButton->text(), QStringLiteral("取消收藏"));

    selectTab(2);
    EXPECT_EQ(w().favouriteButton->text(), QStringLiteral("取消收藏"));
    click(w().favouriteButton);
    EXPECT_EQ(tigan(3, QStringLiteral("shoucang")), QStringLiteral("0"));
    EXPECT_EQ(tigan(4, QStringLiteral("shoucang")), QStringLiteral("1"));
    EXPECT_EQ(tigan(1, QStringLiteral("shoucang")), QStringLiteral("1"));
    EXPECT_EQ(w().favouriteButton->text(), QStringLiteral("收藏本题"));
    next();
    EXPECT_EQ(w().favouriteButton->text(), QStringLiteral("取消收藏"));
    previous();
    EXPECT_EQ(w().favouriteButton->text(), QStringLiteral("收藏本题"));
    click(w().favouriteButton);
    EXPECT_EQ(tigan(3, QStringLiteral("shoucang")), QStringLiteral("1"));

    // Without a tab on screen only the caption changes.
    launchParameters().PracticeTypeFlags = {{false, false, false, false}};
    open();
    const QString before = bank.scalar(QStringLiteral("select group_concat(shoucang) from kjks_tigan")).toString();
    click(w().favouriteButton);
    EXPECT_EQ(bank.scalar(QStringLiteral("select group_concat(shoucang) from kjks_tigan")).toString(), before);
}

// Whatever the learner does, each tab holds exactly the controls of the question it shows.
TEST_F(PracticeTest, OptionControlsNeverLeak) {
    const int singles[] = {3, 5, 2, 4};
    for (int i = 0; i < 4; ++i)
        bank.addQuestion(10 + i, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"), singles[i]);
    const int multiples[] = {6, 3, 4};
    for (int i = 0; i < 3; ++i)
        bank.addQuestion(20 + i, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB"), multiples[i]);
    for (int i = 0; i < 2; ++i)
        bank.addQuestion(30 + i, QStringLiteral("判断题"), 1, 1, QStringLiteral("1"), 0);
    bank.addStem(4, 1, 1, 2, 3);
    bank.addStem(5, 1, 1, 5, 4);
    bank.addStem(6, 1, 1, 1, 2);
    open();

    QWidget *areas[4] = {view(0).optionArea, view(1).optionArea, view(2).optionArea,
                         fourth().subQuestionArea->widget()};
    auto expectedControls = [&](int tab) {
        if (tab == 2) return 2;
        if (tab < 2) {
            const int id = w().session().set(type(tab)).asInteger(QStringLiteral("tigan_id"));
            return bank.scalar(QStringLiteral("select count(*) from kjks_xuanxiang where tigan_ID = %1").arg(id))
                .toInt();
        }
        const int stem = w().session().set(QuestionType::Fourth).asInteger(QStringLiteral("id"));
        return bank.scalar(QStringLiteral("select count(*) from kjks_tigan where zongtimian = '%1'").arg(stem))
                   .toInt() +
               bank.scalar(QStringLiteral("select count(*) from kjks_xuanxiang where tigan_ID in (select tigan_id from "
                                          "kjks_tigan where zongtimian = '%1')")
                               .arg(stem))
                   .toInt();
    };
    auto onScreen = [&](int tab) {
        int count = 0;
        for (QObject *child : areas[tab]->children())
            if (qobject_cast<QAbstractButton *>(child) || (tab == 3 && qobject_cast<QLabel *>(child))) ++count;
        return count;
    };

    std::mt19937 random(20260516);
    for (int step = 0; step < 150; ++step) {
        const int action = int(random() % 6);
        const int tab = activeTab();
        switch (action) {
        case 0:
            next();
            break;
        case 1:
            previous();
            break;
        case 2:
            selectTab(int(random() % 4));
            break;
        case 3:
        case 4:
            if (!w().optionButtons(type(tab)).empty())
                clickOption(tab, int(random() % w().optionButtons(type(tab)).size()));
            break;
        default:
            explain();
            break;
        }
        for (int t = 0; t < 4; ++t) {
            SCOPED_TRACE(QStringLiteral("step %1 action %2 tab %3").arg(step).arg(action).arg(t).toStdString());
            ASSERT_EQ(onScreen(t), expectedControls(t));
            ASSERT_EQ(int(w().optionControls(type(t)).size()), expectedControls(t));
        }
    }
    EXPECT_TRUE(boxTexts(RecordingPlatform::BoxKind::Error).isEmpty());

    w().discardAllOptionControls(); // as RunPractice does once the window has closed
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(onScreen(t), 0);
}

// A key typed while a move is under way answers the question the move shows, not the one it left.
TEST_F(PracticeTest, AKeyGivenDuringAMoveAnswersTheQuestionItShows) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
    open();
    QCoreApplication::postEvent(&w(), new QKeyEvent(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier));
    next();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2"));
    EXPECT_EQ(tigan(1, QStringLiteral("YDCS")), QStringLiteral("0"));
    EXPECT_EQ(tigan(2, QStringLiteral("YDCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(2, QStringLiteral("DDCS")), QStringLiteral("0")); // B is right for question 2
    EXPECT_EQ(w().session().pendingAnswer(), QStringLiteral("B"));
}

} // namespace

// Every control a learner can operate in practice has a name a screen reader can say.
TEST_F(PracticeTest, EveryControlHasANameForScreenReaders) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(2, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB"));
    open();
    QStringList unnamed = UnnamedControls(&w());
    selectTab(1);
    unnamed << UnnamedControls(&w());
    unnamed.removeDuplicates();
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
}

TEST_F(PracticeTest, F1ListsTheKeys) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    open();
    QTest::keyClick(&w(), Qt::Key_F1);
    EXPECT_EQ(platform.texts(), QStringList{PracticeWindow::KeysText()});
}
// Tab goes from the type tabs to the question, its options, and the buttons under it from left to
// right; a button reached so takes Enter instead of the answer key.
TEST_F(PracticeTest, TabReachesTheQuestionItsOptionsAndTheButtonsInOrder) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
    open();
    QuestionView *view = w().view(QuestionType::Single);
    auto expected = [&] {
        QList<QWidget *> order{w().typeTabs, view->stemBox};
        for (QAbstractButton *b : view->optionButtons())
            order << b;
        order << w().explainButton << w().previousButton << w().nextButton << w().favouriteButton << w().closeButton;
        return order;
    };
    EXPECT_EQ(FirstOutOfTabOrder(TabChain(&w()), expected()), nullptr);
    w().nextButton->setFocus();
    QTest::keyClick(w().nextButton, Qt::Key_Return);
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2"));
    EXPECT_FALSE(resultDialog() && resultDialog()->isVisible()) << "Enter pressed the button, it showed no answer";
    // The options of the question now shown still come before the buttons.
    EXPECT_EQ(FirstOutOfTabOrder(TabChain(&w()), expected()), nullptr);
}
