#include "PaperSql.h"

#include "Dataset.h"

namespace {

QString N(int number) {
    return QString::number(number);
}

} // namespace

QString MaxPaperNumberSql() {
    return QStringLiteral("select max(sjID) from kjks_SJML");
}
QString EmptyCatalogueSql() {
    return QStringLiteral("select * from kjks_SJML where 1 =2");
}
QString EmptyPaperItemsSql() {
    return QStringLiteral("select * from shijuan where 1 = 2");
}
QString CatalogueRowSql(int paperNumber) {
    return QStringLiteral("select * from kjks_SJML where sjID = ") + N(paperNumber);
}
QString ReopenItemsSql(int paperNumber) {
    return QStringLiteral("select * from shijuan where sjID = ") + N(paperNumber) + QStringLiteral(" order by id");
}

QString ObjectiveListSql(QuestionType section, const QString &typeName, const QString &paperSet) {
    // The three sections' lists differ in the order and spacing of their conditions.
    QString head;
    switch (section) {
    case QuestionType::Single:
        head = QStringLiteral("select tigan_id from kjks_tigan where flag_state <> 1 and daan <> \"\" and tixing = '");
        break;
    case QuestionType::Multiple:
        head = QStringLiteral("select tigan_id from kjks_tigan where daan <> \"\" and  flag_state <> 1 and tixing = '");
        break;
    default:
        head = QStringLiteral("select tigan_id from kjks_tigan where flag_state <> 1 and daan <> \"\" and  tixing = '");
        break;
    }
    return head + SqlValue(typeName, QLatin1Char('\'')) + QStringLiteral("' and  shijuan = '") +
           SqlValue(paperSet, QLatin1Char('\'')) + QStringLiteral("'");
}

QString ObjectiveFetchSql(int questionId) {
    return QStringLiteral("select tigan_id,daan from kjks_tigan where flag_state <> 1 and tigan_id = ") + N(questionId);
}

QString PracticalListSql() {
    return QStringLiteral(
        "select tigan_id from kjks_tigan where flag_state <> 1 and daan <> \"\" and  tixing = '实操题'");
}

QString OperationFetchSql(int questionId) {
    return ObjectiveFetchSql(questionId);
}

QString CalculationFetchSql(int questionId) {
    return QStringLiteral("select * from kjks_tigan where flag_state <> 1 and tigan_id = ") + N(questionId);
}

QString StemListSql(const QString &paperSet) {
    return QStringLiteral("select id from zongtigan where flag_state <> 1  and  shijuan = '") +
           SqlValue(paperSet, QLatin1Char('\'')) + QStringLiteral("'");
}

QString StemSubQuestionsSql(int stemId) {
    return QStringLiteral("select tigan_id,daan from kjks_tigan where flag_state <> 1 and zongtimian = \"") +
           N(stemId) + QStringLiteral("\"  order by tigan_ID");
}

QString PaperItemSql(int xth, int paperNumber) {
    return QStringLiteral("select * from shijuan where xth = ") + N(xth) + QStringLiteral(" and sjID = ") +
           N(paperNumber);
}

QString AnswerItemSql(int xth, int paperNumber) {
    return QStringLiteral("select * from shijuan where xth = ") + N(xth) + QStringLiteral(" and sjID =") +
           N(paperNumber);
}

QString SingleScoreItemSql(int xth, int paperNumber) {
    return QStringLiteral("select ID,daan,defen,tigan_id from shijuan where xth = ") + N(xth) +
           QStringLiteral(" and sjID =") + N(paperNumber);
}

QString ScoreItemSql(int xth, int paperNumber) {
    return QStringLiteral("select ID,daan,defen from shijuan where xth = ") + N(xth) + QStringLiteral(" and sjID =") +
           N(paperNumber);
}

QString OperationItemsSql(int paperNumber) {
    return QStringLiteral("select * from shijuan where tixing = \"电算化操作题\" and sjID =") + N(paperNumber);
}

QString TotalSumSql(int paperNumber) {
    return QStringLiteral("select sum(defen) from shijuan where sjID = ") + N(paperNumber);
}

QString SectionSumSql(int paperNumber, const QString &typeName) {
    return TotalSumSql(paperNumber) + QStringLiteral(" and tixing = \"") + SqlValue(typeName) + QStringLiteral("\"");
}

QString AnswerListSql(int paperNumber) {
    return QStringLiteral("select * from shijuan where sjID = ") + N(paperNumber) + QStringLiteral(" order by ID asc");
}

QString QuestionRowSql(int questionId) {
    return QStringLiteral("select * from kjks_tigan where tigan_id = ") + N(questionId);
}

QString CaseStemRowSql(int stemId) {
    return QStringLiteral("select * from zongtigan where id = ") + N(stemId);
}

namespace {
QString twoDigits(const QString &number) {
    return number.size() == 1 ? QStringLiteral("0") + number : number;
}
} // namespace

QString ExplanationChapterSql(const QString &zhang) {
    if (zhang.isEmpty()) return QStringLiteral("select mc from kjks_zhangjie where daima = \"0101\"");
    return QStringLiteral("select mc from kjks_zhangjie where daima = \"01") + SqlValue(twoDigits(zhang)) +
           QStringLiteral("\"");
}

QString ExplanationSectionSql(const QString &zhang, const QString &jie) {
    if (zhang.isEmpty()) return QStringLiteral("select mc from kjks_zhangjie where daima = \"010102\"");
    return QStringLiteral("select mc from kjks_zhangjie where daima = \"01") + SqlValue(twoDigits(zhang)) +
           SqlValue(twoDigits(jie)) + QStringLiteral("\"");
}

QString SectionItemsSql(const QString &typeName, int paperNumber) {
    return QStringLiteral("select * from shijuan where tixing = \"") + SqlValue(typeName) +
           QStringLiteral("\" and sjID = ") + N(paperNumber);
}
