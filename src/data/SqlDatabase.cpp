#include "SqlDatabase.h"

#include "SqlError.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

QString keyLiteral(const QString &key) {
    QString k = key;
    k.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + k + QLatin1Char('\'');
}

} // namespace

int bindValue(sqlite3_stmt *stmt, int index, const QVariant &v) {
    switch (v.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return sqlite3_bind_null(stmt, index);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return sqlite3_bind_int64(stmt, index, v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, index, v.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(stmt, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::QDateTime: {
        const QByteArray t = v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
        return sqlite3_bind_text(stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
    }
    default: {
        if (v.isNull()) return sqlite3_bind_null(stmt, index);
        const QByteArray t = v.toString().toUtf8();
        return sqlite3_bind_text(stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
    }
    }
}

QVariant columnValue(sqlite3_stmt *stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                                          sqlite3_column_bytes(stmt, column)));
    case SQLITE_BLOB: {
        const void *p = sqlite3_column_blob(stmt, column);
        return QVariant(QByteArray(static_cast<const char *>(p), sqlite3_column_bytes(stmt, column)));
    }
    default:
        return QVariant();
    }
}

SqlDatabase::~SqlDatabase() {
    close();
}

void SqlDatabase::close() {
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    // An empty log means nobody wrote while the bank was read here: the files are ours to remove.
    if (!m_madeCompanions.isEmpty() && QFileInfo(m_path + QStringLiteral("-wal")).size() == 0)
        for (const QString &file : std::as_const(m_madeCompanions))
            QFile::remove(file);
    m_madeCompanions.clear();
}

void SqlDatabase::fail(const QString &context) const {
    QString msg = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
    if (!context.isEmpty()) msg = context + QStringLiteral(": ") + msg;
    throw SqlError(msg, m_db ? sqlite3_extended_errcode(m_db) : SQLITE_NOMEM);
}

void SqlDatabase::setBusyTimeout(int milliseconds) {
    if (m_db && sqlite3_busy_timeout(m_db, milliseconds) != SQLITE_OK) fail(QStringLiteral("busy time-out"));
}

void SqlDatabase::openWith(const QString &path, const QString &key, int flags, bool mustHoldTables,
                           const QStringList &requiredTables, bool readOnly) {
    close();
    m_path = path;
    const QByteArray file = QFileInfo(path).absoluteFilePath().toUtf8();
    if (sqlite3_open_v2(file.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        const QString msg = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("cannot open");
        const int code = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_CANTOPEN;
        close();
        throw SqlError(msg, code);
    }
    ++m_generation;
    try {
        // Another copy of the program or a backup tool may hold the file for a moment: wait for it
        // rather than fail every save at once.
        setBusyTimeout(kBusyTimeoutMs);
        // The key must come before anything else touches the file.
        exec(QStringLiteral("PRAGMA key = ") + keyLiteral(key));
        // A first read proves the key: a wrong key or a plain file fails here. An empty file would
        // open as an empty database; it is no bank, and nothing may be written into it.
        const auto tables = select(QStringLiteral("select count(*) from sqlite_master"));
        if (mustHoldTables && (tables.empty() || tables[0][0].toLongLong() == 0))
            throw SqlError(QStringLiteral("file is not a question bank"));
        for (const QString &table : requiredTables)
            select(QStringLiteral("select * from \"%1\" limit 1").arg(table));
        if (readOnly) return;
        // Durable at once, and cheap enough to post every change on its own (measured: WAL with
        // synchronous FULL posts in about a third of the time of the rollback journal).
        const auto mode = select(QStringLiteral("PRAGMA journal_mode = WAL"));
        if (mode.empty() || mode[0].empty() ||
            mode[0][0].toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0)
            throw SqlError(QStringLiteral("cannot switch the bank to write-ahead logging"));
        exec(QStringLiteral("PRAGMA synchronous = FULL"));
        // Large banks count by chapter far faster with a generous page cache (64 MiB).
        exec(QStringLiteral("PRAGMA cache_size = -65536"));
    } catch (...) {
        close();
        throw;
    }
}

void SqlDatabase::open(const QString &path, const QString &key, const QStringList &requiredTables) {
    if (!QFileInfo(path).isFile()) throw SqlError(QStringLiteral("file not found: ") + path);
    openWith(path, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, true, requiredTables);
}

void SqlDatabase::openReadOnly(const QString &path, const QString &key, const QStringList &requiredTables) {
    if (!QFileInfo(path).isFile()) throw SqlError(QStringLiteral("file not found: ") + path);
    QStringList absent;
    for (const char *suffix : {"-wal", "-shm"})
        if (!QFileInfo::exists(path + QString::fromLatin1(suffix))) absent << path + QString::fromLatin1(suffix);
    openWith(path, key, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, true, requiredTables, true);
    m_madeCompanions = absent;
}

void SqlDatabase::create(const QString &path, const QString &key) {
    openWith(path, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, false, {});
}

void SqlDatabase::trace(const QString &statement) const {
    if (m_trace) m_trace(statement);
}

void SqlDatabase::exec(const QString &sql, const std::vector<QVariant> &values) {
    if (!m_db) throw SqlError(QStringLiteral("the question bank is not open"));
    PreparedStatement(*this, sql).exec(values);
}

std::vector<std::vector<QVariant>> SqlDatabase::select(const QString &sql, const std::vector<QVariant> &values,
                                                       std::vector<QString> *names) {
    if (!m_db) throw SqlError(QStringLiteral("the question bank is not open"));
    PreparedStatement st(*this, sql);
    if (names) *names = st.columnNames();
    return st.select(values);
}

PreparedStatement::PreparedStatement(SqlDatabase &db, const QString &sql) : m_generation(db.generation()) {
    if (!db.handle()) throw SqlError(QStringLiteral("the question bank is not open"));
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
        throw SqlError(QString::fromUtf8(sqlite3_errmsg(db.handle())), sqlite3_extended_errcode(db.handle()));
}

PreparedStatement::~PreparedStatement() {
    sqlite3_finalize(m_stmt);
}

void PreparedStatement::fail() {
    sqlite3 *db = sqlite3_db_handle(m_stmt);
    // The message and code of the failed step, read before the reset that releases its locks.
    const SqlError error(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_extended_errcode(db));
    sqlite3_reset(m_stmt);
    throw error;
}

std::vector<QString> PreparedStatement::columnNames() const {
    std::vector<QString> names;
    const int n = sqlite3_column_count(m_stmt);
    for (int c = 0; c < n; ++c)
        names.push_back(QString::fromUtf8(sqlite3_column_name(m_stmt, c)));
    return names;
}

void PreparedStatement::bind(const std::vector<QVariant> &values) {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    int i = 1;
    for (const QVariant &v : values)
        if (bindValue(m_stmt, i++, v) != SQLITE_OK) fail();
}

std::vector<std::vector<QVariant>> PreparedStatement::select(const std::vector<QVariant> &values) {
    bind(values);
    const int n = sqlite3_column_count(m_stmt);
    std::vector<std::vector<QVariant>> rows;
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
        std::vector<QVariant> row;
        row.reserve(size_t(n));
        for (int c = 0; c < n; ++c)
            row.push_back(columnValue(m_stmt, c));
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) fail();
    sqlite3_reset(m_stmt);
    return rows;
}

void PreparedStatement::forEachRow(const std::function<void(const std::vector<QVariant> &row)> &take,
                                   const std::vector<QVariant> &values) {
    bind(values);
    const int n = sqlite3_column_count(m_stmt);
    std::vector<QVariant> row(static_cast<size_t>(n));
    int rc;
    try {
        while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
            for (int c = 0; c < n; ++c)
                row[size_t(c)] = columnValue(m_stmt, c);
            take(row);
        }
    } catch (...) {
        sqlite3_reset(m_stmt);
        throw;
    }
    if (rc != SQLITE_DONE) fail();
    sqlite3_reset(m_stmt);
}

void PreparedStatement::selectKeys(std::vector<qint64> *keys, std::vector<QVariant> *rest,
                                   const std::vector<QVariant> &values) {
    bind(values);
    const int n = sqlite3_column_count(m_stmt);
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
        keys->push_back(sqlite3_column_int64(m_stmt, 0));
        for (int c = 1; c < n; ++c)
            rest->push_back(columnValue(m_stmt, c));
    }
    if (rc != SQLITE_DONE) fail();
    sqlite3_reset(m_stmt);
}

int PreparedStatement::exec(const std::vector<QVariant> &values) {
    bind(values);
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) fail();
    sqlite3_reset(m_stmt);
    return sqlite3_changes(sqlite3_db_handle(m_stmt));
}

qint64 SqlDatabase::lastInsertRowId() const {
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}
