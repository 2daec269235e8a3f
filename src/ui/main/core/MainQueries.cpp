#include "MainQueries.h"

#include "Dataset.h"
#include "NumberText.h"
#include "ProgressCounts.h"
#include "SqlDatabase.h"
#include "SqlError.h"

namespace {

QString chapterFilter(const QString &chapter, const QString &section) {
    QString where;
    if (!chapter.isEmpty()) where += QStringLiteral(" and zhang = ") + chapter;
    if (!section.isEmpty()) where += QStringLiteral(" and jie = ") + section;
    return where;
}

} // namespace

QString ChapterTreeSql() {
    return QStringLiteral("select * from kjks_zhangjie order by daima asc ");
}

bool IsChapterCode(const QString &daima) {
    if (daima.isEmpty()) return false;
    for (QChar c : daima)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

std::vector<ChapterTreeRow> ReadChapterTree(Dataset &query) {
    query.openSql(ChapterTreeSql());
    std::vector<ChapterTreeRow> rows;
    for (query.first(); !query.eof(); query.next()) {
        const QString code = query.asString(QStringLiteral("daima"));
        const QString name = query.asString(QStringLiteral("mc"));
        if (!IsChapterCode(code))
            throw KjksError(QStringLiteral("题库的章节目录中有无效的章节代码“%1”（章节“%2”）：章节代码只能由数字组成。"
                                           "请从备份恢复题库文件，或重新安装本程序。")
                                .arg(code, name));
        if (code.size() != 2 && code.size() != 4 && code.size() != 6) continue;
        rows.push_back({code, StrToInt(code), name});
    }
    if (rows.empty())
        throw KjksError(QStringLiteral("题库的章节目录（kjks_zhangjie）中没有章节，无法练习。"
                                       "请从备份恢复题库文件，或重新安装本程序。"));
    return rows;
}

namespace {

// The types the tree counts in kjks_tigan: the operation type's rows unless the fourth type is
// practised as case stems.
QString countedTypes(const QString &fourthTypeName) {
    QString types = QStringLiteral("\"") + QuestionTypeName(QuestionType::Single) + QStringLiteral("\", \"") +
                    QuestionTypeName(QuestionType::Multiple) + QStringLiteral("\", \"") +
                    QuestionTypeName(QuestionType::Judgement) + QStringLiteral("\"");
    if (FourthKindOf(fourthTypeName) != FourthKind::CaseStem)
        types += QStringLiteral(", \"") + OperationBankTypeName() + QStringLiteral("\"");
    return types;
}

// Both numbers of a kept count: the rows of questions with an answer, and those never answered.
const QString kKeptSums =
    QStringLiteral("select coalesce(sum(questions), 0) as total, "
                   "coalesce(sum(case when YDCS = \"0\" then questions else 0 end), 0) as remaining from ");

int countOf(Dataset &query, const QString &sql, const QString &column) {
    query.openSql(sql);
    return query.asInteger(column);
}

} // namespace

QString ProgressCountSql(const QString &fourthTypeName, bool unansweredOnly, const QString &chapter,
                         const QString &section) {
    return QStringLiteral("select count(*) as total from kjks_tigan where daan <> \"\" and tixing in (") +
           countedTypes(fourthTypeName) + QStringLiteral(")") +
           (unansweredOnly ? QStringLiteral(" and YDCS = \"0\"") : QString()) + chapterFilter(chapter, section);
}

QString StemProgressCountSql(bool unansweredOnly, const QString &chapter, const QString &section) {
    return QStringLiteral("select count(*) as total from zongtigan where daan <> \"\"") +
           (unansweredOnly ? QStringLiteral(" and YDCS = \"0\"") : QString()) + chapterFilter(chapter, section);
}

QString KeptProgressCountSql(const QString &fourthTypeName, const QString &chapter, const QString &section) {
    return kKeptSums + QuestionCountsTable() + QStringLiteral(" where tixing in (") + countedTypes(fourthTypeName) +
           QStringLiteral(")") + chapterFilter(chapter, section);
}

QString KeptStemProgressCountSql(const QString &chapter, const QString &section) {
    const QString filter = chapterFilter(chapter, section); // " and zhang = ..."
    return kKeptSums + StemCountsTable() + (filter.isEmpty() ? QString() : QStringLiteral(" where") + filter.mid(4));
}

ChapterProgress CountChapterProgress(Dataset &query, SqlDatabase &db, const QString &fourthTypeName,
                                     const QString &chapter, const QString &section) {
    const bool stems = FourthKindOf(fourthTypeName) == FourthKind::CaseStem;
    int total = 0, remaining = 0;
    if (ProgressCountsKept(db)) {
        auto add = [&](const QString &sql) {
            query.openSql(sql);
            total += query.asInteger(QStringLiteral("total"));
            remaining += query.asInteger(QStringLiteral("remaining"));
        };
        add(KeptProgressCountSql(fourthTypeName, chapter, section));
        if (stems) add(KeptStemProgressCountSql(chapter, section));
    } else {
        // A bank whose counts could not be made (it could not be written when it was opened).
        const QString column = QStringLiteral("total");
        for (bool unansweredOnly : {false, true}) {
            int n = countOf(query, ProgressCountSql(fourthTypeName, unansweredOnly, chapter, section), column);
            if (stems) n += countOf(query, StemProgressCountSql(unansweredOnly, chapter, section), column);
            (unansweredOnly ? remaining : total) = n;
        }
    }
    return {total - remaining, remaining};
}

QString ProgressText(int done, int remaining) {
    return QStringLiteral("已做 %1题，还剩 %2 题").arg(done).arg(remaining);
}

QString ReviewCountSql(ReviewKind kind, QuestionType type, const QString &fourthTypeName) {
    const bool wrong = kind == ReviewKind::WrongQuestions;
    if (type == QuestionType::Fourth) {
        // Case questions are counted from their stems; the rows of the operation type are never the
        // case questions of either case name.
        if (CountsCaseStems(fourthTypeName))
            return wrong ? QStringLiteral("select count(ID) from zongtigan where daan <> \"\" and   DDCS = \"1\"")
                         : QStringLiteral("select count(ID) from zongtigan where daan <> \"\" and  shoucang = \"1\"");
        return QStringLiteral("select count(tigan_id) from kjks_tigan where daan <> \"\" and  tixing = \"") +
               OperationBankTypeName() +
               (wrong ? QStringLiteral("\" and DDCS = \"1\"") : QStringLiteral("\" and shoucang = \"1\""));
    }
    return wrong ? QStringLiteral("select count(tigan_id) from kjks_tigan where daan <> \"\" and  tixing = \"") +
                       QuestionTypeName(type) + QStringLiteral("\" and DDCS = \"1\"")
                 : QStringLiteral("SELECT count(tigan_id) from  kjks_tigan  where daan <> \"\" and   shoucang = \"1\" "
                                  "and tixing = \"") +
                       QuestionTypeName(type) + QStringLiteral("\"");
}

QString ReviewListSql(ReviewKind kind) {
    return kind == ReviewKind::WrongQuestions
               ? QStringLiteral("select * from kjks_tigan where daan <> \"\" and DDCS = \"1\"  order by tigan_id asc")
               : QStringLiteral(
                     "select * from kjks_tigan where daan <> \"\"  and shoucang = \"1\"  order by tigan_id asc");
}

PracticeScope ReviewScope(ReviewKind kind) {
    return kind == ReviewKind::WrongQuestions ? PracticeScope::Wrong : PracticeScope::Favourites;
}
