#include "ProgressCounts.h"

#include "SqlDatabase.h"
#include "Transaction.h"

#include <QStringList>
#include <vector>

namespace {

// A sum a count row keeps besides its number of questions: its column and the value one question
// adds, an expression over a row's columns written with "%1" before each column ("" in the table's
// own statements, "old." or "new." in a trigger). The values compare without any column's affinity
// ("+DDCS"), so that a trigger, where a row's values have none, sums as the table's statement does.
struct Measure {
    QString column;
    QString value;
};

// A question table whose rows are counted, the table that keeps its counts, the columns a count
// row stands for, and its sums with the columns they read.
struct Counted {
    QString source;
    QString table;
    QStringList keys;
    std::vector<Measure> measures;
    QStringList measured;
};

const std::vector<Counted> &countedTables() {
    static const std::vector<Counted> tables = {
        {QStringLiteral("kjks_tigan"),
         QuestionCountsTable(),
         {QStringLiteral("zhang"), QStringLiteral("jie"), QStringLiteral("tixing"), QStringLiteral("YDCS")},
         // The statistics page's tallies of practice (attempts, right answers, wrong, favourites).
         {{QStringLiteral("attempts"), QStringLiteral("max(%1ZONGCS, 0)")},
          {QStringLiteral("correct"), QStringLiteral("min(max(%1ZQCS, 0), max(%1ZONGCS, 0))")},
          {QStringLiteral("wrong"), QStringLiteral("(+%1DDCS = '1')")},
          {QStringLiteral("favourites"), QStringLiteral("(+%1shoucang = '1')")}},
         {QStringLiteral("ZONGCS"), QStringLiteral("ZQCS"), QStringLiteral("DDCS"), QStringLiteral("shoucang")}},
        {QStringLiteral("zongtigan"),
         StemCountsTable(),
         {QStringLiteral("zhang"), QStringLiteral("jie"), QStringLiteral("YDCS")},
         {},
         {}},
    };
    return tables;
}

QString valueOf(const Measure &m, const QString &row) {
    return m.value.arg(row.isEmpty() ? QString() : row + QLatin1Char('.'));
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
// "questions = questions + 1, attempts = attempts + max(new.ZONGCS, 0), ...".
QString changes(const Counted &c, const QString &row, QChar sign) {
    QStringList sets{QStringLiteral("questions = questions ") + sign + QStringLiteral(" 1")};
    for (const Measure &m : c.measures)
        sets << m.column + QStringLiteral(" = ") + m.column + QLatin1Char(' ') + sign + QLatin1Char(' ') +
                    valueOf(m, row);
    return sets.join(QStringLiteral(", "));
}

QString addRow(const Counted &c, const QString &row) {
    const QString where = counts(row) + QStringLiteral(" and ");
    QStringList columns = c.keys;
    QStringList values;
    for (const QString &k : c.keys)
        values << row + QLatin1Char('.') + k;
    columns << QStringLiteral("questions");
    values << QStringLiteral("0");
    for (const Measure &m : c.measures) {
        columns << m.column;
        values << QStringLiteral("0");
    }
    return QStringLiteral("insert into %1 (%2) select %3 where %4not exists (select 1 from %1 where %5); "
                          "update %1 set %6 where %4%5; ")
        .arg(c.table, columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")), where, rowMatch(c, row),
             changes(c, row, QLatin1Char('+')));
}

QString removeRow(const Counted &c, const QString &row) {
    return QStringLiteral("update %1 set %2 where %3 and %4; ")
        .arg(c.table, changes(c, row, QLatin1Char('-')), counts(row), rowMatch(c, row));
}

QStringList createStatements(const Counted &c) {
    const QString keys = c.keys.join(QStringLiteral(", "));
    QString sums = QStringLiteral("count(*) as questions");
    for (const Measure &m : c.measures)
        sums += QStringLiteral(", sum(") + valueOf(m, QString()) + QStringLiteral(") as ") + m.column;
    QStringList changed;
    for (const QString &k : c.keys + c.measured)
        changed << QStringLiteral("old.%1 is not new.%1").arg(k);
    const QString watched = (c.keys + QStringList{QStringLiteral("daan")} + c.measured).join(QStringLiteral(", "));
    return {
        // Made from the question table, so every key column keeps the question table's affinity.
        QStringLiteral("create table %1 as select %2, %3 from %4 where daan <> '' group by %2")
            .arg(c.table, keys, sums, c.source),
        QStringLiteral("create index %1_key on %1 (%2)").arg(c.table, keys),
        QStringLiteral("create trigger %1 after insert on %2 begin %3end")
            .arg(triggerName(c, "insert"), c.source, addRow(c, QStringLiteral("new"))),
        QStringLiteral("create trigger %1 after delete on %2 begin %3end")
            .arg(triggerName(c, "delete"), c.source, removeRow(c, QStringLiteral("old"))),
        // Only a change of what is counted or summed moves a row; a change of the other columns
        // costs the test of this condition alone.
        QStringLiteral("create trigger %1 after update of %2 on %3 when %4 <> %5 or (%4 and (%6)) begin %7%8end")
            .arg(triggerName(c, "update"), watched, c.source, counts(QStringLiteral("old")),
                 counts(QStringLiteral("new")), changed.join(QStringLiteral(" or ")),
                 removeRow(c, QStringLiteral("old")), addRow(c, QStringLiteral("new"))),
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
    // Counts kept before the tables kept their sums.
    for (const Counted &c : countedTables()) {
        QStringList columns;
        for (const auto &column : db.select(QStringLiteral("pragma table_info(%1)").arg(c.table)))
            if (column.size() > 1) columns << column[1].toString().toLower();
        for (const Measure &m : c.measures)
            if (!columns.contains(m.column)) return false;
    }
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
    // The grouped scans read every question once: a small page cache for them keeps the memory of a
    // large bank's first opening down, and the cache is as it was afterwards.
    struct SmallCache {
        SqlDatabase &db;
        std::vector<std::vector<QVariant>> before = db.select(QStringLiteral("PRAGMA cache_size"));
        ~SmallCache() {
            if (before.empty() || before[0].empty()) return;
            try {
                db.exec(QStringLiteral("PRAGMA cache_size = ") + before[0][0].toString());
            } catch (...) {
            }
        }
    } small{db};
    db.exec(QStringLiteral("PRAGMA cache_size = -8192"));
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
