#pragma once

#include <QString>
#include <exception>

// Why the bank refused a read or a write, told apart once for start-up, for a change that was not
// saved and for any other action, so that the learner hears the same cause wherever it is met.
enum class BankFailureCause {
    Damaged,   // the engine says the file is damaged or not a bank
    DiskFull,  // no room to write (said by the engine, or a failed write with almost no room left)
    Busy,      // another program holds the bank
    ReadOnly,  // the file or its folder cannot be written
    DiskError, // a read or write of the disk or device failed; the file is not known to be damaged
    Other,     // anything else the engine refused
};

// From the engine's extended result code; a failure without a code is told by the engine's words.
// `bankPath` lets a failed write be checked against the room left on its disk.
BankFailureCause ClassifyBankFailure(int engineCode, const QString &engineText, const QString &bankPath);

// The sentence the learner reads for a cause met during an action (the program keeps running).
QString BankFailureSentence(BankFailureCause cause);

// The error box text for a failure of the bank met during an action: the cause's sentence and the
// engine's words as a detail line; an exception that is not the bank's gives an empty text.
QString BankFailureText(const std::exception &failure, const QString &bankPath);
