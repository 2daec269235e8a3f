#pragma once

#include "Dataset.h"
#include "SqlDatabase.h"
#include "SqlError.h"

#include <QString>
#include <exception>

// The bank password.
inline constexpr char kBankPassword[] = "#k7qm";

// The bank can be read but not written: every answer would be lost, so it is not opened.
class BankReadOnlyError : public KjksError {
public:
    using KjksError::KjksError;
};

// Exam profile 1 cannot be run (a count or points that is no number, a section of 0 questions, no
// profile at all). The message keeps the runtime's text; reason() names the fault for the learner.
class ExamProfileError : public KjksError {
public:
    ExamProfileError(const QString &runtimeText, const QString &reason) : KjksError(runtimeText), m_reason(reason) {}
    const QString &reason() const { return m_reason; }

private:
    QString m_reason;
};

// The one data module: the bank connection and the shared queries every window borrows.
class BankSession {
public:
    BankSession();
    BankSession(const BankSession &) = delete;
    BankSession &operator=(const BankSession &) = delete;

    // Opens the bank named after the executable ("kjks" -> "kjks.dbf" beside it). Throws SqlError
    // when the file is missing, the password is wrong or the file is unusable, BankReadOnlyError
    // when it cannot be written; nothing is created and nothing is written.
    void OpenBesideExecutable(const QString &executablePath);
    // Opens a bank file directly (tests).
    void OpenBank(const QString &bankPath);

    // Fills examProfile() from kjks_type; conversion errors propagate as ExamProfileError with the
    // runtime's text.
    void LoadExamProfile(const QString &profileId);
    // Fills the exam's length and scoring rule of examProfile() from sys_option (EXAM_MINUTES,
    // EXAM_SCORING); absent or invalid values leave the title's time and all-or-nothing scoring.
    void LoadExamOptions();
    // The value of a sys_option key (ASCII letters upper-cased), empty when missing.
    QString GetOption(const QString &name);

    SqlDatabase db;
    Dataset optionQuery;
    Dataset profileQuery;
    Dataset listQuery;
    Dataset rowQuery;
    Dataset detailQuery;
};

// The message of a bank that cannot be used at start, naming the real cause in the learner's words
// with the engine's own text as a detail line: read-only, a full disk (the engine says so, or a
// failed read or write with almost no room left in the bank's folder), held by another program, a
// failing disk or device, damaged (only when the engine says the file is damaged), else
// an exam profile the program cannot run (named), else "缺少数据库文件。". `bankPath` lets a failed write be checked
// against the room on its disk.
QString StartupFailureText(const std::exception &failure, const QString &bankPath = QString());

// The error box text for a failure of the open bank met during an action (see BankFailureText);
// empty for a failure that is not the bank's.
QString CurrentBankFailureText(const std::exception &failure);

// The tables a bank must hold, each readable, for the program to use it.
QStringList RequiredBankTables();

// The bank path for an executable: its path with the extension replaced by ".dbf".
QString BankPathForExecutable(const QString &executablePath);

// The process's data module, set by whoever created it (start-up, tests).
BankSession *bankSession();
void setBankSession(BankSession *form);
