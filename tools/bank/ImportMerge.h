#pragma once

#include "BankModel.h"
#include "LearnerProgress.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <set>
#include <vector>

// A teacher's questions put into a bank a learner already practises in (`import FILE... --bank`),
// keeping everything the learner made of it, and the explicit wholesale replacement
// (`import FILE... --replace`) that names what it drops. docs/kjks-bank.md describes both.

// The ids the teacher's file gave in its 编号 column. The import numbered the other questions
// itself; those numbers name no question of the bank.
struct GivenIds {
    std::set<int> questions;
    std::set<int> stems;
};

struct MergeReport {
    QString backupPath; // the bank as it was, in 备份/ beside it
    // The file's questions (case sub-questions included) and cases.
    int updated = 0, added = 0, unchanged = 0;
    int stemsUpdated = 0, stemsAdded = 0, stemsUnchanged = 0;
    // The bank's questions and cases the file does not name: kept as they were.
    int untouched = 0, stemsUntouched = 0;
    std::vector<int> changed;       // questions whose answer changed: counters and wrong flag start afresh
    std::vector<int> changedStems;  // cases whose answer (from their sub-questions) changed, likewise
    QStringList chaptersAdded;      // "章" for a chapter, "章/节" for a section
    std::vector<int> papersDropped; // papers holding a question whose answer changed, by shown number
    int appRowsDropped = 0;         // rows of the program's own tables about those questions or papers
    QStringList profileLines;       // what became of the exam profile when it was not simply kept
    std::set<int> casesFound;       // the file's cases (by the import's ids) found in the bank
};

// Puts the questions and cases of `imported` (an import's model, AssembleImport) into the bank at
// `bankPath`. A question is the bank's question of the same id when the file gave the id, else the
// bank's question of the same type and question text (a sub-question: within the same case, a case:
// of the same material); it is updated in place and keeps its progress, unless its answer changed:
// then its counters and wrong flag start afresh, its favourite stays, and the papers and the
// program's rows about it go. Other questions are added with new ids; nothing else of the bank
// changes. Chapters and sections the bank lacks are added. The bank is first copied into 备份/
// beside it (named with `now`); the change is one transaction, so a failure leaves the bank as it
// was. Throws KjksError with a Chinese message.
MergeReport MergeIntoBank(const BankModel &imported, const GivenIds &given, const QString &bankPath,
                          const QDateTime &now);

// The report in the teacher's words, one line each.
QStringList MergeReportLines(const MergeReport &report);

struct ReplaceReport {
    QString backupPath;
    ProgressSummary dropped; // the learner's progress the old bank held
};

// Writes `imported` over the existing bank at `bankPath` after copying it into 备份/; the learner's
// progress goes with the old questions. Refuses a file that is no bank of this program. Throws
// KjksError with a Chinese message; a failure leaves the bank as it was.
ReplaceReport ReplaceBank(const BankModel &imported, const QString &bankPath, const QDateTime &now);

QStringList ReplaceReportLines(const ReplaceReport &report);
