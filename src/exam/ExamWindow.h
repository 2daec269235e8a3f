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
class QColor;
class QFrame;
class QLabel;
class QPushButton;
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
    // What F1 shows: the keys of this window.
    static QString KeysText();
    // How the paper is opened: by the launch parameters (a new paper for PaperKey "0", otherwise
    // the paper started again), or as stored ("查看": a handed-in paper is shown with its scores, a
    // paper that was never handed in continues with the time it had left).
    enum class Opening { FromLaunch, View };
    enum class ExamState { Answering, TimedOut, HandedIn };

    explicit ExamWindow(Opening opening = Opening::FromLaunch, QWidget *parent = nullptr);
    ~ExamWindow() override;

    // Header.
    QLabel *countdownLabel;     // remaining time
    ClickableLabel *handInArea; // over the drawn 交卷 button
    QLabel *subjectTitleLabel;  // the bank's subject title, never shown
    // Left column: the gradient behind the card, and the one on a panel that is never shown.
    ShapeControl *cardGradient;
    ShapeControl *hiddenGradient;
    ClickableLabel *fourthHeader; // the fourth section's header picture
    // Bottom bar.
    QCheckBox *markBox;
    QPushButton *previousButton;
    QPushButton *nextButton;
    QPushButton *explanationButton; // 本题解析, after hand-in
    QPushButton *calculatorButton;
    QPushButton *videoButton;      // 视频演示, operation questions
    QPushButton *backToExamButton; // 返回考试界面, operation questions
    // Score panel, after hand-in.
    QWidget *scorePanel;
    QLabel *totalScoreLabel;
    QTableWidget *scoreSheetGrid;
    QTableWidget *answerListGrid;
    QTimer *countdownTimer;
    // A quiet line under the buttons: the time left cannot be kept now, or is kept again.
    QLabel *keptTimeStatus;

    ExamState state() const { return m_state; }
    bool answering() const { return m_state == ExamState::Answering; }
    ExamEngine &engine() { return *m_engine; }
    AnswerCard &card() { return m_card; }
    const ExamCountdown &countdown() const { return m_countdown; }
    int currentPosition() const { return m_currentPosition; }
    QuestionType currentSection() const { return m_currentSection; }
    // The question id of each position of the paper; empty where the paper has no question.
    const QStringList &paperQuestionIds() const { return m_paperQuestionIds; }
    // The question on display.
    QuestionView &view() { return *m_view; }
    // The answer controls of the question on display, in option order.
    const std::vector<QAbstractButton *> &optionButtons() const { return m_view->optionButtons(); }
    // The sub-question label of the case page while a case question is shown.
    QLabel *subQuestionLabel() const { return m_view->subQuestionLabel(); }

    // The countdown timer's tick: shows the time left, keeps it in the bank, hands in at the time-out.
    void tickCountdown();
    // A click on the card cell of a position.
    void showCardCell(int position);
    // Hand-in: the paper scored and stored, then the score panel, answer list and the review of
    // question 1. False when the bank refused it: then nothing changed and the exam goes on.
    bool handIn();
    // Removes the option controls of the question on display.
    void discardOptions();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Handlers.
    void openPaper();
    void showPreviousQuestion();
    void showNextQuestion();
    void showFourthSection();
    void markQuestion(bool marked);
    void captureAnswer();
    void openCalculator();
    void playVideoDemo();
    void showExplanation();
    void requestHandIn();
    void reviewAnswerListRow(int row);
    void keepEnabled();

    void buildHeader();
    void buildLeftColumn();
    void buildCard();
    void buildLegend();
    void buildMainArea();
    void buildPages();
    void buildBottomBar();
    void buildScorePanel();
    void orderTabStops();
    void stackCard(const std::array<int, 4> &panelHeights);
    void loadPictures();
    void setFourthHeaderCaption(const QString &caption);

    void moveTo(int target, bool raiseLabels);
    void step(int target);
    void timeOut();
    // The time-out's box and hand-in, once no other box is open.
    void announceTimeOut();
    // Shows, outside the countdown's tick and never over another box, what the tick found.
    void postReports();
    void showReports();
    void showKeptTimeStatus(const QString &text, const QColor &colour);
    void lockAnswers();
    // Repaints the section's answered and marked cells, then, when asked, moves to the section's
    // first question.
    void refreshSection(QuestionType section, bool moveToFirst);
    void showQuestionAt(int position);
    PaperRow openPaperRow(int number);
    bool showQuestion(QuestionKind kind, int id, int number);
    void showVideoDemoButtons(int questionId);
    void setMarkBox(bool checked);
    void storeAnswer(const QString &answer);
    void restoreCardFromRows();
    void showScorePanel(const ScoreSheet &sheet, const std::vector<PaperRow> &answerList);
    void enterHandedIn();
    void saveTimeLeft();
    void startCountdown(int seconds);
    int lastQuestionPosition() const;
    // True when the window may close (asks first before hand-in).
    bool mayClose();
    // The hand-in confirmation's text: what is still unanswered and marked.
    static QString handInConfirmation(const std::vector<PaperRow> &rows);

    // Header.
    QWidget *headerPanel;
    QLabel *banner;
    QFrame *headerLine;
    QLabel *candidatePhoto;
    // Left column: the answer card above the legend; per section a header strip and a cells panel.
    QWidget *leftColumn;
    QWidget *cardPanel;
    QWidget *legendPanel;
    QWidget *hiddenGradientPanel;
    QWidget *singleHeader, *singleCells, *multipleHeader, *multipleCells, *judgementHeader, *judgementCells;
    QWidget *fourthHeaderPanel, *fourthCells;
    // Main area: the question view and the score panel above the bottom bar.
    QWidget *mainArea;
    QWidget *bottomBar;
    QLabel *twoOptionsPrompt; // under partial credit: shown while one multiple-choice option is ticked
    QTimer *keepEnabledTimer;

    Opening m_opening;
    ExamState m_state = ExamState::Answering;
    bool m_started = false;
    bool m_startFailed = false;
    std::unique_ptr<ExamEngine> m_engine;
    AnswerCard m_card;
    ExamCountdown m_countdown;
    int m_currentPosition = 0;
    QuestionType m_currentSection = QuestionType::Single;
    QStringList m_paperQuestionIds;
    std::vector<PaperRow> m_answerList;
    QuestionView *m_view = nullptr;
    int m_savedSecondsLeft = 0;     // the time left as last kept in the bank (or last tried)
    bool m_keptTimeFailing = false; // the last try to keep the time left failed
    QString m_keptTimeReport;       // the failure's box, not shown yet
    bool m_timeOutPending = false;  // the time ran out while a box was open
    qint64 m_keptAgainAtMs = -1;    // when "kept again" appeared on the status line
};

// Opens the exam window modally and returns when it has closed.
bool RunPaperlessExam(ExamWindow::Opening opening = ExamWindow::Opening::FromLaunch);
