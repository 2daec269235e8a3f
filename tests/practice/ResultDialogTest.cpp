#include "ResultDialog.h"
#include "AccessibleNames.h"
#include "ExamProfile.h"
#include "LaunchParameters.h"
#include "ResultPayload.h"
#include "TestApp.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString joined(std::initializer_list<const char *> fields) {
    QStringList texts;
    for (const char *f : fields)
        texts << QString::fromUtf8(f);
    return texts.join(QStringLiteral("=*=&"));
}
QString u8(const char *text) {
    return QString::fromUtf8(text);
}

// The dialog with a folder whose images/ holds a green yes.png and a red wrong.png.
class ResultDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        launchParameters() = LaunchParameters{};
        launchParameters().AppDir = dir.path() + QLatin1Char('/');
        QDir(dir.path()).mkpath(QStringLiteral("images"));
        writePicture(QStringLiteral("yes.png"), Qt::green);
        writePicture(QStringLiteral("wrong.png"), Qt::red);
    }
    void TearDown() override { delete resultDialog(); }

    void writePicture(const QString &name, Qt::GlobalColor colour) {
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(dir.path() + QStringLiteral("/images/") + name, "PNG"));
    }
    // The colour of the picture on show, or an invalid colour when there is none.
    QColor pictureColour() const {
        const QPixmap p = resultDialog()->verdictPicture->pixmap();
        return p.isNull() ? QColor() : p.toImage().pixelColor(p.width() / 2, p.height() / 2);
    }
    void closeAndDeliver() {
        resultDialog()->confirmButton->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir dir;
};

struct PayloadCase {
    const char *name;
    QString payload;
    const char *caption, *standardScore, *standardAnswer, *answer, *score;
    std::vector<const char *> explanation;
    bool right;
    bool partlyRight = false; // points for an answer that is not the standard one
};

const std::vector<PayloadCase> kPayloadCases = {
    {"right single choice",
     joined({"1001", "单选题", "2分", "B", "B", "2分", "解析一", "1001"}),
     "评分(第1001题)",
     "2分",
     "B",
     "B",
     "2分",
     {"解析一", "1001"},
     true},
    {"wrong answer",
     joined({"1001", "单选题", "2分", "B", "C", "0分", "解析一", "1001"}),
     "评分(第1001题)",
     "2分",
     "B",
     "C",
     "0分",
     {"解析一", "1001"},
     false},
    {"both answers empty: wrong picture",
     joined({"9", "多选题", "2分", "", "", "0分", "x", "9"}),
     "评分(第9题)",
     "2分",
     "",
     "",
     "0分",
     {"x", "9"},
     false},
    {"operation question answered wrongly",
     joined({"7", "电算化操作题", "2分", "略", "略.", "0分", "操作解析", "7"}),
     "评分(第7题)",
     "2分",
     "略",
     "略",
     "0分",
     {"操作解析", "7"},
     false},
    {"operation question answered rightly",
     joined({"7", "电算化操作题", "2分", "略", "略", "2分", "操作解析", "7"}),
     "评分(第7题)",
     "2分",
     "略",
     "略",
     "2分",
     {"操作解析", "7"},
     true},
    {"explanation of three lines, one of them empty in between",
     joined({"5", "单选题", "1.5分", "A", "A", "1.5分", "第一行\r\n第二行\n\n第三行", "5"}),
     "评分(第5题)",
     "1.5分",
     "A",
     "A",
     "1.5分",
     {"第一行", "第二行", "第三行", "5"},
     true},
    {"chapter names standing in for the explanation",
     joined({"5", "单选题", "2分", "A", "B", "0分", "第一章 会计概述\n\r第一节 会计概念", "5"}),
     "评分(第5题)",
     "2分",
     "A",
     "B",
     "0分",
     {"第一章 会计概述", "第一节 会计概念", "5"},
     false},
    {"no standard score: every later field one label early",
     joined({"3", "单选题", "B", "B", "2分", "解析", "3"}),
     "评分(第3题)",
     "B",
     "B",
     "2分",
     "解析",
     {"3"},
     false},
    {"fewer than seven fields", joined({"4", "判断题", "1分", "√"}), "评分(第4题)", "1分", "√", "", "", {}, false},
    {"blanks and control characters at both ends",
     QStringLiteral(" \t\r\n") + joined({"8", "判断题", "1分", "×", "×", "1分", "解析", "8"}) + QStringLiteral("\r\n "),
     "评分(第8题)",
     "1分",
     "×",
     "×",
     "1分",
     {"解析", "8"},
     true},
    {"case stem answers in brackets",
     joined({"301", "不定项选择题", "10分", "[A]、[BD]、[C]、[D]、", "[A]、[B]、[C]、[]、", "4分", "案例解析", "301"}),
     "评分(第301题)",
     "10分",
     "[A]、[BD]、[C]、[D]、",
     "[A]、[B]、[C]、[]、",
     "4分",
     {"案例解析", "301"},
     false,
     true},
    {"multiple choice under partial credit",
     joined({"12", "多选题", "2分", "ABC", "AB", "1分", "解析", "12"}),
     "评分(第12题)",
     "2分",
     "ABC",
     "AB",
     "1分",
     {"解析", "12"},
     false,
     true},
};

TEST_F(ResultDialogTest, FillsEveryFieldFromThePayload) {
    for (const PayloadCase &c : kPayloadCases) {
        SCOPED_TRACE(c.name);
        ShowResultDialog(c.payload);
        ResultDialog *d = resultDialog();
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->windowTitle(), u8(c.caption));
        EXPECT_EQ(d->standardScoreLabel->text(), u8(c.standardScore));
        EXPECT_EQ(d->standardAnswerLabel->text(), u8(c.standardAnswer));
        EXPECT_EQ(d->answerLabel->text(), u8(c.answer));
        EXPECT_EQ(d->scoreLabel->text(), u8(c.score));
        QStringList explanation;
        for (const char *line : c.explanation)
            explanation << u8(line);
        EXPECT_EQ(d->explanationBox->toPlainText(), explanation.join(QLatin1Char('\n')));
        if (c.partlyRight) {
            EXPECT_EQ(d->verdictPicture->text(), QStringLiteral("部分正确"));
            EXPECT_EQ(d->pictureFile(), QString());
            continue;
        }
        EXPECT_EQ(d->verdictPicture->text(), QString());
        EXPECT_EQ(pictureColour(), c.right ? QColor(Qt::green) : QColor(Qt::red));
        EXPECT_EQ(d->pictureFile(), launchParameters().AppDir + (c.right ? QStringLiteral("images/yes.png")
                                                                         : QStringLiteral("images/wrong.png")));
    }
}

// Bank texts are shown as they are: markup in a standard answer is not read (a 60000-pixel picture
// would otherwise stretch the label far past the dialog).
TEST_F(ResultDialogTest, EveryControlHasANameForScreenReaders) {
    ShowResultDialog(kPayloadCases[0].payload);
    ASSERT_NE(resultDialog(), nullptr);
    const QStringList unnamed = UnnamedControls(resultDialog());
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
}

TEST_F(ResultDialogTest, BankTextsAreNeverMarkup) {
    ShowResultDialog(joined({"6", "单选题", "2分", "<img width=60000>", "<b>A</b>", "0分", "<i>解析</i>", "6"}));
    ResultDialog *d = resultDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->standardAnswerLabel->text(), u8("<img width=60000>"));
    EXPECT_LT(d->standardAnswerLabel->sizeHint().width(), 400);
    EXPECT_EQ(d->answerLabel->text(), u8("<b>A</b>"));
    EXPECT_FALSE(d->answerLabel->font().bold());
    for (QLabel *l : {d->standardScoreLabel, d->standardAnswerLabel, d->answerLabel, d->scoreLabel})
        EXPECT_EQ(l->textFormat(), Qt::PlainText);
    EXPECT_EQ(d->explanationBox->toPlainText(), u8("<i>解析</i>\n6"));
}

TEST_F(ResultDialogTest, OneDialogIsRefilledInPlaceAndGoneWhenClosed) {
    ShowResultDialog(joined({"1", "单选题", "2分", "A", "B", "0分", "第一题解析", "1"}));
    QPointer<ResultDialog> first = resultDialog();
    first->move(first->pos() + QPoint(37, 23));
    const QPoint moved = first->pos();

    ShowResultDialog(joined({"2", "单选题", "2分", "C", "C", "2分", "第二题解析", "2"}));
    EXPECT_EQ(resultDialog(), first.data());
    EXPECT_EQ(first->pos(), moved);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("评分(第2题)"));
    EXPECT_EQ(first->explanationBox->toPlainText(), QStringLiteral("第二题解析\n2"));
    EXPECT_EQ(pictureColour(), QColor(Qt::green));
    EXPECT_EQ(first->findChildren<QPlainTextEdit *>().size(), 1);

    closeAndDeliver();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(resultDialog(), nullptr);

    // The next result opens a fresh dialog.
    ShowResultDialog(joined({"3", "判断题", "1分", "√", "√", "1分", "x", "3"}));
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_EQ(resultDialog()->windowTitle(), QStringLiteral("评分(第3题)"));
}

TEST_F(ResultDialogTest, MissingPicturesLeaveThePlaceEmpty) {
    QFile::remove(dir.path() + QStringLiteral("/images/yes.png"));
    QFile f(dir.path() + QStringLiteral("/images/wrong.png"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("not a picture");
    f.close();
    for (const char *answer : {"B", "C"}) {
        ShowResultDialog(joined({"1", "单选题", "2分", "B", answer, "0分", "解析", "1"}));
        ASSERT_NE(resultDialog(), nullptr);
        EXPECT_TRUE(resultDialog()->isVisible());
        EXPECT_EQ(pictureColour(), QColor());
        EXPECT_EQ(resultDialog()->answerLabel->text(), u8(answer));
    }
}

TEST_F(ResultDialogTest, LayoutAndAnEmptyPayload) {
    ShowResultDialog(QString());
    ResultDialog *d = resultDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowTitle(), QStringLiteral("计算分析"));
    EXPECT_EQ(d->size(), QSize(560, 330));
    EXPECT_EQ(d->standardScoreCaption->text(), QStringLiteral("本题标准分："));
    EXPECT_EQ(d->standardAnswerCaption->text(), QStringLiteral("标准答案："));
    EXPECT_EQ(d->answerCaption->text(), QStringLiteral("考生答案："));
    EXPECT_EQ(d->scoreCaption->text(), QStringLiteral("本题得分："));
    EXPECT_EQ(d->hintLabel->text(), QStringLiteral("操作提示：继续做题本窗口将自动关闭。"));
    EXPECT_EQ(d->explanationGroup->title(), QStringLiteral("解析"));
    EXPECT_EQ(d->confirmButton->text(), QStringLiteral("确认"));
    EXPECT_EQ(d->verdictPicture->geometry(), QRect(395, 8, 137, 125));
    EXPECT_EQ(d->explanationGroup->geometry(), QRect(32, 144, 505, 145));
    EXPECT_EQ(d->confirmButton->geometry(), QRect(461, 296, 75, 25));
    EXPECT_TRUE(d->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_FALSE(d->isModal());
    // Value texts stay clear of the picture.
    ShowResultDialog(joined({"301", "不定项选择题", "10分", "[ABCD]、[ABCD]、[ABCD]、[ABCD]、",
                             "[ABCD]、[ABCD]、[ABCD]、[ABCD]、", "10分", "x", "301"}));
    EXPECT_LE(d->standardAnswerLabel->geometry().right(), d->verdictPicture->geometry().left());
    EXPECT_LE(d->answerLabel->geometry().right(), d->verdictPicture->geometry().left());
}

TEST(StandardScore, FollowsTheFirstSectionOfThatTypeName) {
    examProfile() = ExamProfile{};
    const char *names[4] = {"单选题", "多选题", "判断题", "不定项选择题"};
    const double points[4] = {2, 1.5, 1, 1.2};
    for (int s = 0; s < 4; ++s) {
        examProfile().sections[size_t(s)].typeName = QString::fromUtf8(names[s]);
        examProfile().sections[size_t(s)].perQuestionScore = points[s];
    }
    EXPECT_EQ(StandardScoreText(QStringLiteral("单选题")), QStringLiteral("2分"));
    EXPECT_EQ(StandardScoreText(QStringLiteral("多选题")), QStringLiteral("1.5分"));
    EXPECT_EQ(StandardScoreText(QStringLiteral("不定项选择题"), 5), QStringLiteral("6分"));
    EXPECT_EQ(StandardScoreText(QStringLiteral("实操题")), std::nullopt);
    examProfile().sections[3].typeName = QStringLiteral("单选题"); // the first match wins
    EXPECT_EQ(StandardScoreText(QStringLiteral("单选题")), QStringLiteral("2分"));
    examProfile().sections[0].perQuestionScore = 2.0 / 3;
    EXPECT_EQ(StandardScoreText(QStringLiteral("单选题")), QStringLiteral("0.666666666666667分"));
}

} // namespace
