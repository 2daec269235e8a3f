#pragma once

class SqlDatabase;

// Creates the bank's tables in an empty database; the writer adds the query indexes once the rows
// are in. The program itself never creates or alters tables; only the bank tool and test fixtures
// call this.
void CreateBankSchema(SqlDatabase &db);
