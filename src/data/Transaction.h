#pragma once

class SqlDatabase;

// Groups the posts of one unit of work (a new paper, a hand-in) in one transaction on the
// connection: commit() makes them permanent together, leaving the scope without it (an exception
// part way) rolls every one of them back. Works through savepoints, so a unit may run inside
// another one.
class ScopedTransaction {
public:
    explicit ScopedTransaction(SqlDatabase &db);
    ~ScopedTransaction();
    ScopedTransaction(const ScopedTransaction &) = delete;
    ScopedTransaction &operator=(const ScopedTransaction &) = delete;

    void commit();

private:
    SqlDatabase &m_db;
    bool m_done = false;
};
