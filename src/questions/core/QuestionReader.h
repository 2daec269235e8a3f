#pragma once

#include "Question.h"

class Dataset;

// Reading a question from the bank into its value. Every stored text is decoded before the value is
// handed on; a text that does not decode marks the value unreadable and ends the reading there, so
// a window never shows half a set of options. The statements are the caller's: each window reads
// with its own.

// The question `id` on the current row of `row`: see ReadStem.
Question QuestionFromRow(QuestionKind kind, const Dataset &row, const QString &textColumn, int id);

// The stem on the current row of `row`: the decoded text of `textColumn`, and for analysis and case
// questions the picture (`tmimage`) and the second text (`timian2`).
void ReadStem(Question &question, const Dataset &row, const QString &textColumn);

// Adds the decoded options (`timian`, in the statement's order) that `optionsSql` reads on `cursor`.
void ReadOptions(Question &question, Dataset &cursor, const QString &optionsSql);

// Adds a case sub-question: its stored text decoded and its options read on `options`.
void AddSubQuestion(Question &question, int id, const QString &storedText, Dataset &options, const QString &optionsSql);
