#include "BankFailure.h"
#include "BankSession.h"
#include "FixtureBank.h"
#include "SqlError.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

TEST(BankFailure, TheEngineCodeTellsTheCause) {
    const struct {
        int code;
        const char *text;
        BankFailureCause cause;
    } cases[] = {
        {SQLITE_CORRUPT, "database disk image is malformed", BankFailureCause::Damaged},
        {SQLITE_NOTADB, "file is not a database", BankFailureCause::Damaged},
        {SQLITE_IOERR_SHORT_READ, "disk I/O error", BankFailureCause::Damaged},
        {SQLITE_FULL, "database or disk is full", BankFailureCause::DiskFull},
        {SQLITE_BUSY, "database is locked", BankFailureCause::Busy},
        {SQLITE_LOCKED, "database table is locked", BankFailureCause::Busy},
        {SQLITE_READONLY, "attempt to write a readonly database", BankFailureCause::ReadOnly},
        {SQLITE_PERM, "access permission denied", BankFailureCause::ReadOnly},
        // A failed write is the disk's, not a damaged file (a full disk where almost no room is left).
        {SQLITE_IOERR_WRITE, "disk I/O error", BankFailureCause::DiskError},
        {SQLITE_IOERR_FSYNC, "disk I/O error", BankFailureCause::DiskError},
        {SQLITE_CONSTRAINT, "constraint failed", BankFailureCause::Other},
        // No code: the engine's words.
        {0, "database disk image is malformed", BankFailureCause::Damaged},
        {0, "disk I/O error", BankFailureCause::DiskError},
        {0, "Field 'x' not found", BankFailureCause::Other},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ClassifyBankFailure(c.code, QString::fromLatin1(c.text), QString()), c.cause) << c.code << c.text;
}

// A page damaged where start-up does not read is met later, by a practice query: the learner hears
// that the bank is damaged, as start-up would have said, with the engine's words as the detail.
TEST(BankFailure, ADamagedPageMetLaterIsNamedAsDamage) {
    FixtureBank bank;
    const QString filler = QString(600, QChar(0x8D26)); // 账
    for (int id = 1; id <= 300; ++id)
        bank.addQuestion(id, QStringLiteral("单选题"), 1, 1, QStringLiteral("A")).jiexi = filler;
    const QString path = bank.write();
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const qint64 page = 4096;
        const qint64 victim = (file.size() / page) / 2 * page + 100; // a data page of the question table
        ASSERT_TRUE(file.seek(victim));
        file.write(QByteArray(64, '\x5A'));
    }
    BankSession session;
    session.OpenBank(path);
    setBankSession(&session);
    try {
        session.listQuery.openSql(QStringLiteral("select tigan_id, jiexi from kjks_tigan order by tigan_id"));
        for (session.listQuery.first(); !session.listQuery.eof(); session.listQuery.next())
            session.listQuery.asString(QStringLiteral("jiexi"));
        ADD_FAILURE() << "the damaged page was read without a failure";
    } catch (const std::exception &e) {
        const QString text = CurrentBankFailureText(e);
        EXPECT_TRUE(text.startsWith(QStringLiteral("题库文件已损坏"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("\n详细信息："))) << text.toStdString();
    }
    setBankSession(nullptr);
}

// A text that does not decode is the text's fault, not the bank's: reported apart from bank failures.
TEST(BankFailure, AnUndecodableTextIsNotABankFailure) {
    const TextDecodeError text(QStringLiteral("Stream read error"));
    EXPECT_TRUE(CurrentBankFailureText(text).isEmpty());
    const SqlError busy(QStringLiteral("database is locked"), SQLITE_BUSY);
    EXPECT_TRUE(CurrentBankFailureText(busy).startsWith(QStringLiteral("题库文件正被其他程序使用")));
}

} // namespace
