#pragma once

#include "BankModel.h"

#include <QString>

class SqlDatabase;

// Writes the model as a new encrypted bank at `path`: built in a temporary file beside it and
// renamed over it only when everything succeeded, so no half-written bank is ever left behind.
// Throws KjksError (or SqlError) with a message naming what failed.
void WriteBank(const BankModel &model, const QString &path);

// Inserts the model's rows into an open bank that already has the schema (one transaction).
void InsertBankRows(SqlDatabase &db, const BankModel &model);
