#pragma once

#include <QString>

#include <optional>

class SqlDatabase;

// The time left of a paper that has not been handed in, kept in a table of the program's own
// (created when missing), so that a paper interrupted by a crash or a power cut can be continued
// with the time it had. No table of the bank's format changes meaning.
class ExamTimeStore {
public:
    explicit ExamTimeStore(SqlDatabase &db) : m_db(db) {}

    void ensureTable();
    void save(const QString &paperKey, int secondsLeft);
    // Nothing when the paper has no stored time (never started here, or handed in).
    std::optional<int> load(const QString &paperKey);
    void forget(const QString &paperKey);

private:
    SqlDatabase &m_db;
};
