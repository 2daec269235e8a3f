// Grabs the practice window's tabs and the result dialog to PNG files, for looking at the layout
// on a real display (run under Xvfb):
//
//   practice_screenshots <bank.dbf> <content folder> <output folder>
//
// The content folder holds images/ (the right/wrong pictures) and bank/pictures/.
//
// The four type tabs and the result dialogs come from the given bank (the sample bank); the analysis
// and operation pages of the fourth tab, which the sample profile does not use, from a small bank
// written here.

#include "BankSession.h"
#include "ExamProfile.h"
#include "FixtureBank.h"
#include "Fonts.h"
#include "LaunchParameters.h"
#include "PracticeWindow.h"
#include "RecordingPlatform.h"
#include "ResultDialog.h"
#include "Screenshots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

namespace {

QString g_out;

void settle() {
    SettleEvents();
}

void save(QWidget *widget, const char *name) {
    SaveWidgetShot(widget, g_out + QStringLiteral("/practice-") + QString::fromLatin1(name) + QStringLiteral(".png"));
}

void click(QAbstractButton *button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// Moves the tab's set on until a question with a long stem or many options is on screen.
void nextUntil(PracticeWindow &w, int tab, int minOptions, int maxMoves) {
    for (int i = 0; i < maxMoves && int(w.optionButtons(kQuestionTypes[size_t(tab)]).size()) < minOptions; ++i)
        click(w.nextButton);
}

void sampleBank(const QString &bankPath) {
    BankSession form;
    form.OpenBank(bankPath);
    setBankSession(&form);
    form.LoadExamProfile(QStringLiteral("1"));
    setApplicationTitle(form.GetOption(QStringLiteral("APP_TITLE")));
    launchParameters().PracticeScope = 0;
    launchParameters().SelectedChapterCode = QStringLiteral("10302");
    launchParameters().PracticeTypeFlags = {{true, true, true, true}};
    {
        PracticeWindow w;
        w.show();
        settle();
        nextUntil(w, 0, 4, 1);
        save(&w, "single");
        click(w.optionButtons(kQuestionTypes[size_t(0)]).at(1));
        if (resultDialog()) save(resultDialog(), "result");

        w.typeTabs->setCurrentIndex(1);
        click(w.optionButtons(kQuestionTypes[size_t(1)]).at(0));
        click(w.optionButtons(kQuestionTypes[size_t(1)]).at(2));
        save(&w, "multiple");

        w.typeTabs->setCurrentIndex(2);
        click(w.optionButtons(kQuestionTypes[size_t(2)]).at(0));
        save(&w, "judgement");

        w.typeTabs->setCurrentIndex(3);
        for (size_t i : {size_t(0), size_t(5)})
            if (i < w.optionButtons(kQuestionTypes[size_t(3)]).size())
                click(w.optionButtons(kQuestionTypes[size_t(3)]).at(i));
        save(&w, "case");
        click(w.explainButton);
        if (resultDialog()) save(resultDialog(), "result-case");
        resultDialog()->close();
        // The learner scrolls down the sub-questions, then goes on: the next case opens at its top.
        QScrollBar *subQuestions = w.view(QuestionType::Fourth)->subQuestionArea->verticalScrollBar();
        subQuestions->setValue(subQuestions->maximum());
        save(&w, "case-scrolled");
        click(w.nextButton);
        save(&w, "case-next");
        // An enlarged window gives the stem half of the extra height.
        w.resize(1182, 904);
        save(&w, "case-enlarged");
        w.resize(1182, 704);
        settle();
        // A case whose stem carries a picture.
        for (int i = 0; i < 10 && w.numberLabel->text() != QStringLiteral("906"); ++i)
            click(w.nextButton);
        save(&w, "case-picture");
        w.close();
    }
    setBankSession(nullptr);
}

// Boxes are drawn as the desktop shows them, grabbed and closed again.
class GrabbingPlatform : public RecordingPlatform {
public:
    void messageBox(BoxKind kind, const QString &text) override {
        RecordingPlatform::messageBox(kind, text);
        QMessageBox box;
        box.setWindowTitle(applicationTitle());
        box.setText(text);
        box.setIcon(kind == BoxKind::Error ? QMessageBox::Critical : QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        box.show();
        save(&box, grabAs);
    }
    const char *grabAs = "box";
};

// A choice no question fits: the message instead of an empty window.
void emptyChoice(GrabbingPlatform &platform) {
    FixtureBank bank;
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    BankSession &form = bank.open();
    form.LoadExamProfile(QStringLiteral("1"));
    setApplicationTitle(form.GetOption(QStringLiteral("APP_TITLE")));
    launchParameters().PracticeScope = 2; // no wrong questions yet
    launchParameters().PracticeTypeFlags = {{true, true, true, true}};
    platform.grabAs = "empty-set";
    RunPractice();
    launchParameters().PracticeScope = 0;
}

void fourthTypePages(const QString &pictureFile) {
    QFile picture(pictureFile);
    QByteArray jpeg;
    if (picture.open(QIODevice::ReadOnly)) jpeg = picture.readAll();
    for (const QString &type : {QStringLiteral("计算分析题"), QStringLiteral("电算化操作题")}) {
        FixtureBank bank;
        bank.model.profiles[0].columns[QStringLiteral("shicaotype")] = type;
        BankQuestion &q = bank.addQuestion(8101, QStringLiteral("实操题"), 1, 1, QStringLiteral("略"), 0);
        if (type == QStringLiteral("计算分析题")) {
            q.timian = QStringLiteral("甲公司2025年12月31日有关科目的期末余额如下图所示（单位：万元）。 "
                                      "要求：根据上述资料，计算资产负债表中“货币资金”“应收账款”“存货”项目的期末金额。");
            q.tmimage = jpeg;
            q.timian2 = QStringLiteral("注：坏账准备均为应收账款计提。");
        } else {
            q.timian =
                QStringLiteral("在总账系统中完成下列操作： 1.填制凭证：2025年12月5日，以银行存款支付本月水电费3600元。 "
                               "2.审核上述凭证并记账。");
        }
        BankSession &form = bank.open();
        form.LoadExamProfile(QStringLiteral("1"));
        launchParameters().PracticeTypeFlags = {{false, false, false, true}};
        launchParameters().SelectedChapterCode.clear();
        PracticeWindow w;
        w.show();
        save(&w, type == QStringLiteral("计算分析题") ? "analysis" : "operation");
        w.close();
    }
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: practice_screenshots <bank.dbf> <content folder> <output folder>\n");
        return 2;
    }
    InstallChineseFontSubstitutes();
    GrabbingPlatform platform; // boxes are recorded and grabbed, never block
    g_out = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(g_out);
    const QString content = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + QLatin1Char('/');
    launchParameters().AppDir = content;
    try {
        sampleBank(QString::fromLocal8Bit(argv[1]));
        fourthTypePages(content + QStringLiteral("bank/pictures/trial_balance.jpg"));
        emptyChoice(platform);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    for (const auto &box : platform.boxes)
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
    return 0;
}
