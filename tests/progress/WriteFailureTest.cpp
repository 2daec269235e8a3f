// Writes that fail are told by their cause, and the work files of killed runs are cleaned up
// without touching anything else.
#include "WriteFailure.h"
#include "BankCopy.h"
#include "BankSession.h"
#include "FixtureBank.h"
#include "PartFiles.h"
#include "SqlDatabase.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

void touch(const QString &path, const QByteArray &bytes = QByteArray("x")) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList entries(const QString &dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST(WriteFailure, EachFailureIsToldByItsCause) {
    WriteFolderState roomy;
    roomy.bytesAvailable = qint64(10) << 30;
    WriteFolderState full = roomy;
    full.bytesAvailable = 64 * 1024;
    WriteFolderState readOnly = roomy;
    readOnly.readOnly = true;
    WriteFolderState missing = roomy;
    missing.exists = false;
    WriteFolderState silent; // a disk that does not say its room
    const struct {
        const char *name;
        int code;
        const char *text;
        WriteFolderState folder;
        qint64 needed;
        WriteFailureCause cause;
    } cases[] = {
        {"the engine's full disk, however roomy it looks now", SQLITE_FULL, "database or disk is full", roomy, 0,
         WriteFailureCause::DiskFull},
        {"the system's full disk in a file's error", 0, "No space left on device", roomy, 0,
         WriteFailureCause::DiskFull},
        {"a failed write without words on a disk with 64 KB left", 0, "Unknown error", full, 0,
         WriteFailureCause::DiskFull},
        {"a failed write of more than is left", 0, "Unknown error", roomy, qint64(11) << 30,
         WriteFailureCause::DiskFull},
        {"an engine's I/O error on a full disk", SQLITE_IOERR_WRITE, "disk I/O error", full, 0,
         WriteFailureCause::DiskFull},
        {"the engine's read-only file", SQLITE_READONLY, "attempt to write a readonly database", roomy, 0,
         WriteFailureCause::ReadOnly},
        {"a read-only file system in a file's error", 0, "Read-only file system", roomy, 0,
         WriteFailureCause::ReadOnly},
        {"a file that cannot be made in a read-only folder", SQLITE_CANTOPEN, "unable to open database file", readOnly,
         0, WriteFailureCause::ReadOnly},
        {"permission denied where the folder is gone", 0, "Permission denied", missing, 0,
         WriteFailureCause::MissingFolder},
        {"a folder that is not there", 0, "No such file or directory", missing, 0, WriteFailureCause::MissingFolder},
        {"a content failure of the engine on a full disk", SQLITE_CONSTRAINT_PRIMARYKEY, "UNIQUE constraint failed",
         full, 0, WriteFailureCause::Other},
        {"a damaged file on a read-only disk", SQLITE_CORRUPT, "database disk image is malformed", readOnly, 0,
         WriteFailureCause::Other},
        {"an I/O error on a roomy writable disk", SQLITE_IOERR_FSYNC, "disk I/O error", roomy, 0,
         WriteFailureCause::Other},
        {"a failed write on a disk that does not say its room", 0, "Unknown error", silent, 0,
         WriteFailureCause::Other},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClassifyWriteFailure(c.code, QString::fromUtf8(c.text), c.folder, c.needed), c.cause);
    }
}

TEST(WriteFailure, TheMessageNamesTheTargetTheRoomAndTheEnginesWords) {
    WriteFolderState folder;
    folder.bytesAvailable = 1363148; // 1.3 MB
    const QString full = WriteFailureMessage(WriteFailureCause::DiskFull, QStringLiteral("/d/备份/b.dbf"), folder,
                                             QStringLiteral("database or disk is full"), 5 * 1024 * 1024);
    EXPECT_TRUE(full.startsWith(QStringLiteral("磁盘已满，没有写出 ") +
                                QDir::toNativeSeparators(QStringLiteral("/d/备份/b.dbf"))))
        << full.toStdString();
    EXPECT_TRUE(full.contains(QStringLiteral("需要约 5.0 MB"))) << full.toStdString();
    EXPECT_TRUE(full.contains(QStringLiteral("只剩 1.3 MB"))) << full.toStdString();
    EXPECT_TRUE(full.endsWith(QStringLiteral("\n详细信息：database or disk is full")));

    EXPECT_TRUE(WriteFailureMessage(WriteFailureCause::ReadOnly, QStringLiteral("/ro/x.csv"), folder, QString())
                    .startsWith(QStringLiteral("没有写入权限")));
    const QString missing =
        WriteFailureMessage(WriteFailureCause::MissingFolder, QStringLiteral("/no/such/x.dbf"), folder, QString());
    EXPECT_TRUE(missing.startsWith(QStringLiteral("文件夹不存在"))) << missing.toStdString();
    EXPECT_TRUE(missing.contains(QDir::toNativeSeparators(QStringLiteral("/no/such"))));
    EXPECT_FALSE(missing.contains(QStringLiteral("详细信息")));
}

// Only the work files of the same target go (with their companions and a lock nobody holds); a
// neighbour, another target's leftover and a work file a running writer holds stay.
TEST(PartFiles, LeftoversOfTheSameTargetGoAndNothingElse) {
    QTemporaryDir dir;
    const QString d = dir.path() + QLatin1Char('/');
    const QStringList leftovers = {
        QStringLiteral(".out.dbf.AbCdEf.part"),         QStringLiteral(".out.dbf.AbCdEf.part-wal"),
        QStringLiteral(".out.dbf.AbCdEf.part-shm"),     QStringLiteral(".out.dbf.AbCdEf.part.lock"),
        QStringLiteral(".out.dbf.QwErTy.part-journal"), // its file already gone
        QStringLiteral(".out.dbf.partial-XyZabc"),
    };
    const QStringList neighbours = {
        QStringLiteral("out.dbf"),
        QStringLiteral("out.dbf-wal"),
        QStringLiteral(".out.dbf.AbCdE.part"),    // five letters: not a name of ours
        QStringLiteral(".out.dbf.AbCdEf.partx"),  // another ending
        QStringLiteral("out.dbf.AbCdEf.part"),    // not hidden
        QStringLiteral(".out.dbfx.AbCdEf.part"),  // another target
        QStringLiteral(".other.dbf.AbCdEf.part"), // another target
        QStringLiteral(".out.dbf.AbCdEf.part-wal.lock"),
        QStringLiteral(".out_dbf.AbCdEf.part"), // a dot in the name is a dot, not any character
        QStringLiteral("notes.txt"),
    };
    for (const QString &name : leftovers + neighbours)
        if (name.contains(QStringLiteral("partial-")))
            ASSERT_TRUE(QDir().mkpath(d + name + QStringLiteral("/questions")));
        else
            touch(d + name);
    touch(d + QStringLiteral(".out.dbf.partial-XyZabc/questions/ch01.txt"));
    // The lock of a writer that ended without removing it: another process id, long gone.
    touch(d + QStringLiteral(".out.dbf.AbCdEf.part.lock"), QByteArray("999999\nkjks-bank\n"));
    // A writer still at work.
    touch(d + QStringLiteral(".out.dbf.LiVeOn.part"));
    touch(d + QStringLiteral(".out.dbf.LiVeOn.part-wal"));
    const PartInUse live(d + QStringLiteral(".out.dbf.LiVeOn.part"));

    const QStringList removed = RemoveLeftoverParts(d + QStringLiteral("out.dbf"));
    EXPECT_EQ(removed.size(), 3) << removed.join(QLatin1Char(' ')).toStdString();
    QStringList expected = neighbours;
    expected << QStringLiteral(".out.dbf.LiVeOn.part") << QStringLiteral(".out.dbf.LiVeOn.part-wal")
             << QStringLiteral(".out.dbf.LiVeOn.part.lock");
    expected.sort();
    EXPECT_EQ(entries(dir.path()), expected);
}

// A backup's name carries the time it was made: the leftovers of earlier backups of the same kind go
// too, those of another kind stay.
TEST(PartFiles, ABackupsStampMatchesAnyStamp) {
    QTemporaryDir dir;
    const QString d = dir.path() + QLatin1Char('/');
    touch(d + QStringLiteral(".kjks-进度备份-20260101-080000.dbf.AbCdEf.part"));
    touch(d + QStringLiteral(".kjks-进度备份-20260101-080000.dbf.AbCdEf.part-wal"));
    touch(d + QStringLiteral(".kjks-恢复前-20260101-080000.dbf.AbCdEf.part"));
    touch(d + QStringLiteral("kjks-进度备份-20260101-080000.dbf"));
    RemoveLeftoverParts(d + QStringLiteral("kjks-进度备份-20261211-093000.dbf"));
    EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral(".kjks-恢复前-20260101-080000.dbf.AbCdEf.part"),
                                                QStringLiteral("kjks-进度备份-20260101-080000.dbf")}));
}

// A copy of the bank cleans up after a copy that was killed, and says how much room it needs when
// its disk has too little.
TEST(PartFiles, ABankCopyRemovesAKilledCopysWorkAndNeedsItsRoom) {
    FixtureBank bank;
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    BankSession &session = bank.open();
    QTemporaryDir backups;
    const QString target = backups.path() + QStringLiteral("/kjks-进度备份-20261211-093000.dbf");
    touch(backups.path() + QStringLiteral("/.kjks-进度备份-20261210-080000.dbf.KiLlEd.part"));
    touch(backups.path() + QStringLiteral("/.kjks-进度备份-20261210-080000.dbf.KiLlEd.part-shm"));
    WriteBankCopy(session.db, target, QString::fromLatin1(kBankPassword));
    EXPECT_EQ(entries(backups.path()), QStringList{QStringLiteral("kjks-进度备份-20261211-093000.dbf")});

    EXPECT_GT(BankBytes(session.db), 0);
    try {
        RequireRoomFor(target, qint64(1) << 60);
        FAIL() << "no disk has an exbibyte free";
    } catch (const WriteFailureError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("磁盘已满"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("需要约"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("只剩"))) << e.message().toStdString();
    }
}
