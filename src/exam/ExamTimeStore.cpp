#include "ExamTimeStore.h"

#include "AppTables.h"
#include "SqlDatabase.h"

#include "Platform.h"

namespace {
// Paper keys are decimal numbers written by the engine; anything else has no stored time.
std::optional<qint64> paperNumber(const QString &paperKey) {
    bool ok = false;
    const qint64 n = paperKey.toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}
} // namespace

void ExamTimeStore::ensureTable() {
    EnsureAppTable(m_db, QStringLiteral("kjks_app_exam_time"));
}

void ExamTimeStore::save(const QString &paperKey, int secondsLeft) {
    const auto n = paperNumber(paperKey);
    if (!n) return;
    m_db.exec(QStringLiteral("insert or replace into kjks_app_exam_time (sjID, seconds_left, saved) values (?, ?, ?)"),
              {QVariant(*n), QVariant(qMax(0, secondsLeft)), QVariant(platform().now())});
}

std::optional<int> ExamTimeStore::load(const QString &paperKey) {
    const auto n = paperNumber(paperKey);
    if (!n) return std::nullopt;
    const auto rows =
        m_db.select(QStringLiteral("select seconds_left from kjks_app_exam_time where sjID = ?"), {QVariant(*n)});
    if (rows.empty() || rows.front().empty()) return std::nullopt;
    return rows.front().front().toInt();
}

void ExamTimeStore::forget(const QString &paperKey) {
    const auto n = paperNumber(paperKey);
    if (!n) return;
    m_db.exec(QStringLiteral("delete from kjks_app_exam_time where sjID = ?"), {QVariant(*n)});
}
