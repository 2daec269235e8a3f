#include "PaperQuestion.h"

#include "DataFormP.h"
#include "ExamQuestionSql.h"
#include "QuestionReader.h"

namespace {

QString text() {
    return QStringLiteral("timian");
}

Question readChoice(TDataForm &data, QuestionKind kind, int id) {
    Dataset &row = data.ADOSql2;
    switch (kind) {
    case QuestionKind::Single:
        row.openSql(SingleQuestionSql(id));
        break;
    case QuestionKind::Multiple:
        row.openSql(MultipleQuestionSql(id));
        break;
    default:
        row.openSql(JudgementQuestionSql(id));
        return QuestionFromRow(kind, row, text(), id);
    }
    Question question = QuestionFromRow(kind, row, text(), id);
    ReadOptions(question, data.ADOSql3, ChoiceOptionsSql(id));
    return question;
}

Question readCase(TDataForm &data, int id) {
    Question question;
    question.kind = QuestionKind::Case;
    question.id = id;
    Dataset &row = data.ADOSql2;
    row.openSql(CaseQuestionSql(id));
    const QString caseKey = row.asString(QStringLiteral("zongtimian"));
    AddSubQuestion(question, id, row.asString(text()), data.ADOSql3, CaseOptionsSql(id));
    bool numbered = false;
    const int caseId = caseKey.toInt(&numbered);
    if (!numbered) return question;
    row.openSql(CaseStemSql(caseId));
    if (!row.isEmpty()) ReadStem(question, row, QStringLiteral("zongtimian"));
    return question;
}

} // namespace

Question ReadPaperQuestion(TDataForm &data, QuestionKind kind, int id, const QString &storedAnswer) {
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
        data.ADOSql2.openSql(AnalysisQuestionSql(id));
        question = QuestionFromRow(kind, data.ADOSql2, text(), id);
        break;
    case QuestionKind::Operation:
        data.ADOSql2.openSql(OperationQuestionSql(id));
        question = QuestionFromRow(kind, data.ADOSql2, text(), id);
        break;
    }
    question.storedAnswer = storedAnswer;
    return question;
}
