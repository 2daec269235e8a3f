#include "PracticeFixture.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>

// What a learner meets beyond single checks: the ends of a set, long cases, pictures that cannot
// be shown, an empty choice, and answering with the keyboard.
namespace {

using Kind = RecordingPlatform::BoxKind;

TEST_F(PracticeTest, TheEndsOfASetAreNotedQuietly) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    open();
    previous();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("1"));
    EXPECT_EQ(w().endHintLabel->text(), QStringLiteral("已是本组第一题。"));
    next();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2"));
    EXPECT_EQ(w().endHintLabel->text(), QString()) << "a move clears the note";
    next();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2"));
    EXPECT_EQ(w().endHintLabel->text(), QStringLiteral("已是本组最后一题。"));
    selectTab(1);
    EXPECT_EQ(w().endHintLabel->text(), QString());
    EXPECT_TRUE(platform.boxes.empty()) << "no box to close";
}

// Two long cases: the second opens at its top, after "下一题" and after a tab switch alike.
TEST_F(PracticeTest, EveryCaseOpensAtItsTop) {
    bank.addStem(7, 1, 1, 6, 4);
    bank.addStem(8, 1, 1, 6, 4);
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    open();
    selectTab(3);
    settle();
    QScrollBar *bar = fourth().subQuestionArea->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    auto scrollDown = [&] {
        bar->setValue(bar->maximum());
        fourth().caseStemArea->verticalScrollBar()->setValue(fourth().caseStemArea->verticalScrollBar()->maximum());
        clickOption(3, 20); // the learner answers far down
    };
    scrollDown();
    next();
    settle();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("8"));
    EXPECT_EQ(bar->value(), 0);
    scrollDown();
    selectTab(0);
    selectTab(3);
    settle();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(fourth().caseStemArea->verticalScrollBar()->value(), 0);
}

// The case stem keeps its strip at the design size, gets half of any extra height when the window
// is enlarged, and can be given more by dragging the handle.
TEST_F(PracticeTest, TheCaseStemGrowsWithTheWindow) {
    bank.addStem(7, 1, 1, 4, 4);
    launchParameters().PracticeTypeFlags = {{false, false, false, true}};
    open();
    settle();
    EXPECT_EQ(fourth().caseStemArea->height(), 161);
    w().resize(1182, 904);
    settle();
    EXPECT_EQ(fourth().caseStemArea->height(), 261);
    auto *splitter = w().findChild<QSplitter *>(QStringLiteral("caseSplitter"));
    ASSERT_NE(splitter, nullptr);
    QTest::mousePress(splitter->handle(1), Qt::LeftButton, {}, QPoint(20, 2));
    QTest::mouseMove(splitter->handle(1), QPoint(20, 102));
    QTest::mouseRelease(splitter->handle(1), Qt::LeftButton, {}, QPoint(20, 102));
    settle();
    const int dragged = fourth().caseStemArea->height();
    EXPECT_GT(dragged, 300);
    w().resize(1182, 920);
    settle();
    EXPECT_GE(fourth().caseStemArea->height(), dragged) << "the learner's choice stays";
}

QByteArray jpegClaiming(QByteArray bytes, int width, int height) {
    // The frame header (SOF0) holds the height and width after its length and precision.
    const int sof = int(bytes.indexOf(QByteArray("\xFF\xC0", 2)));
    if (sof < 0) return bytes;
    bytes[sof + 5] = char(height >> 8);
    bytes[sof + 6] = char(height & 0xFF);
    bytes[sof + 7] = char(width >> 8);
    bytes[sof + 8] = char(width & 0xFF);
    return bytes;
}

// A picture that cannot be shown is named in its place; the case stays answerable and no box
// interrupts the learner.
TEST_F(PracticeTest, UnshowablePicturesLeaveTheQuestionAnswerable) {
    const QByteArray good = jpeg(200, 100);
    ASSERT_GE(good.indexOf(QByteArray("\xFF\xC0", 2)), 0);
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"a header claiming 65000 x 65000", jpegClaiming(good, 65000, 65000)},
        {"over the allocation limit", jpegClaiming(good, 30000, 30000)},
        {"truncated", good.left(good.size() / 3)},
        {"not a JPEG", QByteArray("GIF89a not a jpeg")},
    };
    int id = 10;
    for (const auto &c : cases)
        bank.addStem(++id, 1, 1, 2, 4).tmimage = c.bytes;
    bank.addStem(++id, 1, 1, 2, 4).tmimage = good;
    launchParameters().PracticeTypeFlags = {{false, false, false, true}};
    open();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(fourth().casePicture->isVisible());
        EXPECT_EQ(fourth().casePicture->text(), QStringLiteral("图片无法显示"));
        EXPECT_TRUE(fourth().casePicture->pixmap().isNull());
        ASSERT_EQ(w().optionButtons(type(3)).size(), 8u);
        clickOption(3, 0);
        EXPECT_EQ(w().session().pendingAnswer(), QStringLiteral("A"));
        next();
    }
    EXPECT_EQ(fourth().casePicture->pixmap().size(), QSize(200, 100));
    EXPECT_TRUE(fourth().casePicture->text().isEmpty());
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
}

// A choice that no question fits opens no window: the learner is told so.
TEST_F(PracticeTest, AChoiceNoQuestionFitsOpensNothing) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")); // never answered wrongly
    openBank();
    launchParameters().PracticeScope = 2;
    bool opened = false;
    // Should a window open after all, it is closed again so that the test ends.
    QTimer::singleShot(0, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    RunPractice();
    EXPECT_FALSE(opened);
    EXPECT_EQ(boxTexts(Kind::Info), QStringList{QStringLiteral("没有符合条件的题目。")});

    // The same question in scope 0, or a type box left out, decide alike.
    launchParameters().PracticeScope = 0;
    launchParameters().PracticeTypeFlags = {{false, true, true, true}};
    platform.boxes.clear();
    RunPractice();
    EXPECT_EQ(boxTexts(Kind::Info).size(), 1);
    launchParameters().PracticeTypeFlags = {{true, false, false, false}};
    bank.statements.clear();
    EXPECT_TRUE(PracticeSession::AnyQuestionFits(launchParameters()));
    // One row answers it, never the whole set.
    EXPECT_EQ(bank.statements, QStringList{QStringLiteral(
                                   "select 1 from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" limit 1")});
}

// Keyboard answering goes through the same checks as the mouse.
TEST_F(PracticeTest, KeysAnswerMoveAndMark) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("C"));
    bank.addQuestion(3, QStringLiteral("多选题"), 1, 1, QStringLiteral("AC"));
    bank.addQuestion(4, QStringLiteral("判断题"), 1, 1, QStringLiteral("×"), 0);
    bank.addStem(7, 1, 1, 2, 4);
    open();
    auto key = [&](int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&w(), Qt::Key(k), m); };

    key(Qt::Key_B); // single choice: the option is chosen and checked as a click would
    EXPECT_TRUE(w().optionButtons(type(0))[1]->isChecked());
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("0"));
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_EQ(resultDialog()->answerLabel->text(), QStringLiteral("B"));
    key(Qt::Key_Right);
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2"));
    EXPECT_EQ(tigan(1, QStringLiteral("ZONGCS")), QStringLiteral("1"));
    key(Qt::Key_1);
    EXPECT_EQ(tigan(2, QStringLiteral("DDCS")), QStringLiteral("1"));
    key(Qt::Key_PageUp);
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("1"));
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(tigan(1, QStringLiteral("shoucang")), QStringLiteral("1"));
    EXPECT_EQ(w().favouriteButton->text(), QStringLiteral("取消收藏"));

    key(Qt::Key_Tab, Qt::ControlModifier); // multiple choice: letters toggle, Enter shows the result
    EXPECT_EQ(activeTab(), 1);
    key(Qt::Key_A);
    key(Qt::Key_C);
    EXPECT_EQ(w().session().pendingAnswer(), QStringLiteral("AC"));
    key(Qt::Key_C);
    key(Qt::Key_3);
    key(Qt::Key_Return);
    EXPECT_EQ(resultDialog()->answerLabel->text(), QStringLiteral("AC"));
    EXPECT_EQ(tigan(3, QStringLiteral("DDCS")), QStringLiteral("0"));
    key(Qt::Key_H); // no eighth option: nothing happens
    EXPECT_EQ(w().session().pendingAnswer(), QStringLiteral("AC"));

    key(Qt::Key_Tab, Qt::ControlModifier); // true/false: A is "正确", B "错误"
    EXPECT_EQ(activeTab(), 2);
    key(Qt::Key_B);
    EXPECT_EQ(tigan(4, QStringLiteral("DDCS")), QStringLiteral("0"));

    key(Qt::Key_Tab, Qt::ControlModifier); // a case: letters belong to the focused sub-question
    EXPECT_EQ(activeTab(), 3);
    key(Qt::Key_A);
    EXPECT_EQ(w().session().pendingAnswer(), QStringLiteral("A"));
    w().optionButtons(type(3))[4]->setFocus();
    key(Qt::Key_B);
    EXPECT_EQ(w().session().pendingAnswer(), QStringLiteral("AF"));
    EXPECT_EQ(column(QStringLiteral("zongtigan"), 7, QStringLiteral("DDCS")), QStringLiteral("0"));

    key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier); // and back
    EXPECT_EQ(activeTab(), 2);
    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier); // round to the first tab
    EXPECT_EQ(activeTab(), 0);
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));

    // The hints are in the buttons' tooltips.
    EXPECT_TRUE(w().nextButton->toolTip().contains(QStringLiteral("PageDown")));
    EXPECT_TRUE(w().favouriteButton->toolTip().contains(QStringLiteral("Ctrl+D")));
}

} // namespace
