#include "ExamWindow.h"

#include "BankSession.h"
#include "ClickableLabel.h"
#include "ExamEngine.h"
#include "ExamGeometry.h"
#include "ExamTimeStore.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "PaperQuestion.h"
#include "PaperSql.h"
#include "PlainLabel.h"
#include "ResultDialog.h"
#include "ShapeControl.h"
#include "SqlError.h"
#include "StoredPaper.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

using namespace ExamGeometry;

namespace {

constexpr int kSaveEverySeconds = 5;
// How long "kept again" stays on the status line, and how often a report waiting for a box to
// close looks again.
constexpr qint64 kKeptAgainShownMs = 30 * 1000;
constexpr int kReportRetryMs = 200;

QString handedInText() {
    return QStringLiteral("已结束！");
}

int idOf(const QString &text) {
    bool ok = false;
    const int id = text.toInt(&ok);
    return ok ? id : 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Start-up

void ExamWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || m_started) return;
    m_started = true;
    keepEnabledTimer->start();
    openPaper();
}

void ExamWindow::openPaper() {
    bool ok = false;
    Guarded([&] {
        if (!m_engine) throw KjksError(QStringLiteral("题库未打开。"));
        LaunchParameters &launch = launchParameters();
        // The exam time: the bank's minutes, else by the subject title.
        explanationButton->hide();
        launch.ExamTimeSeconds = 5400;
        const QString title = bankSession()->GetOption(QStringLiteral("APP_TITLE"));
        subjectTitleLabel->setText(title);
        m_engine->SetSubjectTitle(title);
        launch.ExamTimeSeconds = ExamSecondsFor(examProfile(), title);
        m_view->setCurrentIndex(0);
        answerListGrid->setRowCount(0);
        m_answerList.clear();
        setFourthHeaderCaption(examProfile().sections[ExamProfile::Fourth].typeName);

        ExamTimeStore times(bankSession()->db);
        times.ensureTable();
        int secondsLeft = launch.ExamTimeSeconds;
        bool handedIn = false;
        // The paper: a new or restarted one, or the stored one as it is.
        if (m_opening == Opening::View && launch.PaperKey != QStringLiteral("0")) {
            const int number = idOf(launch.PaperKey);
            m_paperQuestionIds = StoredPaper::QuestionIds(*bankSession(), number, m_engine->Total());
            handedIn = m_engine->HandedIn();
            if (!handedIn) secondsLeft = times.load(launch.PaperKey).value_or(secondsLeft);
        } else {
            m_engine->StartPaper();
            m_paperQuestionIds = m_engine->PaperQuestionIds();
        }
        const auto heights = m_card.build({singleCells, multipleCells, judgementCells, fourthCells},
                                          {examProfile().sections[0].count, examProfile().sections[1].count,
                                           examProfile().sections[2].count, examProfile().sections[3].count},
                                          [this](int p) { showCardCell(p); });
        stackCard(heights);
        orderTabStops();
        if (m_opening == Opening::View) restoreCardFromRows();
        // Question 1, in the first section the paper has.
        m_currentPosition = 0;
        refreshSection(m_engine->SectionOf(0), true);
        m_currentPosition = 0;

        if (handedIn) {
            showScorePanel(StoredPaper::Sheet(*bankSession(), examProfile(), idOf(launch.PaperKey)),
                           m_engine->AnswerList());
            enterHandedIn();
        } else {
            startCountdown(secondsLeft);
        }
        ok = true;
    });
    if (!ok) {
        // No half-built exam: the message has been shown, the window goes.
        m_startFailed = true;
        countdownTimer->stop();
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    }
}

void ExamWindow::startCountdown(int seconds) {
    launchParameters().ExamTimeSeconds = seconds;
    m_countdown.start(seconds);
    saveTimeLeft();
    if (seconds <= 0) {
        // Continued after its time ran out: the paper is handed in as at the time-out.
        timeOut();
        return;
    }
    countdownTimer->start();
}

// A continued paper shows what it holds: answered cells green, marked ones red.
void ExamWindow::restoreCardFromRows() {
    for (const PaperRow &row : m_engine->AnswerList()) {
        const int p = row.xth - 1;
        if (row.marked())
            m_card.set(p, AnswerCard::State::Marked);
        else if (row.answered())
            m_card.set(p, AnswerCard::State::Done);
    }
}

// ---------------------------------------------------------------------------------------------
// Moves

int ExamWindow::lastQuestionPosition() const {
    int last = -1;
    for (int p = 0; p < m_paperQuestionIds.size(); ++p)
        if (!m_paperQuestionIds.at(p).isEmpty()) last = p;
    return last;
}

void ExamWindow::setMarkBox(bool checked) {
    markBox->setChecked(checked);
}

void ExamWindow::moveTo(int target, bool raiseLabels) {
    // A cell without a question (a paper smaller than its profile) has nothing to show.
    if (target < 0 || target >= m_paperQuestionIds.size() || m_paperQuestionIds.at(target).isEmpty()) return;
    setMarkBox(false);
    discardOptions();
    if (raiseLabels) m_card.raiseLabels();
    m_currentPosition = target;
    m_currentSection = m_engine->SectionOf(target);
    m_card.setCurrent(target);
    showQuestionAt(target);
}

// The previous and next buttons: the move takes effect first, then the input that arrived
// meanwhile runs. Keys then apply to the question now on screen; a click on an option is dropped,
// because the options under the pointer are no longer the ones the learner saw.
void ExamWindow::step(int target) {
    previousButton->setEnabled(false);
    nextButton->setEnabled(false);
    m_view->setMoving(true);
    moveTo(target, false);
    platform().pause(10);
    m_view->setMoving(false);
    previousButton->setEnabled(true);
    nextButton->setEnabled(true);
}

void ExamWindow::showCardCell(int position) {
    Guarded([&] { moveTo(position, true); });
}

void ExamWindow::showPreviousQuestion() {
    Guarded([&] {
        if (m_currentPosition > 0) step(m_currentPosition - 1);
    });
    m_view->setMoving(false);
    previousButton->setEnabled(true);
    nextButton->setEnabled(true);
}

void ExamWindow::showNextQuestion() {
    Guarded([&] {
        if (m_currentPosition < lastQuestionPosition()) step(m_currentPosition + 1);
    });
    m_view->setMoving(false);
    previousButton->setEnabled(true);
    nextButton->setEnabled(true);
}

void ExamWindow::refreshSection(QuestionType section, bool moveToFirst) {
    const int start = m_engine->SectionStart(section);
    if (start >= m_engine->Total() || examProfile().section(section).count <= 0) return;
    // The section's answered and marked cells are repainted as they are.
    for (const PaperRow &row : m_engine->SectionRows(section))
        if ((row.answered() || row.marked()) && row.xth >= 1 && row.xth <= m_card.size())
            m_card.square(row.xth - 1)->update();
    if (moveToFirst) moveTo(start, true);
}

void ExamWindow::showFourthSection() {
    Guarded([&] { refreshSection(QuestionType::Fourth, true); });
}

// ---------------------------------------------------------------------------------------------
// Presentation

void ExamWindow::discardOptions() {
    m_view->discardOptions();
    twoOptionsPrompt->hide();
}

// Common opening steps: page, position, the row's mark. Returns the paper row.
PaperRow ExamWindow::openPaperRow(int number) {
    videoButton->hide();
    m_currentPosition = number - 1;
    PaperRow row = m_engine->ReadPaperRow(m_currentPosition);
    if (row.marked()) {
        m_card.set(m_currentPosition, AnswerCard::State::Marked);
        setMarkBox(true);
    }
    return row;
}

// The question in the view with the answer its paper row holds (shown, not stored again); false
// when one of its texts could not be decoded.
bool ExamWindow::showQuestion(QuestionKind kind, int id, int number) {
    const PaperRow row = openPaperRow(number);
    const Question question = ReadPaperQuestion(*bankSession(), kind, id, row.KSDA);
    m_view->present(question, number);
    m_view->showStoredAnswer(question.storedAnswer);
    return !question.unreadable;
}

namespace {
KjksError undecodable(int number) {
    return KjksError(QStringLiteral("第 %1 题的文字无法解码，请跳过本题继续作答。").arg(number));
}

// The kind of question a section shows; nothing for a fourth type without a page of its own.
std::optional<QuestionKind> kindShownIn(QuestionType section) {
    switch (section) {
    case QuestionType::Single:
        return QuestionKind::Single;
    case QuestionType::Multiple:
        return QuestionKind::Multiple;
    case QuestionType::Judgement:
        return QuestionKind::Judgement;
    case QuestionType::Fourth:
        break;
    }
    const auto fourth = FourthQuestionKind(examProfile().sections[ExamProfile::Fourth].typeName);
    if (fourth == QuestionKind::Analysis || fourth == QuestionKind::Case || fourth == QuestionKind::Operation)
        return fourth;
    return std::nullopt;
}
} // namespace

void ExamWindow::showQuestionAt(int position) {
    const std::optional<QuestionKind> shown = kindShownIn(m_currentSection);
    if (!shown) return; // a fourth type the window does not present
    const QuestionKind kind = *shown;
    const int id = idOf(m_paperQuestionIds.value(position));
    const int number = position + 1;
    const bool readable = showQuestion(kind, id, number);
    if (kind == QuestionKind::Multiple)
        twoOptionsPrompt->move(OptionLeft, OptionStep * int(m_view->optionButtons().size()) + OptionTop);
    if (kind == QuestionKind::Operation) showVideoDemoButtons(id);
    if (!readable) throw undecodable(number);
}

// An operation question: "视频演示", enabled where its demonstration program lies beside the program,
// and "返回考试界面", which stays shown and disabled from then on.
void ExamWindow::showVideoDemoButtons(int questionId) {
    videoButton->setEnabled(false);
    videoButton->show();
    backToExamButton->setEnabled(false);
    backToExamButton->show();
    if (QFileInfo::exists(launchParameters().AppDir + QStringLiteral("StuName/") + QString::number(questionId) +
                          QStringLiteral(".exe"))) {
        videoButton->setEnabled(true);
        videoButton->setProperty("videoQuestion", questionId);
    }
}

// ---------------------------------------------------------------------------------------------
// Answer capture

void ExamWindow::storeAnswer(const QString &answer) {
    if (answer.isEmpty() || !answering()) return;
    const PaperRow row = m_engine->StoreAnswer(m_currentPosition, answer);
    if (!row.marked()) m_card.set(m_currentPosition, AnswerCard::State::Done);
}

// Every change of the answer on screen is stored at once; only a multiple-choice question under
// partial credit needs two options before it has an answer. An answer the bank refuses (a full
// disk) is said, and the question is shown again as the bank holds it: what the learner sees is
// what will be scored.
void ExamWindow::captureAnswer() {
    Guarded([&] {
        if (!answering()) return;
        try {
            const QString answer = m_view->answer();
            if (m_engine->NeedsTwoOptions(m_currentPosition)) {
                // One option is no answer under the real exam's rule: the prompt says so, and an
                // answer stored before no longer stands for what is ticked.
                twoOptionsPrompt->setVisible(answer.size() == 1);
                if (answer.size() < 2) {
                    const PaperRow row = m_engine->ClearAnswer(m_currentPosition);
                    if (row.xth != 0 && !row.marked()) m_card.set(m_currentPosition, AnswerCard::State::NotDone);
                    return;
                }
            }
            storeAnswer(answer); // nothing checked: the stored answer stays
        } catch (const std::exception &e) {
            const QString text = QStringLiteral("本题的答案没有保存。\n") + FailureBoxText(e);
            // The controls that reported the answer go when the event loop comes round.
            moveTo(m_currentPosition, false);
            twoOptionsPrompt->hide();
            ShowErrorBox(text);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Marking, tools

void ExamWindow::markQuestion(bool checked) {
    Guarded([&] {
        if (!answering()) return;
        if (m_currentPosition < 0 || m_currentPosition >= m_paperQuestionIds.size() ||
            m_paperQuestionIds.at(m_currentPosition).isEmpty())
            return;
        PaperRow row;
        try {
            row = m_engine->SetMarked(m_currentPosition, checked);
        } catch (const std::exception &e) {
            setMarkBox(!checked); // the box shows what the bank holds
            ShowErrorBox(QStringLiteral("本题的标记没有保存。\n") + FailureBoxText(e));
            return;
        }
        if (checked)
            m_card.set(m_currentPosition, AnswerCard::State::Marked);
        else
            m_card.set(m_currentPosition, row.answered() ? AnswerCard::State::Done : AnswerCard::State::NotDone);
    });
}

void ExamWindow::openCalculator() {
    Guarded([&] { ShellOpen(QStringLiteral("Calc.EXE")); });
}

void ExamWindow::playVideoDemo() {
    Guarded([&] {
        const QString program = launchParameters().AppDir + QStringLiteral("StuName/") +
                                QString::number(videoButton->property("videoQuestion").toInt()) +
                                QStringLiteral(".exe");
        if (!QFileInfo::exists(program)) return;
        ShellOpen(program);
        for (int i = 0; i < 11; ++i)
            platform().pause(100);
    });
}

void ExamWindow::showExplanation() {
    Guarded([&] { ShowResultDialog(m_engine->ExplanationPayload(m_currentPosition)); });
}

// ---------------------------------------------------------------------------------------------
// Countdown, hand-in, review

// The time left, kept in the bank. A failure (a full disk) never stops the exam: it is reported
// once, the next saves try again quietly, and the status line says when one works again.
void ExamWindow::saveTimeLeft() {
    if (m_state == ExamState::HandedIn || !bankSession()) return;
    m_savedSecondsLeft = m_countdown.remainingSeconds();
    try {
        ExamTimeStore(bankSession()->db).save(launchParameters().PaperKey, m_savedSecondsLeft);
    } catch (const std::exception &e) {
        if (!m_keptTimeFailing) {
            m_keptTimeFailing = true;
            m_keptTimeReport = QStringLiteral("考试剩余时间无法保存，答案也可能无法保存。\n"
                                              "考试照常进行，程序会继续尝试保存；恢复后窗口下方会有提示。\n") +
                               FailureBoxText(e);
            postReports();
        }
        showKeptTimeStatus(QStringLiteral("考试剩余时间暂时无法保存，程序正在重试……"), QColor(0xC0, 0, 0));
        return;
    }
    if (!m_keptTimeFailing) return;
    // Kept again: a report the learner has not seen yet is no longer true.
    m_keptTimeFailing = false;
    m_keptTimeReport.clear();
    m_keptAgainAtMs = platform().monotonicMs();
    showKeptTimeStatus(QStringLiteral("考试剩余时间已恢复保存。"), QColor(0, 0x80, 0));
}

void ExamWindow::showKeptTimeStatus(const QString &text, const QColor &colour) {
    keptTimeStatus->setText(text);
    QPalette p = keptTimeStatus->palette();
    p.setColor(QPalette::WindowText, colour);
    keptTimeStatus->setPalette(p);
    keptTimeStatus->show();
}

// The tick never opens a box itself: a timer does not fire again while its own handler waits for
// a box, so the countdown on screen would stop for as long as the box is open.
void ExamWindow::tickCountdown() {
    Guarded([&] {
        if (!m_countdown.running()) return;
        const int left = m_countdown.remainingSeconds();
        launchParameters().ExamTimeSeconds = left;
        countdownLabel->setText(SecondsToClock(left));
        if (m_savedSecondsLeft - left >= kSaveEverySeconds || left == 0) saveTimeLeft();
        if (m_keptAgainAtMs >= 0 && platform().monotonicMs() - m_keptAgainAtMs >= kKeptAgainShownMs) {
            m_keptAgainAtMs = -1;
            keptTimeStatus->hide();
        }
        if (left > 0) return;
        timeOut();
    });
}

void ExamWindow::postReports() {
    QMetaObject::invokeMethod(this, &ExamWindow::showReports, Qt::QueuedConnection);
}

void ExamWindow::showReports() {
    if (!m_timeOutPending && m_keptTimeReport.isEmpty()) return;
    if (OpenBoxCount() > 0) {
        // One box at a time: this one waits until the learner has closed the one that is open.
        QTimer::singleShot(kReportRetryMs, this, &ExamWindow::showReports);
        return;
    }
    if (m_timeOutPending) {
        m_timeOutPending = false;
        announceTimeOut();
        return;
    }
    const QString report = std::exchange(m_keptTimeReport, QString());
    ShowErrorBox(report);
}

// The time is up: nothing more is answered, and the paper is handed in without asking, as in the
// real exam. A hand-in the bank refuses leaves the paper timed out; the hand-in area tries again.
// A box open at that moment (the hand-in question, the keys, an error) asks about or shows an
// exam that is over: it is closed as if cancelled, and the time-out follows once it has gone.
void ExamWindow::timeOut() {
    countdownTimer->stop();
    m_countdown.stop();
    m_state = ExamState::TimedOut;
    countdownLabel->setText(SecondsToClock(0));
    lockAnswers();
    // The hand-in says for itself whether the bank takes it.
    m_keptTimeReport.clear();
    if (OpenBoxCount() > 0) {
        m_timeOutPending = true;
        CloseOpenBoxes();
        postReports();
        return;
    }
    announceTimeOut();
}

void ExamWindow::announceTimeOut() {
    if (m_state != ExamState::TimedOut) return; // handed in meanwhile through the hand-in area
    ShowInfoBox(QStringLiteral("考试时间已到。"));
    handIn();
}

// Every half second: the window enabled again and pending events handled.
void ExamWindow::keepEnabled() {
    Guarded([&] {
        setEnabled(true);
        platform().processEvents();
    });
}

void ExamWindow::requestHandIn() {
    Guarded([&] {
        if (m_state == ExamState::HandedIn) return; // a handed-in paper is final
        if (m_state == ExamState::Answering &&
            !QuestionBox(QStringLiteral("提示"), handInConfirmation(m_engine->AnswerList())))
            return;
        handIn();
    });
}

QString ExamWindow::handInConfirmation(const std::vector<PaperRow> &rows) {
    const PaperProgress progress = ProgressOf(rows);
    QString text;
    if (progress.unanswered > 0) text += QStringLiteral("还有 %1 道题未作答。").arg(progress.unanswered);
    if (progress.marked > 0) text += QStringLiteral("有 %1 道题已标记。").arg(progress.marked);
    return text + QStringLiteral("交卷后不能再修改答案，确定要交卷吗？");
}

bool ExamWindow::handIn() {
    if (m_state == ExamState::HandedIn) return true; // a handed-in paper is final
    // The countdown runs on until the bank has taken the hand-in: a refused one leaves the exam
    // going, with its clock.
    HandInResult result;
    try {
        result = m_engine->HandIn();
    } catch (const std::exception &e) {
        ShowErrorBox(QStringLiteral("交卷没有完成，试卷没有改变。请稍后再交卷。\n") + FailureBoxText(e));
        return false;
    }
    enterHandedIn();
    scorePanel->show();
    showScorePanel(result.sheet, result.answerList);
    Guarded([&] { ExamTimeStore(bankSession()->db).forget(launchParameters().PaperKey); });
    if (!m_answerList.empty()) {
        answerListGrid->selectRow(0);
        reviewAnswerListRow(0);
    }
    m_card.raiseLabels();
    return true;
}

void ExamWindow::showScorePanel(const ScoreSheet &sheet, const std::vector<PaperRow> &answerList) {
    scorePanel->show();
    // A row per section the paper has, between the headings and the total.
    const int rows = int(sheet.cells.size());
    scoreSheetGrid->setRowCount(rows);
    scoreSheetGrid->setFixedHeight(ScoreGridHeight - (6 - rows) * (ScoreGridRowHeight + 2));
    for (int r = 0; r < rows; ++r) {
        scoreSheetGrid->setRowHeight(r, ScoreGridRowHeight + 2);
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem(sheet.cells[size_t(r)][size_t(c)]);
            item->setToolTip(item->text());
            if (r == 0 || c == 0) item->setBackground(CardHeaderColour());
            scoreSheetGrid->setItem(r, c, item);
        }
    }
    totalScoreLabel->setText(sheet.totalText);
    m_answerList = answerList;
    answerListGrid->setRowCount(int(m_answerList.size()));
    for (int r = 0; r < int(m_answerList.size()); ++r) {
        const PaperRow &row = m_answerList[size_t(r)];
        const QString texts[5] = {QString::number(row.xth), row.tixing, ExamEngine::AnswerCellText(row, row.daan),
                                  ExamEngine::AnswerCellText(row, row.KSDA),
                                  row.defen ? FormatNumber(*row.defen) : QString()};
        for (int c = 0; c < 5; ++c) {
            auto *item = new QTableWidgetItem(texts[c]);
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            item->setToolTip(texts[c]);
            answerListGrid->setItem(r, c, item);
        }
    }
    answerListGrid->resizeRowsToContents();
}

void ExamWindow::enterHandedIn() {
    countdownTimer->stop();
    m_countdown.stop();
    m_state = ExamState::HandedIn;
    countdownLabel->setText(handedInText());
    lockAnswers();
    m_card.raiseLabels();
    explanationButton->show();
    keptTimeStatus->hide(); // nothing more is kept
    m_keptTimeReport.clear();
}

// A paper that is no longer answered shows its answers without taking new ones.
void ExamWindow::lockAnswers() {
    m_view->setReadOnly(true);
    markBox->setEnabled(false);
    twoOptionsPrompt->hide();
}

// A row of the answer list: its question shown, its section repainted, and its result.
void ExamWindow::reviewAnswerListRow(int row) {
    Guarded([&] {
        if (row < 0 || row >= int(m_answerList.size())) return;
        const PaperRow r = m_answerList[size_t(row)];
        for (QuestionType section : kQuestionTypes) {
            const QString name = section == QuestionType::Fourth ? examProfile().sections[ExamProfile::Fourth].typeName
                                                                 : QuestionTypeName(section);
            if (r.tixing != name) continue;
            refreshSection(section, false);
            break;
        }
        moveTo(r.xth - 1, true);
        ShowResultDialog(m_engine->AnswerListPayload(r));
    });
}

bool ExamWindow::mayClose() {
    if (m_startFailed || m_state == ExamState::HandedIn || !m_engine) return true;
    // After the time-out nothing is left to decide: the paper is handed in.
    if (m_state == ExamState::Answering &&
        !QuestionBox(QStringLiteral("提示"), QStringLiteral("还没交卷，是要交卷退出吗？")))
        return false;
    return handIn();
}

void ExamWindow::closeEvent(QCloseEvent *event) {
    if (!mayClose()) {
        event->ignore();
        return;
    }
    countdownTimer->stop();
    keepEnabledTimer->stop();
    // The result dialog the hand-in opened stays open over the main window until the learner
    // closes it; as a child of this window it would go with it.
    ResultDialog *result = resultDialog();
    if (result && result->parentWidget() == this && result->isVisible()) {
        const QPoint at = result->pos();
        result->setParent(parentWidget(), result->windowFlags());
        result->move(at);
        result->show();
    }
    QDialog::closeEvent(event);
}

QString ExamWindow::KeysText() {
    return QStringLiteral("考试窗口的按键：\n"
                          "A～H 或 1～8\t选择选项（多选题再按一次取消）\n"
                          "← → 或 PageUp / PageDown\t上一题、下一题\n"
                          "M\t标记或取消标记本题\n"
                          "Tab\t移到答题卡、交卷等控件；答题卡上用方向键移动，Enter 跳到该题\n"
                          "Esc\t结束考试（会先询问）\n"
                          "F1\t显示本说明");
}

// Tab goes as the eye does: 交卷, the answer card (one stop: the arrows move within it), then the
// buttons under the question from left to right. The card's cells are made after the buttons.
void ExamWindow::orderTabStops() {
    std::vector<QWidget *> stops{handInArea};
    for (int p = 0; p < m_card.size(); ++p)
        stops.push_back(m_card.label(p));
    for (QWidget *w : std::initializer_list<QWidget *>{markBox, previousButton, nextButton, explanationButton,
                                                       calculatorButton, videoButton, backToExamButton})
        stops.push_back(w);
    for (size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
}

void ExamWindow::keyPressEvent(QKeyEvent *event) {
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    int option = -1;
    if (key >= Qt::Key_A && key <= Qt::Key_H) option = key - Qt::Key_A;
    if (key >= Qt::Key_1 && key <= Qt::Key_8) option = key - Qt::Key_1;
    if (option >= 0) {
        // A radio button is chosen, a check box toggled, as by a click.
        if (answering()) m_view->chooseOption(option);
        return;
    }
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        showPreviousQuestion();
        return;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        showNextQuestion();
        return;
    case Qt::Key_M:
        if (markBox->isEnabled()) markBox->click();
        return;
    case Qt::Key_F1:
        ShowInfoBox(KeysText());
        return;
    case Qt::Key_Escape:
        close();
        return; // through the close confirmation, never around it
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A button reached by Tab is pressed by Enter as by Space.
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()); button && button->isEnabled()) {
            button->click();
            return;
        }
        QDialog::keyPressEvent(event);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

// ---------------------------------------------------------------------------------------------

bool RunPaperlessExam(ExamWindow::Opening opening) {
    auto *window = new ExamWindow(opening, QApplication::activeWindow());
    launchParameters().ExamTimeSeconds = 5400;
    const int result = window->exec();
    window->discardOptions();
    delete window;
    return result == QDialog::Accepted;
}
