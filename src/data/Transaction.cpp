#include "Transaction.h"

#include "SqlDatabase.h"

namespace {
const QString kBegin = QStringLiteral("savepoint kjks_unit");
const QString kRelease = QStringLiteral("release savepoint kjks_unit");
const QString kRollback = QStringLiteral("rollback to savepoint kjks_unit");
} // namespace

ScopedTransaction::ScopedTransaction(SqlDatabase &db) : m_db(db) {
    m_db.exec(kBegin);
}

ScopedTransaction::~ScopedTransaction() {
    if (m_done) return;
    // Unwinding from a failure: undo the unit and end the savepoint; a second failure here must not
    // replace the first one, which is what the learner is told.
    try {
        m_db.exec(kRollback);
        m_db.exec(kRelease);
    } catch (...) {
    }
}

void ScopedTransaction::commit() {
    m_db.exec(kRelease);
    m_done = true;
}
