#include "ProgressCounts.h"

#include "SqlDatabase.h"
#include "Transaction.h"

#include <QStringList>
#include <vector>

namespace {

// A question table whose rows are counted, the table that keeps its counts and the columns a
// count row stands for.
struct Counted {
    QString source;
    QString table;
    QStringList keys;
};

const std::vector<Counted> &countedTables() {
    static const std::vector<Counted> tables = {
        {QStringLiteral("kjks_tigan"),
         QuestionCountsTable(),
         {QStringLiteral("zhang"), QStringLiteral("jie"), QStringLiteral("tixing"), QStringLiteral("YDCS")}},
        {QStringLiteral("zongtigan"),
         StemCountsTable(),
         {QStringLiteral("zhang"), QStringLiteral("jie"), QStringLiteral("YDCS")}},
    };
    return tables;
}

const char *const kTriggerEvents[] = {"insert", "delete", "update"};

QString triggerName(const Counted &c, const char *event) {
    return c.table + QLatin1Char('_') + QLatin1String(event);
}

// "zhang is new.zhang and jie is new.jie ...": the count row of `row`. `is` matches NULL keys, and
// the values compared are the stored ones on both sides.
QString rowMatch(const Counted &c, const QString &row) {
    QStringList terms;
    for (const QString &k : c.keys)
        terms << k + QStringLiteral(" is ") + row + QLatin1Char('.') + k;
    return terms.join(QStringLiteral(" and "));
}

// 1 when `row` is counted (it has an answer), else 0; a NULL answer is not counted, as in the
// counts' `daan <> ""`.
QString counts(const QString &row) {
    return QStringLiteral("coalesce(") + row + QStringLiteral(".daan <> '', 0)");
}

// The statements of a trigger body that add `row` to its count row (made first when missing) or take
// it away; each tests itself whether the row is counted, since a statement there has no condition of
// its own.
QString addRow(const Counted &c, const QString &row) {
    const QString where = counts(row) + QStringLiteral(" and ");
    QStringList values;
    for (const QString &k : c.keys)
        values << row + QLatin1Char('.') + k;
    return QStringLiteral("insert into %1 (%2, questions) select %3, 0 where %4not exists "
                          "(select 1 from %1 where %5); "
                          "update %1 set questions = questions + 1 where %4%5; ")
        .arg(c.table, c.keys.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")), where, rowMatch(c, row));
}

QString removeRow(const Counted &c, const QString &row) {
    return QStringLiteral("update %1 set questions = questions - 1 where %2 and %3; ")
        .arg(c.table, counts(row), rowMatch(c, row));
}

QStringList createStatements(const Counted &c) {
    const QString keys = c.keys.join(QStringLiteral(", "));
    QStringList keyChanged;
    for (const QString &k : c.keys)
        keyChanged << QStringLiteral("old.%1 is not new.%1").arg(k);
    return {
        // Made from the question table, so every key column keeps the question table's affinity.
        QStringLiteral("create table %1 as select %2, count(*) as questions from %3 where daan <> '' group by %2")
            .arg(c.table, keys, c.source),
        QStringLiteral("create index %1_key on %1 (%2)").arg(c.table, keys),
        QStringLiteral("create trigger %1 after insert on %2 begin %3end")
            .arg(triggerName(c, "insert"), c.source, addRow(c, QStringLiteral("new"))),
        QStringLiteral("create trigger %1 after delete on %2 begin %3end")
            .arg(triggerName(c, "delete"), c.source, removeRow(c, QStringLiteral("old"))),
        // Only a change of what is counted moves a row: an answer check that leaves YDCS as it was,
        // or a change of the other columns, costs the test of this condition alone.
        QStringLiteral("create trigger %1 after update of %2, daan on %3 when %4 <> %5 or (%4 and (%6)) begin %7%8end")
            .arg(triggerName(c, "update"), keys, c.source, counts(QStringLiteral("old")), counts(QStringLiteral("new")),
                 keyChanged.join(QStringLiteral(" or ")), removeRow(c, QStringLiteral("old")),
                 addRow(c, QStringLiteral("new"))),
    };
}

bool hasRow(SqlDatabase &db, const QString &sql) {
    return !db.select(sql).empty();
}

} // namespace

QString QuestionCountsTable() {
    return QStringLiteral("kjks_app_progress_counts");
}

QString StemCountsTable() {
    return QStringLiteral("kjks_app_stem_progress_counts");
}

bool IsProgressCountsTable(const QString &table) {
    for (const Counted &c : countedTables())
        if (table.compare(c.table, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool ProgressCountsKept(SqlDatabase &db) {
    QStringList names;
    for (const Counted &c : countedTables()) {
        names << c.table;
        for (const char *event : kTriggerEvents)
            names << triggerName(c, event);
    }
    QStringList quoted;
    for (const QString &n : names)
        quoted << QLatin1Char('\'') + n + QLatin1Char('\'');
    const auto present = db.select(QStringLiteral("select count(*) from sqlite_master where type in "
                                                  "('table', 'trigger') and name in (%1)")
                                       .arg(quoted.join(QStringLiteral(", "))));
    if (present.empty() || present[0][0].toInt() != names.size()) return false;
    // A table emptied by a program that takes every kjks_app_ table for progress.
    for (const Counted &c : countedTables())
        if (!hasRow(db, QStringLiteral("select 1 from %1 limit 1").arg(c.table)) &&
            hasRow(db, QStringLiteral("select 1 from %1 where daan <> '' limit 1").arg(c.source)))
            return false;
    return true;
}

void DropProgressCounts(SqlDatabase &db) {
    for (const Counted &c : countedTables()) {
        for (const char *event : kTriggerEvents)
            db.exec(QStringLiteral("drop trigger if exists ") + triggerName(c, event));
        db.exec(QStringLiteral("drop table if exists ") + c.table);
    }
}

void RebuildProgressCounts(SqlDatabase &db) {
    ScopedTransaction unit(db);
    DropProgressCounts(db);
    for (const Counted &c : countedTables())
        for (const QString &sql : createStatements(c))
            db.exec(sql);
    unit.commit();
}

bool EnsureProgressCounts(SqlDatabase &db) {
    if (ProgressCountsKept(db)) return false;
    RebuildProgressCounts(db);
    return true;
}
