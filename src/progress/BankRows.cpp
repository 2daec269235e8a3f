#include "BankRows.h"

#include "AppTables.h"
#include "LearnerProgress.h"
#include "SqlDatabase.h"
#include "SqlError.h"

namespace {

int indexOf(const QStringList &names, const QString &name) {
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

// The kind of schema entry (table, view, ...) named `name`, or empty when there is none.
QString entryType(SqlDatabase &db, const QString &name) {
    const auto rows = db.select(
        QStringLiteral("select type from sqlite_master where lower(name) = lower(?) and type in ('table', 'view')"),
        {name});
    return rows.empty() ? QString() : rows[0][0].toString();
}

} // namespace

QString QuotedName(const QString &name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QString ForeignBankRefusal(SqlDatabase &file, const QStringList &requiredTables) {
    QStringList names = requiredTables;
    names += DefinedAppTables();
    for (const QString &name : names) {
        const QString type = entryType(file, name);
        if (type.isEmpty() && requiredTables.contains(name))
            return QStringLiteral("文件中缺少数据表 %1，不是本程序的题库。").arg(name);
        if (!type.isEmpty() && type != QStringLiteral("table"))
            return QStringLiteral("文件中的 %1 不是数据表而是视图，不是本程序写出的题库，不能使用。").arg(name);
    }
    return {};
}

QStringList TableColumns(SqlDatabase &db, const QString &table) {
    QStringList names;
    for (const auto &row : db.select(QStringLiteral("PRAGMA table_info(") + QuotedName(table) + QLatin1Char(')')))
        if (row.size() > 1) names << row[1].toString();
    return names;
}

RowInserter::RowInserter(SqlDatabase &to, const QString &table, const QStringList &sourceColumns,
                         const QStringList &skip, RefusedRow refused) {
    const QStringList target = TableColumns(to, table);
    QStringList names, marks;
    for (int i = 0; i < sourceColumns.size(); ++i) {
        const int at = indexOf(target, sourceColumns[i]);
        // A name the file repeats in other case is taken once.
        if (at < 0 || indexOf(skip, sourceColumns[i]) >= 0 || indexOf(names, QuotedName(target[at])) >= 0) continue;
        m_columns.push_back(i);
        names << QuotedName(target[at]);
        marks << QStringLiteral("?");
    }
    if (names.isEmpty()) return; // nothing in common: every row is left out
    m_values.resize(m_columns.size());
    m_insert = std::make_unique<PreparedStatement>(
        to, QStringLiteral("insert %1into %2 (%3) values (%4)")
                .arg(refused == RefusedRow::LeaveOut ? QStringLiteral("or ignore ") : QString(), QuotedName(table),
                     names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
}

RowInserter::~RowInserter() = default;

bool RowInserter::insert(const std::vector<QVariant> &row) {
    if (!m_insert) return false;
    for (size_t i = 0; i < m_columns.size(); ++i)
        m_values[i] = row[size_t(m_columns[i])];
    return m_insert->exec(m_values) > 0;
}

QVariant RowView::value(const QString &column) const {
    const int at = indexOf(columns, column);
    return at < 0 ? QVariant() : values[size_t(at)];
}

qint64 CopyTableRows(SqlDatabase &from, SqlDatabase &to, const QString &table,
                     const std::function<bool(const RowView &row)> &keep, qint64 *dropped, RefusedRow refused) {
    const QStringList columns = TableColumns(from, table);
    if (columns.isEmpty()) return 0;
    QStringList selected;
    for (const QString &c : columns)
        selected << QuotedName(c);
    PreparedStatement read(
        from, QStringLiteral("select %1 from %2").arg(selected.join(QStringLiteral(", ")), QuotedName(table)));
    RowInserter insert(to, table, columns, {}, refused);
    qint64 inserted = 0;
    read.forEachRow([&](const std::vector<QVariant> &values) {
        if (keep && !keep(RowView{columns, values})) {
            if (dropped) ++*dropped;
            return;
        }
        if (insert.insert(values))
            ++inserted;
        else if (dropped)
            ++*dropped;
    });
    return inserted;
}

void MakeTableFor(SqlDatabase &from, SqlDatabase &to, const QString &table) {
    if (IsDefinedAppTable(table)) {
        EnsureAppTable(to, table);
        return;
    }
    QStringList columns;
    for (const QString &c : TableColumns(from, table))
        if (!columns.contains(c, Qt::CaseInsensitive)) columns << c;
    QStringList quoted;
    for (const QString &c : columns)
        quoted << QuotedName(c);
    if (quoted.isEmpty()) return;
    to.exec(
        QStringLiteral("create table if not exists %1 (%2)").arg(QuotedName(table), quoted.join(QStringLiteral(", "))));
}
