#pragma once

#include <QString>

class SqlDatabase;

// The chapter tree's progress counts, kept in the bank so that a click sums a few hundred rows
// instead of counting the questions. For kjks_tigan, per stored (zhang, jie, tixing, YDCS), and for
// the case stems (zongtigan), per stored (zhang, jie, YDCS), the number of rows with an answer
// (daan <> ""); kjks_tigan's rows also keep the statistics page's sums of those questions'
// attempts, right answers, wrong flags and favourites. The tables are made from the question tables themselves, so
// their chapter, section, type and YDCS columns compare exactly as the question tables' do ("zhang = 3" against a TEXT
// or an INTEGER column, "YDCS = "0"" against text or numbers).
//
// Triggers on both question tables, made in the same transaction as the tables, adjust the counts
// inside every write's own transaction, whoever writes (practice, the exam, start over, the bank
// tool). The counts are kept while both tables and all their triggers exist; anything that drops a
// question table drops its triggers with it, and a bank made elsewhere has neither, so the
// program's opening finds out by reading the schema (docs/performance.md says more).

QString QuestionCountsTable(); // kjks_app_progress_counts
QString StemCountsTable();     // kjks_app_stem_progress_counts

// True when the counts tables are derived data, not progress: start over, backups' summaries and
// the upgrade of a bank leave them to this module.
bool IsProgressCountsTable(const QString &table);

// Both tables and their triggers exist, and the tables were not emptied behind the triggers' back
// (a table without rows while the bank has questions with an answer). Reads the schema and at
// most two rows.
bool ProgressCountsKept(SqlDatabase &db);
// Drops the tables and their triggers, then makes them again from the question tables, all in one
// transaction (a savepoint inside the caller's, if any). Throws SqlError when the bank cannot be
// written.
void RebuildProgressCounts(SqlDatabase &db);
// Rebuilds unless the counts are kept; returns true when it rebuilt.
bool EnsureProgressCounts(SqlDatabase &db);
// Drops the tables and their triggers (a bulk change that rebuilds them after).
void DropProgressCounts(SqlDatabase &db);
