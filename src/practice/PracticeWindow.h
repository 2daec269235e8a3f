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
class QPushButton;
class QTabWidget;
class QTimer;

// "题目练习": chapter practice on four type tabs. When shown it builds one question set per type
// from the launch parameters, presents the current question of each tab, checks every answer at
// once (statistics and favourites go to the bank immediately) and counts an attempt when the
// learner moves on with "上一题"/"下一题".
class PracticeWindow : public QDialog {
    Q_OBJECT
public:
    // What F1 shows: the keys of this window.
    static QString KeysText();
    explicit PracticeWindow(QWidget *parent = nullptr);

    // Header: chapter and section on the left, question number, accuracy and attempts on the right.
    QLabel *chapterLabel;
    QLabel *sectionLabel;
    QLabel *numberLabel;
    QLabel *accuracyLabel;
    QLabel *attemptsLabel;
    // One tab per question type, each holding the view of its set.
    QTabWidget *typeTabs;
    // Bottom bar.
    QPushButton *explainButton;       // 评分解析
    QPushButton *previousButton;      // 上一题
    QPushButton *nextButton;          // 下一题
    QPushButton *demonstrationButton; // 视频文件: the operation question's demonstration program
    QPushButton *favouriteButton;     // 收藏本题 / 取消收藏
    QPushButton *closeButton;         // 关闭
    QLabel *endHintLabel;             // a quiet note at the ends of a set
    QTimer *keepEnabledTimer;

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
    void discardAllOptionControls();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Opens the four sets on the launch parameters, presents each and shows the tabs that have questions.
    void openQuestionSets();
    // The learner turned to another tab: its current question is shown again, the pending answer forgotten.
    void enterActiveTab();
    void explainAnswer(); // 评分解析
    void showPreviousQuestion();
    void showNextQuestion();
    void runDemonstration(); // 视频文件
    QString demonstrationProgram() const;
    void toggleFavourite();
    void closeWindow();
    void keepEnabled();
    // Answer checks: an option was clicked. "评分解析" runs the same check with the result shown.
    void takeSingleAnswer();
    void takeMultipleAnswer();
    void takeJudgementAnswer();
    void takeFourthAnswer();

    void presentSingle();
    void presentMultiple();
    void presentJudgement();
    void presentAnalysis();
    void presentCaseStem();
    void presentOperation();
    // Counts the pending answer on the tab's current row, moves and presents the tab's current
    // question. False when the move found no question beyond the current one.
    bool commitAndMove(QuestionType tab, Move move);
    void moveInActiveTab(Move move);
    void discardOptionControls(QuestionType tab);

    void buildHeader();
    void buildTabs();
    void buildBottomBar();

    void present(QuestionType tab);
    void presentHeader(QuestionType tab, const QString &idColumn);
    static void setLabel(QLabel *label, const QString &text); // a header text, its label sized to it
    bool presentQuestion(QuestionType tab, const QString &idColumn);
    void showActivePage(QuestionType tab);
    void setMoving(bool moving);
    // Keyboard answering; true when the key was one of the window's.
    bool answerKey(const QKeyEvent &key);
    bool chooseOption(int index);
    // The checks behind the option clicks and "评分解析". Single-choice and true/false results
    // are always shown; the others only when `explain` asks for them.
    void checkSingle();
    void checkMultiple(bool explain);
    void checkJudgement();
    void checkFourth(bool explain);
    void checkCaseStem(bool explain);
    void checkOperation(bool explain);

    QWidget *m_headerPanel = nullptr;
    QLabel *m_numberCaption = nullptr; // 题号
    PracticeSession m_session;
    std::array<QuestionView *, 4> m_views{}; // one per type tab
    bool m_moving = false;                   // a previous/next move is under way
};

// Opens the practice window modally on the current launch parameters and returns when it closes.
void RunPractice();
