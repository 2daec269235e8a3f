#pragma once

class SqlDatabase;

// The indexes behind the program's counts and lists. Each holds the columns its queries filter and
// order by (and the answer column every count tests), so that no count or list of keys reads a
// question's long texts. The bank tool creates them with the tables; the program creates any that
// are missing when it opens a bank made elsewhere. They add no content.
void CreateQueryIndexes(SqlDatabase &db);
// Creates only the indexes the bank lacks (a bank that has them all is not written to); returns
// how many were created. Throws SqlError when the bank cannot be written.
int CreateMissingQueryIndexes(SqlDatabase &db);
