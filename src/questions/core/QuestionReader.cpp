#include "QuestionReader.h"

#include "Dataset.h"
#include "QuestionText.h"
#include "SqlError.h"

namespace {

// Decodes `stored` into `text`; false, and the question marked unreadable, when it does not decode.
bool decode(Question &question, const QString &stored, QString &text) {
    try {
        text = DecodeQuestionText(stored);
        return true;
    } catch (const TextDecodeError &) {
        question.unreadable = true;
        return false;
    }
}

QStringList optionTexts(Question &question, Dataset &cursor, const QString &optionsSql) {
    cursor.openSql(optionsSql);
    QStringList texts;
    for (cursor.first(); !cursor.eof(); cursor.next()) {
        QString text;
        if (!decode(question, cursor.asString(QStringLiteral("timian")), text)) return {};
        texts << text;
    }
    return texts;
}

} // namespace

Question QuestionFromRow(QuestionKind kind, const Dataset &row, const QString &textColumn, int id) {
    Question question;
    question.kind = kind;
    question.id = id;
    ReadStem(question, row, textColumn);
    return question;
}

void ReadStem(Question &question, const Dataset &row, const QString &textColumn) {
    if (question.unreadable) return;
    if (question.kind == QuestionKind::Analysis || question.kind == QuestionKind::Case) {
        question.picture = row.asBytes(QStringLiteral("tmimage"));
        question.secondText = row.asString(QStringLiteral("timian2"));
    }
    decode(question, row.asString(textColumn), question.stem);
}

void ReadOptions(Question &question, Dataset &cursor, const QString &optionsSql) {
    if (question.unreadable) return;
    question.options = optionTexts(question, cursor, optionsSql);
}

void AddSubQuestion(Question &question, int id, const QString &storedText, Dataset &options,
                    const QString &optionsSql) {
    if (question.unreadable) return;
    SubQuestion sub;
    sub.id = id;
    if (decode(question, storedText, sub.text)) sub.options = optionTexts(question, options, optionsSql);
    if (question.unreadable)
        question.subQuestions.clear(); // no half case either
    else
        question.subQuestions.push_back(sub);
}
