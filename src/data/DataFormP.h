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

// The one data module: the bank connection and the shared queries every window borrows.
class TDataForm {
public:
    TDataForm();
    TDataForm(const TDataForm &) = delete;
    TDataForm &operator=(const TDataForm &) = delete;

    // Opens the bank named after the executable ("kjks" -> "kjks.dbf" beside it). Throws SqlError
    // when the file is missing, the password is wrong or the file is unusable, BankReadOnlyError
    // when it cannot be written; nothing is created and nothing is written.
    void DataModuleCreate(const QString &executablePath);
    // Opens a bank file directly (tests).
    void OpenBank(const QString &bankPath);

    // Fills examProfile() from kjks_type; conversion errors propagate with the runtime's text.
    void LoadExamProfile(const QString &profileId);
    // Fills the exam's length and scoring rule of examProfile() from sys_option (EXAM_MINUTES,
    // EXAM_SCORING); absent or invalid values leave the title's time and all-or-nothing scoring.
    void LoadExamOptions();
    // The value of a sys_option key (ASCII letters upper-cased), empty when missing.
    QString GetOption(const QString &name);

    SqlDatabase ADOMain;
    Dataset qryTemp;
    Dataset qry1;
    Dataset ADOSql;
    Dataset ADOSql2;
    Dataset ADOSql3;
};

// The message of a bank that cannot be used at start, naming the real cause in the learner's words
// with the engine's own text as a detail line: read-only, a full disk (the engine says so, or a
// failed read or write with almost no room left in the bank's folder), held by another program, a
// failing disk or device, damaged (only when the engine says the file is damaged), else
// "缺少数据库文件。". `bankPath` lets a failed write be checked against the room on its disk.
QString StartupFailureText(const std::exception &failure, const QString &bankPath = QString());

// The tables a bank must hold, each readable, for the program to use it.
QStringList RequiredBankTables();

// The bank path for an executable: its path with the extension replaced by ".dbf".
QString BankPathForExecutable(const QString &executablePath);

// The process's data module, set by whoever created it (start-up, tests).
TDataForm *dataForm();
void setDataForm(TDataForm *form);
