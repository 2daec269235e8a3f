#include "Dataset.h"

#include "BankFailure.h"

#include "NumberText.h"
#include "SqlDatabase.h"
#include "SqlError.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace {

QString quoteIdentifier(const QString &name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

bool isWordStart(QChar c) {
    return c.unicode() < 128 && (c.isLetter() || c == QLatin1Char('_'));
}
bool isWordChar(QChar c) {
    return c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('_'));
}

} // namespace

// A select over exactly one table, with at most a where and an order-by clause: the rows it gives
// are rows of that table, so they can be addressed by rowid and read one at a time.
struct SingleTableSelect {
    bool ok = false;
    QString columns;            // the text between `select` and `from`
    QString table;              // the word after `from`
    QString fromTable;          // from the table's name to the end
    bool ordered = false;       // has an order-by clause
    QStringList orderColumns;   // its terms that are plain column names
    bool plainAscending = true; // every order term is a plain column, ascending
    QString where;              // the where clause's condition, or empty
};

namespace {

SingleTableSelect parseSingleTableSelect(const QString &sql) {
    struct Word {
        QString lower;
        int start, end, depth;
    };
    std::vector<Word> words;
    int depth = 0;
    int end = int(sql.size());
    for (int i = 0; i < end;) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            int j = i + 1;
            for (;; ++j) {
                if (j >= end) return {}; // an unterminated literal: leave it to the engine
                if (sql.at(j) == close) {
                    if (close != QLatin1Char(']') && j + 1 < end && sql.at(j + 1) == close) {
                        ++j;
                        continue;
                    }
                    break;
                }
            }
            i = j + 1;
        } else if (c == QLatin1Char('(')) {
            ++depth;
            ++i;
        } else if (c == QLatin1Char(')')) {
            --depth;
            ++i;
        } else if (c == QLatin1Char(';')) {
            for (int j = i + 1; j < int(sql.size()); ++j)
                if (!sql.at(j).isSpace()) return {};
            end = i;
        } else if (isWordStart(c)) {
            int j = i + 1;
            while (j < end && isWordChar(sql.at(j)))
                ++j;
            words.push_back({sql.mid(i, j - i).toLower(), i, j, depth});
            i = j;
        } else if (c.isDigit()) {
            int j = i + 1;
            while (j < end && (isWordChar(sql.at(j)) || sql.at(j) == QLatin1Char('.')))
                ++j;
            i = j;
        } else {
            ++i;
        }
    }
    if (depth != 0 || words.size() < 3 || words[0].lower != QStringLiteral("select")) return {};
    static const QStringList refused = {
        QStringLiteral("select"), QStringLiteral("join"),     QStringLiteral("group"),     QStringLiteral("having"),
        QStringLiteral("limit"),  QStringLiteral("union"),    QStringLiteral("intersect"), QStringLiteral("except"),
        QStringLiteral("offset"), QStringLiteral("distinct"), QStringLiteral("with"),      QStringLiteral("indexed")};
    size_t from = 0;
    for (size_t w = 1; w < words.size(); ++w) {
        if (refused.contains(words[w].lower)) return {};
        if (!from && words[w].lower == QStringLiteral("from") && words[w].depth == 0) from = w;
    }
    if (!from || from + 1 >= words.size()) return {};
    const Word &table = words[from + 1];
    auto onlySpace = [&](int a, int b) { return sql.mid(a, b - a).trimmed().isEmpty(); };
    if (!onlySpace(words[from].end, table.start)) return {};
    // After the table: nothing, a where clause or an order-by clause (no alias, no second table).
    if (from + 2 < words.size()) {
        const Word &after = words[from + 2];
        if (!onlySpace(table.end, after.start) ||
            (after.lower != QStringLiteral("where") && after.lower != QStringLiteral("order")))
            return {};
    } else if (!onlySpace(table.end, end)) {
        return {};
    }
    SingleTableSelect s;
    s.columns = sql.mid(words[0].end, words[from].start - words[0].end).trimmed();
    static const QRegularExpression plainColumns(
        QStringLiteral("^(\\*|[A-Za-z_][A-Za-z0-9_]*(\\s*,\\s*[A-Za-z_][A-Za-z0-9_]*)*)$"));
    if (!plainColumns.match(s.columns).hasMatch()) return {};
    s.table = sql.mid(table.start, table.end - table.start);
    s.fromTable = sql.mid(table.start, end - table.start);
    int whereEnd = end;
    for (size_t w = words.size() - 1; w > from + 1; --w) {
        if (words[w - 1].lower == QStringLiteral("order") && words[w].lower == QStringLiteral("by") &&
            words[w].depth == 0) {
            s.ordered = true;
            whereEnd = words[w - 1].start;
            static const QRegularExpression plainTerm(QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*)(\\s+(asc|desc))?$"),
                                                      QRegularExpression::CaseInsensitiveOption);
            const QString terms = sql.mid(words[w].end, end - words[w].end);
            s.plainAscending = !terms.contains(QLatin1Char('('));
            if (!terms.contains(QLatin1Char('(')))
                for (const QString &term : terms.split(QLatin1Char(','))) {
                    const auto m = plainTerm.match(term.trimmed());
                    if (m.hasMatch()) s.orderColumns << m.captured(1);
                    if (!m.hasMatch() || m.captured(3).compare(QStringLiteral("desc"), Qt::CaseInsensitive) == 0)
                        s.plainAscending = false;
                }
            break;
        }
    }
    if (from + 2 < words.size() && words[from + 2].lower == QStringLiteral("where"))
        s.where = sql.mid(words[from + 2].end, whereEnd - words[from + 2].end).trimmed();
    s.ok = true;
    return s;
}

// What the learner is told when a change did not reach the bank.
QString postFailureText(const SqlError &e, const QString &bankPath) {
    QString reason;
    switch (ClassifyBankFailure(e.code(), e.message(), bankPath)) {
    case BankFailureCause::Busy:
        reason = QStringLiteral("题库正被其他程序使用，请稍后再试。");
        break;
    case BankFailureCause::ReadOnly:
        reason = QStringLiteral("题库文件不可写。");
        break;
    case BankFailureCause::DiskFull:
        reason = QStringLiteral("磁盘空间不足。");
        break;
    case BankFailureCause::DiskError:
        reason = QStringLiteral("读写题库文件时出错。");
        break;
    case BankFailureCause::Damaged:
        reason = QStringLiteral("题库文件已损坏。请从备份恢复题库文件，或重新安装本程序。");
        break;
    case BankFailureCause::Other:
        reason = QStringLiteral("题库拒绝了这次更改（%1）。").arg(e.message());
        break;
    }
    return QStringLiteral("本次更改未能保存到题库：") + reason;
}

} // namespace

QString SqlValue(const QString &value, QChar delimiter) {
    QString v = value;
    v.replace(delimiter, QString(delimiter) + delimiter);
    return v;
}

Dataset::Dataset(SqlDatabase *db) : m_db(db) {}
Dataset::~Dataset() = default;

void Dataset::setSql(const QString &sql) {
    close();
    m_sql = sql;
}

void Dataset::close() {
    m_active = false;
    m_keyed = false;
    m_table.clear();
    m_count = 0;
    m_rows.clear();
    m_keys.clear();
    m_carried.clear();
    m_carriedValues.clear();
    m_windowRows = 0;
    m_whereText.clear();
    m_orderColumns.clear();
    m_atStart = m_atEnd = true;
    m_front = m_back = Anchor();
    m_readRow.reset();
    m_readRowSql.clear();
    for (CachedRow &row : m_cache)
        row = CachedRow();
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
    openWith(0);
}

void Dataset::openWindowed(const QString &sql, int windowRows) {
    setSql(sql);
    openWith(std::max(windowRows, 1));
}

void Dataset::openWith(int windowRows) {
    if (!m_db) throw SqlError(QStringLiteral("the question bank is not open"));
    close();
    // The statement's own text is what is traced: the key and row reads below stand for it.
    m_db->trace(m_sql);
    const SingleTableSelect simple = parseSingleTableSelect(m_sql);
    try {
        if (simple.ok) {
            openKeyset(simple, windowRows);
        } else {
            std::vector<QString> names;
            m_rows = m_db->select(m_sql, {}, &names);
            for (size_t c = 0; c < names.size(); ++c) {
                m_names.push_back(names[c]);
                m_index.emplace(names[c].toLower(), int(c));
            }
            m_count = int(m_rows.size());
        }
    } catch (...) {
        close();
        throw;
    }
    m_active = true;
    first();
}

void Dataset::openRows(const QString &table, std::vector<qint64> rowids, const QString &description) {
    if (!m_db) throw SqlError(QStringLiteral("the question bank is not open"));
    setSql(description);
    m_db->trace(m_sql);
    try {
        m_readRowSql = QStringLiteral("select * from ") + table + QStringLiteral(" where _rowid_ = ?");
        m_readRow = std::make_unique<PreparedStatement>(*m_db, m_readRowSql);
        m_names = m_readRow->columnNames();
        for (size_t c = 0; c < m_names.size(); ++c)
            m_index.emplace(m_names[c].toLower(), int(c));
    } catch (...) {
        close();
        throw;
    }
    m_keys = std::move(rowids);
    m_count = int(m_keys.size());
    m_table = table;
    m_keyed = true;
    m_active = true;
    first();
}

// Reads the keys in the statement's order, all of them or (windowed) the first window; rows that
// tie on its order come in key order.
void Dataset::openKeyset(const SingleTableSelect &select, int windowRows) {
    m_readRowSql = QStringLiteral("select ") + select.columns + QStringLiteral(" from ") + select.table +
                   QStringLiteral(" where _rowid_ = ?");
    m_readRow = std::make_unique<PreparedStatement>(*m_db, m_readRowSql);
    m_names = m_readRow->columnNames();
    for (size_t c = 0; c < m_names.size(); ++c)
        m_index.emplace(m_names[c].toLower(), int(c));
    m_table = select.table;
    m_keyed = true;
    // The columns the statement orders by ride along with the keys: positioning by them (a chapter
    // in a practice set) then reads no row.
    QString keySql = QStringLiteral("select _rowid_");
    for (const QString &name : select.orderColumns) {
        const int c = columnIndex(name, false);
        if (c < 0 || std::find(m_carried.begin(), m_carried.end(), c) != m_carried.end()) continue;
        m_carried.push_back(c);
        keySql += QStringLiteral(", ") + name;
    }
    // A window goes on from the order values of the keys at its ends, so every order column must be
    // carried; any other order is read whole.
    if (windowRows > 0 && select.plainAscending && m_carried.size() == size_t(select.orderColumns.size())) {
        m_windowRows = windowRows;
        m_whereText = select.where;
        m_orderColumns = select.orderColumns;
        std::vector<qint64> keys;
        std::vector<QVariant> order;
        m_atStart = true;
        m_atEnd = readKeys(true, nullptr, m_windowRows, keys, order) < m_windowRows;
        keepKeys(true, keys, order);
        return;
    }
    // Ties of the order, and a statement without one, come in key order; an unordered statement is
    // sorted here rather than by the engine, which can then answer it from an index alone.
    keySql += QStringLiteral(" from ") + select.fromTable;
    if (select.ordered) keySql += QStringLiteral(", _rowid_");
    PreparedStatement(*m_db, keySql).selectKeys(&m_keys, &m_carriedValues);
    if (!select.ordered) std::sort(m_keys.begin(), m_keys.end());
    m_count = int(m_keys.size());
}

namespace {

// One of the ranges that together make "after" (or "before") a key in the order (c1, ..., cn,
// rowid): the first `equal` order columns equal to the key's, the next one beyond it. Each range is
// a plain seek in an index on the order, where one row-value comparison would not be, and a null
// (which sorts first) needs `is null` where a comparison gives no answer.
QString rangeCondition(const QStringList &columns, qint64 key, const std::vector<QVariant> &keyOrder, int equal,
                       bool forward, bool nullsBeyond, std::vector<QVariant> &values) {
    QStringList terms;
    for (int i = 0; i < equal; ++i) {
        if (keyOrder[size_t(i)].isNull()) {
            terms << columns[i] + QStringLiteral(" is null");
        } else {
            terms << columns[i] + QStringLiteral(" = ?");
            values.push_back(keyOrder[size_t(i)]);
        }
    }
    if (equal == columns.size()) {
        terms << (forward ? QStringLiteral("_rowid_ > ?") : QStringLiteral("_rowid_ < ?"));
        values.push_back(key);
    } else if (nullsBeyond) {
        terms << columns[equal] + QStringLiteral(" is null");
    } else if (keyOrder[size_t(equal)].isNull()) {
        terms << columns[equal] + QStringLiteral(" is not null"); // only forward: nothing sorts before a null
    } else {
        terms << columns[equal] + (forward ? QStringLiteral(" > ?") : QStringLiteral(" < ?"));
        values.push_back(keyOrder[size_t(equal)]);
    }
    return terms.join(QStringLiteral(" and "));
}

} // namespace

int Dataset::readKeysWhere(bool forward, const QString &condition, std::vector<QVariant> values, int limit,
                           std::vector<qint64> &keys, std::vector<QVariant> &order) const {
    QString sql = QStringLiteral("select _rowid_");
    QString orderBy = QStringLiteral(" order by ");
    for (const QString &name : m_orderColumns) {
        sql += QStringLiteral(", ") + name;
        orderBy += name + (forward ? QStringLiteral(", ") : QStringLiteral(" desc, "));
    }
    sql += QStringLiteral(" from ") + m_table + QStringLiteral(" where ");
    if (!m_whereText.isEmpty()) sql += QLatin1Char('(') + m_whereText + QStringLiteral(") and ");
    sql += condition + orderBy + (forward ? QStringLiteral("_rowid_ limit ?") : QStringLiteral("_rowid_ desc limit ?"));
    values.push_back(qint64(limit));
    const size_t before = keys.size();
    PreparedStatement(*m_db, sql).selectKeys(&keys, &order, values);
    return int(keys.size() - before);
}

int Dataset::readKeys(bool forward, const Anchor *anchor, int limit, std::vector<qint64> &keys,
                      std::vector<QVariant> &order) const {
    int read = 0;
    auto run = [&](const QString &condition, std::vector<QVariant> values) {
        if (limit >= 0 && read >= limit) return;
        read += readKeysWhere(forward, condition, std::move(values), limit < 0 ? -1 : limit - read, keys, order);
    };
    if (!anchor) {
        run(QStringLiteral("1"), {});
        return read;
    }
    // Nearest first: same order values and a later key, then a later value of the last order
    // column, and so on out to the first. Going back, the rows whose column is null come after
    // those with a lower value.
    const int n = int(m_orderColumns.size());
    for (int equal = n; equal >= 0; --equal) {
        if (!forward && equal < n && anchor->order[size_t(equal)].isNull()) continue;
        for (bool nulls : {false, true}) {
            if (nulls && (forward || equal == n)) break;
            std::vector<QVariant> values;
            const QString range =
                rangeCondition(m_orderColumns, anchor->key, anchor->order, equal, forward, nulls, values);
            run(range, std::move(values));
        }
    }
    return read;
}

void Dataset::requireActive() const {
    if (!m_active) throw SqlError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void Dataset::checkBrowse() {
    if (m_state != State::Browse) post();
}

void Dataset::first() {
    checkBrowse();
    if (!m_atStart) extend(false, -1);
    m_pos = 0;
    m_bof = true;
    m_eof = m_count == 0;
}

void Dataset::last() {
    checkBrowse();
    if (!m_atEnd) extend(true, -1);
    m_pos = m_count == 0 ? 0 : m_count - 1;
    m_eof = true;
    m_bof = m_count == 0;
}

bool Dataset::next() {
    return moveBy(1) != 0;
}
bool Dataset::prior() {
    return moveBy(-1) != 0;
}

int Dataset::moveBy(int distance) {
    checkBrowse();
    if (distance > 0) {
        if (!m_atEnd && m_pos + distance > m_count - 1) extend(true, m_pos + distance - (m_count - 1));
        const int steps = std::min(distance, std::max(m_count - 1 - m_pos, 0));
        m_pos += steps;
        if (steps > 0) m_bof = false;
        if (steps < distance) m_eof = true;
        return steps;
    }
    if (distance < 0) {
        if (!m_atStart && m_pos + distance < 0) extend(false, -(m_pos + distance));
        const int steps = std::min(-distance, m_count == 0 ? 0 : m_pos);
        m_pos -= steps;
        if (steps > 0) m_eof = false;
        if (steps < -distance) m_bof = true;
        return -steps;
    }
    return 0;
}

int Dataset::recordCount() {
    if (!m_atEnd) extend(true, -1);
    if (!m_atStart) extend(false, -1);
    return m_count;
}

int Dataset::recNo() {
    if (!m_atStart) extend(false, -1);
    return m_count == 0 ? 0 : m_pos + 1;
}

void Dataset::extend(bool forward, int rows) {
    std::vector<qint64> keys;
    std::vector<QVariant> order;
    const int wanted = rows < 0 ? -1 : std::max(rows, m_windowRows);
    const int read = readKeys(forward, forward ? &m_back : &m_front, wanted, keys, order);
    if (wanted < 0 || read < wanted) (forward ? m_atEnd : m_atStart) = true;
    keepKeys(forward, keys, order);
}

// Keys read nearest first join the window at its end (forward) or its start; the anchors take the
// order values as read.
void Dataset::keepKeys(bool forward, std::vector<qint64> &keys, std::vector<QVariant> &order) {
    if (keys.empty()) return;
    const size_t n = m_orderColumns.size();
    auto anchor = [&](size_t i) {
        return Anchor{keys[i], std::vector<QVariant>(order.begin() + long(i * n), order.begin() + long((i + 1) * n))};
    };
    const bool wasEmpty = m_keys.empty();
    if (forward) {
        if (wasEmpty) m_front = anchor(0);
        m_back = anchor(keys.size() - 1);
        m_keys.insert(m_keys.end(), keys.begin(), keys.end());
        m_carriedValues.insert(m_carriedValues.end(), order.begin(), order.end());
    } else {
        if (wasEmpty) m_back = anchor(0);
        m_front = anchor(keys.size() - 1);
        std::vector<qint64> keysBefore(keys.rbegin(), keys.rend());
        std::vector<QVariant> orderBefore;
        orderBefore.reserve(order.size());
        for (size_t i = keys.size(); i-- > 0;)
            orderBefore.insert(orderBefore.end(), order.begin() + long(i * n), order.begin() + long((i + 1) * n));
        m_keys.insert(m_keys.begin(), keysBefore.begin(), keysBefore.end());
        m_carriedValues.insert(m_carriedValues.begin(), orderBefore.begin(), orderBefore.end());
        if (!wasEmpty) m_pos += int(keys.size());
        // The cache is by position, and every position moved.
        for (CachedRow &row : m_cache)
            row = CachedRow();
    }
    m_count = int(m_keys.size());
}

bool Dataset::seekFirst(const QString &condition, const std::vector<QVariant> &values) {
    requireActive();
    if (!m_keyed) throw SqlError(QStringLiteral("Cannot seek in this dataset"));
    checkBrowse();
    if (m_windowRows == 0) {
        // Every key is read: the first of them that meets the condition.
        std::vector<qint64> meeting;
        std::vector<QVariant> none;
        PreparedStatement(*m_db,
                          QStringLiteral("select _rowid_ from ") + m_table + QStringLiteral(" where ") + condition)
            .selectKeys(&meeting, &none, values);
        std::sort(meeting.begin(), meeting.end());
        for (size_t i = 0; i < m_keys.size(); ++i) {
            if (std::binary_search(meeting.begin(), meeting.end(), m_keys[i])) {
                m_pos = int(i);
                m_bof = i == 0;
                m_eof = false;
                return true;
            }
        }
        return false;
    }
    std::vector<qint64> keys;
    std::vector<QVariant> order;
    if (readKeysWhere(true, QLatin1Char('(') + condition + QLatin1Char(')'), values, 1, keys, order) == 0) return false;
    // Reading starts again at the row found; the keys before it are read at once so that bof tells
    // whether it is the set's first row.
    m_keys.clear();
    m_carriedValues.clear();
    for (CachedRow &row : m_cache)
        row = CachedRow();
    m_count = 0;
    m_pos = 0;
    keepKeys(true, keys, order);
    m_atStart = m_atEnd = false;
    extend(false, m_windowRows);
    m_bof = m_pos == 0;
    m_eof = false;
    return true;
}

int Dataset::columnIndex(const QString &name, bool mustExist) const {
    const auto it = m_index.find(name.toLower());
    if (it == m_index.end()) {
        if (mustExist) throw SqlError(QStringLiteral("Field '%1' not found").arg(name));
        return -1;
    }
    return it->second;
}

bool Dataset::hasField(const QString &name) const {
    return columnIndex(name, false) >= 0;
}

std::vector<QVariant> Dataset::readRow(qint64 rowid, bool traced) const {
    if (!m_readRow || m_readRow->generation() != m_db->generation())
        m_readRow = std::make_unique<PreparedStatement>(*m_db, m_readRowSql);
    if (traced) m_db->trace(m_readRowSql);
    auto rows = m_readRow->select({rowid});
    // A row deleted since the keys were read reads as empty.
    if (rows.empty()) return std::vector<QVariant>(m_names.size());
    return std::move(rows.front());
}

const std::vector<QVariant> *Dataset::currentRow() const {
    if (m_count == 0) return nullptr;
    if (!m_keyed) return &m_rows[size_t(m_pos)];
    CachedRow &slot = m_cache[size_t(m_pos) % kCachedRows];
    if (slot.pos != m_pos) {
        slot.pos = -1;
        slot.values = readRow(m_keys[size_t(m_pos)], false);
        slot.pos = m_pos;
    }
    return &slot.values;
}

void Dataset::keepRow(int pos, std::vector<QVariant> values) {
    for (size_t i = 0; i < m_carried.size(); ++i)
        m_carriedValues[size_t(pos) * m_carried.size() + i] = values[size_t(m_carried[i])];
    CachedRow &slot = m_cache[size_t(pos) % kCachedRows];
    slot.values = std::move(values);
    slot.pos = pos;
}

QVariant Dataset::value(const QString &name) const {
    requireActive();
    const int c = columnIndex(name);
    if (m_state != State::Browse) {
        for (const auto &p : m_pending)
            if (p.first.compare(name, Qt::CaseInsensitive) == 0) return p.second;
    }
    if (m_count == 0) return QVariant();
    if (m_keyed && m_cache[size_t(m_pos) % kCachedRows].pos != m_pos) {
        for (size_t i = 0; i < m_carried.size(); ++i)
            if (m_carried[i] == c) return m_carriedValues[size_t(m_pos) * m_carried.size() + i];
    }
    return (*currentRow())[size_t(c)];
}

QVariant Dataset::firstValue() const {
    requireActive();
    if (m_count == 0 || m_names.empty()) return QVariant();
    return (*currentRow())[0];
}

bool Dataset::isNull(const QString &name) const {
    return value(name).isNull();
}

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
    if (m_count == 0) {
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
    checkBrowse();
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

// One statement, no transaction of its own: inside a unit of work's transaction it commits with
// it, otherwise at once. The row is read back (traced) so that defaults, auto-numbers and the
// engine's types show.
void Dataset::post() {
    requireActive();
    if (m_state == State::Browse) return;
    if (!m_keyed) {
        cancel();
        throw SqlError(QStringLiteral("Cannot modify a read-only dataset"));
    }
    if (m_state == State::Edit && m_pending.empty()) {
        cancel();
        return;
    }
    std::vector<QVariant> values;
    QString sql;
    if (m_state == State::Edit) {
        QStringList sets;
        for (const auto &p : m_pending) {
            sets << quoteIdentifier(p.first) + QStringLiteral(" = ?");
            values.push_back(p.second);
        }
        values.push_back(m_keys[size_t(m_pos)]);
        sql = QStringLiteral("update ") + m_table + QStringLiteral(" set ") + sets.join(QStringLiteral(", ")) +
              QStringLiteral(" where _rowid_ = ?");
    } else if (m_pending.empty()) {
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
    const bool inserting = m_state == State::Insert;
    // A new row comes last: after every key of a windowed set, read before the row exists.
    if (inserting && !m_atEnd) extend(true, -1);
    // Whatever happens, the pending change is gone: it must never reach another row.
    cancel();
    try {
        m_db->trace(sql);
        m_db->exec(sql, values);
    } catch (const SqlError &e) {
        throw PostError(postFailureText(e, m_db ? m_db->path() : QString()), e);
    }
    if (inserting) {
        m_keys.push_back(m_db->lastInsertRowId());
        m_carriedValues.resize(m_carriedValues.size() + m_carried.size());
        m_pos = m_count++;
        m_eof = m_bof = false;
    }
    keepRow(m_pos, readRow(m_keys[size_t(m_pos)], true));
}
