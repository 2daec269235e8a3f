#pragma once

#include "QuestionTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// How a question is presented and answered.
enum class QuestionKind { Single, Multiple, Judgement, Analysis, Operation, Case };

// A case sub-question: its id, its decoded text and its decoded option texts in option order.
struct SubQuestion {
    int id = 0;
    QString text;
    QStringList options;
};

// One question as the learner sees it, read from the bank with every stored text decoded.
struct Question {
    QuestionKind kind = QuestionKind::Single;
    int id = 0;          // tigan_id; a whole case stem: its id
    QString stem;        // decoded; a case: the case material
    QStringList options; // choice questions: decoded option texts in option order
    QByteArray picture;  // tmimage as stored (a JPEG picture); empty for none
    QString secondText;  // timian2 as stored
    // A case: the sub-questions shown with it (practice shows all of them, the exam the one at the
    // paper position).
    std::vector<SubQuestion> subQuestions;
    QString storedAnswer; // the learner's answer the bank holds for it; empty for none
    // A text could not be decoded: what was read before it is there, nothing after it.
    bool unreadable = false;
};

// The kind of the fourth type's questions under the profile's name; nothing for a name the
// program does not present.
std::optional<QuestionKind> FourthQuestionKind(const QString &fourthTypeName);

// "A、text": an option's caption, its letter joined to its text.
QString OptionCaption(int index, const QString &text);
// Stems of analysis, operation and case questions put each blank-separated piece on its own line.
QString BlanksToLines(QString text);

// The answer the ticked controls of a question make: a single choice the letter of the first
// ticked option, multiple choices and case sub-questions the letters of all ticked options in option
// order, a judgement "√" for the first control and "×" for the second; empty when nothing is ticked.
QString AnswerOf(QuestionKind kind, const std::vector<bool> &ticked);
// The controls an answer in that form ticks, in the order of its characters; characters that name
// no control are left out.
std::vector<int> TickedBy(QuestionKind kind, const QString &answer, int controls);
