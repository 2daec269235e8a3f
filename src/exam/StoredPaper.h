#pragma once

#include "ExamEngine.h"

#include <QString>
#include <QStringList>

class BankSession;

// Reading a stored paper as it is, for "查看": nothing is cleared or written. The engine creates,
// reopens and hands in papers; these reads complement it for a paper that is only looked at or
// continued after an interruption.
namespace StoredPaper {

// The question ids of the paper's items in id order (the order reopening uses), padded with empty
// entries to `total`.
QStringList QuestionIds(BankSession &data, int paperNumber, int total);
// The score sheet of a handed-in paper from its items' stored points, as the hand-in showed it.
ScoreSheet Sheet(BankSession &data, const ExamProfile &profile, int paperNumber);

} // namespace StoredPaper
