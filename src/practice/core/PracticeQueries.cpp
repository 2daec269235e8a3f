#include "PracticeQueries.h"

#include "Dataset.h"
#include "NumberText.h"
#include "SqlError.h"

QString PracticeSetSql(QuestionType type, PracticeScope scope, const QString &fourthTypeName) {
    if (type == QuestionType::Fourth && FourthKindOf(fourthTypeName) == FourthKind::CaseStem) {
        switch (scope) {
        case PracticeScope::All:
            return QStringLiteral("select * from zongtigan");
        case PracticeScope::New:
            return QStringLiteral("select * from zongtigan where daan <> \"\" and   YDCS <> \"1\" ");
        case PracticeScope::Wrong:
            return QStringLiteral("select * from zongtigan where daan <> \"\" and   DDCS = \"1\" ");
        case PracticeScope::Favourites:
            return QStringLiteral("select * from zongtigan where daan <> \"\" and   shoucang = \"1\"");
        case PracticeScope::Answered:
            return QStringLiteral("select * from zongtigan where daan <> \"\" and   YDCS = \"1\" ");
        case PracticeScope::DueReviews:
            throw KjksError(QStringLiteral("到期复习的题目按题目清单打开，不能用查询语句读取。"));
        }
    }
    const QString head = QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"") +
                         SqlValue(QuestionTypeName(type)) + QStringLiteral("\"");
    const QString order = QStringLiteral(" order by zhang,jie asc");
    switch (scope) {
    case PracticeScope::All:
        return head + order;
    case PracticeScope::New:
        return head + QStringLiteral(" and YDCS <> \"1\"") + order;
    case PracticeScope::Wrong:
        return head + QStringLiteral(" and DDCS = \"1\" ") + order;
    case PracticeScope::Favourites:
        return head + QStringLiteral(" and shoucang = \"1\" ") + order;
    case PracticeScope::Answered:
        return head + QStringLiteral(" and YDCS = \"1\" ") + order;
    case PracticeScope::DueReviews:
        throw KjksError(QStringLiteral("到期复习的题目按题目清单打开，不能用查询语句读取。"));
    }
    return head + order;
}

QString AnyPracticeQuestionSql(QuestionType type, PracticeScope scope, const QString &fourthTypeName) {
    QString sql = PracticeSetSql(type, scope, fourthTypeName);
    const QString all = QStringLiteral("select *");
    const QString order = QStringLiteral(" order by ");
    if (sql.startsWith(all)) sql.replace(0, all.size(), QStringLiteral("select 1"));
    const qsizetype ordered = sql.lastIndexOf(order);
    if (ordered >= 0) sql.truncate(ordered);
    return sql + QStringLiteral(" limit 1");
}

QString TwoDigitCode(const QString &number) {
    return number.size() == 1 ? QStringLiteral("0") + number : number;
}

QString ChapterNameSql(const QString &zhang) {
    return QStringLiteral("select mc from kjks_zhangjie where daima = \"01") + SqlValue(TwoDigitCode(zhang)) +
           QStringLiteral("\"");
}

QString SectionNameSql(const QString &zhang, const QString &jie) {
    return QStringLiteral("select mc from kjks_zhangjie where daima = \"01") + SqlValue(TwoDigitCode(zhang)) +
           SqlValue(TwoDigitCode(jie)) + QStringLiteral("\"");
}

QString OptionsSql(int questionId) {
    return QStringLiteral("select timian from kjks_xuanxiang where tigan_ID = ") + QString::number(questionId) +
           QStringLiteral(" order by xuanxiang_id ");
}

QString SubQuestionsForPresentationSql(int stemId) {
    return QStringLiteral("select timian,tigan_id from kjks_tigan where zongtimian = \"") +
           SqlValue(QString::number(stemId)) + QStringLiteral("\" order by tigan_id");
}

QString SubQuestionsForScoringSql(int stemId) {
    return QStringLiteral("select * from kjks_tigan where zongtimian = \"") + SqlValue(QString::number(stemId)) +
           QStringLiteral("\" order by tigan_id");
}

QString QuestionExplanationSql(int questionId) {
    return QStringLiteral("select jiexi from kjks_tigan where tigan_id = ") + QString::number(questionId);
}

QString StemExplanationSql(int stemId) {
    return QStringLiteral("select jiexi from zongtigan where id = ") + QString::number(stemId);
}

QString OperationAnswerSql(int questionId) {
    return QStringLiteral("select daan from kjks_tigan where tigan_id = ") + QString::number(questionId);
}

QString ScratchRowSql() {
    return QStringLiteral("select * from shijuan where sjID = 0 and xth = 200");
}

ChapterStart ParseChapterCode(const QString &code) {
    ChapterStart start;
    if (code.size() != 3 && code.size() != 5) return start;
    start.positioned = true;
    start.chapter = StrToInt(code.mid(1, 2));
    start.section = code.size() == 5 ? StrToInt(code.mid(3, 2)) : 1;
    return start;
}

namespace {

// A column's value as an integer the way a row's value is read as one: null 0, a real rounded half
// away from zero, text (or bytes) by its decimal digits after blanks.
QString IntegerValueSql(const QString &column) {
    return QStringLiteral("(case typeof(%1) when 'integer' then %1 when 'real' then round(%1) when 'null' then 0"
                          " else cast(trim(%1, ' ' || char(9, 10, 11, 12, 13)) as integer) end)")
        .arg(column);
}

} // namespace

std::vector<StartCondition> ChapterStartConditions(const ChapterStart &start) {
    const QString test = IntegerValueSql(QStringLiteral("zhang")) + QStringLiteral(" >= ? and ") +
                         IntegerValueSql(QStringLiteral("jie")) + QStringLiteral(" >= ?");
    const qint64 chapter = start.chapter, section = start.section;
    std::vector<StartCondition> conditions;
    // A null zhang reads as chapter 0.
    if (chapter <= 0) conditions.push_back({QStringLiteral("zhang is null and ") + test, {chapter, section}});
    // Numbers: those that round to the chapter or more. The bound is a number, so a text column
    // (whose values are all texts) finds nothing here.
    conditions.push_back({QStringLiteral("zhang >= ? and typeof(zhang) in ('integer', 'real') and ") + test,
                          {double(chapter) - 0.5, chapter, section}});
    // Texts and bytes sort after every number; '' is below every text.
    conditions.push_back(
        {QStringLiteral("zhang >= '' and typeof(zhang) in ('text', 'blob') and ") + test, {chapter, section}});
    return conditions;
}

void PositionAtChapter(Dataset &set, const QString &selectedChapterCode) {
    set.first();
    const ChapterStart start = ParseChapterCode(selectedChapterCode);
    if (!start.positioned || set.isEmpty()) return;
    for (const StartCondition &condition : ChapterStartConditions(start))
        if (set.seekFirst(condition.sql, condition.values)) return;
}
