// The program started on every kind of bad bank: it says why in Chinese, ends with status 1
// before any window is shown, and leaves the bank exactly as it was.
#include "BankSession.h"
#include "FixtureBank.h"
#include "SqlDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <functional>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Inverts one byte inside page `page` (1-based, 1 KiB pages) of the bank.
void damagePage(const QString &path, int page) {
    QByteArray bytes = readAll(path);
    const qsizetype at = qsizetype(page - 1) * 1024 + 300;
    ASSERT_LT(at, bytes.size());
    bytes[at] = char(~bytes[at]);
    writeAll(path, bytes);
}

struct ProgramRun {
    int exitCode = -1;
    QString err;
};

ProgramRun runProgram(const QString &dir) {
    const QString exe = dir + QStringLiteral("kjks");
    QFile::copy(QString::fromUtf8(KJKS_EXECUTABLE), exe);
    QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(exe, {});
    ProgramRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

const QString kMissing = QStringLiteral("缺少数据库文件。");
const QString kDamaged = QStringLiteral(
    "缺少数据库文件。\n题库文件已损坏，或不是本程序的题库。请从备份恢复题库文件，或重新安装本程序。\n详细信息：");
const QString kReadOnly = QStringLiteral("题库文件是只读的，答题记录无法保存，程序不能启动。");

TEST(BadBankStart, EveryKindEndsWithItsMessageAndLeavesTheFileAsItWas) {
    struct Kind {
        const char *name;
        // Prepares kjks.dbf in the folder of the bank (whose model the kind may change first).
        std::function<void(FixtureBank &, const QString &path)> make;
        QString message;        // the box's text begins with it
        QString detail;         // and holds this
        bool opensFine = false; // the data module alone accepts it: the window's first filling refuses it
    };
    const QString password = QString::fromLatin1(kBankPassword);
    const Kind kinds[] = {
        {"missing file", [](FixtureBank &, const QString &) {}, kMissing, QStringLiteral("file not found")},
        {"empty file", [](FixtureBank &, const QString &path) { writeAll(path, QByteArray()); }, kMissing, QString()},
        {"plain text",
         [](FixtureBank &, const QString &path) { writeAll(path, QByteArray("no bank at all\n").repeated(300)); },
         kMissing, QString()},
        {"another password",
         [](FixtureBank &, const QString &path) {
             SqlDatabase db;
             db.create(path, QStringLiteral("another"));
             db.exec(QStringLiteral("create table sys_option (option_name TEXT, option_value TEXT)"));
         },
         kMissing, QString()},
        {"a table missing",
         [&](FixtureBank &, const QString &path) {
             SqlDatabase db;
             db.create(path, password);
             db.exec(QStringLiteral(
                 "create table sys_option (option_id INTEGER PRIMARY KEY, option_name TEXT, option_value TEXT)"));
         },
         kMissing, QStringLiteral("no such table")},
        {"damaged schema page", [](FixtureBank &bank, const QString &) { damagePage(bank.write(), 1); }, kMissing,
         QString()},
        {"damaged page of the chapter tree",
         [](FixtureBank &bank, const QString &) {
             // A chapter tree of many pages: the data module reads its first, the window all.
             for (int c = 2; c <= 61; ++c)
                 for (int s = 0; s <= 5; ++s)
                     bank.model.chapters.push_back(
                         {QStringLiteral("01%1%2")
                              .arg(c, 2, 10, QLatin1Char('0'))
                              .arg(s == 0 ? QString() : QStringLiteral("%1").arg(s, 2, 10, QLatin1Char('0'))),
                          QStringLiteral("章节名称").repeated(20)});
             damagePage(bank.write(), 40);
         },
         kDamaged, QString(), true},
        {"unusable exam profile",
         [](FixtureBank &bank, const QString &) {
             bank.model.profiles[0].columns[QStringLiteral("panduanti")] = QStringLiteral("十");
             bank.write();
         },
         QStringLiteral("题库的考试方案无法使用：考试方案的第三部分（判断题）题数“十”或分数“1”不是整数"),
         QStringLiteral("'十' is not a valid integer value"), true},
        {"case section of 0 questions but points",
         [](FixtureBank &bank, const QString &) {
             bank.model.profiles[0].columns[QStringLiteral("shicaoti")] = QStringLiteral("0");
             bank.write();
         },
         QStringLiteral("题库的考试方案无法使用：考试方案的第四部分题数为 0，分数却是“10”"),
         QStringLiteral("Floating point division by zero"), true},
        {"no chapters",
         [](FixtureBank &bank, const QString &) {
             bank.model.chapters.clear();
             bank.write();
         },
         QStringLiteral("题库的章节目录（kjks_zhangjie）中没有章节"), QString(), true},
        {"a chapter code with a quote",
         [](FixtureBank &bank, const QString &) {
             bank.model.chapters.push_back({QStringLiteral("0102'"), QStringLiteral("第二章")});
             bank.write();
         },
         QStringLiteral("题库的章节目录中有无效的章节代码“0102'”（章节“第二章”）"), QString(), true},
        {"read-only file",
         [](FixtureBank &bank, const QString &) {
             const QString path = bank.write();
             QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
         },
         kReadOnly, QStringLiteral("read-only")},
    };
    for (const Kind &k : kinds) {
        SCOPED_TRACE(k.name);
        FixtureBank bank;
        const QString path = bank.dir() + QStringLiteral("kjks.dbf");
        k.make(bank, path);
        if (k.opensFine) {
            BankSession form;
            ASSERT_NO_THROW(form.OpenBank(path)) << "the kind must reach the window's first filling";
        }
        const QStringList filesBefore = QDir(bank.dir()).entryList(QDir::Files, QDir::Name);
        const QByteArray before = readAll(path);

        const ProgramRun run = runProgram(bank.dir());

        EXPECT_EQ(run.exitCode, 1);
        // One box, and it is the message; the engine's words only as its detail line.
        const qsizetype at = run.err.indexOf(k.message);
        ASSERT_GE(at, 0) << qPrintable(run.err);
        EXPECT_EQ(run.err.count(k.message.left(6)), 1) << qPrintable(run.err);
        // The engine's words come as a detail line; the program's own findings need none.
        if (!k.message.startsWith(QStringLiteral("题库的章节目录"))) {
            const qsizetype detail = run.err.indexOf(QStringLiteral("\n详细信息："), at);
            ASSERT_GT(detail, at) << qPrintable(run.err);
            EXPECT_GE(run.err.indexOf(k.detail, detail), detail) << qPrintable(run.err);
        } else {
            EXPECT_LT(run.err.indexOf(QStringLiteral("详细信息")), 0) << qPrintable(run.err);
        }
        EXPECT_EQ(readAll(path), before);
        QStringList filesAfter = QDir(bank.dir()).entryList(QDir::Files, QDir::Name);
        filesAfter.removeAll(QStringLiteral("kjks"));
        EXPECT_EQ(filesAfter, filesBefore);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

} // namespace
