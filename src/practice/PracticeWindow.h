#pragma once

#include "PracticeSession.h"
#include "QuestionView.h"

#include <QDialog>
#include <array>
#include <optional>
#include <vector>

class QAbstractButton;
class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTimer;

// "题目练习": chapter practice on four type tabs. When shown it builds one question set per type
// from the launch parameters, presents the current question of each tab, checks every answer at
// once (statistics and favourites go to the bank immediately) and counts an attempt when the
// learner moves on with "上一题"/"下一题".
class PracticeWindow : public QDialog {
    Q_OBJECT
public:
    explicit PracticeWindow(QWidget *parent = nullptr);

    // Header.
    QWidget *PanelTop;
    QLabel *Label60; // chapter
    QLabel *Label61; // section
    QLabel *Label63; // accuracy
    QLabel *Label64; // "题号"
    QLabel *Label5;  // question number
    QLabel *Label4;  // attempts
    // Type tabs.
    QTabWidget *PageControl2;
    QWidget *TabSheet5;
    QWidget *TabSheet6;
    QWidget *TabSheet7;
    QuestionView *TabSheet8; // the fourth tab's view
    QPlainTextEdit *Memo1;
    QPlainTextEdit *Memo5;
    QPlainTextEdit *Memo6;
    // Fourth tab: pages switched by presentation only (1 operation, 2 analysis, 3 case).
    QuestionView *PageControl1;
    QWidget *TabSheet1;
    QWidget *TabSheet2;
    QWidget *TabSheet3;
    QWidget *TabSheet4;
    QPlainTextEdit *Memo2;
    QScrollArea *ScrollBox2;
    QLabel *Label10;
    QLabel *Image1;
    QLabel *Label11;
    QScrollArea *ScrollBox3;
    QLabel *Label12;
    QLabel *Image2;
    QLabel *Label13;
    QScrollArea *ScrollBox1;
    // Bottom bar.
    QPushButton *SpeedButton4;  // 评分解析
    QPushButton *SpeedButton2;  // 上一题
    QPushButton *SpeedButton3;  // 下一题
    QPushButton *SpeedButton1;  // 视频文件
    QPushButton *btnFav;        // 收藏本题 / 取消收藏
    QPushButton *SpeedButton10; // 关闭
    QLabel *lblEndHint;         // a quiet note at the ends of a set
    QTimer *Timer3;

    // The question sets, the pending answer and the checks of this run.
    PracticeSession &session() { return m_session; }

    // The active type tab, nothing when no tab is shown.
    std::optional<QuestionType> activeTab() const;
    // The view of a type tab.
    QuestionView *view(QuestionType tab) const { return m_views[IndexOf(tab)]; }
    // The option controls of a tab's latest presentation: answer controls in option order, and
    // every control created for it (case stems add a label per sub-question).
    const std::vector<QAbstractButton *> &optionButtons(QuestionType tab) const { return view(tab)->optionButtons(); }
    const std::vector<QWidget *> &optionControls(QuestionType tab) const { return view(tab)->optionControls(); }
    void DiscardOptionControls(QuestionType tab);
    void DiscardAllOptionControls();

public slots:
    void FormShow();
    void PageControl2Change();
    void SpeedButton4Click(); // 评分解析
    void SpeedButton2Click(); // 上一题
    void SpeedButton3Click(); // 下一题
    void SpeedButton1Click(); // 视频文件
    void btnFavClick();
    void SpeedButton10Click(); // 关闭
    void Timer3Timer();
    // Answer checks: an option was clicked. "评分解析" runs the same check with the result shown.
    void DXTJDAClick();   // single choice
    void DXTHDAClick();   // multiple choice
    void PDTJDAClick();   // judgement
    void ALFXTJDAClick(); // fourth tab

public:
    void PresentSingle();
    void PresentMultiple();
    void PresentJudgement();
    void PresentAnalysis();
    void PresentCaseStem();
    void PresentOperation();
    // Counts the pending answer on the tab's current row, moves and presents the tab's current
    // question. False when the move found no question beyond the current one.
    bool CommitAndMove(QuestionType tab, Move move);
    void MoveInActiveTab(Move move);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildHeader();
    void buildTabs();
    void buildBottomBar();

    void present(QuestionType tab);
    void presentHeader(QuestionType tab, const QString &idColumn);
    static void setLabel(QLabel *label, const QString &text); // a header text, its label sized to it
    bool presentQuestion(QuestionType tab, const QString &idColumn);
    void showActivePage(QuestionType tab);
    void setMoving(bool moving);
    // The checks behind the option clicks and "评分解析". Single-choice and true/false results
    // are always shown; the others only when `explain` asks for them.
    // Keyboard answering; true when the key was one of the window's.
    bool answerKey(const QKeyEvent &key);
    bool chooseOption(int index);
    void checkSingle();
    void checkMultiple(bool explain);
    void checkJudgement();
    void checkFourth(bool explain);
    void checkCaseStem(bool explain);
    void checkOperation(bool explain);

    PracticeSession m_session;
    std::array<QuestionView *, 4> m_views{}; // one per type tab
    bool m_moving = false;                   // a previous/next move is under way
};

// Opens the practice window modally on the current launch parameters and returns when it closes.
void RunPractice();
