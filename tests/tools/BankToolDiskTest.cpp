// The bank tool on a disk that is full, read-only or not there: every writing command names the
// cause in Chinese, exits with status 1 and leaves nothing behind. The small disks are tmpfs mounts
// in a private mount namespace (`unshare -rm`), so no privilege is needed where user namespaces
// are allowed; elsewhere those cases are skipped with a message.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
    QStringList left; // what the target folder holds afterwards
};

ToolRun runTool(const QStringList &args) {
    QProcess p;
    p.start(QString::fromUtf8(KJKS_BANK_EXE), args);
    ToolRun r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

constexpr int kNoMount = 97;

// Runs the tool with `mountPoint` replaced by a fresh tmpfs of the given mount options.
ToolRun runOnSmallDisk(const QString &mountPoint, const QString &options, const QStringList &args) {
    QProcess p;
    const QString script = QStringLiteral("o=$1; mp=$2; shift 2; mount -t tmpfs -o \"$o\" none \"$mp\" || exit 97; "
                                          "\"$@\"; rc=$?; echo @@LEFT@@; ls -A \"$mp\"; exit $rc");
    p.start(QStringLiteral("unshare"),
            QStringList{QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script, QStringLiteral("sh"),
                        options, mountPoint, QString::fromUtf8(KJKS_BANK_EXE)} +
                args);
    ToolRun r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    r.out = out.section(QStringLiteral("@@LEFT@@"), 0, 0);
    r.left = out.section(QStringLiteral("@@LEFT@@"), 1).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A bank, its source folder and its CSV, each large enough not to fit a 64 KiB disk.
class BankToolDisk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        bank = work.filePath(QStringLiteral("in.dbf"));
        source = work.filePath(QStringLiteral("src"));
        csv = work.filePath(QStringLiteral("in.csv"));
        ASSERT_EQ(
            runTool({QStringLiteral("synth"), QStringLiteral("--questions"), QStringLiteral("2000"), bank}).exitCode,
            0);
        ASSERT_EQ(runTool({QStringLiteral("export"), bank, source}).exitCode, 0);
        ASSERT_EQ(runTool({QStringLiteral("export"), QStringLiteral("--csv"), bank, csv}).exitCode, 0);
    }

    // Every writing command, its target inside `folder`.
    std::vector<std::pair<const char *, QStringList>> commands(const QString &folder) const {
        const QString d = folder + QLatin1Char('/');
        return {
            {"build", {QStringLiteral("build"), source, d + QStringLiteral("out.dbf")}},
            {"import to a new bank",
             {QStringLiteral("import"), csv, QStringLiteral("--new"), d + QStringLiteral("out.dbf")}},
            {"import to a folder", {QStringLiteral("import"), csv, d + QStringLiteral("src")}},
            {"export", {QStringLiteral("export"), bank, d + QStringLiteral("src")}},
            {"export --csv", {QStringLiteral("export"), QStringLiteral("--csv"), bank, d + QStringLiteral("out.csv")}},
            {"upgrade", {QStringLiteral("upgrade"), bank, bank, d + QStringLiteral("out.dbf")}},
            {"synth",
             {QStringLiteral("synth"), QStringLiteral("--questions"), QStringLiteral("2000"),
              d + QStringLiteral("out.dbf")}},
        };
    }

    QTemporaryDir work;
    QString bank, source, csv;
};

TEST_F(BankToolDisk, AFullOrReadOnlyDiskIsNamedAndNothingIsLeftBehind) {
    if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
        GTEST_SKIP() << "unshare (util-linux) is not installed: no small disk can be made";
    QTemporaryDir mountPoint;
    const struct {
        const char *name;
        QString options;
        QString cause;
    } disks[] = {
        {"a full disk", QStringLiteral("size=64k"), QStringLiteral("磁盘已满")},
        {"a read-only file system", QStringLiteral("size=4m,ro"), QStringLiteral("没有写入权限")},
    };
    for (const auto &disk : disks) {
        for (const auto &[name, args] : commands(mountPoint.path())) {
            SCOPED_TRACE(std::string(disk.name) + ", " + name);
            const ToolRun r = runOnSmallDisk(mountPoint.path(), disk.options, args);
            if (r.exitCode == kNoMount)
                GTEST_SKIP() << "no tmpfs can be mounted here (user namespaces not allowed): " << r.err.toStdString();
            EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(disk.cause)) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(args.last())) << r.err.toStdString();
            EXPECT_TRUE(r.left.isEmpty()) << r.left.join(QLatin1Char(' ')).toStdString();
        }
    }
}

TEST_F(BankToolDisk, AMissingFolderIsNamed) {
    const QString missing = work.filePath(QStringLiteral("没有这个文件夹"));
    for (const auto &[name, args] : commands(missing)) {
        SCOPED_TRACE(name);
        // An upgrade makes the folder it writes into, as the program's backups do.
        if (args.first() == QLatin1String("upgrade")) continue;
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("文件夹不存在"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QDir::toNativeSeparators(missing))) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(missing));
    }
}

// The work files of killed runs for the same target are gone after the next run; a neighbour and
// another target's leftover stay.
TEST_F(BankToolDisk, ARunRemovesTheLeftoversOfKilledRunsForItsTarget) {
    QTemporaryDir out;
    const QString d = out.path() + QLatin1Char('/');
    const QStringList leftovers = {QStringLiteral(".out.dbf.KiLlEd.part"), QStringLiteral(".out.dbf.KiLlEd.part-wal"),
                                   QStringLiteral(".out.dbf.KiLlEd.part-shm"),
                                   QStringLiteral(".out.dbf.KiLlEd.part.lock")};
    const QStringList stay = {QStringLiteral(".other.dbf.KiLlEd.part"), QStringLiteral("out.dbf.KiLlEd.part"),
                              QStringLiteral(".out.dbf.KiLlEd.part.bak"), QStringLiteral(".other.partial-KiLlEd")};
    for (const QString &name : leftovers + stay) {
        QFile f(d + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("left by a killed run");
    }
    ASSERT_TRUE(QDir().mkpath(d + QStringLiteral(".src.partial-KiLlEd/questions")));
    // The lock of the killed writer names a process that has ended.
    QFile lock(d + QStringLiteral(".out.dbf.KiLlEd.part.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
    lock.write("999999\nkjks-bank\n");
    lock.close();

    ASSERT_EQ(runTool({QStringLiteral("build"), source, d + QStringLiteral("out.dbf")}).exitCode, 0);
    ASSERT_EQ(runTool({QStringLiteral("export"), bank, d + QStringLiteral("src")}).exitCode, 0);
    QStringList expected = stay;
    expected << QStringLiteral("out.dbf") << QStringLiteral("src");
    expected.sort();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), expected);
}

} // namespace
