#include "PrintCommand.h"

#include "BankCopy.h"
#include "BankSession.h"
#include "ExamEngine.h"
#include "ExamProfile.h"
#include "LaunchParameters.h"
#include "PaperPrint.h"
#include "Platform.h"
#include "SqlDatabase.h"
#include "ToolHelp.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kMostPapers = 200;

void say(FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
}

int usageError(const QString &message) {
    say(stderr, QStringLiteral("kjks-bank: ") + message);
    say(stderr, QStringLiteral("Run 'kjks-bank print --help' for its arguments."));
    return 2;
}

// The engine takes each paper's seed from the platform: here the requested ones in turn. Boxes,
// which a draw does not show, would go to the error stream.
class SeededDraws : public PlatformServices {
public:
    explicit SeededDraws(quint64 first) : m_next(first) {}
    void messageBox(BoxKind, const QString &text) override { say(stderr, text); }
    bool confirmBox(const QString &text) override {
        say(stderr, text);
        return false;
    }
    bool shellOpen(const QString &) override { return false; }
    bool startProgram(const QString &, bool) override { return false; }
    void processEvents() override {}
    void pause(int ms) override { QThread::msleep(ulong(ms > 0 ? ms : 0)); }
    QDateTime now() override { return QDateTime::currentDateTime(); }
    quint64 seedCounter() override { return m_next++; }

private:
    quint64 m_next;
};

// Installs the seeded services for the draw and puts the previous ones back.
class PlatformScope {
public:
    explicit PlatformScope(PlatformServices &services) : m_before(&platform()) { setPlatform(&services); }
    ~PlatformScope() { setPlatform(m_before); }

private:
    PlatformServices *m_before;
};

QString nativePath(const QString &path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

PrintOutcome PrintPapers(const PrintRequest &request) {
    const QFileInfo bankFile(request.bank);
    if (!bankFile.isFile()) throw KjksError(QStringLiteral("找不到题库文件：%1").arg(nativePath(request.bank)));
    // A PDF written over the bank would destroy it.
    const QFileInfo pdfFile(request.pdf);
    if (pdfFile.exists() && pdfFile.canonicalFilePath() == bankFile.canonicalFilePath())
        throw KjksError(QStringLiteral("PDF 文件不能是题库本身：%1").arg(nativePath(request.pdf)));

    const QString key = QString::fromLatin1(kBankPassword);
    QTemporaryDir work;
    if (!work.isValid())
        throw KjksError(QStringLiteral("无法创建临时文件夹，没有打印。\n详细信息：%1").arg(work.errorString()));
    const QString copy = work.filePath(QStringLiteral("draw.dbf"));
    {
        SqlDatabase source;
        try {
            source.openReadOnly(request.bank, key, RequiredBankTables());
        } catch (const std::exception &e) {
            throw KjksError(QStringLiteral("无法打开题库：%1（不是本程序的题库，或已损坏）\n详细信息：%2")
                                .arg(nativePath(request.bank), QString::fromUtf8(e.what())));
        }
        WriteBankCopy(source, copy, key, [](SqlDatabase &db) {
            db.exec(QStringLiteral("delete from shijuan where sjID <> 0"));
            db.exec(QStringLiteral("delete from kjks_SJML"));
        });
    }

    BankSession data;
    data.OpenBank(copy);
    try {
        data.LoadExamProfile(QStringLiteral("1"));
    } catch (const ExamProfileError &e) {
        throw KjksError(QStringLiteral("题库的考试方案无法出卷：%1").arg(e.reason()));
    }
    data.LoadExamOptions();
    const ExamProfile &profile = examProfile();

    SeededDraws draws(request.seed);
    PlatformScope scope(draws);
    std::vector<PrintedPaper> papers;
    for (int k = 0; k < request.papers; ++k) {
        LaunchParameters params;
        params.PaperKey = QStringLiteral("0");
        params.PaperDrawMode = QStringLiteral("shijuan");
        params.PaperSetValue = QStringLiteral("随机");
        ExamEngine engine(data, profile, params);
        engine.SetSubjectTitle(data.GetOption(QStringLiteral("APP_TITLE")));
        engine.StartPaper();
        PrintedPaper paper = ReadPrintedPaper(data, profile, params.PaperKey.toInt(), k + 1, false);
        paper.withKey = !request.blank;
        papers.push_back(std::move(paper));
    }
    data.db.close();

    PrintOutcome outcome;
    outcome.papers = int(papers.size());
    outcome.pages = WritePapersPdf(papers, request.pdf);
    return outcome;
}

int PrintCommand(int argc, char **argv) {
    // Text is set with the system's fonts, which only a GUI application reads; no window opens.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(2);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(CommandHelp(QStringLiteral("print")).toUtf8().constData(), stdout);
        return 0;
    }

    PrintRequest request;
    bool seeded = false;
    QStringList paths;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--blank")) {
            request.blank = true;
        } else if (a == QLatin1String("--seed") || a == QLatin1String("--papers")) {
            if (i + 1 >= args.size()) return usageError(a + QStringLiteral(" needs a number"));
            bool ok = false;
            if (a == QLatin1String("--seed")) {
                request.seed = args[++i].toULongLong(&ok);
                if (!ok) return usageError(QStringLiteral("--seed takes 0 to 18446744073709551615"));
                seeded = true;
            } else {
                request.papers = args[++i].toInt(&ok);
                if (!ok || request.papers < 1 || request.papers > kMostPapers)
                    return usageError(QStringLiteral("--papers takes 1 to %1").arg(kMostPapers));
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("print: unexpected '%1'").arg(a));
        } else {
            paths << a;
        }
    }
    if (paths.size() != 2)
        return usageError(QStringLiteral("print takes BANK OUT.pdf [--blank] [--seed S] [--papers N]"));
    request.bank = paths[0];
    request.pdf = paths[1];
    // Unseeded, the clock chooses; the seed is said so the same papers can be printed again.
    if (!seeded) request.seed = quint64(std::chrono::system_clock::now().time_since_epoch().count());

    try {
        const PrintOutcome outcome = PrintPapers(request);
        say(stdout,
            QStringLiteral("已写出 %1：%2 套试卷，共 %3 页，%4（种子 %5）")
                .arg(nativePath(request.pdf))
                .arg(outcome.papers)
                .arg(outcome.pages)
                .arg(request.blank ? QStringLiteral("空白卷，不含答案") : QStringLiteral("每套后附参考答案与解析"))
                .arg(request.seed));
        return 0;
    } catch (const KjksError &e) {
        say(stderr, QStringLiteral("kjks-bank: ") + e.message());
        say(stderr, QStringLiteral("kjks-bank: 没有写出 %1").arg(nativePath(request.pdf)));
        return 1;
    }
}
