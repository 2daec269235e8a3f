#pragma once

#include "AnswerCard.h"
#include "ExamCountdown.h"
#include "ExamEngine.h"
#include "ExamProfile.h"
#include "QuestionView.h"

#include <QDialog>
#include <QStringList>

#include <memory>
#include <vector>

class ClickableLabel;
class QAbstractButton;
class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTableWidget;
class QTimer;
class ShapeControl;

// "初级会计职称无纸化考试模拟系统": the timed mock exam. One question at a time, an answer card of
// numbered cells, marking, calculator, countdown, hand-in with score sheet and answer list, and
// the review of every question. Every answer and mark goes to the bank at once through the exam
// engine, which holds every rule about papers and scores; the window holds controls and handlers.
//
// Keys: A–H or 1–8 choose (or toggle) an option, ← → or PageUp/PageDown move, M marks.
class ExamWindow : public QDialog {
    Q_OBJECT
public:
    // How the paper is opened: by the launch parameters (a new paper for PaperKey "0", otherwise
    // the paper started again), or as stored ("查看": a handed-in paper is shown with its scores, a
    // paper that was never handed in continues with the time it had left).
    enum class Opening { FromLaunch, View };
    enum class ExamState { Answering, TimedOut, HandedIn };

    explicit ExamWindow(Opening opening = Opening::FromLaunch, QWidget *parent = nullptr);
    ~ExamWindow() override;

    // Header.
    QWidget *Panel1;
    QLabel *imgBanner;
    QFrame *lineHeader;
    QLabel *Image17;        // candidate photo
    QLabel *lblTime;        // remaining time
    ClickableLabel *Image4; // hand-in area over the drawn 交卷 button
    QLabel *sLabelFX1;      // subject title (hidden)
    // Left column: card and legend.
    QWidget *Panel2;
    QWidget *Panel8;
    QWidget *Panel9;
    ShapeControl *zrShape1;
    ShapeControl *zrShape2;
    QWidget *Panel13; // never shown; holds zrShape2
    QWidget *Panel21, *Panel22, *Panel19, *Panel20, *Panel17, *Panel18, *Panel14, *Panel16;
    ClickableLabel *Image16; // fourth header picture
    // Main area.
    QWidget *sPanel1;
    QStackedWidget *PageControl1;
    QWidget *TabSheet1, *TabSheet2, *TabSheet3, *TabSheet4;
    QPlainTextEdit *Memo1;
    QWidget *sPanel2;
    QPlainTextEdit *Memo3;
    QScrollArea *ScrollBox2;
    QLabel *Label10, *Image2, *Label11;
    QScrollArea *ScrollBox1;
    QLabel *Label2, *Image3, *Label3;
    QWidget *sPanel5;
    // Bottom bar.
    QWidget *sPanel3;
    QCheckBox *sCheckBox1;
    QPushButton *sBitBtn8;  // 上一题
    QPushButton *sBitBtn9;  // 下一题
    QPushButton *sBitBtn11; // 本题解析
    QPushButton *sBitBtn13; // 计算器
    QPushButton *sBitBtn12; // 视频演示
    QPushButton *sButton6;  // 返回考试界面
    // Score panel.
    QWidget *Panel12;
    QLabel *Label25;
    QLabel *lblTwoOptions; // under partial credit: shown while one multiple-choice option is ticked
    QTableWidget *StringGrid1;
    QTableWidget *DBGrid1;
    QTimer *Timer1;
    QTimer *Timer3;

    int CurrentPosition = 0;
    QuestionType CurrentSection = QuestionType::Single;
    QStringList PaperQuestionIds;

    ExamState state() const { return m_state; }
    bool answering() const { return m_state == ExamState::Answering; }
    ExamEngine &engine() { return *m_engine; }
    AnswerCard &card() { return m_card; }
    const ExamCountdown &countdown() const { return m_countdown; }
    // The question on display.
    QuestionView &view() { return *m_view; }
    // The answer controls of the question on display, in option order.
    const std::vector<QAbstractButton *> &optionButtons() const { return m_view->optionButtons(); }
    // The sub-question label of the case page while a case question is shown.
    QLabel *subQuestionLabel() const { return m_view->subQuestionLabel(); }

public slots:
    void FormShow();
    void sBitBtn8Click(); // previous
    void sBitBtn9Click(); // next
    void Image16Click();  // fourth header
    void sCheckBox1Click(bool checked);
    void sBitBtn13Click(); // calculator
    void sBitBtn12Click(); // video demo
    void sBitBtn11Click(); // explanation
    void sBitBtn1Click();  // hand-in area
    void DBGrid1CellClick(int row, int column);
    void Timer1Timer();
    void Timer3Timer();
    void DXTJDAClick();   // single
    void DXTHDAClick();   // multiple
    void PDTJDAClick();   // judgement
    void ALFXTJDAClick(); // case sub-question

public:
    // Card click on the cell of a position.
    void sLabel5Click(int position);
    // Section handlers: repaint the section's answered and marked cells, then, when asked, move to
    // the section's first question.
    void Image9Click(bool move);
    void Image10Click(bool move);
    void Image11Click(bool move);
    void FourthSectionClick(bool move);
    // Hand-in: the paper scored and stored, then the score panel, answer list and the review of
    // question 1. False when the bank refused it: then nothing changed and the exam goes on.
    bool handIn();
    // The hand-in confirmation's text: what is still unanswered and marked.
    static QString HandInQuestion(const std::vector<PaperRow> &rows);
    // True when the window may close (asks first before hand-in).
    bool FormCloseQuery();
    void DiscardOptionControls();

    void ShowQuestionAt(int position);
    void ShowSingleQuestion(int questionId, int number);
    void ShowMultipleQuestion(int questionId, int number);
    void ShowJudgementQuestion(int questionId, int number);
    void ShowCaseQuestion(int questionId, int number);
    void ShowAnalysisQuestion(int questionId, int number);
    void ShowOperationQuestion(int questionId, int number);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildHeader();
    void buildLeftColumn();
    void buildLegend();
    void buildMainArea();
    void buildPages();
    void buildBottomBar();
    void buildScorePanel();
    void stackCard(const std::array<int, 4> &panelHeights);
    void loadPictures();
    void setFourthHeaderCaption(const QString &caption);

    void moveTo(int target, bool raiseLabels);
    void step(int target);
    void timeOut();
    void lockAnswers();
    void sectionClick(QuestionType section, bool move);
    PaperRow openPaperRow(int number);
    bool showQuestion(QuestionKind kind, int id, int number);
    void setMarkBox(bool checked);
    void storeAnswer(const QString &answer);
    void restoreCardFromRows();
    void showScorePanel(const ScoreSheet &sheet, const std::vector<PaperRow> &answerList);
    void enterHandedIn();
    void saveTimeLeft();
    void startCountdown(int seconds);
    int lastQuestionPosition() const;
    bool isOperationPaper() const;

    Opening m_opening;
    ExamState m_state = ExamState::Answering;
    bool m_started = false;
    bool m_startFailed = false;
    std::unique_ptr<ExamEngine> m_engine;
    AnswerCard m_card;
    ExamCountdown m_countdown;
    std::vector<PaperRow> m_answerList;
    QuestionView *m_view = nullptr;
    int m_savedSecondsLeft = 0; // the time left as last kept in the bank
};

// Opens the exam window modally and returns when it has closed.
bool RunPaperlessExam(ExamWindow::Opening opening = ExamWindow::Opening::FromLaunch);
