#pragma once

#include "ImportModel.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Questions from Moodle's GIFT format, the subset that maps onto the bank (docs/kjks-bank.md):
//
//   $CATEGORY: $course$/top/第一章 会计概述/第一节 会计概念    chapter and section (the last two parts)
//   // comment
//   ::title:: stem {=right ~wrong#feedback ~wrong ####general feedback}   single choice
//   stem {~%50%right ~%50%right ~%-100%wrong}                            multiple choice
//   stem {T}  {F}  {TRUE}  {FALSE}                                       true/false
//
// Questions are separated by blank lines; \: \# \= \~ \{ \} \\ stand for the characters themselves and
// \n for a line break. Feedback (#) of the right answers and general feedback (####) become the
// explanation. Other GIFT kinds (short answer, matching, numerical, essay) are refused by name.
std::vector<ImportedQuestion> ReadGiftQuestions(const QString &label, const QByteArray &bytes,
                                                ImportProblems *problems);
