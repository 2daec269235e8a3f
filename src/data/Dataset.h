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
struct SingleTableSelect;

// A query the way the windows use one: SQL text, a current row to walk, read by column name
// (case-insensitive), edit or append and post.
//
// A select over one table is a keyset: opening reads only the rows' keys (rowids) in the
// statement's order, with the values of the plain columns it orders by; a row's columns are read
// when the row is first read from, and a few rows stay cached. Any other select (counts,
// aggregates) is read whole at open and cannot be changed.
//
// Opened windowed, the keyset reads its keys a window at a time, in the statement's order, as the
// moves reach the end of what was read (in either direction), so a large set opens in the time of
// one window. Keys once read stay: a row that no longer meets the statement since it was read (an
// answered question in a set of unanswered ones) is still there when the learner comes back to it.
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
    // Opens the SQL text as a windowed keyset of `windowRows` keys a window (see above) when it is a
    // select over one table ordered by plain columns ascending (or not ordered); any other statement
    // opens as openSql opens it. Rows that tie on the order come in key order.
    void openWindowed(const QString &sql, int windowRows = kKeyWindow);
    // Makes current the first row, in the statement's order, of those that also meet `condition`
    // (an SQL expression over the table's columns, `values` bound to its `?` in order). A windowed
    // keyset drops the keys read so far and reads on from that row. False, and nothing changed,
    // when no row meets it. Only for a keyset (a select over one table).
    bool seekFirst(const QString &condition, const std::vector<QVariant> &values = {});
    // Opens the given rows of one table, in the given order, as a keyset that can be changed like a
    // select's (a list whose order no single-table statement can state). `description` is the
    // query's text for tracing and sql().
    void openRows(const QString &table, std::vector<qint64> rowids, const QString &description);
    // Runs the SQL text as a statement that returns no rows.
    void execSql(const QString &sql);
    bool active() const { return m_active; }

    // Moves post a pending change first (a failed post throws, and the position stays). A windowed
    // keyset reads the keys a move needs: first() and last() all keys before or after the current.
    void first();
    void last();
    // True when the move reached another row.
    bool next();
    bool prior();
    // The number of rows moved (negative backwards).
    int moveBy(int distance);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return m_count == 0; }
    // The number of rows and the current one's place among them; a windowed keyset reads every key
    // after (recordCount) or before (both) the current first, so these cost a whole read there.
    int recordCount();
    int recNo();

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

    static constexpr int kKeyWindow = 256;

private:
    enum class State { Browse, Edit, Insert };
    // The last key read at one end of a windowed keyset, with its order values as read: reading
    // goes on from there, whatever the row holds now.
    struct Anchor {
        qint64 key = 0;
        std::vector<QVariant> order;
    };
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
    void openKeyset(const SingleTableSelect &select, int windowRows);
    void openWith(int windowRows);
    // Reads up to `limit` keys (all when negative) beyond the end of the window (forward) or before
    // its start, nearest first; returns how many were read. With no anchor, from the set's start.
    int readKeys(bool forward, const Anchor *anchor, int limit, std::vector<qint64> &keys,
                 std::vector<QVariant> &order) const;
    // One read of keys in the set's order (backward: reversed) that also meet `condition`.
    int readKeysWhere(bool forward, const QString &condition, std::vector<QVariant> values, int limit,
                      std::vector<qint64> &keys, std::vector<QVariant> &order) const;
    // Extends the window by at least `rows` keys (every key when negative) in one direction; the
    // current position stays on its row.
    void extend(bool forward, int rows);
    void keepKeys(bool forward, std::vector<qint64> &keys, std::vector<QVariant> &order);

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
    // A windowed keyset: the statement's parts, the window's size and whether the keys read reach
    // the set's start and end. Every order column is carried, in the order's sequence.
    int m_windowRows = 0;
    QString m_whereText;
    QStringList m_orderColumns;
    bool m_atStart = true;
    bool m_atEnd = true;
    Anchor m_front, m_back;
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
