#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// One encrypted bank connection. Non-copyable; closes on destruction.
class SqlDatabase {
public:
    using TraceHook = std::function<void(const QString &statement)>;

    // How long a statement waits for another connection's lock (a second copy of the program, a
    // backup tool) before it fails with "database is locked".
    static constexpr int kBusyTimeoutMs = 5000;

    SqlDatabase() = default;
    ~SqlDatabase();
    SqlDatabase(const SqlDatabase &) = delete;
    SqlDatabase &operator=(const SqlDatabase &) = delete;

    // Opens an existing bank (never creates one) and proves the key with a first read; each of
    // `requiredTables` must exist and its first page read. Throws SqlError when the file is
    // missing, the key is wrong or the file is damaged, before anything is written to it.
    void open(const QString &path, const QString &key, const QStringList &requiredTables = {});
    // Opens an existing bank for reading only, proving the key and the tables as open() does; the
    // file is left exactly as it is (no journal mode is set). For banks that must not change: a
    // release bank being upgraded from, a backup being checked. The engine's companion files that this
    // opening had to make beside a bank in write-ahead mode are removed again when it closes.
    void openReadOnly(const QString &path, const QString &key, const QStringList &requiredTables = {});
    // Creates a new, empty bank file (the bank tool and test fixtures use this).
    void create(const QString &path, const QString &key);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }

    // Runs a statement that returns no rows; values bind to `?` in order.
    void exec(const QString &sql, const std::vector<QVariant> &values = {});
    // Runs a statement and returns every row; column names into *names when given.
    std::vector<std::vector<QVariant>> select(const QString &sql, const std::vector<QVariant> &values = {},
                                              std::vector<QString> *names = nullptr);
    qint64 lastInsertRowId() const;
    // Replaces the busy time-out of this connection (tests shorten it).
    void setBusyTimeout(int milliseconds);

    // Counts the times the connection was opened: a prepared statement from an earlier opening is
    // stale.
    quint64 generation() const { return m_generation; }

    // Every statement text sent to the engine is reported here (tests assert the exact texts).
    void setTraceHook(TraceHook hook) { m_trace = std::move(hook); }
    void trace(const QString &statement) const;

    sqlite3 *handle() const { return m_db; }

private:
    void openWith(const QString &path, const QString &key, int flags, bool mustHoldTables,
                  const QStringList &requiredTables, bool readOnly = false);
    [[noreturn]] void fail(const QString &context) const;

    sqlite3 *m_db = nullptr;
    QString m_path;
    QStringList m_madeCompanions; // "-wal"/"-shm" files a read-only opening created
    TraceHook m_trace;
    quint64 m_generation = 0;
};

// A statement prepared once and run many times (a dataset's row reads). Non-copyable; finalized
// on destruction. It is reset after every run, so it never holds a read lock between runs.
class PreparedStatement {
public:
    PreparedStatement(SqlDatabase &db, const QString &sql);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement &) = delete;
    PreparedStatement &operator=(const PreparedStatement &) = delete;

    std::vector<QString> columnNames() const;
    // Binds `values` to the `?` in order and returns every row.
    std::vector<std::vector<QVariant>> select(const std::vector<QVariant> &values = {});
    // Binds `values` and hands the rows to `take` one at a time, so a table of any size is read in
    // the memory of one row. An exception from `take` ends the read.
    void forEachRow(const std::function<void(const std::vector<QVariant> &row)> &take,
                    const std::vector<QVariant> &values = {});
    // Binds `values`, runs the statement and appends per row its first column, an integer, to *keys
    // and the values of its other columns to *rest (a keyset, read without a container per row).
    void selectKeys(std::vector<qint64> *keys, std::vector<QVariant> *rest, const std::vector<QVariant> &values = {});
    // Binds `values` and runs a statement that returns no rows; returns the rows it inserted,
    // changed or deleted.
    int exec(const std::vector<QVariant> &values = {});
    quint64 generation() const { return m_generation; }

private:
    void bind(const std::vector<QVariant> &values);
    [[noreturn]] void fail();

    sqlite3_stmt *m_stmt = nullptr;
    quint64 m_generation;
};

// Binds a value to a `?` of a prepared statement: NULL for an invalid or null value, date-times as
// "yyyy-MM-dd HH:mm:ss" text. Returns the engine's result code.
int bindValue(sqlite3_stmt *stmt, int index, const QVariant &value);
// Reads a column value of a prepared statement as the Qt value the dataset keeps.
QVariant columnValue(sqlite3_stmt *stmt, int column);
