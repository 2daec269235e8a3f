#include "AppTables.h"

#include "SqlDatabase.h"
#include "SqlError.h"

#include <vector>

namespace {

struct Definition {
    const char *name;
    std::vector<const char *> statements; // the table first, then its indexes
};

const std::vector<Definition> &definitions() {
    static const std::vector<Definition> all = {
        {"kjks_app_exam_time",
         {"create table if not exists kjks_app_exam_time (sjID INTEGER PRIMARY KEY, seconds_left INTEGER NOT NULL, "
          "saved TEXT)"}},
        {"kjks_app_settings", {"create table if not exists kjks_app_settings (name TEXT PRIMARY KEY, value TEXT)"}},
        {"kjks_app_review_log",
         {"create table if not exists kjks_app_review_log (id INTEGER PRIMARY KEY AUTOINCREMENT,"
          " question_id INTEGER NOT NULL, is_stem INTEGER NOT NULL, reviewed_at TEXT NOT NULL, day INTEGER NOT NULL,"
          " grade INTEGER NOT NULL, elapsed_days INTEGER, stability REAL NOT NULL, difficulty REAL NOT NULL,"
          " was_due INTEGER NOT NULL)"}},
        // The counts and the forecast read the first index alone, a set's due list the second.
        {"kjks_app_review_state",
         {"create table if not exists kjks_app_review_state (is_stem INTEGER NOT NULL, question_id INTEGER NOT NULL,"
          " difficulty REAL NOT NULL, stability REAL NOT NULL, last_review TEXT NOT NULL, last_day INTEGER NOT NULL,"
          " due_day INTEGER NOT NULL, lapses INTEGER NOT NULL, question_type TEXT, PRIMARY KEY (is_stem, question_id))",
          "create index if not exists kjks_app_review_queue on kjks_app_review_state"
          " (due_day, is_stem, last_day, stability, question_id) where lapses > 0",
          "create index if not exists kjks_app_review_due_list on kjks_app_review_state"
          " (is_stem, question_type, due_day, last_day, stability, question_id) where lapses > 0"}},
    };
    return all;
}

const Definition *find(const QString &table) {
    for (const Definition &d : definitions())
        if (table.compare(QLatin1String(d.name), Qt::CaseInsensitive) == 0) return &d;
    return nullptr;
}

} // namespace

void EnsureAppTable(SqlDatabase &db, const QString &table) {
    const Definition *d = find(table);
    if (!d) throw KjksError(QStringLiteral("程序不认识数据表：") + table);
    for (const char *sql : d->statements)
        db.exec(QString::fromLatin1(sql));
}

bool IsDefinedAppTable(const QString &table) {
    return find(table) != nullptr;
}

QStringList DefinedAppTables() {
    QStringList names;
    for (const Definition &d : definitions())
        names << QString::fromLatin1(d.name);
    return names;
}
