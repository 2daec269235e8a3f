#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Carrying a learner's progress from the bank of an older release onto the bank of a new one.

struct UpgradeReport {
    int questionsCarried = 0;        // questions and case stems whose progress was carried
    std::vector<int> withdrawn;      // questions with progress that the new bank no longer has
    std::vector<int> withdrawnStems; // case stems likewise
    std::vector<int> changed;        // questions with progress whose answer changed: counters reset
    std::vector<int> changedStems;   // case stems likewise
    int papersCarried = 0;           // mock-exam papers carried with their items
    std::vector<int> papersDropped;  // papers holding a withdrawn or changed question, by shown number
    int appRowsCarried = 0;          // rows of the program's own tables
    int appRowsDropped = 0;          // rows of those tables about a question or paper not carried
};

// Writes OUT: the new bank's content with every learner-made value of the old bank put onto the
// same question ids (docs/progress.md). The old and the new bank are opened for reading only and
// never written; OUT is made in a temporary file beside it and renamed into place only when all
// succeeded, so a failure leaves OUT as it was (or absent). Throws KjksError/SqlError with a
// Chinese message.
UpgradeReport UpgradeBank(const QString &oldBank, const QString &newBank, const QString &outBank);

// The report in the learner's words, one line each.
QStringList UpgradeReportLines(const UpgradeReport &report);

// The command: `upgrade OLD NEW OUT`; prints the report and returns the exit status.
int upgradeCommand(const QStringList &args);
