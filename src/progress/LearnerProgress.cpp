#include "LearnerProgress.h"

#include "ProgressCounts.h"
#include "SqlDatabase.h"
#include "Transaction.h"

namespace {

QString quoted(const QString &name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

int count(SqlDatabase &db, const QString &sql) {
    const auto rows = db.select(sql);
    return rows.empty() || rows[0].empty() ? 0 : rows[0][0].toInt();
}

} // namespace

const std::vector<ProgressTable> &QuestionProgressTables() {
    static const std::vector<ProgressTable> tables = {{QStringLiteral("kjks_tigan"), QStringLiteral("tigan_id")},
                                                      {QStringLiteral("zongtigan"), QStringLiteral("ID")}};
    return tables;
}

const std::vector<ProgressColumn> &QuestionProgressColumns() {
    static const std::vector<ProgressColumn> columns = {
        {QStringLiteral("YDCS"), QStringLiteral("0"), true},
        {QStringLiteral("DDCS"), QStringLiteral("0"), true},
        {QStringLiteral("shoucang"), QStringLiteral("0"), false},
        {QStringLiteral("ZQCS"), 0, true},
        {QStringLiteral("ZONGCS"), 0, true},
    };
    return columns;
}

QString ProgressColumnList() {
    QStringList names;
    for (const ProgressColumn &c : QuestionProgressColumns())
        names << c.name;
    return names.join(QStringLiteral(", "));
}

bool IsFreshProgress(const std::vector<QVariant> &values) {
    const auto &columns = QuestionProgressColumns();
    for (size_t i = 0; i < columns.size() && i < values.size(); ++i) {
        const QVariant &fresh = columns[i].fresh;
        const QVariant &v = values[i];
        if (fresh.typeId() == QMetaType::Int) {
            if (!v.isNull() && v.toLongLong() != fresh.toLongLong()) return false;
        } else if (v.toString() != fresh.toString()) {
            return false;
        }
    }
    return true;
}

QString PaperCatalogueTable() {
    return QStringLiteral("kjks_SJML");
}

QString PaperItemTable() {
    return QStringLiteral("shijuan");
}

QStringList AppTables(SqlDatabase &db) {
    QStringList tables;
    for (const auto &row : db.select(QStringLiteral("select name from sqlite_master where type = 'table' and "
                                                    "lower(substr(name, 1, 9)) = 'kjks_app_' order by name")))
        if (!IsProgressCountsTable(row[0].toString())) tables << row[0].toString();
    return tables;
}

ProgressSummary SummariseProgress(SqlDatabase &db) {
    ProgressSummary s;
    for (const ProgressTable &t : QuestionProgressTables()) {
        s.answered += count(db, QStringLiteral("select count(*) from %1 where YDCS <> '0' or ZONGCS > 0").arg(t.table));
        s.wrong += count(db, QStringLiteral("select count(*) from %1 where DDCS = '1'").arg(t.table));
        s.favourites += count(db, QStringLiteral("select count(*) from %1 where shoucang = '1'").arg(t.table));
    }
    s.papers = count(db, QStringLiteral("select count(*) from ") + PaperCatalogueTable());
    for (const QString &table : AppTables(db))
        s.appRows += count(db, QStringLiteral("select count(*) from ") + quoted(table));
    return s;
}

QString ClearConfirmationText(const ProgressSummary &s) {
    return QStringLiteral("重新开始将清除全部学习进度，清除后无法撤销：\n"
                          "  · 做题记录：%1 题的答题次数和正确次数\n"
                          "  · 错题：%2 题\n"
                          "  · 收藏：%3 题\n"
                          "  · 模拟考试试卷：%4 套（连同作答和成绩）\n"
                          "  · 程序记录的其他进度：%5 条\n"
                          "题目、章节和考试设置保留。清除前会先把当前题库备份到备份文件夹。\n"
                          "确定要重新开始吗？")
        .arg(s.answered)
        .arg(s.wrong)
        .arg(s.favourites)
        .arg(s.papers)
        .arg(s.appRows);
}

void ClearProgress(SqlDatabase &db) {
    ScopedTransaction unit(db);
    QStringList sets, differs;
    std::vector<QVariant> fresh;
    for (const ProgressColumn &c : QuestionProgressColumns()) {
        sets << c.name + QStringLiteral(" = ?");
        differs << c.name + QStringLiteral(" is not ?");
        fresh.push_back(c.fresh);
    }
    // Only the rows with a value that is not fresh are written (compared under the column's own
    // type, as the update would store it): on a large bank most rows were never answered, and a
    // write of every row would rewrite every question's texts.
    std::vector<QVariant> values = fresh;
    values.insert(values.end(), fresh.begin(), fresh.end());
    for (const ProgressTable &t : QuestionProgressTables())
        db.exec(QStringLiteral("update %1 set %2 where %3")
                    .arg(t.table, sets.join(QStringLiteral(", ")), differs.join(QStringLiteral(" or "))),
                values);
    db.exec(QStringLiteral("delete from ") + PaperItemTable() + QStringLiteral(" where sjID <> 0"));
    db.exec(QStringLiteral("update ") + PaperItemTable() + QStringLiteral(" set KSDA = '' where sjID = 0"));
    db.exec(QStringLiteral("delete from ") + PaperCatalogueTable());
    for (const QString &table : AppTables(db))
        db.exec(QStringLiteral("delete from ") + quoted(table));
    unit.commit();
}
