#pragma once

#include "Question.h"

class BankSession;

// The question `id` of a paper as the exam window shows it, read with the window's statements on
// the data module's cursors: a choice question with its options, a case sub-question with its
// options under the material of its case (reloaded for every sub-question), an analysis question
// with its picture and second text, an operation question. `storedAnswer` is the paper row's
// answer. A text that does not decode leaves the value unreadable.
Question ReadPaperQuestion(BankSession &data, QuestionKind kind, int id, const QString &storedAnswer);
