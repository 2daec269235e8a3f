#include "PracticeFixture.h"

namespace {

using Kind = RecordingPlatform::BoxKind;

TEST_F(PracticeTest, SingleChoiceIsCheckedAtOnceAndCountedWhenLeaving) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    open();

    clickOption(0, 0);
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(1, QStringLiteral("YDCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(1, QStringLiteral("ZONGCS")), QStringLiteral("0")) << "counted only when leaving";
    ResultDialog *dialog = resultDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("评分(第1题)"));
    EXPECT_EQ(dialog->standardScoreLabel->text(), QStringLiteral("2分"));
    EXPECT_EQ(dialog->standardAnswerLabel->text(), QStringLiteral("B"));
    EXPECT_EQ(dialog->answerLabel->text(), QStringLiteral("A"));
    EXPECT_EQ(dialog->scoreLabel->text(), QStringLiteral("0分"));
    EXPECT_EQ(dialogLines(), QStringList({QStringLiteral("解析1"), QStringLiteral("1")}));
    EXPECT_TRUE(sent(QStringLiteral("select jiexi"))
                    .contains(QStringLiteral("select jiexi from kjks_tigan where tigan_id = 1")));

    clickOption(0, 1);
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("0"));
    EXPECT_EQ(resultDialog(), dialog) << "refilled in place";
    EXPECT_EQ(dialog->scoreLabel->text(), QStringLiteral("2分"));

    next(); // one attempt, judged on the latest answer
    EXPECT_EQ(tigan(1, QStringLiteral("ZONGCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(1, QStringLiteral("ZQCS")), QStringLiteral("1"));
    EXPECT_EQ(w().session().pendingAnswer(), QString());

    explain(); // nothing chosen on the single-choice tab: nothing happens
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("评分(第1题)"));
    EXPECT_EQ(tigan(2, QStringLiteral("YDCS")), QStringLiteral("0"));

    previous();
    EXPECT_EQ(w().attemptsLabel->text(), QStringLiteral(" 【答对 1 次-答错 0 次】  解答题次1"));
    EXPECT_EQ(w().accuracyLabel->text(), QStringLiteral("题目答题的正确率 100% "));
    for (QAbstractButton *b : w().optionButtons(type(0)))
        EXPECT_FALSE(b->isChecked());
    clickOption(0, 2);
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(resultDialog(), nullptr);
    explain(); // the chosen option is checked again and the dialog shown
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_EQ(resultDialog()->answerLabel->text(), QStringLiteral("C"));
    next();
    EXPECT_EQ(tigan(1, QStringLiteral("ZONGCS")), QStringLiteral("2"));
    EXPECT_EQ(tigan(1, QStringLiteral("ZQCS")), QStringLiteral("1"));
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(PracticeTest, OnlyANeverAnsweredFlagTurnsAnswered) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).progress.YDCS = QString();
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).progress.YDCS = QStringLiteral("2");
    open();
    clickOption(0, 0);
    clickOption(0, 1);
    EXPECT_EQ(tigan(1, QStringLiteral("YDCS")), QString());
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("1"));
    next();
    clickOption(0, 0);
    EXPECT_EQ(tigan(2, QStringLiteral("YDCS")), QStringLiteral("2"));
}

TEST_F(PracticeTest, MultipleChoiceChecksEveryTickAndShowsTheResultOnRequest) {
    bank.addQuestion(1, QStringLiteral("多选题"), 1, 1, QStringLiteral("AC"));
    bank.addQuestion(2, QStringLiteral("多选题"), 1, 1, QStringLiteral("ac")); // lower case: never right
    launchParameters().PracticeTypeFlags = {{false, true, false, false}};
    open();

    clickOption(1, 2);
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(1, QStringLiteral("YDCS")), QStringLiteral("1"));
    clickOption(1, 0); // ticked C then A: the answer is AC
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("0"));
    EXPECT_EQ(w().session().pendingAnswer(), QStringLiteral("AC"));
    EXPECT_EQ(resultDialog(), nullptr) << "only 评分解析 shows the result";

    explain();
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_EQ(resultDialog()->answerLabel->text(), QStringLiteral("AC"));
    EXPECT_EQ(resultDialog()->scoreLabel->text(), QStringLiteral("2分"));
    resultDialog()->setWindowTitle(QStringLiteral("seen"));

    clickOption(1, 2); // untick C: A alone is wrong
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("1"));
    EXPECT_EQ(resultDialog()->windowTitle(), QStringLiteral("seen"));
    clickOption(1, 0); // untick the only ticked box
    EXPECT_EQ(boxTexts(Kind::Plain), QStringList({QStringLiteral("请先选择答案。")}));
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("1"));
    explain();
    EXPECT_EQ(boxTexts(Kind::Plain).size(), 2);
    EXPECT_EQ(platform.boxes.size(), 2u);

    next(); // the latest answer given was A
    EXPECT_EQ(tigan(1, QStringLiteral("ZONGCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(1, QStringLiteral("ZQCS")), QStringLiteral("0"));
    clickOption(1, 0);
    clickOption(1, 2);
    EXPECT_EQ(tigan(2, QStringLiteral("DDCS")), QStringLiteral("1"));
}

TEST_F(PracticeTest, JudgementNeedsAChoiceAndShowsEveryResult) {
    bank.addQuestion(1, QStringLiteral("判断题"), 1, 1, QStringLiteral("×"), 0);
    launchParameters().PracticeTypeFlags = {{false, false, true, false}};
    open();
    explain();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].kind, Kind::Info);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("请先选择答案。"));
    EXPECT_EQ(tigan(1, QStringLiteral("YDCS")), QStringLiteral("0"));

    clickOption(2, 0);
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("1"));
    EXPECT_EQ(resultDialog()->answerLabel->text(), QStringLiteral("√"));
    clickOption(2, 1);
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("0"));
    EXPECT_EQ(resultDialog()->standardScoreLabel->text(), QStringLiteral("1分"));
    EXPECT_EQ(resultDialog()->standardAnswerLabel->text(), QStringLiteral("×"));
    EXPECT_EQ(resultDialog()->scoreLabel->text(), QStringLiteral("1分"));
    next();
    EXPECT_EQ(tigan(1, QStringLiteral("ZQCS")), QStringLiteral("1"));
}

TEST_F(PracticeTest, ThePayloadFollowsTheProfileAndTheExplanation) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("B")).jiexi.clear();
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("B")).jiexi = QStringLiteral("第一行\n第二行");
    bank.model.profiles[0].columns[QStringLiteral("danxuanti")] = QStringLiteral("3");
    bank.model.profiles[0].columns[QStringLiteral("danxuanfen")] = QStringLiteral("2");
    open();
    clickOption(0, 1);
    EXPECT_EQ(resultDialog()->standardScoreLabel->text(), QStringLiteral("0.666666666666667分"));
    EXPECT_EQ(resultDialog()->scoreLabel->text(), QStringLiteral("0.666666666666667分"));
    EXPECT_EQ(dialogLines(),
              QStringList({QStringLiteral("第一章 会计概述"), QStringLiteral("第一节 会计概念"), QStringLiteral("1")}));
    next();
    clickOption(0, 1);
    EXPECT_EQ(dialogLines(), QStringList({QStringLiteral("第一行"), QStringLiteral("第二行"), QStringLiteral("2")}));

    // A profile whose single-choice name is not the rows' type: no standard score in the payload,
    // so each later field shows one label early.
    bank.exec(QStringLiteral("update kjks_type set danxuan = '单项选择题'"));
    bankSession()->LoadExamProfile(QStringLiteral("1"));
    open();
    clickOption(0, 0);
    EXPECT_EQ(resultDialog()->standardScoreLabel->text(), QStringLiteral("B"));
    EXPECT_EQ(resultDialog()->standardAnswerLabel->text(), QStringLiteral("A"));
    EXPECT_EQ(resultDialog()->answerLabel->text(), QStringLiteral("0分"));
    EXPECT_EQ(resultDialog()->scoreLabel->text(), QStringLiteral("第一章 会计概述"));
    EXPECT_EQ(dialogLines(), QStringList({QStringLiteral("第一节 会计概念"), QStringLiteral("1")}));
}

TEST_F(PracticeTest, CaseStemsAreCheckedAsAWholeAndScoredBySubQuestion) {
    bank.addStem(7, 1, 1, 4, 4); // sub-question answers A, B, C, D: the stem's answer is AFKP
    launchParameters().PracticeTypeFlags = {{false, false, false, true}};
    open();
    ASSERT_EQ(w().optionButtons(type(3)).size(), 16u);

    clickOption(3, 4); // the first box of the second sub-question is E
    EXPECT_EQ(w().session().pendingAnswer(), QStringLiteral("E"));
    EXPECT_EQ(column(QStringLiteral("zongtigan"), 7, QStringLiteral("DDCS")), QStringLiteral("1"));
    EXPECT_EQ(column(QStringLiteral("zongtigan"), 7, QStringLiteral("YDCS")), QStringLiteral("1"));
    clickOption(3, 4);
    EXPECT_EQ(boxTexts(Kind::Plain), QStringList({QStringLiteral("请先选择答案。")}));
    for (int box : {15, 0, 5, 10})
        clickOption(3, box);
    EXPECT_EQ(w().session().pendingAnswer(), QStringLiteral("AFKP"));
    EXPECT_EQ(column(QStringLiteral("zongtigan"), 7, QStringLiteral("DDCS")), QStringLiteral("0"));
    EXPECT_EQ(resultDialog(), nullptr);

    clickOption(3, 11); // sub-question 3 now answered CD
    explain();
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_EQ(resultDialog()->windowTitle(), QStringLiteral("评分(第7题)"));
    EXPECT_EQ(resultDialog()->standardScoreLabel->text(), QStringLiteral("10分"))
        << "five times the per-question points";
    EXPECT_EQ(resultDialog()->standardAnswerLabel->text(), QStringLiteral("[A]、[B]、[C]、[D]、"));
    EXPECT_EQ(resultDialog()->answerLabel->text(), QStringLiteral("[A]、[B]、[CD]、[D]、"));
    EXPECT_EQ(resultDialog()->scoreLabel->text(), QStringLiteral("6分"));
    EXPECT_EQ(dialogLines(), QStringList({QStringLiteral("案例解析7"), QStringLiteral("7")}));
    EXPECT_TRUE(sent(QStringLiteral("select * from kjks_tigan where zongtimian"))
                    .contains(QStringLiteral("select * from kjks_tigan where zongtimian = \"7\" order by tigan_id")));
    EXPECT_TRUE(
        sent(QStringLiteral("select jiexi")).contains(QStringLiteral("select jiexi from zongtigan where id = 7")));

    next();
    EXPECT_EQ(column(QStringLiteral("zongtigan"), 7, QStringLiteral("ZONGCS")), QStringLiteral("1"));
    EXPECT_EQ(column(QStringLiteral("zongtigan"), 7, QStringLiteral("ZQCS")), QStringLiteral("0"));
}

// Sub-questions with their own option counts: each is judged on the boxes shown for it.
TEST_F(PracticeTest, IrregularCaseStemsScoreEachSubQuestionOnItsOwnBoxes) {
    struct Case {
        const char *name;
        std::vector<int> optionCounts;
        std::vector<const char *> answers;
        std::vector<std::pair<int, int>> ticks; // (sub-question, option)
        const char *standard, *given, *score;
        const char *stemAnswer;
        bool right;
    };
    const std::vector<Case> cases = {
        {"three, five, four and four options",
         {3, 5, 4, 4},
         {"A", "BE", "C", "D"},
         {{0, 0}, {1, 1}, {1, 4}, {2, 0}, {3, 3}},
         "[A]、[BE]、[C]、[D]、",
         "[A]、[BE]、[A]、[D]、",
         "6分",
         "AEHIP",
         false},
        {"two sub-questions", {4, 4}, {"A", "B"}, {{0, 0}, {1, 1}}, "[A]、[B]、", "[A]、[B]、", "4分", "AF", true},
        {"five sub-questions all right score the full five times",
         {4, 4, 4, 4, 2},
         {"A", "B", "C", "D", "B"},
         {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 1}},
         "[A]、[B]、[C]、[D]、[B]、",
         "[A]、[B]、[C]、[D]、[B]、",
         "10分",
         "AFKPR",
         true},
        {"a sub-question left empty", {2, 6}, {"B", "F"}, {{1, 5}}, "[B]、[F]、", "[]、[F]、", "2分", "H", false},
    };
    int stemId = 10;
    for (const Case &c : cases) {
        BankStem stem;
        stem.id = ++stemId;
        stem.zhang = stem.jie = 1;
        stem.zongtimian = QStringLiteral("案例");
        stem.jiexi = QStringLiteral("解析");
        std::vector<BankQuestion> subs;
        for (size_t k = 0; k < c.optionCounts.size(); ++k) {
            BankQuestion &q = bank.addQuestion(stem.id * 10 + int(k), QStringLiteral("不定项选择题"), 1, 1,
                                               QString::fromUtf8(c.answers[k]), c.optionCounts[k]);
            q.zongtimian = QString::number(stem.id);
            subs.push_back(q);
        }
        std::vector<const BankQuestion *> ordered;
        for (const BankQuestion &q : subs)
            ordered.push_back(&q);
        stem.daan = StemAnswer(ordered);
        bank.model.stems.push_back(stem);
    }
    launchParameters().PracticeTypeFlags = {{false, false, false, true}};
    open();
    stemId = 10;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ++stemId;
        ASSERT_EQ(w().numberLabel->text(), QString::number(stemId));
        std::vector<int> firstBox{0};
        for (int n : c.optionCounts)
            firstBox.push_back(firstBox.back() + n);
        ASSERT_EQ(int(w().optionButtons(type(3)).size()), firstBox.back());
        for (const auto &[k, j] : c.ticks)
            clickOption(3, firstBox[size_t(k)] + j);
        EXPECT_EQ(w().session().pendingAnswer(), QString::fromUtf8(c.stemAnswer));
        EXPECT_EQ(column(QStringLiteral("zongtigan"), stemId, QStringLiteral("DDCS")),
                  c.right ? QStringLiteral("0") : QStringLiteral("1"));
        explain();
        ASSERT_NE(resultDialog(), nullptr);
        EXPECT_EQ(resultDialog()->standardAnswerLabel->text(), QString::fromUtf8(c.standard));
        EXPECT_EQ(resultDialog()->answerLabel->text(), QString::fromUtf8(c.given));
        EXPECT_EQ(resultDialog()->scoreLabel->text(), QString::fromUtf8(c.score));
        next();
    }
}

TEST_F(PracticeTest, OperationAnswersComeFromTheScratchRow) {
    setFourthType(QStringLiteral("电算化操作题"));
    bank.addQuestion(21, QStringLiteral("实操题"), 1, 1, QStringLiteral("12345"), 0);
    launchParameters().PracticeTypeFlags = {{false, false, false, true}};
    open();
    auto programLeaves = [&](const char *answer) {
        bank.exec(QStringLiteral("update shijuan set KSDA = '%1' where sjID = 0 and xth = 200")
                      .arg(QString::fromUtf8(answer)));
    };

    explain(); // nothing left by the program yet: nothing happens
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(resultDialog(), nullptr);
    EXPECT_EQ(tigan(21, QStringLiteral("YDCS")), QStringLiteral("0"));

    programLeaves("99999");
    explain();
    EXPECT_EQ(tigan(21, QStringLiteral("DDCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(21, QStringLiteral("YDCS")), QStringLiteral("1"));
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_EQ(resultDialog()->standardAnswerLabel->text(), QStringLiteral("略"));
    EXPECT_EQ(resultDialog()->answerLabel->text(), QStringLiteral("略"));
    EXPECT_EQ(resultDialog()->scoreLabel->text(), QStringLiteral("0分"));
    EXPECT_TRUE(resultDialog()->pictureFile().endsWith(QStringLiteral("images/wrong.png")));
    EXPECT_TRUE(sent(QStringLiteral("select daan"))
                    .contains(QStringLiteral("select daan from kjks_tigan where tigan_id = 21")));

    programLeaves("12345");
    explain();
    EXPECT_EQ(tigan(21, QStringLiteral("DDCS")), QStringLiteral("0"));
    EXPECT_EQ(resultDialog()->scoreLabel->text(), QStringLiteral("2分"));
    EXPECT_TRUE(resultDialog()->pictureFile().endsWith(QStringLiteral("images/yes.png")));
    EXPECT_EQ(w().session().pendingAnswer(), QStringLiteral("12345"));

    programLeaves("00000"); // the attempt is judged on what the program left when the learner moves on
    next();
    EXPECT_EQ(tigan(21, QStringLiteral("ZONGCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(21, QStringLiteral("ZQCS")), QStringLiteral("0"));
    EXPECT_EQ(bank.scalar(QStringLiteral("select KSDA from shijuan where sjID = 0 and xth = 200")).toString(),
              QString())
        << "shown again, the question starts with an empty answer";
}

} // namespace

// Another copy of the program holds the bank past the busy time-out: the learner is told the answer
// was not saved, and nothing of it lands on the next question.
TEST_F(PracticeTest, AnAnswerTheBankRefusesIsReportedAndLandsNowhereElse) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    open();
    SqlDatabase other;
    other.open(bankSession()->db.path(), QString::fromLatin1(kBankPassword));
    other.exec(QStringLiteral("begin immediate"));
    bankSession()->db.setBusyTimeout(20);
    clickOption(0, 0);
    const QStringList errors = boxTexts(Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0].split(QLatin1Char('\n')).mid(0, 2),
              QStringList({QStringLiteral("本题的作答没有保存。"),
                           QStringLiteral("本次更改未能保存到题库：题库正被其他程序使用，请稍后再试。")}));
    EXPECT_TRUE(errors[0].split(QLatin1Char('\n')).value(2).startsWith(QStringLiteral("详细信息：database is locked")))
        << qPrintable(errors[0]);
    EXPECT_TRUE(w().isVisible());
    other.exec(QStringLiteral("commit"));
    platform.boxes.clear();
    next();
    clickOption(0, 1);
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), QStringLiteral("0"));
    EXPECT_EQ(tigan(2, QStringLiteral("DDCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(2, QStringLiteral("ZONGCS")), QStringLiteral("0"));
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
}

// A full disk in practice (the bank may not grow by a page): answering and moving on say that the
// disk is full, the window stays usable, and what was stored before is kept.
TEST_F(PracticeTest, AFullDiskInPracticeIsNamedAndLosesNothing) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("B"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    open();
    clickOption(0, 1);
    const QString before = tigan(1, QStringLiteral("DDCS"));
    const int pages = bank.scalar(QStringLiteral("pragma page_count")).toInt();
    bank.exec(QStringLiteral("pragma max_page_count = %1").arg(pages));
    next();
    next();
    clickOption(0, 0);
    next();
    const QStringList errors = boxTexts(Kind::Error);
    ASSERT_FALSE(errors.isEmpty()) << "the full disk was never met";
    for (const QString &e : errors)
        EXPECT_TRUE(e.contains(QStringLiteral("磁盘空间不足"))) << qPrintable(e);
    EXPECT_TRUE(w().isVisible());
    EXPECT_EQ(tigan(1, QStringLiteral("DDCS")), before);
    EXPECT_EQ(bank.scalar(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
}
