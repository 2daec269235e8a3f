#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class SqlDatabase;

// What a learner made in a bank, as opposed to its content. The one list that the upgrade of a bank
// (kjks-bank upgrade), "重新开始" and the backups' checks share; docs/progress.md explains it.

// A question table that keeps progress on its rows, and its key column.
struct ProgressTable {
    QString table;
    QString key;
};
// kjks_tigan (tigan_id) and zongtigan (ID).
const std::vector<ProgressTable> &QuestionProgressTables();

// A progress column of those tables and its value in a fresh bank.
struct ProgressColumn {
    QString name;
    QVariant fresh;
    // Says something about the question's answer (the counters and the wrong flag): it does not
    // carry over to a question whose answer changed. A favourite does.
    bool followsAnswer = true;
};
// YDCS, DDCS, shoucang, ZQCS, ZONGCS.
const std::vector<ProgressColumn> &QuestionProgressColumns();
// The column names, in list order, joined for a select ("YDCS, DDCS, ...").
QString ProgressColumnList();
// True when every progress value of a row (in list order) is its fresh value. Flags compare as
// text, counters as numbers, so "0" and 0 and NULL counters all count as fresh.
bool IsFreshProgress(const std::vector<QVariant> &values);

// The mock-exam papers are progress whole: every kjks_SJML row and every shijuan row of a paper
// (sjID <> 0). The practice answer row (sjID 0) belongs to the bank.
QString PaperCatalogueTable();
QString PaperItemTable();

// The program's own tables (names starting with "kjks_app_"), read from the bank's schema, so a
// table added by a later version is progress too. Their rows are progress; their settings as well.
// The chapter tree's kept counts are not: they follow the questions' progress columns by themselves
// (ProgressCounts.h), so start over and an upgrade neither clear nor carry them.
QStringList AppTables(SqlDatabase &db);

// What "重新开始" would clear.
struct ProgressSummary {
    int answered = 0;   // questions and case stems answered at least once
    int wrong = 0;      // in the wrong-question set
    int favourites = 0; // marked as favourite
    int papers = 0;     // mock-exam papers
    int appRows = 0;    // rows of the program's own tables (exam times, reviews, ...)
    bool empty() const { return answered + wrong + favourites + papers + appRows == 0; }
};
ProgressSummary SummariseProgress(SqlDatabase &db);
// The confirmation that names what is lost.
QString ClearConfirmationText(const ProgressSummary &summary);

// Puts every progress value back to its fresh value in one transaction: question columns fresh,
// papers and their items deleted, the practice answer row emptied, every row of the program's own
// tables deleted. Content (questions, options, chapters, profiles, options) is not touched.
void ClearProgress(SqlDatabase &db);
