#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

// A second start on the same bank is refused while the first runs, and allowed once it has ended;
// another bank is another program.
TEST(SingleInstance, ASecondStartOnTheSameBankIsRefused) {
    QTemporaryDir dir;
    const QString bank = dir.path() + QStringLiteral("/kjks.dbf");
    auto first = std::make_unique<BankInstanceLock>(bank);
    ASSERT_EQ(first->acquire(), BankInstanceLock::Outcome::Acquired);
    EXPECT_TRUE(QFileInfo::exists(bank + QStringLiteral(".lock")));

    BankInstanceLock second(bank);
    EXPECT_EQ(second.acquire(), BankInstanceLock::Outcome::HeldElsewhere);
    BankInstanceLock otherBank(dir.path() + QStringLiteral("/abc.dbf"));
    EXPECT_EQ(otherBank.acquire(), BankInstanceLock::Outcome::Acquired);

    first.reset(); // the first copy ends, and its file with it
    EXPECT_FALSE(QFileInfo::exists(bank + QStringLiteral(".lock")));
    BankInstanceLock third(bank);
    EXPECT_EQ(third.acquire(), BankInstanceLock::Outcome::Acquired);
}

// A lock file that no running copy holds is taken over, whatever it holds.
TEST(SingleInstance, ALeftOverLockIsTakenOver) {
    const struct {
        const char *name;
        QByteArray contents;
    } cases[] = {
        {"empty, as a power loss leaves it", QByteArray()},
        {"garbage", QByteArray("\x00\xff\x13garbage\n", 12)},
        {"written on another machine", QByteArray("4242\nusb-stick-laptop\nkjks\n")},
        {"a process id that no longer runs", QByteArray("999999\n") + QSysInfo::machineHostName().toUtf8()},
        {"a reused process id (this test's own)",
         QByteArray::number(qint64(::getpid())) + '\n' + QSysInfo::machineHostName().toUtf8() + "\nkjks\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString bank = dir.path() + QStringLiteral("/kjks.dbf");
        writeFile(bank + QStringLiteral(".lock"), c.contents);
        BankInstanceLock lock(bank);
        EXPECT_EQ(lock.acquire(), BankInstanceLock::Outcome::Acquired);
    }
}

// The lock dies with the process that holds it, however that process ends.
TEST(SingleInstance, ALockHeldByALiveProcessStopsAStartUntilThatProcessIsKilled) {
    const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
    if (flock.isEmpty()) GTEST_SKIP() << "util-linux flock is not installed";
    QTemporaryDir dir;
    const QString bank = dir.path() + QStringLiteral("/kjks.dbf");
    QProcess holder;
    // -o: the lock stays with flock itself, not with the command it runs.
    holder.start(flock, {QStringLiteral("-n"), QStringLiteral("-o"), bank + QStringLiteral(".lock"),
                         QStringLiteral("sleep"), QStringLiteral("10")});
    ASSERT_TRUE(holder.waitForStarted());
    for (int i = 0; i < 100 && !QFileInfo::exists(bank + QStringLiteral(".lock")); ++i)
        QThread::msleep(20);
    QThread::msleep(100); // the holder has taken its lock
    {
        BankInstanceLock lock(bank);
        EXPECT_EQ(lock.acquire(), BankInstanceLock::Outcome::HeldElsewhere);
    }
    holder.kill();
    holder.waitForFinished();
    BankInstanceLock lock(bank);
    EXPECT_EQ(lock.acquire(), BankInstanceLock::Outcome::Acquired);
}

// A lock path the program cannot use names the file and what to do.
TEST(SingleInstance, ALockPathThatIsAFolderIsNamedInTheMessage) {
    QTemporaryDir dir;
    const QString bank = dir.path() + QStringLiteral("/kjks.dbf");
    ASSERT_TRUE(QDir().mkdir(bank + QStringLiteral(".lock")));
    BankInstanceLock lock(bank);
    EXPECT_EQ(lock.acquire(), BankInstanceLock::Outcome::Unusable);
    EXPECT_TRUE(lock.problem().contains(bank + QStringLiteral(".lock")));
    EXPECT_TRUE(lock.problem().contains(QStringLiteral("删除")));
}

// The real program started a second time on a bank that a running copy holds: it says so and ends
// with a status that is not success, without touching the bank.
TEST(SingleInstance, ARefusedSecondStartEndsWithItsOwnStatus) {
    QTemporaryDir dir;
    const QString exe = dir.path() + QStringLiteral("/kjks");
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(KJKS_EXECUTABLE), exe));
    QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner);
    const QString bank = dir.path() + QStringLiteral("/kjks.dbf");
    writeFile(bank, QByteArray("not opened by a refused start"));
    BankInstanceLock running(bank);
    ASSERT_EQ(running.acquire(), BankInstanceLock::Outcome::Acquired);

    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.start(exe, {});
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), kAlreadyRunningExitStatus);
    EXPECT_NE(second.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(second.readAllStandardError()).contains(AlreadyRunningText()));
    QFile kept(bank);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("not opened by a refused start"));
}
