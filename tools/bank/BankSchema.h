#pragma once

class SqlDatabase;

// Creates the bank's tables and indexes in an empty database. The program itself never creates
// or alters tables; only the bank tool and test fixtures call this.
void CreateBankSchema(SqlDatabase &db);
