// The daily review queue on a bank of 1,000,000 questions with 100,000 review states: the home
// page's counts (CountDue) and today's due list of each practice set (DueRowIds, lowest
// retrievability first), against a floor measured in the same run: the engine answering the very
// same statements, stepped through bare.
//
// The bank is the synthetic bank of `kjks-bank synth --questions 1000000 FILE`; the bank at
// KJKS_BENCH_BANK (default /tmp/kjks-bench-review.dbf) is used, made first when it is missing, and
// given 100,000 review states (every tenth question, due days spread over 30 days back to 60 ahead,
// two in three in the queue) when it has none.

#include "BankSession.h"
#include "RatioReporter.h"
#include "ReviewStore.h"
#include "SqlDatabase.h"
#include "SyntheticBankFile.h"
#include "Transaction.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kQuestions = 1000000;
constexpr int kStates = 100000;
const qint64 kToday = QDate(2026, 6, 1).toJulianDay();
const QString kFourth = QStringLiteral("不定项选择题");

BankSession &bank() {
    static std::unique_ptr<BankSession> form = [] {
        const QString path = SyntheticBankFile(QStringLiteral("/tmp/kjks-bench-review.dbf"), kQuestions);
        auto f = std::make_unique<BankSession>();
        f->OpenBank(path);
        SqlDatabase &db = f->db;
        EnsureReviewTables(db);
        if (db.select(QStringLiteral("select count(*) from kjks_app_review_state"))[0][0].toInt() == 0) {
            std::fprintf(stderr, "adding %d review states ...\n", kStates);
            const auto ids = db.select(QStringLiteral("select tigan_id from kjks_tigan where tigan_id % 10 = 0"
                                                      " order by tigan_id limit ?"),
                                       {QVariant(kStates)});
            ScopedTransaction unit(db);
            int i = 0;
            for (const auto &row : ids) {
                const qint64 due = kToday - 30 + (i * 7919) % 90;
                const double stability = 0.5 + (i * 104729) % 600 / 10.0;
                db.exec(QStringLiteral("insert into kjks_app_review_state (is_stem, question_id, difficulty,"
                                       " stability, last_review, last_day, due_day, lapses, question_type) values"
                                       " (0, ?1, 5.5, ?2, '2026-05-01T09:00:00', ?3, ?4, ?5,"
                                       " (select tixing from kjks_tigan where tigan_id = ?1))"),
                        {row[0], QVariant(stability), QVariant(due - qint64(stability) - 1), QVariant(due),
                         QVariant(i % 3 == 0 ? 0 : 1 + i % 2)});
                ++i;
            }
            unit.commit();
        }
        setBankSession(f.get());
        return f;
    }();
    return *form;
}

void stepBare(sqlite3 *db, const QByteArray &sql, const std::vector<QVariant> &values) {
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr);
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].typeId() == QMetaType::QString)
            sqlite3_bind_text(st, int(i + 1), values[i].toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
        else
            sqlite3_bind_int64(st, int(i + 1), values[i].toLongLong());
    }
    while (sqlite3_step(st) == SQLITE_ROW)
        benchmark::DoNotOptimize(sqlite3_column_int64(st, 0));
    sqlite3_finalize(st);
}

const QByteArray kDueListSql = "select r.question_id from kjks_app_review_state r where r.lapses > 0"
                               " and r.due_day <= ?1 and r.is_stem = ?2 and r.question_type = ?3"
                               " order by (?1 - r.last_day) / r.stability desc, r.question_id";

void BM_Floor_SameStatementsBare(benchmark::State &state) {
    sqlite3 *db = bank().db.handle();
    const QByteArray counts =
        "select (select count(*) from kjks_app_review_state where lapses > 0 and due_day <= ?),"
        " (select count(*) from kjks_app_review_state where lapses > 0 and due_day > ? and due_day <= ?)";
    for (auto _ : state) {
        stepBare(db, counts, {QVariant(kToday), QVariant(kToday), QVariant(kToday + 7)});
        for (QuestionType type : kQuestionTypes)
            if (type != QuestionType::Fourth)
                stepBare(db, kDueListSql, {QVariant(kToday), QVariant(0), QVariant(QuestionTypeName(type))});
        stepBare(db,
                 "select r.question_id from kjks_app_review_state r where r.lapses > 0 and r.due_day <= ?1"
                 " and r.is_stem = ?2 order by (?1 - r.last_day) / r.stability desc, r.question_id",
                 {QVariant(kToday), QVariant(1)});
    }
}
BENCHMARK(BM_Floor_SameStatementsBare)->Unit(benchmark::kMillisecond);

void BM_CountDue(benchmark::State &state) {
    SqlDatabase &db = bank().db;
    for (auto _ : state)
        benchmark::DoNotOptimize(CountDue(db, kToday));
}
BENCHMARK(BM_CountDue)->Unit(benchmark::kMillisecond);

// The queue "开始复习" opens: the due list of all four sets, and the counts.
void BM_CountsAndDueQueue(benchmark::State &state) {
    SqlDatabase &db = bank().db;
    size_t due = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountDue(db, kToday));
        due = 0;
        for (QuestionType type : kQuestionTypes)
            due += DueRowIds(db, type, kFourth, kToday).size();
    }
    state.counters["due"] = double(due);
}
BENCHMARK(BM_CountsAndDueQueue)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bank(); // made before any timing
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto floor = reporter.time("BM_Floor_SameStatementsBare");
    if (floor.first > 0)
        std::printf("\n%d questions, %d review states; floor (the same statements, bare): %.2f ms real, %.2f ms CPU\n",
                    kQuestions, kStates, floor.first, floor.second);
    reporter.printAgainstFloor("BM_Floor_SameStatementsBare", {"BM_CountDue", "BM_CountsAndDueQueue"});
    setBankSession(nullptr);
    benchmark::Shutdown();
    return 0;
}
