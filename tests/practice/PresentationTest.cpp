#include "PracticeFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QScrollArea>

namespace {

QStringList captions(const QList<QAbstractButton *> &buttons) {
    QStringList out;
    for (QAbstractButton *b : buttons)
        out << b->text();
    return out;
}

QList<QAbstractButton *> buttonsOn(QWidget *area) {
    return area->findChildren<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
}

TEST_F(PracticeTest, ChoiceQuestionsShowHeaderStemAndOptions) {
    bank.model.chapters.push_back({QStringLiteral("0103"), QStringLiteral("第三章 负债")});
    bank.model.chapters.push_back({QStringLiteral("010312"), QStringLiteral("第十二节 应付职工薪酬")});
    BankQuestion &q1 = bank.addQuestion(1, QStringLiteral("单选题"), 3, 12, QStringLiteral("B"), 5);
    q1.progress = {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1"), 3, 4};
    q1.timian = QStringLiteral("企业计提的短期带薪缺勤应记入（　）。");
    bank.addQuestion(2, QStringLiteral("单选题"), 3, 12, QStringLiteral("A"), 3);
    bank.addQuestion(3, QStringLiteral("单选题"), 9, 1, QStringLiteral("A"), 4); // chapter not in the tree
    bank.addQuestion(4, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB"), 4);
    open();

    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("1"));
    EXPECT_EQ(w().attemptsLabel->text(), QStringLiteral(" 【答对 3 次-答错 1 次】  解答题次4"));
    EXPECT_EQ(w().accuracyLabel->text(), QStringLiteral("题目答题的正确率 75% "));
    EXPECT_EQ(w().chapterLabel->text(), QStringLiteral("第三章 负债"));
    EXPECT_EQ(w().sectionLabel->text(), QStringLiteral("第十二节 应付职工薪酬"));
    EXPECT_EQ(w().favouriteButton->text(), QStringLiteral("取消收藏"));
    EXPECT_EQ(view(0).stemBox->toPlainText(), QStringLiteral("\n企业计提的短期带薪缺勤应记入（　）。"));
    settle();
    const auto options = buttonsOn(view(0).optionArea);
    ASSERT_EQ(options.size(), 5);
    EXPECT_EQ(captions(options),
              QStringList({QStringLiteral("A、选项1-1"), QStringLiteral("B、选项1-2"), QStringLiteral("C、选项1-3"),
                           QStringLiteral("D、选项1-4"), QStringLiteral("E、选项1-5")}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(qobject_cast<QRadioButton *>(options[i]));
        EXPECT_TRUE(options[i]->isVisible());
        EXPECT_EQ(options[i]->geometry(), QRect(32, 150 + 40 * i, view(0).optionArea->width() - 100, 38));
        EXPECT_EQ(options[i]->font().pointSize(), 14);
    }
    w().resize(1300, 760); // options keep to the width of their area
    settle();
    EXPECT_EQ(options[4]->width(), view(0).optionArea->width() - 100);
    EXPECT_GT(options[4]->width(), 1100);
    EXPECT_TRUE(sent(QStringLiteral("select mc"))
                    .contains(QStringLiteral("select mc from kjks_zhangjie where daima = \"0103\"")));
    EXPECT_TRUE(sent(QStringLiteral("select mc"))
                    .contains(QStringLiteral("select mc from kjks_zhangjie where daima = \"010312\"")));
    EXPECT_TRUE(
        sent(QStringLiteral("select timian from kjks_xuanxiang"))
            .contains(QStringLiteral("select timian from kjks_xuanxiang where tigan_ID = 1 order by xuanxiang_id ")));

    next();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2"));
    EXPECT_EQ(w().attemptsLabel->text(), QStringLiteral(" 【答对 0 次-答错 0 次】  解答题次0"));
    EXPECT_EQ(w().accuracyLabel->text(), QStringLiteral("题目答题的正确率 0%  ")) << "not the previous question's 75%";
    EXPECT_EQ(w().favouriteButton->text(), QStringLiteral("收藏本题"));
    EXPECT_EQ(buttonsOn(view(0).optionArea).size(), 3);

    next();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("3"));
    EXPECT_EQ(w().chapterLabel->text(), QString());
    EXPECT_EQ(w().sectionLabel->text(), QString());

    selectTab(1);
    const auto boxes = buttonsOn(view(1).optionArea);
    ASSERT_EQ(boxes.size(), 4);
    EXPECT_TRUE(qobject_cast<QCheckBox *>(boxes[0]));
    EXPECT_EQ(w().chapterLabel->text(), QStringLiteral("第一章 会计概述"));
    EXPECT_EQ(w().sectionLabel->text(), QStringLiteral("第一节 会计概念"));
}

// The header describes the question shown: one without a chapter names none, not the one before.
TEST_F(PracticeTest, AQuestionWithoutChapterShowsNoChapterNames) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 2, QStringLiteral("A"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 2, QStringLiteral("A"));
    openBank();
    bank.exec(QStringLiteral("update kjks_tigan set zhang = NULL, jie = NULL where tigan_id = 2"));
    open();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2")); // an empty chapter sorts first
    EXPECT_EQ(w().chapterLabel->text(), QString());
    next();
    EXPECT_EQ(w().sectionLabel->text(), QStringLiteral("第二节 会计基本假设"));
    previous();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2"));
    EXPECT_EQ(w().chapterLabel->text(), QString());
    EXPECT_EQ(w().sectionLabel->text(), QString());
}

TEST_F(PracticeTest, JudgementAnswersAreRewrittenWhenShown) {
    bank.addQuestion(1, QStringLiteral("判断题"), 1, 1, QStringLiteral("1"), 0);
    bank.addQuestion(2, QStringLiteral("判断题"), 1, 1, QStringLiteral("0"), 0);
    bank.addQuestion(3, QStringLiteral("判断题"), 1, 1, QStringLiteral("×"), 0);
    open();
    selectTab(2);
    EXPECT_EQ(tigan(1, QStringLiteral("daan")), QStringLiteral("√"));
    EXPECT_EQ(tigan(2, QStringLiteral("daan")), QStringLiteral("0")) << "not shown yet";
    const auto buttons = buttonsOn(view(2).optionArea);
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(captions(buttons), QStringList({QStringLiteral("正确"), QStringLiteral("错误")}));
    EXPECT_EQ(buttons[0]->geometry().topLeft(), QPoint(32, 150));
    EXPECT_EQ(buttons[1]->geometry().topLeft(), QPoint(32, 190));
    EXPECT_TRUE(sent(QStringLiteral("select timian from kjks_xuanxiang")).isEmpty());
    next();
    EXPECT_EQ(tigan(2, QStringLiteral("daan")), QStringLiteral("×"));
    next();
    EXPECT_EQ(tigan(3, QStringLiteral("daan")), QStringLiteral("×"));
    // The rewritten answer is the one the check compares with.
    previous();
    clickOption(2, 1);
    EXPECT_EQ(tigan(2, QStringLiteral("DDCS")), QStringLiteral("0"));
}

TEST_F(PracticeTest, AnalysisQuestionsShowStemPictureAndExtraText) {
    setFourthType(QStringLiteral("计算分析题"));
    BankQuestion &plain = bank.addQuestion(1, QStringLiteral("实操题"), 1, 1, QStringLiteral("略"), 0);
    plain.timian = QStringLiteral("甲公司2025年发生如下业务： 要求：编制会计分录。");
    plain.timian2 = QStringLiteral("（金额单位：万元）");
    BankQuestion &pictured = bank.addQuestion(2, QStringLiteral("实操题"), 1, 1, QStringLiteral("略"), 0);
    pictured.tmimage = jpeg(120, 60);
    pictured.timian2 = QStringLiteral("表中数据为年末余额");
    bank.addQuestion(3, QStringLiteral("实操题"), 1, 1, QStringLiteral("略"), 0).tmimage = QByteArray("not a jpeg");
    bank.addQuestion(4, QStringLiteral("实操题"), 1, 1, QStringLiteral("略"), 0);
    launchParameters().PracticeTypeFlags = {{false, false, false, true}};
    open();

    EXPECT_EQ(fourth().currentIndex(), 2);
    EXPECT_FALSE(w().demonstrationButton->isVisible());
    EXPECT_EQ(fourth().analysisStem->text(), QStringLiteral("甲公司2025年发生如下业务：\n要求：编制会计分录。"));
    EXPECT_TRUE(fourth().analysisStem->isVisible());
    EXPECT_FALSE(fourth().analysisExtra->isVisible()) << "extra text without a picture stays hidden";
    EXPECT_FALSE(fourth().analysisPicture->isVisible());
    EXPECT_TRUE(w().optionControls(type(3)).empty());

    next();
    settle();
    ASSERT_TRUE(fourth().analysisPicture->isVisible());
    EXPECT_EQ(fourth().analysisPicture->pixmap().size(), QSize(120, 60));
    EXPECT_TRUE(fourth().analysisExtra->isVisible());
    EXPECT_EQ(fourth().analysisExtra->text(), QStringLiteral("表中数据为年末余额"));
    EXPECT_EQ(fourth().analysisPicture->geometry().top(), fourth().analysisStem->geometry().bottom() + 1 + 10);
    EXPECT_EQ(fourth().analysisExtra->geometry().top(), fourth().analysisPicture->geometry().bottom() + 1 + 10);
    EXPECT_EQ(fourth().analysisStem->geometry().left(), 16);
    EXPECT_EQ(fourth().analysisStem->width(), fourth().analysisArea->viewport()->width() - 32);

    next(); // a picture that is no JPEG is named in its place
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("3"));
    EXPECT_TRUE(fourth().analysisPicture->isVisible());
    EXPECT_EQ(fourth().analysisPicture->text(), QStringLiteral("图片无法显示"));
    next();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("4"));
    EXPECT_FALSE(fourth().analysisPicture->isVisible());
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(PracticeTest, CaseStemsPlaceEverySubQuestionAndItsBoxes) {
    BankStem &stem = bank.addStem(7, 1, 1, 4, 4);
    stem.zongtimian = QStringLiteral("甲公司为增值税一般纳税人。 2025年发生如下业务：");
    launchParameters().PracticeTypeFlags = {{false, false, false, true}};
    open();
    settle();
    EXPECT_EQ(fourth().currentIndex(), 3);
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("7"));
    EXPECT_EQ(fourth().caseStem->text(), QStringLiteral("甲公司为增值税一般纳税人。\n2025年发生如下业务："));
    QWidget *area = fourth().subQuestionArea->widget();
    for (int k = 0; k < 4; ++k) {
        const int id = 701 + k;
        auto *label = area->findChild<QLabel *>(QStringLiteral("subQuestion%1Label").arg(id));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QStringLiteral("题目%1").arg(id));
        EXPECT_EQ(label->pos(), QPoint(32, 192 * k + 20));
        EXPECT_TRUE(label->font().bold());
        for (int j = 0; j < 4; ++j) {
            QAbstractButton *box = w().optionButtons(type(3)).at(size_t(4 * k + j));
            EXPECT_EQ(box->text(), OptionLetter(j) + QStringLiteral("、选项%1-%2").arg(id).arg(j + 1));
            EXPECT_EQ(box->geometry(), QRect(32, 196 * k + 40 + 40 * j, area->width() - 100, 38));
        }
    }
    EXPECT_EQ(area->findChildren<QCheckBox *>().size(), 16);
    EXPECT_EQ(area->findChildren<QLabel *>().size(), 4);
    EXPECT_EQ(
        sent(QStringLiteral("select timian,tigan_id")),
        QStringList(
            {QStringLiteral("select timian,tigan_id from kjks_tigan where zongtimian = \"7\" order by tigan_id"),
             QStringLiteral("select timian,tigan_id from kjks_tigan where zongtimian = \"7\" order by tigan_id")}))
        << "once when the window is built and once when its tab is shown";
}

TEST_F(PracticeTest, OperationQuestionsClearTheScratchRowAndOfferTheirProgram) {
    setFourthType(QStringLiteral("电算化操作题"));
    bank.addQuestion(21, QStringLiteral("实操题"), 1, 1, QStringLiteral("12345"), 0).timian =
        QStringLiteral("录入凭证 并审核");
    bank.addQuestion(22, QStringLiteral("实操题"), 1, 1, QStringLiteral("12345"), 0);
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.model.paperItems.push_back(
        {0, 0, 200, QString(), 0, QString(), QStringLiteral("上次的结果"), false, 0, QString()});
    QDir(bank.dir()).mkpath(QStringLiteral("StuName"));
    QFile program(bank.dir() + QStringLiteral("StuName/21.exe"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();
    open();

    EXPECT_FALSE(w().demonstrationButton->isVisible());
    selectTab(3);
    EXPECT_EQ(fourth().currentIndex(), 1);
    EXPECT_EQ(fourth().operationBox->toPlainText(), QStringLiteral("录入凭证\n并审核"));
    EXPECT_TRUE(w().demonstrationButton->isVisible());
    EXPECT_TRUE(w().demonstrationButton->isEnabled());
    EXPECT_EQ(bank.scalar(QStringLiteral("select KSDA from shijuan where sjID = 0 and xth = 200")).toString(),
              QString());
    EXPECT_TRUE(sent(QStringLiteral("select * from shijuan"))
                    .contains(QStringLiteral("select * from shijuan where sjID = 0 and xth = 200")));

    click(w().demonstrationButton);
    EXPECT_EQ(platform.opened, QStringList({bank.dir() + QStringLiteral("StuName/21.exe")}));
    EXPECT_EQ(platform.pausedMs, 1000);

    next();
    EXPECT_TRUE(w().demonstrationButton->isVisible());
    EXPECT_FALSE(w().demonstrationButton->isEnabled()) << "no program for question 22";
    click(w().demonstrationButton);
    EXPECT_EQ(platform.opened.size(), 1);

    selectTab(0);
    EXPECT_FALSE(w().demonstrationButton->isVisible());
}

TEST_F(PracticeTest, AMissingScratchRowIsRecreatedAndNothingElseChanges) {
    setFourthType(QStringLiteral("电算化操作题"));
    bank.addQuestion(21, QStringLiteral("实操题"), 1, 1, QStringLiteral("12345"), 0);
    bank.model.addScratchRow = false;
    bank.model.paperItems.push_back({0, 3, 1, QStringLiteral("单选题"), 21, QStringLiteral("A"), QStringLiteral("B"),
                                     true, 0, QStringLiteral("0")});
    openBank();
    const QString before =
        bank.scalar(QStringLiteral(
                        "select group_concat(ID||sjID||xth||tixing||tigan_id||daan||KSDA||defen||kaolv) from shijuan"))
            .toString();
    ASSERT_EQ(bank.scalar(QStringLiteral("select count(*) from shijuan")).toInt(), 1);
    launchParameters().PracticeTypeFlags = {{false, false, false, true}};
    open();
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(bank.scalar(QStringLiteral("select count(*) from shijuan")).toInt(), 2);
    EXPECT_EQ(
        bank.scalar(QStringLiteral("select count(*) from shijuan where sjID = 0 and xth = 200 and KSDA = ''")).toInt(),
        1);
    EXPECT_EQ(
        bank.scalar(QStringLiteral("select group_concat(ID||sjID||xth||tixing||tigan_id||daan||KSDA||defen||kaolv) "
                                   "from shijuan where sjID <> 0"))
            .toString(),
        before);

    // Gone again while the question is on screen: the answer reads as empty and nothing is written.
    bank.exec(QStringLiteral("delete from shijuan where sjID = 0"));
    explain();
    next();
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(tigan(21, QStringLiteral("YDCS")), QStringLiteral("0"));
    EXPECT_EQ(tigan(21, QStringLiteral("ZONGCS")), QStringLiteral("0"));
    EXPECT_EQ(resultDialog(), nullptr);

    // Answered, then the row goes before the learner moves on: the attempt counts, on an empty answer.
    bank.exec(QStringLiteral("update shijuan set KSDA = '12345' where sjID = 0 and xth = 200"));
    explain();
    EXPECT_EQ(tigan(21, QStringLiteral("DDCS")), QStringLiteral("0"));
    bank.exec(QStringLiteral("delete from shijuan where sjID = 0"));
    next();
    EXPECT_EQ(tigan(21, QStringLiteral("ZONGCS")), QStringLiteral("1"));
    EXPECT_EQ(tigan(21, QStringLiteral("ZQCS")), QStringLiteral("0"));
    EXPECT_EQ(bank.scalar(QStringLiteral("select count(*) from shijuan where sjID <> 0")).toInt(), 1);
}

TEST_F(PracticeTest, UndecodableTextsEndOnlyThatPresentation) {
    for (int id = 1; id <= 4; ++id)
        bank.addQuestion(id, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(9, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB"));
    bank.addStem(5, 1, 1, 2, 4);
    openBank();
    bank.exec(QStringLiteral("update kjks_tigan set timian = 'ABC' where tigan_id = 2"));
    bank.exec(QStringLiteral("update kjks_xuanxiang set timian = '0011' where tigan_ID = 3 and xuanxiang_id = (select "
                             "max(xuanxiang_id) from kjks_xuanxiang where tigan_ID = 3)"));
    bank.exec(QStringLiteral("update kjks_tigan set timian = 'ABC' where tigan_id = 502"));
    open();
    EXPECT_TRUE(platform.boxes.empty()) << "a broken case stem is reported when its tab is opened";
    EXPECT_EQ(buttonsOn(view(0).optionArea).size(), 4);

    clickOption(0, 0);
    next();
    EXPECT_EQ(w().session().pendingAnswer(), QString()) << "the answer to question 1 is never counted on another";
    EXPECT_EQ(boxTexts(RecordingPlatform::BoxKind::Error),
              QStringList({QStringLiteral("第 2 题的文字无法解码，请跳过本题继续练习。")}));
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2"));
    EXPECT_EQ(view(0).stemBox->toPlainText(), QString()) << "no stem of another question stays on screen";
    EXPECT_TRUE(buttonsOn(view(0).optionArea).isEmpty());

    next(); // an option that cannot be decoded: no half question
    EXPECT_EQ(boxTexts(RecordingPlatform::BoxKind::Error).value(1),
              QStringLiteral("第 3 题的文字无法解码，请跳过本题继续练习。"));
    EXPECT_EQ(view(0).stemBox->toPlainText(), QStringLiteral("\n题目3"));
    EXPECT_TRUE(buttonsOn(view(0).optionArea).isEmpty());

    next();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("4"));
    EXPECT_EQ(buttonsOn(view(0).optionArea).size(), 4);
    clickOption(0, 0);
    EXPECT_EQ(tigan(4, QStringLiteral("DDCS")), QStringLiteral("0"));
    EXPECT_EQ(tigan(1, QStringLiteral("ZONGCS")), QStringLiteral("1"));
    for (int id : {2, 3})
        EXPECT_EQ(tigan(id, QStringLiteral("ZONGCS")), QStringLiteral("0"));

    selectTab(3); // a sub-question's text: the stem on screen is named
    EXPECT_EQ(boxTexts(RecordingPlatform::BoxKind::Error).value(2),
              QStringLiteral("第 5 题的文字无法解码，请跳过本题继续练习。"));
    EXPECT_TRUE(fourth().subQuestionArea->widget()->findChildren<QAbstractButton *>().isEmpty());
    selectTab(1);
    EXPECT_EQ(buttonsOn(view(1).optionArea).size(), 4);
    EXPECT_EQ(boxTexts(RecordingPlatform::BoxKind::Error).size(), 3);
}

TEST_F(PracticeTest, ABrokenQuestionOnTheFirstTabIsReportedOnce) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(2, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    openBank();
    bank.exec(QStringLiteral("update kjks_tigan set timian = 'ABC' where tigan_id = 1"));
    open();
    EXPECT_EQ(boxTexts(RecordingPlatform::BoxKind::Error),
              QStringList({QStringLiteral("第 1 题的文字无法解码，请跳过本题继续练习。")}));
    next();
    EXPECT_EQ(w().numberLabel->text(), QStringLiteral("2"));
    EXPECT_EQ(buttonsOn(view(0).optionArea).size(), 4);
}

} // namespace
