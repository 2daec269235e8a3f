#pragma once

#include "Dataset.h"
#include "FrmChapterTest_NewAHP.h"
#include "PaperPrintButtons.h"

#include <QWidget>

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

// The mock-exam page: the description of the exam and the answered papers.
class MockExamPage : public QWidget {
    Q_OBJECT
public:
    explicit MockExamPage(QWidget *parent = nullptr);

    // First showing: subject, time and the four sections of the profile.
    void ShowProfile(const QString &appTitle);
    // First showing: opens the answered-paper list.
    void OpenPaperList();

    QLabel *Label40;     // subject
    QLabel *lblExamTime; // "90分钟" / "120分钟"
    QTableWidget *tblContent;
    QGroupBox *grpPapers; // "已答试卷"
    QTableWidget *DBGrid1;
    QPushButton *Button4;            // "已答试卷 ▽"
    QPushButton *Button7;            // "查看"
    QPushButton *Button8;            // "重做"
    QPushButton *Button9;            // "返回"
    QPushButton *sBitBtn3;           // "进入考场"
    PaperPrintButtons *printButtons; // "打印试卷", "打印空白卷"

    // Opens the exam window; RunPaperlessExam unless a test puts a recorder here.
    std::function<void(TFrmChapterTest_NewAH::Opening)> launchExam;

public slots:
    void sBitBtn3Click(); // 进入考场: a new paper
    void Button4Click();
    void Button7Click(); // 查看: the paper as stored (continued when it was never handed in)
    void Button8Click(); // 重做: the paper started again
    void Button9Click();
    void DBGrid1CellClick(int row, int column);

private:
    void fillPaperList();
    void openSelectedPaper(TFrmChapterTest_NewAH::Opening opening);
    PaperPrintButtons::Choice chosenPaper();
    Dataset m_papers;
};
