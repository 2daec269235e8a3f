#include "PracticeQueries.h"

#include "Dataset.h"
#include "NumberText.h"
#include "SqlError.h"

QString CaseStemTypeName() { return QStringLiteral("不定项选择题"); }
QString AnalysisTypeName() { return QStringLiteral("计算分析题"); }
QString OperationTypeName() { return QStringLiteral("电算化操作题"); }

namespace {

QString questionTypeOf(PracticeSet set) {
    switch (set) {
    case PracticeSet::Single: return QStringLiteral("单选题");
    case PracticeSet::Multiple: return QStringLiteral("多选题");
    case PracticeSet::Judgement: return QStringLiteral("判断题");
    case PracticeSet::Fourth: break;
    }
    return QStringLiteral("实操题");
}

[[noreturn]] void badScope(int scope) {
    throw KjksError(QStringLiteral("'%1' is not a valid practice scope").arg(scope));
}

} // namespace

QString PracticeSetSql(PracticeSet set, int scope, const QString &fourthTypeName) {
    if (set == PracticeSet::Fourth && fourthTypeName == CaseStemTypeName()) {
        switch (scope) {
        case 0: return QStringLiteral("select * from zongtigan");
        case 1: return QStringLiteral("select * from zongtigan where daan <> \"\" and   YDCS <> \"1\" ");
        case 2: return QStringLiteral("select * from zongtigan where daan <> \"\" and   DDCS = \"1\" ");
        case 3: return QStringLiteral("select * from zongtigan where daan <> \"\" and   shoucang = \"1\"");
        case 4: return QStringLiteral("select * from zongtigan where daan <> \"\" and   YDCS = \"1\" ");
        default: badScope(scope);
        }
    }
    const QString head = QStringLiteral("select * from kjks_tigan where daan <> \"\" and  tixing = \"") +
                         SqlValue(questionTypeOf(set)) + QStringLiteral("\"");
    const QString order = QStringLiteral(" order by zhang,jie asc");
    switch (scope) {
    case 0: return head + order;
    case 1: return head + QStringLiteral(" and YDCS <> \"1\"") + order;
    case 2: return head + QStringLiteral(" and DDCS = \"1\" ") + order;
    case 3: return head + QStringLiteral(" and shoucang = \"1\" ") + order;
    case 4: return head + QStringLiteral(" and YDCS = \"1\" ") + order;
    default: badScope(scope);
    }
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

QString ScratchRowSql() { return QStringLiteral("select * from shijuan where sjID = 0 and xth = 200"); }

ChapterStart ParseChapterCode(const QString &code) {
    ChapterStart start;
    if (code.size() != 3 && code.size() != 5) return start;
    start.positioned = true;
    start.chapter = StrToInt(code.mid(1, 2));
    start.section = code.size() == 5 ? StrToInt(code.mid(3, 2)) : 1;
    return start;
}

void PositionAtChapter(Dataset &set, const QString &selectedChapterCode) {
    set.first();
    const ChapterStart start = ParseChapterCode(selectedChapterCode);
    if (!start.positioned || set.isEmpty()) return;
    for (;;) {
        if (set.asInteger(QStringLiteral("zhang")) >= start.chapter && set.asInteger(QStringLiteral("jie")) >= start.section)
            return;
        if (set.recNo() == set.recordCount()) break;
        set.next();
    }
    set.first();
}
