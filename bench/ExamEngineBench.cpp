// The mock-exam engine on the sample bank (bank:0) and on a synthetic bank of 1,000,000 questions
// (bank:1: the bank at KJKS_BENCH_BANK, default /tmp/kjks-bench-exam.dbf as for the exam window's
// benchmark, made first when missing; its papers stay in it), each operation against a floor
// measured in the same run:
// - a new paper of the bank's profile against its selection queries run bare and its rows written
//   bare (prepared inserts) in one transaction;
// - reopening a paper against the same row updates written bare in one transaction;
// - one stored answer against two bare autocommit updates of the item;
// - a hand-in against its sums run bare and its updates written bare in one transaction.
// Every posted change is durable (write-ahead log, synchronous FULL), so the real time, which holds
// the waits for the disk, is the figure that counts for writes; the CPU time is shown beside it.

#include "BankSession.h"
#include "BankSource.h"
#include "BankSynth.h"
#include "BankWriter.h"
#include "BenchPlatform.h"
#include "ExamEngine.h"
#include "ExamProfile.h"
#include "LaunchParameters.h"
#include "PaperDraw.h"
#include "PaperSql.h"
#include "Platform.h"
#include "RatioReporter.h"
#include "SyntheticBankFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

// One open bank with its engine, made once per bank and shared by the benchmarks.
struct Session {
    QTemporaryDir dir;
    BankSession data;
    ExamProfile profile;
    LaunchParameters params;
    std::unique_ptr<ExamEngine> engine;
    PaperRandom random{1};

    explicit Session(int bank) {
        QString path;
        if (bank == 0) {
            path = dir.path() + QStringLiteral("/bench.dbf");
            WriteBank(ReadBankSource(QStringLiteral(KJKS_SAMPLE_BANK_DIR)), path);
        } else {
            path = SyntheticBankFile(QStringLiteral("/tmp/kjks-bench-exam.dbf"), 1000000);
        }
        data.OpenBank(path);
        data.LoadExamProfile(QStringLiteral("1"));
        data.LoadExamOptions();
        profile = examProfile();
        engine = std::make_unique<ExamEngine>(data, profile, params);
        engine->SetSubjectTitle(data.GetOption(QStringLiteral("APP_TITLE")));
        params.PaperDrawMode = QStringLiteral("shijuan");
        params.PaperSetValue = QStringLiteral("随机");
    }

    // A new paper through the engine; PaperKey then names it.
    void newPaper() {
        params.PaperKey = QStringLiteral("0");
        engine->StartPaper();
    }
    int paper() const { return params.PaperKey.toInt(); }
    SqlDatabase &db() { return data.db; }
};

Session &session(int bank) {
    static BenchPlatform platform;
    setPlatform(&platform);
    static std::unique_ptr<Session> sessions[2];
    if (!sessions[bank]) sessions[bank] = std::make_unique<Session>(bank);
    return *sessions[bank];
}

void BM_CreatePaper(benchmark::State &state) {
    Session &s = session(int(state.range(0)));
    for (auto _ : state)
        s.newPaper();
    state.counters["questions"] = s.engine->FillCounter() - 1;
}
BENCHMARK(BM_CreatePaper)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same paper's statements without the engine: the list queries and the fetches as plain
// selects, the drawn rows as prepared inserts, all writes in one transaction.
struct BareItem {
    int id;
    QString daan, tixing;
};

std::vector<BareItem> bareSelections(Session &s) {
    SqlDatabase &db = s.db();
    const ExamProfile &p = s.profile;
    const QString set = s.params.PaperSetValue;
    const int perStem = SubQuestionsPerStem(s.engine->SubjectTitle());
    std::vector<BareItem> items;
    for (QuestionType section : {QuestionType::Single, QuestionType::Multiple, QuestionType::Judgement}) {
        const ExamSection &sec = p.sections[size_t(section)];
        const auto list = db.select(ObjectiveListSql(section, sec.typeName, set));
        for (int position : DrawDistinctPositions(sec.count, int(list.size()), s.random)) {
            const auto row = db.select(ObjectiveFetchSql(list[size_t(position)][0].toInt()));
            items.push_back({row[0][0].toInt(), row[0][1].toString(), sec.typeName});
        }
    }
    const ExamSection &fourth = p.sections[ExamProfile::Fourth];
    const auto stems = db.select(StemListSql(set));
    for (int position : DrawDistinctPositions(fourth.count / perStem, int(stems.size()), s.random)) {
        const auto subs = db.select(StemSubQuestionsSql(stems[size_t(position)][0].toInt()));
        for (int k = 0; k < perStem; ++k) {
            const auto &row = subs[size_t(std::min(k, int(subs.size()) - 1))];
            items.push_back({row[0].toInt(), row[1].toString(), fourth.typeName});
        }
    }
    return items;
}

void BM_BarePaper(benchmark::State &state) {
    Session &s = session(int(state.range(0)));
    SqlDatabase &db = s.db();
    for (auto _ : state) {
        const int number = db.select(MaxPaperNumberSql())[0][0].toInt() + 1;
        const std::vector<BareItem> items = bareSelections(s);
        db.exec(QStringLiteral("begin"));
        db.exec(QStringLiteral("insert into kjks_SJML (sjID, DTKSSJ) values (?, ?)"),
                {number, QDateTime::currentDateTime()});
        int xth = 0;
        for (const BareItem &i : items)
            db.exec(QStringLiteral("insert into shijuan (xth, tigan_id, daan, sjID, tixing) values (?, ?, ?, ?, ?)"),
                    {++xth, i.id, i.daan, number, i.tixing});
        db.exec(QStringLiteral("commit"));
    }
}
BENCHMARK(BM_BarePaper)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The floor's selections alone: what is left of it is the writing.
void BM_BarePaperSelections(benchmark::State &state) {
    Session &s = session(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(bareSelections(s));
}
BENCHMARK(BM_BarePaperSelections)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReopenPaper(benchmark::State &state) {
    Session &s = session(int(state.range(0)));
    s.newPaper();
    const QString key = s.params.PaperKey;
    for (auto _ : state) {
        s.params.PaperKey = key;
        s.engine->StartPaper();
    }
}
BENCHMARK(BM_ReopenPaper)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BareReopen(benchmark::State &state) {
    Session &s = session(int(state.range(0)));
    s.newPaper();
    SqlDatabase &db = s.db();
    const int number = s.paper();
    for (auto _ : state) {
        const auto ids = db.select(QStringLiteral("select ID from shijuan where sjID = ? order by id"), {number});
        db.exec(QStringLiteral("begin"));
        db.exec(QStringLiteral("update kjks_SJML set DTKSSJ = ? where sjID = ?"),
                {QDateTime::currentDateTime(), number});
        for (const auto &row : ids)
            db.exec(QStringLiteral("update shijuan set KSDA = '', defen = NULL where ID = ?"), {row[0]});
        db.exec(QStringLiteral("commit"));
    }
}
BENCHMARK(BM_BareReopen)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_StoreAnswer(benchmark::State &state) {
    Session &s = session(int(state.range(0)));
    s.newPaper();
    int i = 0;
    for (auto _ : state) {
        // Alternate answers, so that every store changes the item.
        const QString answer = (i % 2) ? QStringLiteral("A") : QStringLiteral("B");
        s.engine->StoreAnswer(i++ % 24, answer);
    }
}
BENCHMARK(BM_StoreAnswer)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TwoBareUpdates(benchmark::State &state) {
    Session &s = session(int(state.range(0)));
    s.newPaper();
    SqlDatabase &db = s.db();
    const auto ids = db.select(QStringLiteral("select ID from shijuan where sjID = ? order by id"), {s.paper()});
    int i = 0;
    for (auto _ : state) {
        const QVariant id = ids[size_t(i++ % 24)][0];
        db.exec(QStringLiteral("update shijuan set KSDA = ? where ID = ?"),
                {(i % 2) ? QStringLiteral("A") : QStringLiteral("B"), id});
        db.exec(QStringLiteral("update shijuan set defen = ? where ID = ?"), {double(i % 2), id});
    }
}
BENCHMARK(BM_TwoBareUpdates)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A paper with half of its objective questions answered.
void answerHalf(Session &s) {
    for (int p = 0; p < s.engine->SectionStart(QuestionType::Fourth); p += 2)
        s.engine->StoreAnswer(p, QStringLiteral("A"));
}

void BM_HandIn(benchmark::State &state) {
    Session &s = session(int(state.range(0)));
    s.newPaper();
    answerHalf(s);
    for (auto _ : state)
        s.engine->HandIn();
}
BENCHMARK(BM_HandIn)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BareHandIn(benchmark::State &state) {
    Session &s = session(int(state.range(0)));
    s.newPaper();
    answerHalf(s);
    SqlDatabase &db = s.db();
    const int number = s.paper();
    for (auto _ : state) {
        db.exec(QStringLiteral("begin"));
        db.exec(QStringLiteral("update shijuan set defen = (case when KSDA = daan then ? else 0 end) where tixing = "
                               "'电算化操作题' and sjID = ?"),
                {s.profile.sections[ExamProfile::Fourth].perQuestionScore, number});
        std::vector<QVariant> sums;
        sums.push_back(db.select(TotalSumSql(number))[0][0]);
        for (const ExamSection &sec : s.profile.sections)
            sums.push_back(db.select(SectionSumSql(number, sec.typeName))[0][0]);
        db.exec(QStringLiteral("update kjks_SJML set JJSJ = ?, defen = ?, DanDeFen = ?, DuoDeFen = ?, PanDeFen = ?, "
                               "AnLiDeFen = ? where sjID = ?"),
                {QDateTime::currentDateTime(), sums[0].toDouble(), sums[1].toDouble(), sums[2].toDouble(),
                 sums[3].toDouble(), sums[4].toDouble(), number});
        const auto rows =
            db.select(QStringLiteral("select tigan_id, defen from shijuan where sjID = ? order by ID asc"), {number});
        for (const auto &row : rows)
            db.exec(QStringLiteral("update kjks_tigan set DDCS = ? where tigan_id = ?"),
                    {row[1].toDouble() != 0 ? QStringLiteral("0") : QStringLiteral("1"), row[0]});
        db.exec(QStringLiteral("commit"));
    }
}
BENCHMARK(BM_BareHandIn)->ArgName("bank")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    const char *pairs[][3] = {{"BM_CreatePaper", "BM_BarePaper", "new paper"},
                              {"BM_ReopenPaper", "BM_BareReopen", "reopening"},
                              {"BM_StoreAnswer", "BM_TwoBareUpdates", "one stored answer"},
                              {"BM_HandIn", "BM_BareHandIn", "hand-in"}};
    for (const char *bank : {"0", "1"}) {
        for (const auto &pair : pairs) {
            const auto engine = reporter.time(std::string(pair[0]) + "/bank:" + bank);
            const auto floor = reporter.time(std::string(pair[1]) + "/bank:" + bank);
            if (engine.first <= 0 || floor.first <= 0 || floor.second <= 0) continue;
            std::printf("%-8s %-18s %8.3f ms against its floor %8.3f ms: %.2f by real time, %.2f by CPU time\n",
                        bank[0] == '0' ? "sample" : "1M", pair[2], engine.first, floor.first,
                        engine.first / floor.first, engine.second / floor.second);
        }
        const auto selections = reporter.time(std::string("BM_BarePaperSelections/bank:") + bank);
        const auto paperFloor = reporter.time(std::string("BM_BarePaper/bank:") + bank);
        if (selections.second > 0 && paperFloor.second > 0)
            std::printf("%-8s a new paper's floor is %.0f%% selections (CPU time)\n", bank[0] == '0' ? "sample" : "1M",
                        100 * selections.second / paperFloor.second);
    }
    benchmark::Shutdown();
    return 0;
}
