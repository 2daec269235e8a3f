#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class SqlDatabase;
class PreparedStatement;

// A bank from elsewhere (a backup chosen for "恢复进度", an older release's bank being upgraded) is
// read as rows of the tables the program knows, through the program's own statements. Nothing of
// its schema is run or copied: not its triggers, views or indexes, nor the statements that made
// its tables. A known name that is not a plain table makes the file unusable.

// Why `file` cannot be read as a bank, in the learner's words, or empty when it can: each of
// `requiredTables` must be a table (a view of that name would run the file's own query), and so
// must every kjks_app_ name it holds that the program defines.
QString ForeignBankRefusal(SqlDatabase &file, const QStringList &requiredTables);

// The column names of `table` in `db`, in table order.
QStringList TableColumns(SqlDatabase &db, const QString &table);

// What becomes of a row the program's table refuses (a key it already holds, a required value
// missing): the copy fails (and with it the caller's transaction), or the row is left out.
enum class RefusedRow { Fail, LeaveOut };

// Inserts rows given in the column order `sourceColumns` into `table` of `to`: the columns both
// have (names compared without case), less `skip`, by a statement prepared once.
class RowInserter {
public:
    RowInserter(SqlDatabase &to, const QString &table, const QStringList &sourceColumns, const QStringList &skip = {},
                RefusedRow refused = RefusedRow::Fail);
    ~RowInserter();
    // False when the row was left out.
    bool insert(const std::vector<QVariant> &row);

private:
    std::vector<int> m_columns;
    std::vector<QVariant> m_values;
    std::unique_ptr<PreparedStatement> m_insert;
};

// One row of a table being read, with its columns' names.
struct RowView {
    const QStringList &columns;
    const std::vector<QVariant> &values;
    // The value of the named column, or an invalid value when the table has no such column.
    QVariant value(const QString &column) const;
};

// Reads every row of `table` in `from` one at a time and inserts those `keep` accepts (all when it is empty) into the
// table of the same name in `to`. Returns the number inserted; *dropped, when given, counts the others (refused by
// `keep`, or by the table when `refused` leaves them out).
qint64 CopyTableRows(SqlDatabase &from, SqlDatabase &to, const QString &table,
                     const std::function<bool(const RowView &row)> &keep = {}, qint64 *dropped = nullptr,
                     RefusedRow refused = RefusedRow::Fail);

// Makes the program's table `table` in `to` for rows read from `from`: from the program's own
// definition when it has one, otherwise with plain columns named as `from`'s (no types, keys,
// defaults or checks of the file's).
void MakeTableFor(SqlDatabase &from, SqlDatabase &to, const QString &table);

// Quotes a name for a statement ("a""b").
QString QuotedName(const QString &name);
