#include "PracticeWindow.h"

#include "BankSession.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "PlainLabel.h"
#include "PracticeQueries.h"
#include "ResultDialog.h"
#include "SqlError.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Geometry of the bottom bar, in pixels at 96 dpi.
namespace geo {
constexpr int BottomBarHeight = 62;
constexpr int ButtonWidth = 73, WideButtonWidth = 89, ButtonHeight = 30, BarMargin = 16, BarSpacing = 12;
} // namespace geo

QString notAFavourite() {
    return QStringLiteral("收藏本题");
}
QString aFavourite() {
    return QStringLiteral("取消收藏");
}
QString chooseFirst() {
    return QStringLiteral("请先选择答案。");
}
// An answer, attempt or favourite the bank refused: the learner is told that this answer was not
// kept, why, and the engine's own words; the window stays as it was and can be used on.
QString unsavedText(const PostError &e) {
    return QStringLiteral("本题的作答没有保存。\n") + e.message() + QStringLiteral("\n详细信息：") + e.engineMessage();
}

// A handler that stores the learner's work.
template <typename F> void Storing(F &&body) {
    Guarded([&] {
        try {
            std::forward<F>(body)();
        } catch (const PostError &e) {
            ShowErrorBox(unsavedText(e));
        }
    });
}

// A question text that cannot be decoded names the question; the learner can move on.
KjksError undecodable(const QString &questionNumber) {
    return KjksError(QStringLiteral("第 %1 题的文字无法解码，请跳过本题继续练习。").arg(questionNumber));
}

QPushButton *barButton(QWidget *parent, const char *name, const QString &caption, int width) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFixedSize(width, geo::ButtonHeight);
    b->setAutoDefault(false); // Enter in the window never answers for the learner
    // Reached by Tab; a click leaves the focus on the question.
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

} // namespace

void PracticeWindow::buildBottomBar() {
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("bottomBar"));
    bar->setFixedHeight(geo::BottomBarHeight);
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(geo::BarMargin, 0, geo::BarMargin, 0);
    barLayout->setSpacing(geo::BarSpacing);
    explainButton = barButton(bar, "explainButton", QStringLiteral("评分解析"), geo::ButtonWidth);
    previousButton = barButton(bar, "previousButton", QStringLiteral("上一题"), geo::ButtonWidth);
    nextButton = barButton(bar, "nextButton", QStringLiteral("下一题"), geo::ButtonWidth);
    demonstrationButton = barButton(bar, "demonstrationButton", QStringLiteral("视频文件"), geo::ButtonWidth);
    favouriteButton = barButton(bar, "favouriteButton", notAFavourite(), geo::WideButtonWidth);
    closeButton = barButton(bar, "closeButton", QStringLiteral("关闭"), geo::WideButtonWidth);
    for (QPushButton *b : {explainButton, previousButton, nextButton, demonstrationButton, favouriteButton})
        barLayout->addWidget(b);
    // A quiet note at the ends of a set; it goes with the next move or tab change.
    endHintLabel = PlainLabel(bar, QStringLiteral("endHintLabel"));
    endHintLabel->setStyleSheet(QStringLiteral("color: #1f4e79;"));
    barLayout->addSpacing(geo::BarSpacing);
    barLayout->addWidget(endHintLabel);
    barLayout->addStretch(1);
    barLayout->addWidget(closeButton);
    demonstrationButton->hide();
    explainButton->setToolTip(QStringLiteral("查看评分和解析（Enter）"));
    previousButton->setToolTip(QStringLiteral("上一题（← 或 PageUp）"));
    nextButton->setToolTip(QStringLiteral("下一题（→ 或 PageDown）"));
    favouriteButton->setToolTip(QStringLiteral("收藏或取消收藏本题（Ctrl+D）"));
    typeTabs->setToolTip(QStringLiteral("Ctrl+Tab 切换题型；A–H 或 1–8 选择选项"));

    connect(explainButton, &QPushButton::clicked, this, &PracticeWindow::explainAnswer);
    connect(previousButton, &QPushButton::clicked, this, &PracticeWindow::showPreviousQuestion);
    connect(nextButton, &QPushButton::clicked, this, &PracticeWindow::showNextQuestion);
    connect(demonstrationButton, &QPushButton::clicked, this, &PracticeWindow::runDemonstration);
    connect(favouriteButton, &QPushButton::clicked, this, &PracticeWindow::toggleFavourite);
    connect(closeButton, &QPushButton::clicked, this, &PracticeWindow::closeWindow);
    layout()->addWidget(bar);
}

// ---------------------------------------------------------------------------------------------
// Tabs

std::optional<QuestionType> PracticeWindow::activeTab() const {
    const int index = typeTabs->currentIndex();
    if (index < 0 || index > 3 || !typeTabs->isTabVisible(index)) return std::nullopt;
    return kQuestionTypes[size_t(index)];
}

void PracticeWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    keepEnabledTimer->start();
    openQuestionSets();
}

void PracticeWindow::closeEvent(QCloseEvent *event) {
    keepEnabledTimer->stop();
    QDialog::closeEvent(event);
}

// Keys are the window's wherever the focus is.
bool PracticeWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        auto *target = qobject_cast<QWidget *>(watched);
        if (target && target->window() == this) {
            bool handled = false;
            Guarded([&] { handled = answerKey(*static_cast<QKeyEvent *>(event)); });
            if (handled) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PracticeWindow::openQuestionSets() {
    Guarded([&] {
        typeTabs->setTabText(3, m_session.fourthTypeName());
        LaunchParameters &launch = launchParameters();
        for (QuestionType tab : kQuestionTypes) {
            // A set that cannot be read is reported and offered like an empty one.
            Guarded([&] { m_session.open(tab, launch.PracticeScope, launch.SelectedChapterCode); });
            if (!m_session.hasQuestions(tab)) {
                launch.PracticeTypeFlags[IndexOf(tab)] = false;
                continue;
            }
            // The tab on screen is presented again below; a failure of another tab is reported when
            // the learner opens it.
            try {
                present(tab);
            } catch (const std::exception &) {
            }
        }
        {
            const QSignalBlocker quiet(typeTabs);
            for (int tab = 0; tab < 4; ++tab)
                typeTabs->setTabVisible(tab, true);
            typeTabs->setCurrentIndex(0);
            for (int tab = 0; tab < 4; ++tab)
                typeTabs->setTabVisible(tab, launch.PracticeTypeFlags[size_t(tab)]);
            for (int tab = 0; tab < 4; ++tab) {
                if (launch.PracticeTypeFlags[size_t(tab)]) {
                    typeTabs->setCurrentIndex(tab);
                    break;
                }
            }
        }
        enterActiveTab();
    });
}

void PracticeWindow::enterActiveTab() {
    Guarded([&] {
        demonstrationButton->hide();
        endHintLabel->clear();
        m_session.forgetPendingAnswer(); // an answer on the tab just left is not counted on this one
        const std::optional<QuestionType> tab = activeTab();
        if (!tab) return;
        commitAndMove(*tab, Move::Stay);
        if (*tab == QuestionType::Fourth && m_session.fourthKind() == FourthKind::Operation)
            demonstrationButton->show();
    });
}

bool PracticeWindow::commitAndMove(QuestionType tab, Move move) {
    if (!m_session.hasQuestions(tab)) return false;
    const bool moved = m_session.commitAndMove(tab, move);
    present(tab);
    return moved;
}

void PracticeWindow::present(QuestionType tab) {
    switch (tab) {
    case QuestionType::Single:
        presentSingle();
        break;
    case QuestionType::Multiple:
        presentMultiple();
        break;
    case QuestionType::Judgement:
        presentJudgement();
        break;
    case QuestionType::Fourth:
        switch (m_session.fourthKind()) {
        case FourthKind::Analysis:
            presentAnalysis();
            break;
        case FourthKind::CaseStem:
            presentCaseStem();
            break;
        case FourthKind::Operation:
            presentOperation();
            break;
        case FourthKind::Other:
            break;
        }
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Presentation

void PracticeWindow::discardOptionControls(QuestionType tab) {
    m_views[IndexOf(tab)]->discardOptions();
}

void PracticeWindow::discardAllOptionControls() {
    for (QuestionType tab : kQuestionTypes)
        discardOptionControls(tab);
}

void PracticeWindow::showActivePage(QuestionType tab) {
    const int index = int(IndexOf(tab));
    if (!typeTabs->isTabVisible(index)) return;
    const QSignalBlocker quiet(typeTabs);
    typeTabs->setCurrentIndex(index);
}

void PracticeWindow::setLabel(QLabel *label, const QString &text) {
    label->setText(text);
    label->adjustSize();
}

void PracticeWindow::presentHeader(QuestionType tab, const QString &idColumn) {
    const PracticeSession::Header header = m_session.header(tab, idColumn);
    favouriteButton->setText(header.favourite ? aFavourite() : notAFavourite());
    setLabel(numberLabel, header.number);
    setLabel(attemptsLabel, AttemptsText(header.stats));
    setLabel(accuracyLabel, AccuracyText(header.stats));
    if (header.chapterName) setLabel(chapterLabel, *header.chapterName);
    if (header.sectionName) setLabel(sectionLabel, *header.sectionName);
}

// The tab's current question in its view, under the header; false when one of its texts could
// not be decoded (what was read is shown, no half set of options).
bool PracticeWindow::presentQuestion(QuestionType tab, const QString &idColumn) {
    discardOptionControls(tab);
    presentHeader(tab, idColumn);
    if (tab != QuestionType::Fourth) showActivePage(tab);
    const std::optional<Question> question = m_session.question(tab);
    if (!question) return true;
    m_views[IndexOf(tab)]->present(*question);
    return !question->unreadable;
}

void PracticeWindow::presentSingle() {
    if (!presentQuestion(QuestionType::Single, QStringLiteral("tigan_id"))) throw undecodable(numberLabel->text());
}

void PracticeWindow::presentMultiple() {
    if (!presentQuestion(QuestionType::Multiple, QStringLiteral("tigan_id"))) throw undecodable(numberLabel->text());
}

void PracticeWindow::presentJudgement() {
    if (!presentQuestion(QuestionType::Judgement, QStringLiteral("tigan_id"))) throw undecodable(numberLabel->text());
    m_session.normaliseJudgementAnswer();
}

void PracticeWindow::presentAnalysis() {
    if (!presentQuestion(QuestionType::Fourth, QStringLiteral("tigan_id"))) throw undecodable(numberLabel->text());
}

void PracticeWindow::presentCaseStem() {
    if (!presentQuestion(QuestionType::Fourth, QStringLiteral("id"))) throw undecodable(numberLabel->text());
}

void PracticeWindow::presentOperation() {
    const bool readable = presentQuestion(QuestionType::Fourth, QStringLiteral("tigan_id"));
    m_session.clearOperationScratch();
    demonstrationButton->setEnabled(QFileInfo::exists(demonstrationProgram()));
    if (!readable) throw undecodable(numberLabel->text());
}

// ---------------------------------------------------------------------------------------------
// Answer checks

void PracticeWindow::takeSingleAnswer() {
    Storing([&] { checkSingle(); });
}

void PracticeWindow::takeMultipleAnswer() {
    Storing([&] { checkMultiple(false); });
}

void PracticeWindow::takeJudgementAnswer() {
    Storing([&] { checkJudgement(); });
}

void PracticeWindow::takeFourthAnswer() {
    Storing([&] { checkFourth(false); });
}

// A single-choice option is checked at once and its result always shown; "评分解析" checks the
// option chosen before.
void PracticeWindow::checkSingle() {
    const QString answer = m_views[IndexOf(QuestionType::Single)]->answer();
    if (answer.isEmpty()) return;
    const auto check = m_session.checkQuestion(QuestionType::Single, answer);
    ShowResultDialog(m_session.questionPayload(QuestionType::Single, check).text());
}

// Every tick checks the letters ticked so far; the result is shown on "评分解析" only.
void PracticeWindow::checkMultiple(bool explain) {
    const QString answer = m_views[IndexOf(QuestionType::Multiple)]->answer();
    if (answer.isEmpty()) {
        ShowMessage(chooseFirst());
        return;
    }
    const auto check = m_session.checkQuestion(QuestionType::Multiple, answer);
    if (explain) ShowResultDialog(m_session.questionPayload(QuestionType::Multiple, check).text());
}

void PracticeWindow::checkJudgement() {
    const QString answer = m_views[IndexOf(QuestionType::Judgement)]->answer();
    if (answer.isEmpty()) {
        ShowInfoBox(chooseFirst());
        return;
    }
    const auto check = m_session.checkQuestion(QuestionType::Judgement, answer);
    ShowResultDialog(m_session.questionPayload(QuestionType::Judgement, check).text());
}

// Case stems and operation questions are checked on every change and shown on "评分解析" only.
void PracticeWindow::checkFourth(bool explain) {
    if (!m_session.hasQuestions(QuestionType::Fourth)) return;
    if (m_session.fourthKind() == FourthKind::CaseStem)
        checkCaseStem(explain);
    else
        checkOperation(explain);
}

void PracticeWindow::checkCaseStem(bool explain) {
    // The boxes on screen, grouped by the sub-question they were placed for.
    std::vector<SubQuestionBoxes> boxes;
    for (const auto &[id, ticked] : m_views[IndexOf(QuestionType::Fourth)]->ticksBySubQuestion())
        boxes.push_back({id, ticked});
    if (CaseStemAnswer(boxes).isEmpty()) {
        ShowMessage(chooseFirst());
        return;
    }
    m_session.checkCaseStem(boxes);
    if (explain) ShowResultDialog(m_session.caseStemPayload(boxes).text());
}

// The answer is whatever the operation program left in the scratch row; nothing left, nothing checked.
void PracticeWindow::checkOperation(bool explain) {
    const std::optional<PracticeSession::Check> check = m_session.checkOperation();
    if (check && explain) ShowResultDialog(m_session.operationPayload(*check).text());
}

// ---------------------------------------------------------------------------------------------
// Keyboard answering: the same handlers as the mouse path.

QString PracticeWindow::KeysText() {
    return QStringLiteral("练习窗口的按键：\n"
                          "A～H 或 1～8\t选择选项（多选题再按一次取消）\n"
                          "Enter\t查看答案和解析\n"
                          "← → 或 PageUp / PageDown\t上一题、下一题\n"
                          "Ctrl+Tab / Ctrl+Shift+Tab\t切换题型\n"
                          "Ctrl+D\t收藏或取消收藏\n"
                          "F1\t显示本说明");
}

bool PracticeWindow::answerKey(const QKeyEvent &key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier && key.key() == Qt::Key_D) {
        toggleFavourite();
        return true;
    }
    if ((modifiers & Qt::ControlModifier) && (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab)) {
        const bool back = key.key() == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier);
        const int count = typeTabs->count();
        for (int step = 1; step < count; ++step) {
            const int index = (typeTabs->currentIndex() + (back ? count - step : step)) % count;
            if (typeTabs->isTabVisible(index)) {
                typeTabs->setCurrentIndex(index);
                break;
            }
        }
        return true;
    }
    if (modifiers != Qt::NoModifier) return false;
    switch (key.key()) {
    case Qt::Key_F1:
        ShowInfoBox(KeysText());
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A button reached by Tab is pressed; anywhere else Enter shows the answer.
        if (auto *button = qobject_cast<QPushButton *>(focusWidget());
            button && button->window() == this && button->isEnabled()) {
            button->click();
            return true;
        }
        explainAnswer();
        return true;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        showPreviousQuestion();
        return true;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        showNextQuestion();
        return true;
    default:
        break;
    }
    if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_H) return chooseOption(key.key() - Qt::Key_A);
    if (key.key() >= Qt::Key_1 && key.key() <= Qt::Key_8) return chooseOption(key.key() - Qt::Key_1);
    return false;
}

// Option `index` of the question on screen, clicked as the mouse would. On a case stem the letters
// belong to the sub-question whose box has the focus (the first at the start); Tab reaches the next.
bool PracticeWindow::chooseOption(int index) {
    const std::optional<QuestionType> tab = activeTab();
    return tab && m_views[IndexOf(*tab)]->chooseOption(index);
}

void PracticeWindow::setMoving(bool moving) {
    m_moving = moving;
    for (QuestionView *view : m_views)
        view->setMoving(moving);
}

// ---------------------------------------------------------------------------------------------
// Bottom bar and timer

void PracticeWindow::explainAnswer() {
    Storing([&] {
        const std::optional<QuestionType> tab = activeTab();
        if (!tab) return;
        switch (*tab) {
        case QuestionType::Single:
            checkSingle();
            break;
        case QuestionType::Multiple:
            checkMultiple(true);
            break;
        case QuestionType::Judgement:
            checkJudgement();
            break;
        case QuestionType::Fourth:
            checkFourth(true);
            break;
        }
    });
}

void PracticeWindow::showPreviousQuestion() {
    moveInActiveTab(Move::Previous);
}

void PracticeWindow::showNextQuestion() {
    moveInActiveTab(Move::Next);
}

// "上一题" and "下一题": count the attempt and show the neighbour.
void PracticeWindow::moveInActiveTab(Move move) {
    Storing([&] {
        favouriteButton->setText(notAFavourite());
        endHintLabel->clear();
        const std::optional<QuestionType> tab = activeTab();
        if (!tab) return;
        discardOptionControls(*tab);
        const bool moved = commitAndMove(*tab, move);
        m_session.forgetPendingAnswer();
        // Input that arrived during the move runs now, on the question the move shows: keys answer
        // it, clicks on options are dropped.
        setMoving(true);
        platform().processEvents();
        setMoving(false);
        // The same question shown again at an end of the set says why, without a box to close.
        if (!moved)
            endHintLabel->setText(move == Move::Next ? QStringLiteral("已是本组最后一题。")
                                                     : QStringLiteral("已是本组第一题。"));
    });
    setMoving(false);
}

// The demonstration program of the question shown: StuName/<number>.exe beside the program.
QString PracticeWindow::demonstrationProgram() const {
    return launchParameters().AppDir + QStringLiteral("StuName/") + numberLabel->text() + QStringLiteral(".exe");
}

void PracticeWindow::runDemonstration() {
    Guarded([&] {
        const QString program = demonstrationProgram();
        if (!QFileInfo::exists(program)) return;
        ShellOpen(program);
        // About a second for the program to come up, with the window still answering.
        for (int round = 0; round < 10; ++round)
            platform().pause(100);
    });
}

void PracticeWindow::toggleFavourite() {
    Storing([&] {
        const bool add = favouriteButton->text() == notAFavourite();
        if (const std::optional<QuestionType> tab = activeTab()) m_session.setFavourite(*tab, add);
        favouriteButton->setText(add ? aFavourite() : notAFavourite());
    });
}

void PracticeWindow::closeWindow() {
    Guarded([&] { close(); });
}

void PracticeWindow::keepEnabled() {
    Guarded([&] {
        setEnabled(true);
        platform().processEvents();
    });
}

void RunPractice() {
    // A choice that no question fits opens no empty window.
    if (!PracticeSession::AnyQuestionFits(launchParameters())) {
        ShowInfoBox(QStringLiteral("没有符合条件的题目。"));
        return;
    }
    auto *window = new PracticeWindow(QApplication::activeWindow());
    launchParameters().PaperKey = QStringLiteral("0");
    window->exec();
    window->discardAllOptionControls();
    delete window;
}
