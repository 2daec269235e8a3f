#include "MainQueries.h"

#include "Dataset.h"
#include "NumberText.h"
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

QString ProgressCountSql(const QString &fourthTypeName, bool unansweredOnly, const QString &chapter,
                         const QString &section) {
    QString types = QStringLiteral("\"") + QuestionTypeName(QuestionType::Single) + QStringLiteral("\", \"") +
                    QuestionTypeName(QuestionType::Multiple) + QStringLiteral("\", \"") +
                    QuestionTypeName(QuestionType::Judgement) + QStringLiteral("\"");
    if (FourthKindOf(fourthTypeName) != FourthKind::CaseStem)
        types += QStringLiteral(", \"") + OperationBankTypeName() + QStringLiteral("\"");
    return QStringLiteral("select count(*) as total from kjks_tigan where daan <> \"\" and tixing in (") + types +
           QStringLiteral(")") + (unansweredOnly ? QStringLiteral(" and YDCS = \"0\"") : QString()) +
           chapterFilter(chapter, section);
}

QString StemProgressCountSql(bool unansweredOnly, const QString &chapter, const QString &section) {
    return QStringLiteral("select count(*) as total from zongtigan where daan <> \"\"") +
           (unansweredOnly ? QStringLiteral(" and YDCS = \"0\"") : QString()) + chapterFilter(chapter, section);
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
