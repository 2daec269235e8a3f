#pragma once

#include <QString>
#include <QStringList>

class SqlDatabase;

// The program's own tables (names starting with "kjks_app_") as this version defines them: the
// kept time of unfinished papers, the learner's settings, the review log and the review state.
// Every table, index and trigger the program keeps in a bank is made from a definition of the
// program; a bank from elsewhere (a backup, an older release's bank) brings rows, never the
// statements that made its tables.

// Makes `table` and its indexes when missing. Throws KjksError for a table this version does not
// define.
void EnsureAppTable(SqlDatabase &db, const QString &table);
// True when this version defines `table` (compared without case, as the engine compares names).
bool IsDefinedAppTable(const QString &table);
// The names this version defines.
QStringList DefinedAppTables();
