#pragma once

// What the importers' fuzz targets demand of a read: refusals that name their file (or the exam
// as a whole), and an assembled model without a problem that the bank's own rules would find.
#include "BankRules.h"
#include "ImportModel.h"

#include <QRegularExpression>
#include <cstdlib>

inline void CheckImport(const std::vector<ImportedQuestion> &questions, ImportProblems problems) {
    static const QRegularExpression located(QStringLiteral("^t\\.(csv|gift|aiken|xlsx)(:[0-9]+)?: \\S"));
    for (const QString &p : problems.lines())
        if (!located.match(p).hasMatch()) std::abort();
    if (!problems.isEmpty()) return;
    QStringList warnings;
    const BankModel model = AssembleImport(questions, &problems, &warnings);
    if (problems.isEmpty() && !ValidateBankModel(model).empty()) std::abort();
}
