#pragma once

#include "ImportModel.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Questions from Moodle's Aiken format (docs/kjks-bank.md): a stem, options lettered from A
// ("A. 甲", "A) 甲"; the full-width "A．", "A）" and "A、" too), and an answer line:
//
//   下列各项中，属于流动资产的是
//   A. 固定资产
//   B) 应收账款
//   ANSWER: B
//
// One letter makes a single-choice question, several ("ANSWER: AC") a multiple-choice one. Blank
// lines between questions are optional; the answer line ends a question. UTF-8 or GBK. Aiken has no
// chapters: every question goes to `chapter` ("章" or "章/节").
std::vector<ImportedQuestion> ReadAikenQuestions(const QString &label, const QByteArray &bytes, const QString &chapter,
                                                 ImportProblems *problems);

// Whether a .txt file is Aiken rather than GIFT: it has an answer line ("ANSWER:" at a line's start)
// and no "{", which every GIFT question has.
bool LooksLikeAiken(const QByteArray &bytes);
