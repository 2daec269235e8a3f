#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <map>
#include <vector>

class SqlDatabase;

// A query the way the windows use one: SQL text, rows read at open, a current row to walk, read
// by column name (case-insensitive), edit or append and post. Posting writes exactly the row it
// came from (by rowid) in its own committed statement, so every change is in the bank at once.
class Dataset {
public:
    explicit Dataset(SqlDatabase *db = nullptr) : m_db(db) {}
    void setConnection(SqlDatabase *db) { m_db = db; }

    // A change of SQL text closes the query first.
    void setSql(const QString &sql);
    const QString &sql() const { return m_sql; }
    void open();
    void close();
    // close + setSql + open, the common pattern.
    void openSql(const QString &sql);
    // Runs the SQL text as a statement that returns no rows.
    void execSql(const QString &sql);
    bool active() const { return m_active; }

    void first();
    void last();
    void next();
    void prior();
    void moveBy(int distance);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return m_rows.empty(); }
    int recordCount() const { return int(m_rows.size()); }
    int recNo() const { return m_rows.empty() ? 0 : m_pos + 1; }

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

    // The one table after `from`, or empty.
    const QString &tableName() const { return m_table; }

private:
    enum class State { Browse, Edit, Insert };
    int columnIndex(const QString &name, bool mustExist = true) const;
    void requireActive() const;
    void refreshRow(qint64 rowid);

    SqlDatabase *m_db = nullptr;
    QString m_sql;
    QString m_table;
    bool m_active = false;
    bool m_hasRowId = false;
    std::vector<QString> m_names;
    std::map<QString, int> m_index; // lower-case name -> column
    std::vector<std::vector<QVariant>> m_rows;
    std::vector<qint64> m_rowIds;
    int m_pos = 0;
    bool m_eof = true;
    bool m_bof = true;
    State m_state = State::Browse;
    std::vector<std::pair<QString, QVariant>> m_pending;
};

// Splices a value between the delimiters the fixed SQL pieces already carry: a delimiter inside the
// value is doubled, so the value can never end its literal. Ordinary values come back unchanged.
QString SqlValue(const QString &value, QChar delimiter = QLatin1Char('"'));
