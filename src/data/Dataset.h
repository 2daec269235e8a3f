#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <array>
#include <map>
#include <memory>
#include <vector>

class SqlDatabase;
class PreparedStatement;

// A query the way the windows use one: SQL text, a current row to walk, read by column name
// (case-insensitive), edit or append and post.
//
// A select over one table is a keyset: opening reads only the rows' keys (rowids) in the
// statement's order, with the values of the plain columns it orders by; a row's columns are read
// when the row is first read from, and a few rows stay cached. Any other select (counts,
// aggregates) is read whole at open and cannot be changed.
//
// Posting writes exactly the row it came from (by rowid) in one statement of its own, committed at
// once unless an outer transaction is open. A post that fails drops the pending change and throws
// PostError; a move posts a pending change first, so a change never lands on another row.
class Dataset {
public:
    explicit Dataset(SqlDatabase *db = nullptr);
    ~Dataset();
    Dataset(const Dataset &) = delete;
    Dataset &operator=(const Dataset &) = delete;
    void setConnection(SqlDatabase *db) { m_db = db; }

    // A change of SQL text closes the query first.
    void setSql(const QString &sql);
    const QString &sql() const { return m_sql; }
    void open();
    // Drops a pending change.
    void close();
    // close + setSql + open, the common pattern.
    void openSql(const QString &sql);
    // Opens the given rows of one table, in the given order, as a keyset that can be changed like a
    // select's (a list whose order no single-table statement can state). `description` is the
    // query's text for tracing and sql().
    void openRows(const QString &table, std::vector<qint64> rowids, const QString &description);
    // Runs the SQL text as a statement that returns no rows.
    void execSql(const QString &sql);
    bool active() const { return m_active; }

    // Moves post a pending change first (a failed post throws, and the position stays).
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int distance);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return m_count == 0; }
    int recordCount() const { return m_count; }
    int recNo() const { return m_count == 0 ? 0 : m_pos + 1; }

    bool hasField(const QString &name) const;
    QVariant value(const QString &name) const;
    QString asString(const QString &name) const;
    int asInteger(const QString &name) const;
    double asDouble(const QString &name) const;
    QDateTime asDateTime(const QString &name) const;
    QByteArray asBytes(const QString &name) const;
    bool isNull(const QString &name) const;
    // Value of the first column of the current row, for count(*) and max() queries.
    QVariant firstValue() const;

    void edit();
    void append();
    void setValue(const QString &name, const QVariant &value);
    void post();
    void cancel();
    bool editing() const { return m_state != State::Browse; }

    // The one table after `from`, or empty when the query cannot be changed.
    const QString &tableName() const { return m_table; }

private:
    enum class State { Browse, Edit, Insert };
    struct CachedRow {
        int pos = -1;
        std::vector<QVariant> values;
    };
    static constexpr size_t kCachedRows = 32;

    int columnIndex(const QString &name, bool mustExist = true) const;
    void requireActive() const;
    void checkBrowse();
    const std::vector<QVariant> *currentRow() const;
    std::vector<QVariant> readRow(qint64 rowid, bool traced) const;
    void keepRow(int pos, std::vector<QVariant> values);
    void openKeyset(const QString &columns, const QString &table, const QString &fromTable,
                    const QStringList &orderColumns, bool ordered);

    SqlDatabase *m_db = nullptr;
    QString m_sql;
    QString m_table;
    bool m_active = false;
    bool m_keyed = false;
    std::vector<QString> m_names;
    std::map<QString, int> m_index; // lower-case name -> column
    int m_count = 0;
    // A keyset: rowids in the statement's order, and per row the values of m_carried's columns.
    std::vector<qint64> m_keys;
    std::vector<int> m_carried;
    std::vector<QVariant> m_carriedValues;
    mutable std::unique_ptr<PreparedStatement> m_readRow;
    QString m_readRowSql;
    mutable std::array<CachedRow, kCachedRows> m_cache;
    // Any other select: every row.
    std::vector<std::vector<QVariant>> m_rows;
    int m_pos = 0;
    bool m_eof = true;
    bool m_bof = true;
    State m_state = State::Browse;
    std::vector<std::pair<QString, QVariant>> m_pending;
};

// Splices a value between the delimiters the fixed SQL pieces already carry: a delimiter inside the
// value is doubled, so the value can never end its literal. Ordinary values come back unchanged.
QString SqlValue(const QString &value, QChar delimiter = QLatin1Char('"'));
