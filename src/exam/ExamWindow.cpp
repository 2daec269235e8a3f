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

using namespace ExamGeometry;

namespace {

constexpr int kSaveEverySeconds = 5;

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
    Timer3->start();
    FormShow();
}

void ExamWindow::FormShow() {
    bool ok = false;
    Guarded([&] {
        if (!m_engine) throw KjksError(QStringLiteral("题库未打开。"));
        LaunchParameters &launch = launchParameters();
        // 1-2: exam time by the subject title.
        sBitBtn11->hide();
        launch.ExamTimeSeconds = 5400;
        const QString title = bankSession()->GetOption(QStringLiteral("APP_TITLE"));
        sLabelFX1->setText(title);
        m_engine->SetSubjectTitle(title);
        launch.ExamTimeSeconds = ExamTimeForTitle(title, examProfile().examMinutes);
        // 3.
        PageControl1->setCurrentIndex(0);
        DBGrid1->setRowCount(0);
        m_answerList.clear();
        setFourthHeaderCaption(examProfile().sections[ExamProfile::Fourth].typeName);

        ExamTimeStore times(bankSession()->db);
        times.ensureTable();
        int secondsLeft = launch.ExamTimeSeconds;
        bool handedIn = false;
        // 4-6: the paper.
        if (m_opening == Opening::View && launch.PaperKey != QStringLiteral("0")) {
            const int number = idOf(launch.PaperKey);
            PaperQuestionIds = StoredPaper::QuestionIds(*bankSession(), number, m_engine->Total());
            handedIn = m_engine->HandedIn();
            if (!handedIn) secondsLeft = times.load(launch.PaperKey).value_or(secondsLeft);
        } else {
            m_engine->StartPaper();
            PaperQuestionIds = m_engine->PaperQuestionIds();
        }
        // 7: the card.
        const auto heights = m_card.build({Panel22, Panel20, Panel18, Panel16},
                                          {examProfile().sections[0].count, examProfile().sections[1].count,
                                           examProfile().sections[2].count, examProfile().sections[3].count},
                                          [this](int p) { sLabel5Click(p); });
        stackCard(heights);
        if (m_opening == Opening::View) restoreCardFromRows();
        // 8: question 1.
        CurrentPosition = 0;
        Image9Click(true);
        CurrentPosition = 0;

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
        Timer1->stop();
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
    Timer1->start();
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
    for (int p = 0; p < PaperQuestionIds.size(); ++p)
        if (!PaperQuestionIds.at(p).isEmpty()) last = p;
    return last;
}

void ExamWindow::setMarkBox(bool checked) {
    sCheckBox1->setChecked(checked);
}

void ExamWindow::moveTo(int target, bool raiseLabels) {
    // A cell without a question (a paper smaller than its profile) has nothing to show.
    if (target < 0 || target >= PaperQuestionIds.size() || PaperQuestionIds.at(target).isEmpty()) return;
    setMarkBox(false);
    DiscardOptionControls();
    if (raiseLabels) m_card.raiseLabels();
    CurrentPosition = target;
    CurrentSection = m_engine->SectionOf(target);
    m_card.setCurrent(target);
    ShowQuestionAt(target);
}

// The previous and next buttons: the move takes effect first, then the input that arrived
// meanwhile runs. Keys then apply to the question now on screen; a click on an option is dropped,
// because the options under the pointer are no longer the ones the learner saw.
void ExamWindow::step(int target) {
    sBitBtn8->setEnabled(false);
    sBitBtn9->setEnabled(false);
    m_view->setMoving(true);
    moveTo(target, false);
    platform().pause(10);
    m_view->setMoving(false);
    sBitBtn8->setEnabled(true);
    sBitBtn9->setEnabled(true);
}

void ExamWindow::sLabel5Click(int position) {
    Guarded([&] { moveTo(position, true); });
}

void ExamWindow::sBitBtn8Click() {
    Guarded([&] {
        if (CurrentPosition > 0) step(CurrentPosition - 1);
    });
    m_view->setMoving(false);
    sBitBtn8->setEnabled(true);
    sBitBtn9->setEnabled(true);
}

void ExamWindow::sBitBtn9Click() {
    Guarded([&] {
        if (CurrentPosition < lastQuestionPosition()) step(CurrentPosition + 1);
    });
    m_view->setMoving(false);
    sBitBtn8->setEnabled(true);
    sBitBtn9->setEnabled(true);
}

void ExamWindow::sectionClick(QuestionType section, bool move) {
    const int start = m_engine->SectionStart(section);
    if (start >= m_engine->Total() || examProfile().section(section).count <= 0) return;
    // The section's answered and marked cells are repainted as they are.
    for (const PaperRow &row : m_engine->SectionRows(section))
        if ((row.answered() || row.marked()) && row.xth >= 1 && row.xth <= m_card.size())
            m_card.square(row.xth - 1)->update();
    if (move) moveTo(start, true);
}

void ExamWindow::Image9Click(bool move) {
    sectionClick(QuestionType::Single, move);
}
void ExamWindow::Image10Click(bool move) {
    sectionClick(QuestionType::Multiple, move);
}
void ExamWindow::Image11Click(bool move) {
    sectionClick(QuestionType::Judgement, move);
}
void ExamWindow::FourthSectionClick(bool move) {
    sectionClick(QuestionType::Fourth, move);
}

void ExamWindow::Image16Click() {
    Guarded([&] { FourthSectionClick(true); });
}

void ExamWindow::ShowQuestionAt(int p) {
    const int id = idOf(PaperQuestionIds.value(p));
    const int number = p + 1;
    switch (CurrentSection) {
    case QuestionType::Single:
        ShowSingleQuestion(id, number);
        break;
    case QuestionType::Multiple:
        ShowMultipleQuestion(id, number);
        break;
    case QuestionType::Judgement:
        ShowJudgementQuestion(id, number);
        break;
    case QuestionType::Fourth:
        switch (
            FourthQuestionKind(examProfile().sections[ExamProfile::Fourth].typeName).value_or(QuestionKind::Single)) {
        case QuestionKind::Analysis:
            ShowAnalysisQuestion(id, number);
            break;
        case QuestionKind::Case:
            ShowCaseQuestion(id, number);
            break;
        case QuestionKind::Operation:
            ShowOperationQuestion(id, number);
            break;
        default:
            break; // a fourth type the window does not present
        }
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Presentation

void ExamWindow::DiscardOptionControls() {
    m_view->discardOptions();
    lblTwoOptions->hide();
}

// Common opening steps: page, position, the row's mark. Returns the paper row.
PaperRow ExamWindow::openPaperRow(int number) {
    sBitBtn12->hide();
    CurrentPosition = number - 1;
    PaperRow row = m_engine->ReadPaperRow(CurrentPosition);
    if (row.marked()) {
        m_card.set(CurrentPosition, AnswerCard::State::Marked);
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
} // namespace

void ExamWindow::ShowSingleQuestion(int id, int number) {
    if (!showQuestion(QuestionKind::Single, id, number)) throw undecodable(number);
}

void ExamWindow::ShowMultipleQuestion(int id, int number) {
    const bool readable = showQuestion(QuestionKind::Multiple, id, number);
    lblTwoOptions->move(OptionLeft, OptionStep * int(m_view->optionButtons().size()) + OptionTop);
    if (!readable) throw undecodable(number);
}

void ExamWindow::ShowJudgementQuestion(int id, int number) {
    if (!showQuestion(QuestionKind::Judgement, id, number)) throw undecodable(number);
}

void ExamWindow::ShowCaseQuestion(int id, int number) {
    if (!showQuestion(QuestionKind::Case, id, number)) throw undecodable(number);
}

void ExamWindow::ShowAnalysisQuestion(int id, int number) {
    if (!showQuestion(QuestionKind::Analysis, id, number)) throw undecodable(number);
}

void ExamWindow::ShowOperationQuestion(int id, int number) {
    const bool readable = showQuestion(QuestionKind::Operation, id, number);
    sBitBtn12->setEnabled(false);
    sBitBtn12->show();
    sButton6->setEnabled(false);
    sButton6->show();
    if (QFileInfo::exists(launchParameters().AppDir + QStringLiteral("StuName/") + QString::number(id) +
                          QStringLiteral(".exe"))) {
        sBitBtn12->setEnabled(true);
        sBitBtn12->setProperty("videoQuestion", id);
    }
    if (!readable) throw undecodable(number);
}

// ---------------------------------------------------------------------------------------------
// Answer capture

void ExamWindow::storeAnswer(const QString &answer) {
    if (answer.isEmpty() || !answering()) return;
    const PaperRow row = m_engine->StoreAnswer(CurrentPosition, answer);
    if (!row.marked()) m_card.set(CurrentPosition, AnswerCard::State::Done);
}

void ExamWindow::DXTJDAClick() {
    Guarded([&] { storeAnswer(m_view->answer()); });
}

void ExamWindow::PDTJDAClick() {
    Guarded([&] { storeAnswer(m_view->answer()); });
}

void ExamWindow::DXTHDAClick() {
    Guarded([&] {
        if (!answering()) return;
        const QString answer = m_view->answer();
        if (m_engine->NeedsTwoOptions(CurrentPosition)) {
            // One option is no answer under the real exam's rule: the prompt says so, and an answer
            // stored before no longer stands for what is ticked.
            lblTwoOptions->setVisible(answer.size() == 1);
            if (answer.size() < 2) {
                const PaperRow row = m_engine->ClearAnswer(CurrentPosition);
                if (row.xth != 0 && !row.marked()) m_card.set(CurrentPosition, AnswerCard::State::NotDone);
                return;
            }
        }
        storeAnswer(answer); // nothing checked: the stored answer stays
    });
}

void ExamWindow::ALFXTJDAClick() {
    DXTHDAClick();
}

// ---------------------------------------------------------------------------------------------
// Marking, tools

void ExamWindow::sCheckBox1Click(bool checked) {
    Guarded([&] {
        if (!answering()) return;
        if (CurrentPosition < 0 || CurrentPosition >= PaperQuestionIds.size() ||
            PaperQuestionIds.at(CurrentPosition).isEmpty())
            return;
        const PaperRow row = m_engine->SetMarked(CurrentPosition, checked);
        if (checked)
            m_card.set(CurrentPosition, AnswerCard::State::Marked);
        else
            m_card.set(CurrentPosition, row.answered() ? AnswerCard::State::Done : AnswerCard::State::NotDone);
    });
}

void ExamWindow::sBitBtn13Click() {
    Guarded([&] { ShellOpen(QStringLiteral("Calc.EXE")); });
}

void ExamWindow::sBitBtn12Click() {
    Guarded([&] {
        const QString program = launchParameters().AppDir + QStringLiteral("StuName/") +
                                QString::number(sBitBtn12->property("videoQuestion").toInt()) + QStringLiteral(".exe");
        if (!QFileInfo::exists(program)) return;
        ShellOpen(program);
        for (int i = 0; i < 11; ++i)
            platform().pause(100);
    });
}

void ExamWindow::sBitBtn11Click() {
    Guarded([&] { ShowResultDialog(m_engine->ExplanationPayload(CurrentPosition)); });
}

// ---------------------------------------------------------------------------------------------
// Countdown, hand-in, review

void ExamWindow::saveTimeLeft() {
    if (m_state == ExamState::HandedIn || !bankSession()) return;
    m_savedSecondsLeft = m_countdown.remainingSeconds();
    ExamTimeStore(bankSession()->db).save(launchParameters().PaperKey, m_savedSecondsLeft);
}

void ExamWindow::Timer1Timer() {
    Guarded([&] {
        if (!m_countdown.running()) return;
        const int left = m_countdown.remainingSeconds();
        launchParameters().ExamTimeSeconds = left;
        lblTime->setText(SecondsToClock(left));
        if (m_savedSecondsLeft - left >= kSaveEverySeconds || left == 0) saveTimeLeft();
        if (left > 0) return;
        timeOut();
    });
}

// The time is up: nothing more is answered, and the paper is handed in without asking, as in the
// real exam. A hand-in the bank refuses leaves the paper timed out; the hand-in area tries again.
void ExamWindow::timeOut() {
    Timer1->stop();
    m_countdown.stop();
    m_state = ExamState::TimedOut;
    lblTime->setText(SecondsToClock(0));
    lockAnswers();
    ShowInfoBox(QStringLiteral("考试时间已到。"));
    handIn();
}

void ExamWindow::Timer3Timer() {
    Guarded([&] {
        setEnabled(true);
        platform().processEvents();
    });
}

void ExamWindow::sBitBtn1Click() {
    Guarded([&] {
        if (m_state == ExamState::HandedIn) return; // a handed-in paper is final
        if (m_state == ExamState::Answering &&
            !QuestionBox(QStringLiteral("提示"), HandInQuestion(m_engine->AnswerList())))
            return;
        handIn();
    });
}

QString ExamWindow::HandInQuestion(const std::vector<PaperRow> &rows) {
    const PaperProgress progress = ProgressOf(rows);
    QString text;
    if (progress.unanswered > 0) text += QStringLiteral("还有 %1 道题未作答。").arg(progress.unanswered);
    if (progress.marked > 0) text += QStringLiteral("有 %1 道题已标记。").arg(progress.marked);
    return text + QStringLiteral("交卷后不能再修改答案，确定要交卷吗？");
}

bool ExamWindow::handIn() {
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
    Panel12->show();
    showScorePanel(result.sheet, result.answerList);
    Guarded([&] { ExamTimeStore(bankSession()->db).forget(launchParameters().PaperKey); });
    if (!m_answerList.empty()) {
        DBGrid1->selectRow(0);
        DBGrid1CellClick(0, 0);
    }
    m_card.raiseLabels();
    return true;
}

void ExamWindow::showScorePanel(const ScoreSheet &sheet, const std::vector<PaperRow> &answerList) {
    Panel12->show();
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem(sheet.cells[size_t(r)][size_t(c)]);
            item->setToolTip(item->text());
            if (r == 0 || c == 0) item->setBackground(CardHeaderColour());
            StringGrid1->setItem(r, c, item);
        }
    Label25->setText(sheet.totalText);
    m_answerList = answerList;
    DBGrid1->setRowCount(int(m_answerList.size()));
    for (int r = 0; r < int(m_answerList.size()); ++r) {
        const PaperRow &row = m_answerList[size_t(r)];
        const QString texts[5] = {QString::number(row.xth), row.tixing, ExamEngine::AnswerCellText(row, row.daan),
                                  ExamEngine::AnswerCellText(row, row.KSDA),
                                  row.defen ? FormatNumber(*row.defen) : QString()};
        for (int c = 0; c < 5; ++c) {
            auto *item = new QTableWidgetItem(texts[c]);
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            item->setToolTip(texts[c]);
            DBGrid1->setItem(r, c, item);
        }
    }
    DBGrid1->resizeRowsToContents();
}

void ExamWindow::enterHandedIn() {
    Timer1->stop();
    m_countdown.stop();
    m_state = ExamState::HandedIn;
    lblTime->setText(handedInText());
    lockAnswers();
    m_card.raiseLabels();
    sBitBtn11->show();
}

// A paper that is no longer answered shows its answers without taking new ones.
void ExamWindow::lockAnswers() {
    m_view->setReadOnly(true);
    sCheckBox1->setEnabled(false);
    lblTwoOptions->hide();
}

void ExamWindow::DBGrid1CellClick(int row, int) {
    Guarded([&] {
        if (row < 0 || row >= int(m_answerList.size())) return;
        const PaperRow r = m_answerList[size_t(row)];
        const ExamProfile &profile = examProfile();
        if (r.tixing == QuestionTypeName(QuestionType::Single))
            Image9Click(false);
        else if (r.tixing == QuestionTypeName(QuestionType::Multiple))
            Image10Click(false);
        else if (r.tixing == QuestionTypeName(QuestionType::Judgement))
            Image11Click(false);
        else if (r.tixing == profile.sections[ExamProfile::Fourth].typeName)
            FourthSectionClick(false);
        moveTo(r.xth - 1, true);
        ShowResultDialog(m_engine->AnswerListPayload(r));
    });
}

bool ExamWindow::FormCloseQuery() {
    if (m_startFailed || m_state == ExamState::HandedIn || !m_engine) return true;
    // After the time-out nothing is left to decide: the paper is handed in.
    if (m_state == ExamState::Answering &&
        !QuestionBox(QStringLiteral("提示"), QStringLiteral("还没交卷，是要交卷退出吗？")))
        return false;
    return handIn();
}

void ExamWindow::closeEvent(QCloseEvent *event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    Timer1->stop();
    Timer3->stop();
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
        sBitBtn8Click();
        return;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        sBitBtn9Click();
        return;
    case Qt::Key_M:
        if (sCheckBox1->isEnabled()) sCheckBox1->click();
        return;
    case Qt::Key_Escape:
        close();
        return; // through the close confirmation, never around it
    default:
        QDialog::keyPressEvent(event);
    }
}

// ---------------------------------------------------------------------------------------------

bool RunPaperlessExam(ExamWindow::Opening opening) {
    auto *window = new ExamWindow(opening, QApplication::activeWindow());
    launchParameters().ExamTimeSeconds = 5400;
    const int result = window->exec();
    window->DiscardOptionControls();
    delete window;
    return result == QDialog::Accepted;
}
