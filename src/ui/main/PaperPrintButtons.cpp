#include "PaperPrintButtons.h"

#include "BankSession.h"
#include "ExamProfile.h"
#include "HandlerGuard.h"
#include "PaperPrint.h"
#include "Platform.h"

#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QStandardPaths>

PaperPrintButtons::PaperPrintButtons(std::function<Choice()> chosenPaper, QWidget *parent)
    : QWidget(parent), m_chosenPaper(std::move(chosenPaper)) {
    printButton = new QPushButton(QStringLiteral("打印试卷"), this);
    printButton->setObjectName(QStringLiteral("btnPrintPaper"));
    printButton->setGeometry(0, 0, 84, 30);
    printBlankButton = new QPushButton(QStringLiteral("打印空白卷"), this);
    printBlankButton->setObjectName(QStringLiteral("btnPrintBlankPaper"));
    printBlankButton->setGeometry(88, 0, 92, 30);
    setFixedSize(180, 30);
    choosePdfTarget = [this](const QString &suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("打印试卷"), suggested,
                                            QStringLiteral("PDF 文件 (*.pdf)"));
    };
    connect(printButton, &QPushButton::clicked, this, &PaperPrintButtons::PrintClick);
    connect(printBlankButton, &QPushButton::clicked, this, &PaperPrintButtons::PrintBlankClick);
}

void PaperPrintButtons::PrintClick() {
    print(true);
}

void PaperPrintButtons::PrintBlankClick() {
    print(false);
}

void PaperPrintButtons::print(bool withAnswers) {
    Guarded([&] {
        const Choice choice = m_chosenPaper();
        if (choice.paperId == 0) {
            ShowInfoBox(QStringLiteral("请先在“已答试卷”中选择一份试卷。"));
            return;
        }
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty()) folder = QDir::homePath();
        const QString name = QStringLiteral("模拟试卷第%1套%2.pdf")
                                 .arg(choice.shownNumber)
                                 .arg(withAnswers ? QString() : QStringLiteral("（空白）"));
        QString target = choosePdfTarget(folder + QLatin1Char('/') + name);
        if (target.isEmpty()) return;
        if (!target.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) target += QStringLiteral(".pdf");
        const PrintedPaper paper =
            ReadPrintedPaper(*bankSession(), examProfile(), choice.paperId, choice.shownNumber, withAnswers);
        const int pages = WritePaperPdf(paper, target);
        ShowInfoBox(
            QStringLiteral("试卷已保存为 PDF（共 %1 页）：\n%2").arg(pages).arg(QDir::toNativeSeparators(target)));
    });
}
