#include "ExamWindowFixture.h"

// Positions of the fixture paper: 0–1 single, 2 multiple, 3 judgement, 4–8 case sub-questions.

TEST_F(ExamWindowTest, EachClickStoresTheAnswerAndItsPointsAtOnceAndColoursTheCell) {
    open();
    option(2); // C on a single whose answer is A
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("C"));
    EXPECT_EQ(item(1, QStringLiteral("defen")), QStringLiteral("0"));
    EXPECT_EQ(w().card().state(0), State::Done);
    option(0);
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("A"));
    EXPECT_EQ(item(1, QStringLiteral("defen")), QStringLiteral("2")); // 4 points over 2 questions

    cell(2); // multiple choice: letters in option order, whatever the click order
    ASSERT_EQ(w().optionButtons().size(), 4u);
    EXPECT_FALSE(w().optionButtons()[0]->autoExclusive());
    option(3);
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("D"));
    option(0);
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("AD"));
    EXPECT_EQ(item(3, QStringLiteral("defen")), QStringLiteral("2"));
    option(0);
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("D"));
    option(3); // nothing checked any more: the last answer stays, so does the colour
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("D"));
    EXPECT_EQ(w().card().state(2), State::Done);

    cell(3); // judgement: 是 / 否 as √ / ×
    ASSERT_EQ(w().optionButtons().size(), 2u);
    EXPECT_EQ(w().optionButtons()[1]->text(), QStringLiteral("否"));
    option(1);
    EXPECT_EQ(item(4, QStringLiteral("KSDA")), QStringLiteral("×"));
    EXPECT_EQ(item(4, QStringLiteral("defen")), QStringLiteral("1"));

    cell(4); // case sub-question: check boxes on the case page
    EXPECT_EQ(w().view().currentIndex(), 3);
    option(1);
    EXPECT_EQ(item(5, QStringLiteral("KSDA")), QStringLiteral("B"));
    EXPECT_EQ(w().card().state(4), State::Done);
}

TEST_F(ExamWindowTest, AStoredAnswerIsShownAgainWithoutBeingWrittenAgain) {
    open();
    option(2);
    cell(2);
    option(1);
    option(3);
    cell(0);
    EXPECT_TRUE(w().optionButtons()[2]->isChecked());
    EXPECT_EQ(w().card().state(0), State::Done); // answered, and framed as the current cell
    bank.statements.clear();
    cell(2);
    EXPECT_TRUE(w().optionButtons()[1]->isChecked());
    EXPECT_TRUE(w().optionButtons()[3]->isChecked());
    EXPECT_FALSE(w().optionButtons()[0]->isChecked());
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("BD"));
    cell(0);
    for (const QString &s : bank.statements)
        EXPECT_FALSE(s.startsWith(QStringLiteral("update")) || s.startsWith(QStringLiteral("insert")))
            << s.toStdString();
}

// Keys typed while a move is under way belong to the question the move shows.
TEST_F(ExamWindowTest, InputGivenDuringAMoveGoesToTheQuestionItShows) {
    open();
    QCoreApplication::postEvent(window.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier));
    key(Qt::Key_Right); // the move pauses for pending input, as when the program is held up
    EXPECT_EQ(w().currentPosition(), 1);
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QString());
    EXPECT_EQ(item(2, QStringLiteral("KSDA")), QStringLiteral("B"));
}

TEST_F(ExamWindowTest, CaseQuestionShowsItsStemAndAnUnnumberedSubQuestion) {
    open();
    for (int i = 0; i < 4; ++i)
        next();
    EXPECT_EQ(w().currentPosition(), 4);
    EXPECT_EQ(w().view().currentIndex(), 3);
    EXPECT_TRUE(w().view().caseStem->isVisible());
    EXPECT_TRUE(w().view().caseStem->text().startsWith(QStringLiteral("案例")));
    ASSERT_NE(w().subQuestionLabel(), nullptr);
    EXPECT_TRUE(w().subQuestionLabel()->text().startsWith(QStringLiteral("题目"))); // no "5、"
    EXPECT_FALSE(w().view().casePicture->isVisible());
    EXPECT_FALSE(w().view().caseExtra->isVisible());
    // Options never overlap the sub-question.
    EXPECT_GT(w().optionButtons()[0]->geometry().top(), w().subQuestionLabel()->geometry().bottom());
}

TEST_F(ExamWindowTest, MarkingIsStoredAndShownRedUntilRemoved) {
    open();
    mark();
    EXPECT_EQ(item(1, QStringLiteral("kaolv")), QStringLiteral("1"));
    EXPECT_EQ(w().card().state(0), State::Marked);
    option(0); // answering a marked question keeps it red
    EXPECT_EQ(w().card().state(0), State::Marked);
    next();
    EXPECT_FALSE(w().markBox->isChecked());
    EXPECT_EQ(w().card().state(0), State::Marked);
    previous();
    EXPECT_TRUE(w().markBox->isChecked());
    EXPECT_EQ(w().card().state(0), State::Marked);
    mark(); // answered: green
    EXPECT_EQ(item(1, QStringLiteral("kaolv")), QStringLiteral("0"));
    EXPECT_EQ(w().card().state(0), State::Done);
    next();
    mark();
    mark(); // not answered: back to current
    EXPECT_EQ(w().card().state(1), State::Current);
}

TEST_F(ExamWindowTest, KeysChooseToggleMoveAndMark) {
    open();
    key(Qt::Key_B);
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("B"));
    key(Qt::Key_3);
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("C"));
    key(Qt::Key_Z); // no such option
    key(Qt::Key_H); // beyond the four options
    EXPECT_EQ(item(1, QStringLiteral("KSDA")), QStringLiteral("C"));
    key(Qt::Key_M);
    EXPECT_EQ(item(1, QStringLiteral("kaolv")), QStringLiteral("1"));
    key(Qt::Key_Right);
    key(Qt::Key_PageDown);
    EXPECT_EQ(w().currentPosition(), 2);
    key(Qt::Key_A);
    key(Qt::Key_D);
    key(Qt::Key_A); // toggles A off again
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("D"));
    key(Qt::Key_Left);
    key(Qt::Key_PageUp);
    EXPECT_EQ(w().currentPosition(), 0);
    EXPECT_TRUE(w().previousButton->toolTip().contains(QStringLiteral("PageUp")));
}

TEST_F(ExamWindowTest, UnderPartialCreditAMultipleChoiceNeedsTwoOptionsAndScoresPartAnswers) {
    addPool();
    bank.model.options[QStringLiteral("EXAM_SCORING")] = QStringLiteral("partial");
    for (BankQuestion &q : bank.model.questions)
        if (q.tixing == QStringLiteral("多选题")) q.daan = QStringLiteral("ABC");
    open();
    cell(2);
    QLabel *prompt = w().findChild<QLabel *>(QStringLiteral("twoOptionsPrompt"));
    ASSERT_NE(prompt, nullptr);
    EXPECT_FALSE(prompt->isVisible());
    option(0); // one option is no answer: the prompt shows and nothing is stored
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_EQ(prompt->text(), QStringLiteral("多选题至少应选择两个选项。"));
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QString());
    EXPECT_EQ(w().card().state(2), State::Current);
    option(1);
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("AB"));
    EXPECT_EQ(item(3, QStringLiteral("defen")), QStringLiteral("1"));
    EXPECT_EQ(w().card().state(2), State::Done);
    cell(3);
    cell(2); // shown again: the stored answer is restored whole
    EXPECT_TRUE(w().optionButtons()[0]->isChecked() && w().optionButtons()[1]->isChecked());
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QStringLiteral("AB"));
    EXPECT_EQ(item(3, QStringLiteral("defen")), QStringLiteral("1"));
    option(1); // back to one option: the stored answer no longer stands
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_EQ(item(3, QStringLiteral("KSDA")), QString());
    EXPECT_TRUE(
        bank.scalar(QStringLiteral("select defen from shijuan where sjID = %1 and xth = 3").arg(key())).isNull());
    EXPECT_EQ(w().card().state(2), State::Current);

    cell(4); // a case sub-question takes a single option
    option(0);
    EXPECT_EQ(item(5, QStringLiteral("KSDA")), QStringLiteral("A"));
    EXPECT_FALSE(prompt->isVisible());
}

// A case picture that does not load is named in its place; no box interrupts and the sub-question
// is answered as usual.
TEST_F(ExamWindowTest, AnUnreadableCasePictureIsNamedAndTheQuestionStaysAnswerable) {
    addPool();
    for (BankStem &stem : bank.model.stems)
        stem.tmimage = QByteArray("GIF89a not a jpeg");
    open();
    cell(4);
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
    EXPECT_TRUE(w().view().casePicture->isVisible());
    EXPECT_EQ(w().view().casePicture->text(), QStringLiteral("图片无法显示"));
    EXPECT_TRUE(w().view().caseStem->isVisible());
    option(0);
    EXPECT_EQ(item(5, QStringLiteral("KSDA")), QStringLiteral("A"));
    next();
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(w().view().casePicture->text(), QStringLiteral("图片无法显示"));
}
