#include "ExamQuestionSql.h"

namespace {
QString n(int value) {
    return QString::number(value);
}
} // namespace

QString SingleQuestionSql(int id) {
    return QStringLiteral("select timian,tigan_id,shoucang,daan from kjks_tigan where tigan_id = ") + n(id);
}
QString MultipleQuestionSql(int id) {
    return QStringLiteral("select * from kjks_tigan where tigan_id = ") + n(id);
}
QString JudgementQuestionSql(int id) {
    return QStringLiteral("select timian,shoucang from kjks_tigan where tigan_id = ") + n(id);
}
QString ChoiceOptionsSql(int id) {
    return QStringLiteral("select timian from kjks_xuanxiang where tigan_ID = ") + n(id) +
           QStringLiteral(" order by xuanxiang_id ");
}
QString CaseQuestionSql(int id) {
    return QStringLiteral("select timian,tigan_id,shoucang,daan,zongtimian from kjks_tigan where flag_state <> 1 and "
                          "tigan_id = ") +
           n(id);
}
QString CaseOptionsSql(int id) {
    return QStringLiteral("select timian from kjks_xuanxiang where flag_state <> 1 and tigan_ID = ") + n(id) +
           QStringLiteral(" order by xuanxiang_id ");
}
QString CaseStemSql(int stemId) {
    return QStringLiteral("select * from zongtigan where flag_state <> 1 and id = ") + n(stemId);
}
QString AnalysisQuestionSql(int id) {
    return QStringLiteral("select * from kjks_tigan where tigan_id = ") + n(id);
}
QString OperationQuestionSql(int id) {
    return QStringLiteral("select timian from kjks_tigan where tigan_id = ") + n(id);
}
