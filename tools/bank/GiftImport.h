#pragma once

#include "ImportModel.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Questions from Moodle's GIFT format, read as Moodle reads them where the bank can hold the
// result (docs/kjks-bank.md):
//
//   $CATEGORY: $course$/top/第一章 会计概述/第一节 会计概念    chapter and section (the last two parts)
//   // comment
//   ::title:: stem {=right ~wrong#feedback ~%50%half ####general feedback}   single choice (one =)
//   stem {~%50%right ~%50%right ~%-100%wrong}                               multiple choice
//   stem {T}  {F}  {TRUE}  {FALSE}                                          true/false
//   ::title::[html]<p>stem</p>{…}                                           texts in [html], [moodle],
//                                                                           [markdown] or [plain]
//
// Questions are separated by blank lines; \: \# \= \~ \{ \} \\ stand for the characters themselves and
// \n for a line break. Feedback (#) of the right answers and general feedback (####) become the
// explanation. Marked-up texts become plain text; a picture (<img>) is refused. Questions before
// any $CATEGORY go to `uncategorised` ("章" or "章/节"). Other GIFT kinds (short answer, matching,
// numerical, essay) are refused by name.
std::vector<ImportedQuestion> ReadGiftQuestions(const QString &label, const QByteArray &bytes,
                                                const QString &uncategorised, ImportProblems *problems);
