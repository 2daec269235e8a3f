// The mock-exam window on the sample bank (bank:0) and on a synthetic bank of 1,000,000 questions
// (bank:1: the bank at KJKS_BENCH_BANK, default /tmp/kjks-bench-exam.dbf, made first when missing;
// the papers each run draws stay in it), each step against a floor measured in the same run:
// - "进入考场" to question 1 on screen (window built, paper drawn and stored, card built, question
//   shown) against the engine's new paper alone;
// - one move to another question (card click: discard, recolour, read and show) against its reads
//   run bare (item row, question row, options);
// - one answer click stored and painted against the engine's stored answer alone;
// - the hand-in with its score panel, answer list and the result dialog of question 1 against the
//   engine's hand-in alone.
// The moves' own 10-ms pauses are left out (the platform's pause returns at once here): they are
// waits the window makes on purpose, not work.

#include "BankSession.h"
#include "BankSource.h"
#include "BankSynth.h"
#include "BankWriter.h"
#include "BenchPlatform.h"
#include "ExamEngine.h"
#include "ExamProfile.h"
#include "ExamQuestionSql.h"
#include "ExamWindow.h"
#include "LaunchParameters.h"
#include "Platform.h"
#include "RatioReporter.h"
#include "ResultDialog.h"
#include "SyntheticBankFile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kLargeBank = 1000000;

struct Bank {
    QTemporaryDir dir;
    BankSession data;
    explicit Bank(int which) {
        QString path;
        if (which == 0) {
            path = dir.path() + QStringLiteral("/bench.dbf");
            WriteBank(ReadBankSource(QStringLiteral(KJKS_SAMPLE_BANK_DIR)), path);
        } else {
            path = SyntheticBankFile(QStringLiteral("/tmp/kjks-bench-exam.dbf"), kLargeBank);
        }
        data.OpenBank(path);
    }
};

// Opens the bank once and makes it the process's, with its profile loaded.
BankSession &bank(int which) {
    static BenchPlatform platform;
    setPlatform(&platform);
    static std::unique_ptr<Bank> banks[2];
    if (!banks[which]) banks[which] = std::make_unique<Bank>(which);
    BankSession &data = banks[which]->data;
    setBankSession(&data);
    data.LoadExamProfile(QStringLiteral("1"));
    data.LoadExamOptions();
    setApplicationTitle(data.GetOption(QStringLiteral("APP_TITLE")));
    return data;
}

void newPaperParameters() {
    LaunchParameters &l = launchParameters();
    l.PaperKey = QStringLiteral("0");
    l.PaperDrawMode = QStringLiteral("shijuan");
    l.PaperSetValue = QStringLiteral("随机");
}

std::unique_ptr<ExamWindow> openWindow() {
    newPaperParameters();
    auto w = std::make_unique<ExamWindow>();
    w->show(); // start-up: paper, card, question 1
    return w;
}

void BM_OpenExamWindow(benchmark::State &state) {
    bank(int(state.range(0)));
    for (auto _ : state) {
        auto w = openWindow();
        benchmark::DoNotOptimize(w->optionButtons().size());
        state.PauseTiming();
        w.reset();
        if (resultDialog()) delete resultDialog();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenExamWindow)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EnginePaper(benchmark::State &state) {
    BankSession &data = bank(int(state.range(0)));
    ExamEngine engine(data, examProfile(), launchParameters());
    engine.SetSubjectTitle(data.GetOption(QStringLiteral("APP_TITLE")));
    for (auto _ : state) {
        newPaperParameters();
        engine.StartPaper();
    }
}
BENCHMARK(BM_EnginePaper)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Moves between the single-choice questions 2 and 3.
void BM_Move(benchmark::State &state) {
    bank(int(state.range(0)));
    auto w = openWindow();
    int i = 0;
    for (auto _ : state) {
        w->showCardCell(1 + (i++ % 2));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the discarded options
    }
}
BENCHMARK(BM_Move)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MoveReadsBare(benchmark::State &state) {
    BankSession &data = bank(int(state.range(0)));
    auto w = openWindow();
    const int number = launchParameters().PaperKey.toInt();
    SqlDatabase &db = data.db;
    int i = 0;
    for (auto _ : state) {
        const int position = 1 + (i++ % 2);
        const int id = w->paperQuestionIds().at(position).toInt();
        benchmark::DoNotOptimize(
            db.select(QStringLiteral("select * from shijuan where xth = ? and sjID = ?"), {position + 1, number}));
        benchmark::DoNotOptimize(db.select(SingleQuestionSql(id)));
        benchmark::DoNotOptimize(db.select(ChoiceOptionsSql(id)));
    }
}
BENCHMARK(BM_MoveReadsBare)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Clicks options A and B of question 1 in turn: each click is stored, scored and painted.
void BM_AnswerClick(benchmark::State &state) {
    bank(int(state.range(0)));
    auto w = openWindow();
    int i = 0;
    for (auto _ : state)
        w->optionButtons().at(size_t(i++ % 2))->click();
}
BENCHMARK(BM_AnswerClick)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EngineAnswer(benchmark::State &state) {
    bank(int(state.range(0)));
    auto w = openWindow();
    int i = 0;
    for (auto _ : state)
        w->engine().StoreAnswer(0, (i++ % 2) ? QStringLiteral("A") : QStringLiteral("B"));
}
BENCHMARK(BM_EngineAnswer)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_HandInToScorePanel(benchmark::State &state) {
    bank(int(state.range(0)));
    auto w = openWindow();
    for (auto _ : state)
        w->handIn();
    if (resultDialog()) delete resultDialog();
}
BENCHMARK(BM_HandInToScorePanel)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EngineHandIn(benchmark::State &state) {
    bank(int(state.range(0)));
    auto w = openWindow();
    for (auto _ : state)
        w->engine().HandIn();
}
BENCHMARK(BM_EngineHandIn)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    const char *pairs[][3] = {{"BM_OpenExamWindow", "BM_EnginePaper", "window open"},
                              {"BM_Move", "BM_MoveReadsBare", "one move"},
                              {"BM_AnswerClick", "BM_EngineAnswer", "answer click"},
                              {"BM_HandInToScorePanel", "BM_EngineHandIn", "hand-in to panel"}};
    for (const char *which : {"0", "1"}) {
        for (const auto &pair : pairs) {
            const auto window = reporter.time(std::string(pair[0]) + "/bank:" + which);
            const auto floor = reporter.time(std::string(pair[1]) + "/bank:" + which);
            if (window.first <= 0 || floor.first <= 0 || floor.second <= 0) continue;
            std::printf("%-8s %-18s %8.3f ms against its floor %8.3f ms: %.2f by real time, %.2f by CPU time\n",
                        which[0] == '0' ? "sample" : "1M", pair[2], window.first, floor.first,
                        window.first / floor.first, window.second / floor.second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
