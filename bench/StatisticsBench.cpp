// Opening the statistics page on a bank of 1,000,000 questions (300,000 of them practised): the figures alone
// (LoadStudyStatistics) and the whole page (StatisticsPage::Refresh: figures, tables and charts),
// against a floor measured in the same run: the engine answering the very same statements, stepped
// through bare, without building a single Qt value.
//
// The bank is the synthetic bank of `kjks-bank synth --questions 1000000 FILE` with its progress; the
// bank at KJKS_BENCH_BANK (default /tmp/kjks-bench-statistics.dbf) is used, made first when it is
// missing, and given 50 handed-in papers when it has none. Before each timed opening the connection's page cache is
// emptied, so every opening reads its pages from the file again, as the first opening after practice does.

#include "BankSession.h"
#include "ExamProfile.h"
#include "QueryIndexes.h"
#include "RatioReporter.h"
#include "StatisticsPage.h"
#include "StudyStatistics.h"
#include "SyntheticBankFile.h"

#include <QApplication>
#include <QDate>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int kQuestions = 1000000;
constexpr int kPapers = 50;

BankSession &bank() {
    static std::unique_ptr<BankSession> form = [] {
        const QString path = SyntheticBankFile(QStringLiteral("/tmp/kjks-bench-statistics.dbf"), kQuestions);
        auto f = std::make_unique<BankSession>();
        f->OpenBank(path);
        f->LoadExamProfile(QStringLiteral("1"));
        // Handed-in papers, one a day, unless the bank has papers of its own.
        if (f->db.select(QStringLiteral("select count(*) from kjks_SJML"))[0][0].toInt() == 0) {
            for (int i = 0; i < kPapers; ++i) {
                const QString day = QDate(2026, 10, 1).addDays(i).toString(QStringLiteral("yyyy-MM-dd"));
                const double single = 20 + i % 17, multiple = 8 + i % 11, judgement = 4 + i % 6, fourth = 6 + i % 9;
                f->db.exec(QStringLiteral("insert into kjks_SJML (sjID, DTKSSJ, JJSJ, DEFEN, DanDeFen, DuoDeFen,"
                                          " PanDeFen, AnLiDeFen) values (?, ?, ?, ?, ?, ?, ?, ?)"),
                           {QVariant(i + 1), QVariant(day + QStringLiteral(" 09:00:00")),
                            QVariant(day + QStringLiteral(" 10:40:00")),
                            QVariant(single + multiple + judgement + fourth), QVariant(single), QVariant(multiple),
                            QVariant(judgement), QVariant(fourth)});
            }
        }
        setBankSession(f.get());
        LoadStudyStatistics(f->db, examProfile()); // makes the indexes when missing, before any timing
        return f;
    }();
    return *form;
}

// Empties the connection's page cache: the next statements read and decipher their pages again.
void coldCache() {
    sqlite3_db_release_memory(bank().db.handle());
}

// The statements one opening sends (the index statements aside: they do nothing once the indexes
// are there), taken from the trace of a real opening.
const std::vector<QByteArray> &statements() {
    static const std::vector<QByteArray> list = [] {
        std::vector<QByteArray> out;
        SqlDatabase &db = bank().db;
        db.setTraceHook([&](const QString &s) {
            if (!s.startsWith(QStringLiteral("create index"))) out.push_back(s.toUtf8());
        });
        LoadStudyStatistics(db, examProfile());
        db.setTraceHook({});
        return out;
    }();
    return list;
}

void BM_Floor_SameStatementsBare(benchmark::State &state) {
    sqlite3 *db = bank().db.handle();
    const auto &sqls = statements();
    for (auto _ : state) {
        state.PauseTiming();
        coldCache();
        state.ResumeTiming();
        for (const QByteArray &sql : sqls) {
            sqlite3_stmt *st = nullptr;
            sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW)
                benchmark::DoNotOptimize(sqlite3_column_int64(st, 0));
            sqlite3_finalize(st);
        }
    }
    state.counters["statements"] = double(sqls.size());
}
BENCHMARK(BM_Floor_SameStatementsBare)->Unit(benchmark::kMillisecond);

void BM_LoadStudyStatistics(benchmark::State &state) {
    bank();
    for (auto _ : state) {
        state.PauseTiming();
        coldCache();
        state.ResumeTiming();
        benchmark::DoNotOptimize(LoadStudyStatistics(bank().db, examProfile()));
    }
}
BENCHMARK(BM_LoadStudyStatistics)->Unit(benchmark::kMillisecond);

// Opened again with the pages still in the connection's cache (64 MiB, which holds the indexes).
void BM_LoadStudyStatistics_WarmCache(benchmark::State &state) {
    bank();
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadStudyStatistics(bank().db, examProfile()));
}
BENCHMARK(BM_LoadStudyStatistics_WarmCache)->Unit(benchmark::kMillisecond);

void BM_StatisticsPageRefresh(benchmark::State &state) {
    bank();
    StatisticsPage page;
    page.resize(1013, 475);
    page.show();
    for (auto _ : state) {
        state.PauseTiming();
        coldCache();
        state.ResumeTiming();
        page.Refresh();
        QCoreApplication::processEvents(); // lays out and paints the new tables and charts
    }
}
BENCHMARK(BM_StatisticsPageRefresh)->Unit(benchmark::kMillisecond);

// A bank made without the tally indexes gets them when it is opened (once per bank); then the page.
void BM_FirstOpeningMakesTheIndexes(benchmark::State &state) {
    SqlDatabase &db = bank().db;
    for (auto _ : state) {
        state.PauseTiming();
        db.exec(QStringLiteral("drop index if exists kjks_tigan_tally"));
        db.exec(QStringLiteral("drop index if exists zongtigan_tally"));
        coldCache();
        state.ResumeTiming();
        CreateMissingQueryIndexes(db);
        benchmark::DoNotOptimize(LoadStudyStatistics(db, examProfile()));
    }
}
BENCHMARK(BM_FirstOpeningMakesTheIndexes)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bank(); // made before any timing
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto floor = reporter.time("BM_Floor_SameStatementsBare");
    if (floor.first > 0)
        std::printf("\n%d questions; floor (the same statements, bare): %.1f ms real, %.1f ms CPU\n", kQuestions,
                    floor.first, floor.second);
    reporter.printAgainstFloor(
        "BM_Floor_SameStatementsBare",
        {"BM_LoadStudyStatistics", "BM_LoadStudyStatistics_WarmCache", "BM_StatisticsPageRefresh"});
    setBankSession(nullptr);
    benchmark::Shutdown();
    return 0;
}
