#include "QueryIndexes.h"

#include "SqlDatabase.h"

#include <QString>
#include <QStringList>

namespace {
const char *const kStatements[] = {
    // Progress counts of the chapter tree: whole bank, chapter, section.
    "create index if not exists kjks_tigan_progress on kjks_tigan (zhang, jie, daan, YDCS)",
    // Practice sets of one type in chapter order, for every scope. The key after the section keeps
    // the questions of a section in key order without a sort.
    "create index if not exists kjks_tigan_practice on kjks_tigan"
    " (tixing, zhang, jie, tigan_id, daan, YDCS, DDCS, shoucang)",
    // Wrong-question and favourite counts and lists.
    "create index if not exists kjks_tigan_wrong on kjks_tigan (DDCS, tixing, daan)",
    "create index if not exists kjks_tigan_favourite on kjks_tigan (shoucang, tixing, daan)",
    // The pools papers are drawn from.
    "create index if not exists kjks_tigan_paper on kjks_tigan (tixing, shijuan, flag_state, daan)",
    // Sub-questions of a case stem, options of a question, items of a paper, options by name.
    "create index if not exists kjks_tigan_stem on kjks_tigan (zongtimian)",
    "create index if not exists kjks_xuanxiang_question on kjks_xuanxiang (tigan_ID, xuanxiang_id)",
    "create index if not exists shijuan_paper on shijuan (sjID, xth)",
    "create index if not exists sys_option_name on sys_option (option_name)",
    // Case stems: practice scopes, counts and the paper pool.
    "create index if not exists zongtigan_progress on zongtigan (YDCS, DDCS, shoucang, daan)",
    "create index if not exists zongtigan_paper on zongtigan (shijuan, flag_state)",
    // The statistics page's grouped tallies: every column they read, so no tally reads the texts.
    "create index if not exists kjks_tigan_tally on kjks_tigan"
    " (tixing, zhang, jie, daan, YDCS, DDCS, shoucang, ZONGCS, ZQCS)",
    "create index if not exists zongtigan_tally on zongtigan (zhang, jie, YDCS, DDCS, shoucang, ZONGCS, ZQCS)",
};

// "create index if not exists NAME on ..." -> NAME
QString nameOf(const char *statement) {
    return QString::fromLatin1(statement).section(QLatin1Char(' '), 5, 5);
}
} // namespace

void CreateQueryIndexes(SqlDatabase &db) {
    for (const char *sql : kStatements)
        db.exec(QString::fromLatin1(sql));
}

int CreateMissingQueryIndexes(SqlDatabase &db) {
    QStringList present;
    for (const auto &row : db.select(QStringLiteral("select name from sqlite_master where type = 'index'")))
        present << row[0].toString().toLower();
    int created = 0;
    for (const char *sql : kStatements) {
        if (present.contains(nameOf(sql).toLower())) continue;
        db.exec(QString::fromLatin1(sql));
        ++created;
    }
    return created;
}
