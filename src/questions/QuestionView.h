#pragma once

#include "Question.h"

#include <QFont>
#include <QMargins>
#include <QSize>
#include <QStackedWidget>
#include <vector>

class QAbstractButton;
class QLabel;
class QPlainTextEdit;
class QScrollArea;
class QSplitter;

// How a window shows its questions: the practice window and the exam window present the same
// questions in their own measures (pixels at 96 dpi).
struct QuestionLook {
    // Choice page: the stem box on top, the options under it.
    int stemBoxHeight = 0;
    int stemBoxSideMargin = 0;
    QFont stemBoxFont;
    int stemBoxDocumentMargin = -1; // -1: the box's own
    bool stemBreakFirst = false;    // the line break before the stem instead of after it
    bool optionsOnOwnPanel = false; // options on a panel under the stem, not on the page
    int optionLeft = 0, optionTop = 0;
    QString judgementCaptions[2];
    int judgementTops[2] = {0, 0};
    QSize judgementSize; // empty: a judgement's two controls are option rows
    // The options take no focus and tell their keys; the pages are white.
    bool keyboardOnly = false;
    // Operation page.
    QMargins operationMargins;
    int operationFooterHeight = 0;
    int operationDocumentMargin = -1;
    // Analysis page and case material: stem, picture and second text between these margins.
    int stemAreaTop = 0, stemAreaBottom = 0;
    // Case page: the material above its sub-questions, split by a handle.
    int caseStemHeight = 0;
    int casePageDesignHeight = 0; // a taller page gives the material...
    double caseStemShare = 0;     // ...this share of the extra height, until the handle is dragged
    bool visibleCaseHandle = false;
    int subQuestionMinHeight = 0;
    // Every sub-question of a case with its options, each under a bold label (practice); otherwise the
    // one sub-question shown under a wrapping label (exam).
    bool wholeCase = false;
    // Every click on an option is reported (practice checks each); otherwise every change of the answer.
    bool reportEveryClick = false;

    static QuestionLook Practice();
    static QuestionLook Exam();
};

// One question on screen: its stem, picture and second text, and the controls that answer it. A
// stack of four pages, one per way of showing a question; the window keeps everything else (header,
// checking, card, marks). The view reports answers given by mouse or keyboard and nothing else: a
// stored answer is shown without being reported.
class QuestionView : public QStackedWidget {
    Q_OBJECT
public:
    enum Page { ChoicePage = 0, OperationPage = 1, AnalysisPage = 2, CasePage = 3 };

    // Builds the listed pages; the others stay empty.
    QuestionView(const QuestionLook &look, const std::vector<Page> &pages, QWidget *parent = nullptr);

    // The pages and their permanent controls (nullptr where the page is not built).
    QWidget *page(Page p) const { return widget(int(p)); }
    QPlainTextEdit *stemBox = nullptr;
    QWidget *optionArea = nullptr;
    QPlainTextEdit *operationBox = nullptr;
    QScrollArea *analysisArea = nullptr;
    QLabel *analysisStem = nullptr, *analysisPicture = nullptr, *analysisExtra = nullptr;
    QSplitter *caseSplitter = nullptr;
    QScrollArea *caseStemArea = nullptr;
    QLabel *caseStem = nullptr, *casePicture = nullptr, *caseExtra = nullptr;
    QScrollArea *subQuestionArea = nullptr;
    QWidget *subQuestionPanel = nullptr;

    // Shows the question on its page, its options in place of the previous ones; a number above 0
    // starts the stem with "N、". An unreadable question shows what was read.
    void present(const Question &question, int number = 0);
    // Ticks what the answer names, as the bank holds it, without reporting it.
    void showStoredAnswer(const QString &answer);
    // Removes the option controls of the latest presentation.
    void discardOptions();

    // A read-only view shows its answers and takes none (a handed-in paper); while a move is under
    // way clicks on options are dropped, because they were aimed at the question before.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    void setMoving(bool moving) { m_moving = moving; }

    // Option `index` chosen from the keyboard, as a click would: a case's letters belong to the
    // sub-question whose box has the focus (the first at the start). False when there is no such option.
    bool chooseOption(int index);

    // The answer controls in option order, and every control made for the latest question.
    const std::vector<QAbstractButton *> &optionButtons() const { return m_buttons; }
    const std::vector<QWidget *> &optionControls() const { return m_controls; }
    // The answer the ticked controls make (a case: its first sub-question's).
    QString answer() const;
    // A case: the ticks of each sub-question's boxes, with its id.
    std::vector<std::pair<int, std::vector<bool>>> ticksBySubQuestion() const;
    // The exam's sub-question label while a case sub-question is shown.
    QLabel *subQuestionLabel() const { return m_subQuestionLabelShown ? m_subQuestionLabel : nullptr; }

signals:
    // The learner gave an answer (empty when the last tick was taken away).
    void answerGiven(const QString &answer);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildChoicePage(QWidget *page);
    void nameParts();
    void buildOperationPage(QWidget *page);
    void buildAnalysisPage(QWidget *page);
    void buildCasePage(QWidget *page);
    QScrollArea *stemArea(QWidget *parent, QLabel *&stem, QLabel *&picture, QLabel *&extra);
    void layoutStem(QScrollArea *area, QLabel *stem, QLabel *picture, QLabel *extra);
    void fillStem(QScrollArea *area, QLabel *stem, QLabel *picture, QLabel *extra, const QString &text,
                  const Question &question);
    void presentChoice(const Question &question, const QString &prefix);
    void presentCase(const Question &question);
    void placeWholeCase(const Question &question);
    void placeSubQuestion(const SubQuestion &sub);
    template <class Button> Button *addOption(QWidget *area, const QString &caption, const QRect &geometry);
    void report();
    std::vector<bool> ticks(int from, int to) const;

    QuestionLook m_look;
    QuestionKind m_kind = QuestionKind::Single;
    std::vector<QWidget *> m_controls;
    // The control the next option follows in the Tab order.
    QWidget *m_tabAfter = nullptr;
    std::vector<QAbstractButton *> m_buttons;
    std::vector<int> m_owners; // a case: the sub-question id of each box
    QLabel *m_subQuestionLabel = nullptr;
    bool m_subQuestionLabelShown = false;
    bool m_readOnly = false;
    bool m_moving = false;
};
