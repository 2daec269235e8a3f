#include "BankCopy.h"

#include "BankRows.h"
#include "LearnerProgress.h"
#include "PartFiles.h"
#include "ProgressCounts.h"
#include "SqlDatabase.h"
#include "SqlError.h"
#include "Transaction.h"
#include "WriteFailure.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

void removeWithCompanions(const QString &path) {
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QString::fromLatin1(suffix));
}

// The file's bytes and its folder entry reach the disk before the caller goes on.
void flushToDisk(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (fd >= 0) ::close(fd);
        throw KjksError(QStringLiteral("无法把副本写入磁盘：") + QDir::toNativeSeparators(path));
    }
    ::close(fd);
}

void flushFolder(const QString &folder) {
    const QByteArray name = QFile::encodeName(folder);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return; // the rename itself has happened; a folder that cannot be synced is no failure
    ::fsync(fd);
    ::close(fd);
}

void copyPages(SqlDatabase &source, SqlDatabase &copy) {
    sqlite3_backup *backup = sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
    if (!backup)
        throw SqlError(QString::fromUtf8(sqlite3_errmsg(copy.handle())), sqlite3_extended_errcode(copy.handle()));
    int rc;
    int waits = 0;
    // Another connection writing the bank holds it for a moment: wait as the program's statements do.
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (rc != SQLITE_OK && ++waits * 50 > SqlDatabase::kBusyTimeoutMs) break;
        if (rc != SQLITE_OK) sqlite3_sleep(50);
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw SqlError(QString::fromUtf8(sqlite3_errstr(rc)) + QStringLiteral(" (copying the bank)"), rc);
}

// A text that identifies the questions and answers of a bank.
QByteArray contentFingerprint(SqlDatabase &db, int *questions) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto rows = db.select(QStringLiteral("select tigan_id, tixing, daan, timian, zongtimian from kjks_tigan "
                                               "order by tigan_id"));
    *questions = int(rows.size());
    for (const auto &row : rows)
        for (const QVariant &v : row)
            hash.addData((v.toString() + QLatin1Char('\x1f')).toUtf8());
    for (const auto &row : db.select(QStringLiteral("select ID, daan, zongtimian from zongtigan order by ID")))
        for (const QVariant &v : row)
            hash.addData((v.toString() + QLatin1Char('\x1f')).toUtf8());
    return hash.result();
}

// Every row of `table` in `to` replaced by the rows of `from`.
void replaceRows(SqlDatabase &from, SqlDatabase &to, const QString &table) {
    to.exec(QStringLiteral("delete from ") + QuotedName(table));
    CopyTableRows(from, to, table);
}

// The progress columns of every question and case stem set to the backup's, for a backup whose
// questions are the bank's own; only rows whose values differ are written.
void restoreQuestionProgress(SqlDatabase &from, SqlDatabase &to) {
    const auto &columns = QuestionProgressColumns();
    for (const ProgressTable &t : QuestionProgressTables()) {
        QStringList sets, differs;
        for (const ProgressColumn &c : columns) {
            sets << c.name + QStringLiteral(" = ?");
            differs << c.name + QStringLiteral(" is not ?");
        }
        PreparedStatement update(
            to, QStringLiteral("update %1 set %2 where %3 = ? and (%4)")
                    .arg(t.table, sets.join(QStringLiteral(", ")), t.key, differs.join(QStringLiteral(" or "))));
        PreparedStatement read(from, QStringLiteral("select %1, %2 from %3").arg(t.key, ProgressColumnList(), t.table));
        std::vector<QVariant> values;
        read.forEachRow([&](const std::vector<QVariant> &row) {
            values.assign(row.begin() + 1, row.end());
            values.push_back(row[0]);
            values.insert(values.end(), row.begin() + 1, row.end());
            update.exec(values);
        });
    }
}

QString detailLine(const std::exception &e) {
    return QStringLiteral("\n详细信息：") + QString::fromUtf8(e.what());
}

} // namespace

qint64 BankBytes(SqlDatabase &bank) {
    const auto pages = bank.select(QStringLiteral("PRAGMA page_count"));
    const auto size = bank.select(QStringLiteral("PRAGMA page_size"));
    if (pages.empty() || size.empty()) return 0;
    return pages[0][0].toLongLong() * size[0][0].toLongLong();
}

void RequireRoomFor(const QString &target, qint64 bytes) {
    const WriteFolderState folder = ProbeWriteFolder(QFileInfo(target).absolutePath());
    if (folder.readOnly)
        throw WriteFailureError(WriteFailureMessage(WriteFailureCause::ReadOnly, target, folder, QString()));
    if (folder.bytesAvailable < 0 || folder.bytesAvailable >= bytes) return;
    throw WriteFailureError(WriteFailureMessage(WriteFailureCause::DiskFull, target, folder, QString(), bytes));
}

void WriteBankCopy(SqlDatabase &source, const QString &target, const QString &key,
                   const std::function<void(SqlDatabase &copy)> &adjust) {
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder)) {
        const WriteFolderState state = ProbeWriteFolder(folder);
        if (state.readOnly)
            throw WriteFailureError(WriteFailureMessage(WriteFailureCause::ReadOnly, target, state, QString()));
        throw KjksError(QStringLiteral("无法创建文件夹：") + QDir::toNativeSeparators(folder));
    }
    // The copy is written through the engine's log and then folded into its file: for a moment
    // it takes twice the bank's size.
    const qint64 needed = 2 * BankBytes(source);
    RemoveLeftoverParts(info.absoluteFilePath());
    RequireRoomFor(info.absoluteFilePath(), needed);
    QString temp;
    {
        QTemporaryFile file(folder + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX.part"));
        file.setAutoRemove(false);
        if (!file.open()) {
            ThrowIfWriteFailure(info.absoluteFilePath(), KjksError(file.errorString()), needed);
            throw KjksError(QStringLiteral("无法在该位置写入文件：") + QDir::toNativeSeparators(folder) +
                            QStringLiteral("\n详细信息：") + file.errorString());
        }
        temp = file.fileName();
    }
    const PartInUse inUse(temp);
    try {
        {
            SqlDatabase copy;
            copy.create(temp, key);
            copyPages(source, copy);
            if (adjust) adjust(copy);
            copy.close(); // the last connection folds the log back into the file
        }
        if (QFileInfo::exists(temp + QStringLiteral("-wal")))
            throw KjksError(QStringLiteral("副本的日志没有并回文件：") + QDir::toNativeSeparators(temp));
        // A temporary file is private; the copy gets the permissions of the file it replaces, or
        // those of an ordinary file.
        const QFileDevice::Permissions ordinary =
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        QFile::setPermissions(temp, info.exists() ? QFile::permissions(info.absoluteFilePath()) : ordinary);
        flushToDisk(temp);
        if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(info.absoluteFilePath()).constData()) != 0)
            throw KjksError(QStringLiteral("无法写入文件：") + QDir::toNativeSeparators(info.absoluteFilePath()));
        flushFolder(folder);
    } catch (...) {
        RethrowTellingCause(
            info.absoluteFilePath(), [&] { removeWithCompanions(temp); }, needed);
    }
}

QString BackupFolder(const QString &bankPath) {
    return QFileInfo(bankPath).absolutePath() + QStringLiteral("/备份");
}

QString BackupFileName(const QString &bankPath, const QString &purpose, const QDateTime &when) {
    return QFileInfo(bankPath).completeBaseName() + QLatin1Char('-') + purpose + QLatin1Char('-') +
           when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".dbf");
}

RestoreCheck CheckRestoreFile(const QString &path, SqlDatabase &current, const QString &key,
                              const QStringList &requiredTables) {
    RestoreCheck check;
    if (QFileInfo(path).canonicalFilePath() == QFileInfo(current.path()).canonicalFilePath()) {
        check.refusal = QStringLiteral("所选文件就是正在使用的题库，不能用它恢复。");
        return check;
    }
    SqlDatabase file;
    try {
        file.openReadOnly(path, key, requiredTables);
    } catch (const std::exception &e) {
        check.refusal = QStringLiteral("所选文件不是本程序的题库备份，或已经损坏，不能用它恢复。当前题库没有改动。") +
                        detailLine(e);
        return check;
    }
    try {
        const QString refusal = ForeignBankRefusal(file, requiredTables);
        if (!refusal.isEmpty()) {
            check.refusal = refusal + QStringLiteral("当前题库没有改动。");
            return check;
        }
        const auto verdict = file.select(QStringLiteral("PRAGMA integrity_check"));
        if (verdict.empty() || verdict[0][0].toString() != QStringLiteral("ok")) {
            check.refusal = QStringLiteral("备份文件已损坏（完整性检查未通过），不能用它恢复。当前题库没有改动。") +
                            QStringLiteral("\n详细信息：") + (verdict.empty() ? QString() : verdict[0][0].toString());
            return check;
        }
        const QByteArray theirs = contentFingerprint(file, &check.questions);
        const QByteArray ours = contentFingerprint(current, &check.currentQuestions);
        if (check.questions == 0) {
            check.refusal =
                QStringLiteral("所选文件中没有题目，不是本程序的题库备份，不能用它恢复。当前题库没有改动。");
            return check;
        }
        check.sameContent = theirs == ours;
    } catch (const std::exception &e) {
        check.refusal = QStringLiteral("备份文件已损坏，不能用它恢复。当前题库没有改动。") + detailLine(e);
        return check;
    }
    check.usable = true;
    return check;
}

void RestoreBankFrom(SqlDatabase &current, const QString &backupPath, const QString &keptCopyPath, const QString &key,
                     const QStringList &requiredTables) {
    SqlDatabase backup;
    backup.openReadOnly(backupPath, key, requiredTables);
    const QString refusal = ForeignBankRefusal(backup, requiredTables);
    if (!refusal.isEmpty()) throw KjksError(refusal + QStringLiteral("当前题库没有改动。"));
    // The kept copy and the backup's rows both pass through the engine's log: the room for twice
    // each is asked for before anything is written.
    RequireRoomFor(current.path(), 2 * (BankBytes(current) + BankBytes(backup)));
    WriteBankCopy(current, keptCopyPath, key);
    int questions = 0;
    const bool sameContent = contentFingerprint(backup, &questions) == contentFingerprint(current, &questions);
    // Through the program's own connection and statements, in one transaction: every statement and
    // query of the windows stays valid, a failure part way leaves the bank as it was, and the bank
    // keeps the program's own tables, indexes and triggers whatever the file holds.
    {
        ScopedTransaction unit(current);
        if (sameContent) {
            restoreQuestionProgress(backup, current);
        } else {
            // A backup of another release: its questions replace the bank's. The chapter tree's
            // counts are made again afterwards instead of being moved row by row.
            DropProgressCounts(current);
            for (const QString &table : requiredTables)
                if (table != PaperCatalogueTable() && table != PaperItemTable()) replaceRows(backup, current, table);
        }
        replaceRows(backup, current, PaperCatalogueTable());
        replaceRows(backup, current, PaperItemTable());
        for (const QString &table : AppTables(current))
            current.exec(QStringLiteral("delete from ") + QuotedName(table));
        for (const QString &table : AppTables(backup)) {
            MakeTableFor(backup, current, table);
            CopyTableRows(backup, current, table);
        }
        unit.commit();
    }
    // The restore itself is done when the counts cannot be made: the tree then counts the questions.
    try {
        EnsureProgressCounts(current);
    } catch (const SqlError &) {
    }
}
