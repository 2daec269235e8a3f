#pragma once

#include <QString>

// The about box: the program's version, the bank it works on, and the licences.
struct AboutFacts {
    QString programVersion;
    // The bank's `APP_TITLE` and `BANK_VERSION` options (empty when the bank names none).
    QString bankTitle;
    QString bankVersion;
};

// The program's version as built.
QString ProgramVersion();

QString AboutText(const AboutFacts &facts);
