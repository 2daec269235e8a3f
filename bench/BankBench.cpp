// What a learner waits for on banks of 10,000, 100,000 and 1,000,000 questions (synthetic banks made by
// kjks-bank synth), driving the real windows under the offscreen platform:
//   - start-up to first paint: main window, data module opening the bank, first showing, painted
//     (also on the bundled sample bank, when it lies beside this program);
//   - chapter-tree clicks on the subject, a chapter and a section (their progress counts);
//   - "开始练习" to the first question painted: the practice window on the last chapter, all types;
//   - an answer click stored: the post of a checked answer (its DDCS and YDCS);
//   - the first opening of a bank without the chapter tree's kept counts (they are made);
//   - "重新开始" on a bank with one question in five answered, the kept counts following;
// against floors measured in the same run: an empty Qt window painted, the bank opened with its key
// derivation, a subject click's two count statements sent bare, the same two updates sent bare (in
// the same iterations), "重新开始" on the bank without kept counts. The ratios and the peak memory are
// printed at the end.
//
// Banks are made once into $TMPDIR/kjks-bench (by the kjks-bank beside this program, in a process of
// its own so that making them does not count towards the peak memory) and reused.

#include "AnswerChecks.h"
#include "BankSession.h"
#include "ChapterPracticePage.h"
#include "Dataset.h"
#include "ExamProfile.h"
#include "Fonts.h"
#include "LaunchParameters.h"
#include "LearnerProgress.h"
#include "MainQueries.h"
#include "MainWindow.h"
#include "Platform.h"
#include "PracticeQueries.h"
#include "PracticeWindow.h"
#include "ProgressCounts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTreeWidget>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

const int kSizes[] = {10000, 100000, 1000000};

// The benchmarks of every bank size.
void everySize(benchmark::internal::Benchmark *b) {
    for (int n : kSizes)
        b->Arg(n);
}

// No box may block a benchmark; a box that would be shown is counted and fails the run.
class SilentPlatform : public PlatformServices {
public:
    void messageBox(BoxKind, const QString &text) override { boxes << text; }
    bool confirmBox(const QString &text) override {
        boxes << text;
        return true;
    }
    bool shellOpen(const QString &) override { return true; }
    bool startProgram(const QString &, bool) override { return true; }
    void processEvents() override { QCoreApplication::processEvents(); }
    void pause(int) override { processEvents(); }
    QDateTime now() override { return QDateTime::currentDateTime(); }
    quint64 seedCounter() override { return 12345; }
    QStringList boxes;
};

SilentPlatform &silent() {
    static SilentPlatform p;
    return p;
}

QString bankFolder() {
    return QDir::tempPath() + QStringLiteral("/kjks-bench/");
}

// The synthetic bank of `questions` questions, made once by kjks-bank.
QString bankPath(int questions) {
    const QString path = bankFolder() + QStringLiteral("synth-%1.dbf").arg(questions);
    if (QFileInfo::exists(path)) return path;
    QDir().mkpath(bankFolder());
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/kjks-bank");
    QProcess p;
    p.start(tool, {QStringLiteral("synth"), QStringLiteral("--questions"), QString::number(questions), path});
    if (!p.waitForFinished(-1) || p.exitCode() != 0) {
        std::fprintf(stderr, "cannot make %s with %s\n", qPrintable(path), qPrintable(tool));
        std::exit(1);
    }
    return path;
}

// Shows the widget and runs events until it has been painted once.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

void showAndPaint(QWidget &w) {
    PaintWatch watch;
    w.installEventFilter(&watch);
    w.show();
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    w.removeEventFilter(&watch);
}

// The program's start: main window object, data module, first showing, until painted.
struct Program {
    std::unique_ptr<MainWindow> form;
    std::unique_ptr<BankSession> data;

    explicit Program(const QString &bank) {
        launchParameters() = LaunchParameters{};
        examProfile() = ExamProfile{};
        form = std::make_unique<MainWindow>(QFileInfo(bank).absolutePath() + QStringLiteral("/kjks"));
        data = std::make_unique<BankSession>();
        data->OpenBank(bank);
        setBankSession(data.get());
        showAndPaint(*form);
    }
    ~Program() {
        form.reset();
        setBankSession(nullptr);
        data.reset();
    }
};

void failOnBoxes(benchmark::State &state) {
    if (!silent().boxes.isEmpty()) state.SkipWithError(qPrintable(silent().boxes.join(QLatin1Char('|'))));
}

void BM_Floor_EmptyWindow(benchmark::State &state) {
    for (auto _ : state) {
        QWidget w;
        w.resize(1000, 700);
        showAndPaint(w);
    }
}
BENCHMARK(BM_Floor_EmptyWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

QString sampleBankPath();

// The bank of `questions` questions; 0 is the sample bank.
QString benchBank(int questions) {
    return questions == 0 ? sampleBankPath() : bankPath(questions);
}

void BM_Floor_OpenBank(benchmark::State &state) {
    const QString bank = benchBank(int(state.range(0)));
    for (auto _ : state) {
        SqlDatabase db;
        db.open(bank, QString::fromLatin1(kBankPassword));
    }
}
BENCHMARK(BM_Floor_OpenBank)->Arg(0)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bundled sample bank beside this program (built with the kjks target), copied so that the
// benchmarks never write to it.
QString sampleBankPath() {
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/kjks.dbf");
    const QString copy = bankFolder() + QStringLiteral("sample.dbf");
    if (!QFileInfo::exists(copy) && QFileInfo::exists(built)) {
        QDir().mkpath(bankFolder());
        QFile::copy(built, copy);
    }
    return QFileInfo::exists(copy) ? copy : QString();
}

void BM_StartUpSampleBank(benchmark::State &state) {
    const QString bank = sampleBankPath();
    if (bank.isEmpty()) {
        state.SkipWithError("no sample bank beside the program: build the kjks target");
        return;
    }
    for (auto _ : state)
        Program program(bank);
    failOnBoxes(state);
}
BENCHMARK(BM_StartUpSampleBank)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartUp(benchmark::State &state) {
    const QString bank = bankPath(int(state.range(0)));
    for (auto _ : state)
        Program program(bank);
    failOnBoxes(state);
}
BENCHMARK(BM_StartUp)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseRealTime();

// A chapter-tree click: node 0 the subject, 1 the last chapter, 2 that chapter's last section.
void chapterClick(benchmark::State &state, int depth) {
    Program program(bankPath(int(state.range(0))));
    ChapterPracticePage &page = *program.form->chapterPage();
    QTreeWidgetItem *node = page.chapterTree->topLevelItem(0);
    for (int d = 0; d < depth && node->childCount() > 0; ++d)
        node = node->child(node->childCount() - 1);
    page.chapterTree->setCurrentItem(node);
    for (auto _ : state)
        page.chooseNode();
    failOnBoxes(state);
}
void BM_ClickSubject(benchmark::State &state) {
    chapterClick(state, 0);
}
void BM_ClickChapter(benchmark::State &state) {
    chapterClick(state, 1);
}
void BM_ClickSection(benchmark::State &state) {
    chapterClick(state, 2);
}
// The floor of a subject click: its two statements over the kept counts, sent bare.
void BM_Floor_SubjectCounts(benchmark::State &state) {
    BankSession data;
    data.OpenBank(bankPath(int(state.range(0))));
    const QString fourth = QStringLiteral("不定项选择题");
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.db.select(KeptProgressCountSql(fourth, QString(), QString())));
        benchmark::DoNotOptimize(data.db.select(KeptStemProgressCountSql(QString(), QString())));
    }
}
BENCHMARK(BM_Floor_SubjectCounts)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ClickSubject)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ClickChapter)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ClickSection)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseRealTime();

// "开始练习" on the last chapter with every type ticked: the practice window shown and painted.
void BM_StartPractice(benchmark::State &state) {
    Program program(bankPath(int(state.range(0))));
    ChapterPracticePage &page = *program.form->chapterPage();
    QTreeWidgetItem *root = page.chapterTree->topLevelItem(0);
    page.chapterTree->setCurrentItem(root->child(root->childCount() - 1));
    page.chooseNode();
    LaunchParameters &launch = launchParameters();
    launch.PracticeScope = 0;
    launch.PracticeTypeFlags = {true, true, true, true};
    for (auto _ : state) {
        launch.PracticeTypeFlags = {true, true, true, true};
        PracticeWindow window;
        showAndPaint(window);
        window.discardAllOptionControls();
    }
    failOnBoxes(state);
}
BENCHMARK(BM_StartPractice)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseRealTime();

// The post of a checked answer on the practice set's rows, one row after another, and on the
// same row, in the same iteration, the same two updates sent bare (the floor): a disk that syncs
// slowly now and then, or a checkpoint of the log, then weighs on both alike. The benchmark's time
// is the posts'; the counters give the floor and the ratio.
const QString kSingleSet =
    QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"单选题\" order by zhang,jie asc");

void BM_AnswerStored(benchmark::State &state) {
    BankSession data;
    data.OpenBank(bankPath(int(state.range(0))));
    Dataset &set = data.listQuery;
    set.openWindowed(kSingleSet);
    bool right = false;
    double posted = 0, bare = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        const qint64 id = set.asInteger(QStringLiteral("tigan_id"));
        clock.start();
        // A check writes the question's changed counters (DDCS, YDCS) in one post.
        const QuestionStats before = ReadStats(set);
        WriteStats(set, before, AfterCheck(before, right));
        const double post = double(clock.nsecsElapsed()) / 1e9;
        clock.start();
        data.db.exec(QStringLiteral("update kjks_tigan set DDCS = ? where tigan_id = ?"),
                     {right ? QStringLiteral("1") : QStringLiteral("0"), id});
        data.db.exec(QStringLiteral("update kjks_tigan set YDCS = ? where tigan_id = ?"),
                     {right ? QStringLiteral("0") : QStringLiteral("1"), id});
        bare += double(clock.nsecsElapsed()) / 1e9;
        posted += post;
        state.SetIterationTime(post);
        set.next();
        if (set.eof()) {
            set.first();
            right = !right;
        }
    }
    state.counters["bare_ms"] = benchmark::Counter(bare * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = bare > 0 ? posted / bare : 0;
}
BENCHMARK(BM_AnswerStored)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseManualTime();

// The first opening of a bank made or edited by the bank tool, or restored from an older backup:
// the data module opens it and makes the chapter tree's counts from its questions.
void BM_OpenWithoutCounts(benchmark::State &state) {
    const QString bank = bankPath(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        {
            SqlDatabase db;
            db.open(bank, QString::fromLatin1(kBankPassword));
            DropProgressCounts(db);
        }
        state.ResumeTiming();
        BankSession data;
        data.OpenBank(bank);
    }
}
BENCHMARK(BM_OpenWithoutCounts)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseRealTime();

// "重新开始" on a bank where one question in five was answered (the marking is not timed): with the
// kept counts, whose triggers follow every row made fresh, and as the floor without them.
void startOver(benchmark::State &state, bool keptCounts) {
    const QString bank = bankPath(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        SqlDatabase db;
        db.open(bank, QString::fromLatin1(kBankPassword));
        if (keptCounts)
            EnsureProgressCounts(db);
        else
            DropProgressCounts(db);
        db.exec(QStringLiteral("update kjks_tigan set YDCS = '1', ZONGCS = 1 where tigan_id % 5 = 0"));
        state.ResumeTiming();
        ClearProgress(db);
    }
}
void BM_Floor_StartOverWithoutCounts(benchmark::State &state) {
    startOver(state, false);
}
void BM_StartOver(benchmark::State &state) {
    startOver(state, true);
}
BENCHMARK(BM_Floor_StartOverWithoutCounts)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StartOver)->Apply(everySize)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peak resident memory of the process so far (VmHWM), in MiB.
double peakMiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(OutputOptions options) : ConsoleReporter(options) {}
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
                m_ms[r.benchmark_name()] = r.GetAdjustedRealTime();
                m_cpu[r.benchmark_name()] = r.GetAdjustedCPUTime();
                for (const auto &c : r.counters)
                    m_counters[r.benchmark_name() + "." + c.first] = c.second.value;
            }
        ConsoleReporter::ReportRuns(runs);
        // The peak after the empty window and the bank-free floors: the program's own baseline.
        if (!runs.empty() && runs.front().benchmark_name().rfind("BM_Floor_EmptyWindow", 0) == 0)
            m_windowPeak = peakMiB();
    }
    double ms(const std::string &name) const {
        const auto it = m_ms.find(name);
        return it == m_ms.end() ? 0 : it->second;
    }
    double cpu(const std::string &name) const {
        const auto it = m_cpu.find(name);
        return it == m_cpu.end() ? 0 : it->second;
    }
    double counter(const std::string &name) const {
        const auto it = m_counters.find(name);
        return it == m_counters.end() ? 0 : it->second;
    }
    double windowPeak() const { return m_windowPeak; }

private:
    std::map<std::string, double> m_ms;
    std::map<std::string, double> m_cpu;
    std::map<std::string, double> m_counters;
    double m_windowPeak = 0;
};

// Each figure by real time and, in brackets, by CPU time: on a loaded machine the CPU time is the
// steadier one.
void printRatios(const RatioReporter &r) {
    struct Figure {
        double real, cpu;
    };
    auto figure = [&](const std::string &name) { return Figure{r.ms(name), r.cpu(name)}; };
    auto at = [&](const char *name, int n) {
        return figure(std::string(name) + "/" + std::to_string(n) + "/real_time");
    };
    auto ratio = [](Figure a, Figure b) {
        return Figure{b.real > 0 ? a.real / b.real : 0, b.cpu > 0 ? a.cpu / b.cpu : 0};
    };
    auto sum = [](Figure a, Figure b) { return Figure{a.real + b.real, a.cpu + b.cpu}; };
    const Figure window = figure("BM_Floor_EmptyWindow/real_time");
    const Figure sample = figure("BM_StartUpSampleBank/real_time");
    const Figure sampleOpen = at("BM_Floor_OpenBank", 0);
    const Figure sampleRatio = ratio(sample, sum(window, sampleOpen));
    std::printf("\nfloors: empty window painted %.1f ms (CPU %.1f); sample bank opened %.1f ms (CPU %.1f)\n",
                window.real, window.cpu, sampleOpen.real, sampleOpen.cpu);
    std::printf("sample bank: start-up %.1f ms (CPU %.1f) = %.2f x (empty window + bank open) (by CPU %.2f x)\n",
                sample.real, sample.cpu, sampleRatio.real, sampleRatio.cpu);
    for (int n : kSizes) {
        const Figure start = at("BM_StartUp", n);
        if (start.real <= 0) continue;
        const Figure open = at("BM_Floor_OpenBank", n);
        const Figure toSample = ratio(start, sample);
        const Figure toFloor = ratio(start, sum(window, open));
        std::printf("%7d questions: bank open %.1f ms (CPU %.1f); start-up %.1f ms (CPU %.1f) = %.2f x the sample "
                    "bank's (by CPU %.2f x), %.2f x (empty window + bank open) (by CPU %.2f x)\n",
                    n, open.real, open.cpu, start.real, start.cpu, toSample.real, toSample.cpu, toFloor.real,
                    toFloor.cpu);
        const Figure subject = at("BM_ClickSubject", n), chapter = at("BM_ClickChapter", n),
                     section = at("BM_ClickSection", n), practice = at("BM_StartPractice", n);
        std::printf("        clicks: subject %.1f ms (CPU %.1f), chapter %.1f ms (CPU %.1f), section %.1f ms (CPU "
                    "%.1f); 开始练习 to first question %.1f ms (CPU %.1f)\n",
                    subject.real, subject.cpu, chapter.real, chapter.cpu, section.real, section.cpu, practice.real,
                    practice.cpu);
        const Figure sums = at("BM_Floor_SubjectCounts", n);
        std::printf("        floor: a subject click's two count statements bare %.2f ms (CPU %.2f)\n", sums.real,
                    sums.cpu);
        const Figure without = at("BM_OpenWithoutCounts", n);
        if (without.real > 0)
            std::printf("        first opening without kept counts %.1f ms (CPU %.1f), bank open alone %.1f ms (CPU "
                        "%.1f)\n",
                        without.real, without.cpu, open.real, open.cpu);
        const Figure over = at("BM_StartOver", n), overFloor = at("BM_Floor_StartOverWithoutCounts", n);
        if (over.real > 0)
            std::printf("        重新开始 %.0f ms (CPU %.0f); without kept counts %.0f ms (CPU %.0f): %.2f x (by CPU "
                        "%.2f x)\n",
                        over.real, over.cpu, overFloor.real, overFloor.cpu, ratio(over, overFloor).real,
                        ratio(over, overFloor).cpu);
        const std::string answer = "BM_AnswerStored/" + std::to_string(n) + "/manual_time";
        if (r.ms(answer) > 0)
            std::printf("        answer stored %.2f ms = %.2f x the same two updates sent bare (%.2f ms)\n",
                        r.ms(answer), r.counter(answer + ".ratio"), r.counter(answer + ".bare_ms"));
    }
    std::printf("peak memory %.0f MiB; after the empty window %.0f MiB; difference %.0f MiB\n", peakMiB(),
                r.windowPeak(), peakMiB() - r.windowPeak());
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallChineseFontSubstitutes();
    setPlatform(&silent());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                  : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter);
    benchmark::Shutdown();
    setPlatform(nullptr);
    return 0;
}
