#pragma once

#include "BankModel.h"
#include "QuestionTypes.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The mechanical rules a bank's content must keep, stated once over the in-memory model: the source
// reader reports them at the author's file and line, `kjks-bank check` at the row of a built bank.

// Question type names as the bank stores them (the program's one vocabulary).
namespace banktypes {
inline QString single() {
    return QuestionTypeName(QuestionType::Single);
}
inline QString multiple() {
    return QuestionTypeName(QuestionType::Multiple);
}
inline QString judgement() {
    return QuestionTypeName(QuestionType::Judgement);
}
inline QString operation() {
    return OperationBankTypeName();
}
inline QString caseQuestion() {
    return CaseStemTypeName();
}
inline QString randomPool() {
    return QStringLiteral("随机");
}
} // namespace banktypes

// One broken rule, named by the row it sits in. `column` is the column at fault (empty: the row as a
// whole); for "option" `option` is the 0-based index of the option.
struct BankProblem {
    QString table;
    QString key;
    QString column;
    int option = -1;
    QString message;
    // The program cannot use the row (a text it cannot store, a chapter code it cannot read, a
    // profile it cannot load): the build refuses it. Every other broken rule is a warning: the
    // program reads such a row, so a bank holding one must build back from its export.
    bool unusable = false;
};

// "kjks_tigan 1001 daan: answer letter E is beyond the 4 options"
QString ProblemText(const BankProblem &problem);

// Every rule the rows of a bank must keep on their own, whatever its exam profile: answers within
// the options and in option order, case stems and their sub-questions, chapter tree and sections,
// texts that the encoded columns can hold, readable pictures, paper items that point at rows.
std::vector<BankProblem> ValidateBankModel(const BankModel &model);

// Empty when `daan` is a well-formed answer for a question of this type with `optionCount`
// options, else what is wrong with it.
QString AnswerProblem(const QString &tixing, bool subQuestion, const QString &daan, int optionCount);

// Empty when GBK can hold every character of `text`, else a message naming the first that it cannot.
QString GbkProblem(const QString &text);

// True when Qt's image readers read the bytes as a picture.
bool IsReadableImage(const QByteArray &bytes);

// Section code of a question: "01", chapter and section as two digits each; empty when a number
// does not fit in two digits.
QString SectionCode(int zhang, int jie);

// Sub-questions of each stem in id order, as StemAnswer wants them.
std::map<int, std::vector<const BankQuestion *>> SubQuestionsByStem(const BankModel &model);
