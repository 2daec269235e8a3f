#include "Dataset.h"

#include "NumberText.h"
#include "SqlDatabase.h"
#include "SqlError.h"

#include <QRegularExpression>
#include <cmath>

namespace {

const QString kRowIdColumn = QStringLiteral("kjks_rowid__");

QString quoteIdentifier(const QString &name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

// The table a simple select reads from: the word after the first `from`.
QString tableOf(const QString &sql) {
    static const QRegularExpression re(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(sql);
    return m.hasMatch() ? m.captured(1) : QString();
}

// The statement actually run: the rows' rowids ride along in a hidden first column so that a post
// can address exactly its row. Only plain single-table selects get it.
QString withRowId(const QString &sql, bool *added) {
    static const QRegularExpression re(QStringLiteral("^\\s*select\\s+(?!distinct\\b)"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(sql);
    *added = m.hasMatch() && !tableOf(sql).isEmpty();
    if (!*added) return sql;
    return sql.left(m.capturedEnd()) + QStringLiteral("_rowid_ as ") + kRowIdColumn +
           QStringLiteral(", ") + sql.mid(m.capturedEnd());
}

} // namespace

QString SqlValue(const QString &value, QChar delimiter) {
    QString v = value;
    v.replace(delimiter, QString(delimiter) + delimiter);
    return v;
}

void Dataset::setSql(const QString &sql) {
    close();
    m_sql = sql;
}

void Dataset::close() {
    m_active = false;
    m_rows.clear();
    m_rowIds.clear();
    m_names.clear();
    m_index.clear();
    m_pending.clear();
    m_state = State::Browse;
    m_pos = 0;
    m_eof = m_bof = true;
}

void Dataset::openSql(const QString &sql) {
    setSql(sql);
    open();
}

void Dataset::execSql(const QString &sql) {
    if (!m_db) throw SqlError(QStringLiteral("the question bank is not open"));
    close();
    m_sql = sql;
    m_db->trace(sql);
    m_db->exec(sql);
}

void Dataset::open() {
    if (!m_db) throw SqlError(QStringLiteral("the question bank is not open"));
    close();
    m_db->trace(m_sql);
    bool hasRowId = false;
    const QString run = withRowId(m_sql, &hasRowId);
    std::vector<QString> names;
    auto rows = m_db->select(run, {}, &names);
    m_table = tableOf(m_sql);
    m_hasRowId = hasRowId;
    const int skip = hasRowId ? 1 : 0;
    for (size_t c = size_t(skip); c < names.size(); ++c) {
        m_names.push_back(names[c]);
        m_index.emplace(names[c].toLower(), int(c) - skip);
    }
    m_rows.reserve(rows.size());
    for (auto &row : rows) {
        if (hasRowId) {
            m_rowIds.push_back(row.front().toLongLong());
            row.erase(row.begin());
        }
        m_rows.push_back(std::move(row));
    }
    m_active = true;
    first();
}

void Dataset::requireActive() const {
    if (!m_active) throw SqlError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void Dataset::first() {
    m_pos = 0;
    m_bof = true;
    m_eof = m_rows.empty();
}

void Dataset::last() {
    m_pos = m_rows.empty() ? 0 : int(m_rows.size()) - 1;
    m_eof = true;
    m_bof = m_rows.empty();
}

void Dataset::next() {
    if (m_pos + 1 < int(m_rows.size())) {
        ++m_pos;
        m_bof = false;
    } else {
        m_eof = true;
    }
}

void Dataset::prior() {
    if (m_pos > 0 && !m_rows.empty()) {
        --m_pos;
        m_eof = false;
    } else {
        m_bof = true;
    }
}

void Dataset::moveBy(int distance) {
    for (; distance > 0; --distance) next();
    for (; distance < 0; ++distance) prior();
}

int Dataset::columnIndex(const QString &name, bool mustExist) const {
    const auto it = m_index.find(name.toLower());
    if (it == m_index.end()) {
        if (mustExist) throw SqlError(QStringLiteral("Field '%1' not found").arg(name));
        return -1;
    }
    return it->second;
}

bool Dataset::hasField(const QString &name) const { return columnIndex(name, false) >= 0; }

QVariant Dataset::value(const QString &name) const {
    requireActive();
    const int c = columnIndex(name);
    if (m_state != State::Browse) {
        for (const auto &p : m_pending)
            if (p.first.compare(name, Qt::CaseInsensitive) == 0) return p.second;
    }
    if (m_rows.empty()) return QVariant();
    return m_rows[size_t(m_pos)][size_t(c)];
}

QVariant Dataset::firstValue() const {
    requireActive();
    if (m_rows.empty() || m_names.empty()) return QVariant();
    return m_rows[size_t(m_pos)][0];
}

bool Dataset::isNull(const QString &name) const { return value(name).isNull(); }

QString Dataset::asString(const QString &name) const {
    const QVariant v = value(name);
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return QString();
    case QMetaType::Double:
        return FormatNumber(v.toDouble());
    case QMetaType::QByteArray:
        return QString::fromLatin1(v.toByteArray());
    default:
        return v.toString();
    }
}

int Dataset::asInteger(const QString &name) const {
    const QVariant v = value(name);
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong:
        return int(v.toLongLong());
    case QMetaType::Double:
        return int(std::llround(v.toDouble()));
    default:
        return StrToInt(v.toString());
    }
}

double Dataset::asDouble(const QString &name) const {
    const QVariant v = value(name);
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong:
    case QMetaType::Double:
        return v.toDouble();
    default:
        return StrToFloat(v.toString());
    }
}

QDateTime Dataset::asDateTime(const QString &name) const {
    const QVariant v = value(name);
    if (v.isNull()) return QDateTime();
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime();
    const QString t = v.toString();
    QDateTime dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid()) dt = QDateTime::fromString(t, Qt::ISODate);
    if (!dt.isValid()) throw KjksError(QStringLiteral("'%1' is not a valid date and time").arg(t));
    return dt;
}

QByteArray Dataset::asBytes(const QString &name) const {
    const QVariant v = value(name);
    if (v.isNull()) return QByteArray();
    if (v.typeId() == QMetaType::QString) return v.toString().toUtf8();
    return v.toByteArray();
}

void Dataset::edit() {
    requireActive();
    if (m_rows.empty()) {
        append();
        return;
    }
    if (m_state == State::Browse) {
        m_state = State::Edit;
        m_pending.clear();
    }
}

void Dataset::append() {
    requireActive();
    if (m_table.isEmpty()) throw SqlError(QStringLiteral("Cannot modify a read-only dataset"));
    m_state = State::Insert;
    m_pending.clear();
}

void Dataset::setValue(const QString &name, const QVariant &value) {
    requireActive();
    if (m_state == State::Browse) throw SqlError(QStringLiteral("Dataset not in edit or insert mode"));
    columnIndex(name); // the column must be one of the query's
    for (auto &p : m_pending) {
        if (p.first.compare(name, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    }
    m_pending.emplace_back(name, value);
}

void Dataset::cancel() {
    m_state = State::Browse;
    m_pending.clear();
}

void Dataset::post() {
    requireActive();
    if (m_state == State::Browse) return;
    if (m_table.isEmpty() || !m_hasRowId) throw SqlError(QStringLiteral("Cannot modify a read-only dataset"));
    std::vector<QVariant> values;
    QString sql;
    qint64 rowid = 0;
    if (m_state == State::Edit) {
        rowid = m_rowIds[size_t(m_pos)];
        if (!m_pending.empty()) {
            QStringList sets;
            for (const auto &p : m_pending) {
                sets << quoteIdentifier(p.first) + QStringLiteral(" = ?");
                values.push_back(p.second);
            }
            values.push_back(rowid);
            sql = QStringLiteral("update ") + m_table + QStringLiteral(" set ") + sets.join(QStringLiteral(", ")) +
                  QStringLiteral(" where _rowid_ = ?");
            m_db->trace(sql);
            m_db->exec(sql, values);
        }
    } else {
        if (m_pending.empty()) {
            sql = QStringLiteral("insert into ") + m_table + QStringLiteral(" default values");
        } else {
            QStringList cols, marks;
            for (const auto &p : m_pending) {
                cols << quoteIdentifier(p.first);
                marks << QStringLiteral("?");
                values.push_back(p.second);
            }
            sql = QStringLiteral("insert into ") + m_table + QStringLiteral(" (") + cols.join(QStringLiteral(", ")) +
                  QStringLiteral(") values (") + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        m_db->trace(sql);
        m_db->exec(sql, values);
        rowid = m_db->lastInsertRowId();
        m_rows.emplace_back(m_names.size());
        m_rowIds.push_back(rowid);
        m_pos = int(m_rows.size()) - 1;
        m_eof = m_bof = false;
    }
    m_state = State::Browse;
    m_pending.clear();
    refreshRow(rowid);
}

// Reads the posted row back, so that defaults, auto-numbers and the engine's types show.
void Dataset::refreshRow(qint64 rowid) {
    std::vector<QString> names;
    const auto rows = m_db->select(QStringLiteral("select * from ") + m_table + QStringLiteral(" where _rowid_ = ?"),
                                   {rowid}, &names);
    if (rows.empty()) return;
    auto &row = m_rows[size_t(m_pos)];
    for (size_t c = 0; c < names.size(); ++c) {
        const int i = columnIndex(names[c], false);
        if (i >= 0) row[size_t(i)] = rows[0][c];
    }
}
