#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class SqlDatabase;

// Copies of a bank: backups of the learner's progress, the bank kept before a restore or an
// upgrade, and the upgraded bank itself.

// The bytes the bank's pages take.
qint64 BankBytes(SqlDatabase &bank);
// Throws WriteFailureError when `target`'s folder cannot take `bytes`: "没有写入权限" for a
// read-only folder, "磁盘已满" with the room needed and the room left when its disk has less free;
// a disk that does not say its room passes.
void RequireRoomFor(const QString &target, qint64 bytes);

// Writes a consistent copy of the open bank `source` to `target` with the engine's online backup
// (page by page under the bank's key, so the copy is as encrypted as the bank and consistent even
// while the program holds the bank open). The copy is made in a temporary file beside `target`;
// `adjust`, when given, then runs on the copy (the copy is open and may be written); the copy is
// closed, flushed to the disk and renamed onto `target` only when everything succeeded. A failure
// removes the temporary file and leaves `target` as it was; it throws KjksError or SqlError, and
// WriteFailureError naming the cause when the disk is full, the folder read-only or missing. Work
// files that earlier runs for the same target left beside it are removed first (PartFiles.h).
void WriteBankCopy(SqlDatabase &source, const QString &target, const QString &key,
                   const std::function<void(SqlDatabase &copy)> &adjust = {});

// The folder beside the bank where backups go unless the learner chooses another.
QString BackupFolder(const QString &bankPath);
// "kjks-进度备份-20260516-090000.dbf": the bank's base name, what the copy is, the time.
QString BackupFileName(const QString &bankPath, const QString &purpose, const QDateTime &when);

// What a file offered for "恢复" is.
struct RestoreCheck {
    bool usable = false;
    // Why it is refused, in the learner's words, when it is not usable.
    QString refusal;
    // The questions and answers are those of the current bank (a backup of this bank, not of
    // another release); a usable file with other content may still be restored after a warning.
    bool sameContent = false;
    int questions = 0;        // questions in the file
    int currentQuestions = 0; // questions in the current bank
};
// Opens `path` for reading only with the program's key; refuses a file that is not a bank of this
// program, that lacks one of `requiredTables` or has a view in place of a table the program knows,
// whose pages are damaged (integrity check) or that holds no questions. Nothing is written to
// either bank.
RestoreCheck CheckRestoreFile(const QString &path, SqlDatabase &current, const QString &key,
                              const QStringList &requiredTables);

// Replaces the progress in the bank `current` holds open with the file at `backupPath` (which
// CheckRestoreFile found usable). The current bank is first written to `keptCopyPath`; then, in one
// transaction through the program's own connection (the windows reload what they show; a failure
// part way leaves the bank as it was), the backup's rows are read into the bank's own tables: the
// questions' progress when the backup holds the bank's questions, every question, chapter, profile
// and option row when it holds another release's; the papers and the program's own tables always.
// Nothing of the file's schema is run or copied (docs/progress.md). Throws on failure.
void RestoreBankFrom(SqlDatabase &current, const QString &backupPath, const QString &keptCopyPath, const QString &key,
                     const QStringList &requiredTables);
