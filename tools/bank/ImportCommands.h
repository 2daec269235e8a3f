#pragma once

#include <QString>
#include <QStringList>

// The bank tool's commands that bring a teacher's questions in and out (`import`, `export --csv`).

// `kjks-bank import FILE... SOURCE_DIR`, `... --bank BANK` (added to the bank, progress kept),
// `... --new BANK` and `... --replace BANK`.
int ImportCommand(const QStringList &args);
// `kjks-bank export --csv BANK OUT.csv` (args after --csv).
int ExportCsvCommand(const QStringList &args);
