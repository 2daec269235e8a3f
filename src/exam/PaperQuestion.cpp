#include "PaperQuestion.h"

#include "BankSession.h"
#include "ExamQuestionSql.h"
#include "QuestionReader.h"

namespace {

// The column that holds a question's text.
QString textColumn() {
    return QStringLiteral("timian");
}

Question readChoice(BankSession &data, QuestionKind kind, int id) {
    Dataset &row = data.rowQuery;
    switch (kind) {
    case QuestionKind::Single:
        row.openSql(SingleQuestionSql(id));
        break;
    case QuestionKind::Multiple:
        row.openSql(MultipleQuestionSql(id));
        break;
    default:
        row.openSql(JudgementQuestionSql(id));
        return QuestionFromRow(kind, row, textColumn(), id);
    }
    Question question = QuestionFromRow(kind, row, textColumn(), id);
    ReadOptions(question, data.detailQuery, ChoiceOptionsSql(id));
    return question;
}

Question readCase(BankSession &data, int id) {
    Question question;
    question.kind = QuestionKind::Case;
    question.id = id;
    Dataset &row = data.rowQuery;
    row.openSql(CaseQuestionSql(id));
    const QString caseKey = row.asString(QStringLiteral("zongtimian"));
    AddSubQuestion(question, id, row.asString(textColumn()), data.detailQuery, CaseOptionsSql(id));
    bool numbered = false;
    const int caseId = caseKey.toInt(&numbered);
    if (!numbered) return question;
    row.openSql(CaseStemSql(caseId));
    if (!row.isEmpty()) ReadStem(question, row, QStringLiteral("zongtimian"));
    return question;
}

} // namespace

Question ReadPaperQuestion(BankSession &data, QuestionKind kind, int id, const QString &storedAnswer) {
    Question question;
    switch (kind) {
    case QuestionKind::Single:
    case QuestionKind::Multiple:
    case QuestionKind::Judgement:
        question = readChoice(data, kind, id);
        break;
    case QuestionKind::Case:
        question = readCase(data, id);
        break;
    case QuestionKind::Analysis:
        data.rowQuery.openSql(AnalysisQuestionSql(id));
        question = QuestionFromRow(kind, data.rowQuery, textColumn(), id);
        break;
    case QuestionKind::Operation:
        data.rowQuery.openSql(OperationQuestionSql(id));
        question = QuestionFromRow(kind, data.rowQuery, textColumn(), id);
        break;
    }
    question.storedAnswer = storedAnswer;
    return question;
}
