#pragma once

#include "Dataset.h"
#include "ExamWindow.h"
#include "PaperPrintButtons.h"

#include <QWidget>

#include <functional>

class QGroupBox;
class QLabel;
class QLayout;
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

    QLabel *paperPointsLabel; // "试卷" and "总分": the points of the sections the paper has
    QLabel *totalPointsLabel;
    QLabel *subjectLabel;
    QLabel *examTimeLabel; // "90分钟" / "120分钟"
    QTableWidget *contentTable;
    QGroupBox *papersGroup; // "已答试卷"
    QTableWidget *paperList;
    QPushButton *papersToggle;       // "已答试卷 ▽"
    QPushButton *viewButton;         // "查看"
    QPushButton *redoButton;         // "重做"
    QPushButton *closeListButton;    // "返回"
    QPushButton *enterButton;        // "进入考场"
    PaperPrintButtons *printButtons; // "打印试卷", "打印空白卷"

    // Opens the exam window; RunPaperlessExam unless a test puts a recorder here.
    std::function<void(ExamWindow::Opening)> launchExam;

public slots:
    void enterExam(); // 进入考场: a new paper
    void togglePaperList();
    void viewPaper(); // 查看: the paper as stored (continued when it was never handed in)
    void redoPaper(); // 重做: the paper started again
    void hidePaperList();
    void choosePaper(int row, int column);

private:
    QWidget *buildDescription();
    QLayout *buildPaperList();
    void fillPaperList();
    void openSelectedPaper(ExamWindow::Opening opening);
    PaperPrintButtons::Choice chosenPaper();
    Dataset m_papers;
};
