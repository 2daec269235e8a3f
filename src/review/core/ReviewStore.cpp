#include "ReviewStore.h"

#include "AppTables.h"
#include "SqlDatabase.h"
#include "SqlError.h"

namespace {

const QString kRetentionName = QStringLiteral("review_desired_retention");
const QString kMasteredName = QStringLiteral("review_mastered_days");
constexpr int kGradeRight = int(fsrs::Grade::Good);

QVariant number(qint64 value) {
    return QVariant(value);
}

} // namespace

qint64 ReviewDay(const QDateTime &time) {
    return time.toLocalTime().date().toJulianDay();
}

void EnsureReviewTables(SqlDatabase &db) {
    // The question's type as stored when it was last reviewed, so that one practice set's due list
    // reads its own rows of the queue; a state table kept before it was has it added and filled in
    // once, before the indexes that read it are made.
    const auto columns = db.select(QStringLiteral("pragma table_info(kjks_app_review_state)"));
    bool typeKept = false;
    for (const auto &column : columns)
        typeKept = typeKept || (column.size() > 1 && column[1].toString() == QStringLiteral("question_type"));
    if (!columns.empty() && !typeKept) {
        db.exec(QStringLiteral("alter table kjks_app_review_state add column question_type TEXT"));
        db.exec(QStringLiteral("update kjks_app_review_state set question_type = (select tixing from kjks_tigan"
                               " where tigan_id = question_id) where is_stem = 0"));
    }
    EnsureAppTable(db, QStringLiteral("kjks_app_review_state"));
    EnsureAppTable(db, QStringLiteral("kjks_app_review_log"));
    EnsureAppTable(db, QStringLiteral("kjks_app_settings"));
}

ReviewSettings ReadReviewSettings(SqlDatabase &db) {
    EnsureReviewTables(db);
    ReviewSettings settings;
    const auto rows = db.select(QStringLiteral("select name, value from kjks_app_settings where name in (?, ?)"),
                                {QVariant(kRetentionName), QVariant(kMasteredName)});
    for (const auto &row : rows) {
        if (row.size() < 2) continue;
        bool ok = false;
        const double value = row[1].toString().toDouble(&ok);
        if (!ok) continue;
        if (row[0].toString() == kRetentionName && IsValidRetention(value)) settings.desiredRetention = value;
        if (row[0].toString() == kMasteredName && value >= 1 && value <= 36500) settings.masteredDays = value;
    }
    return settings;
}

void SaveDesiredRetention(SqlDatabase &db, double retention) {
    if (!IsValidRetention(retention))
        throw KjksError(QStringLiteral("目标记忆保持率应在 0.80 到 0.97 之间（以 0.01 为单位）。"));
    EnsureReviewTables(db);
    db.exec(QStringLiteral("insert or replace into kjks_app_settings (name, value) values (?, ?)"),
            {QVariant(kRetentionName), QVariant(QString::number(retention, 'f', 2))});
}

std::optional<ReviewState> ReadReviewState(SqlDatabase &db, const ReviewItem &item) {
    EnsureReviewTables(db);
    const auto rows = db.select(QStringLiteral("select difficulty, stability, last_day, due_day, lapses"
                                               " from kjks_app_review_state where is_stem = ? and question_id = ?"),
                                {QVariant(item.stem ? 1 : 0), QVariant(item.id)});
    if (rows.empty() || rows.front().size() < 5) return std::nullopt;
    const auto &row = rows.front();
    ReviewState state;
    state.memory = {row[0].toDouble(), row[1].toDouble()};
    state.lastDay = row[2].toLongLong();
    state.dueDay = row[3].toLongLong();
    state.lapses = row[4].toInt();
    // A state the model could not have left (a hand-edited bank) starts over.
    if (!(state.memory.stability > 0) || !(state.memory.difficulty >= 1 && state.memory.difficulty <= 10))
        return std::nullopt;
    return state;
}

ReviewStep RecordReview(SqlDatabase &db, const ReviewItem &item, bool right, const QDateTime &at) {
    const ReviewSettings settings = ReadReviewSettings(db);
    const qint64 today = ReviewDay(at);
    const ReviewStep step = ApplyReview(ReadReviewState(db, item), right, today, settings.desiredRetention);
    const QString time = at.toLocalTime().toString(Qt::ISODate);
    db.exec(QStringLiteral("insert into kjks_app_review_log (question_id, is_stem, reviewed_at, day, grade,"
                           " elapsed_days, stability, difficulty, was_due) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {QVariant(item.id), QVariant(item.stem ? 1 : 0), QVariant(time), number(today), QVariant(int(step.grade)),
             step.elapsedDays ? QVariant(*step.elapsedDays) : QVariant(), QVariant(step.after.memory.stability),
             QVariant(step.after.memory.difficulty), QVariant(step.wasDue ? 1 : 0)});
    db.exec(QStringLiteral("insert or replace into kjks_app_review_state (is_stem, question_id, difficulty,"
                           " stability, last_review, last_day, due_day, lapses, question_type) values"
                           " (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8,"
                           " case when ?1 = 0 then (select tixing from kjks_tigan where tigan_id = ?2) end)"),
            {QVariant(item.stem ? 1 : 0), QVariant(item.id), QVariant(step.after.memory.difficulty),
             QVariant(step.after.memory.stability), QVariant(time), number(step.after.lastDay),
             number(step.after.dueDay), QVariant(step.after.lapses)});
    return step;
}

DueCounts CountDue(SqlDatabase &db, qint64 today) {
    EnsureReviewTables(db);
    const auto rows = db.select(
        QStringLiteral("select (select count(*) from kjks_app_review_state where lapses > 0 and due_day <= ?),"
                       " (select count(*) from kjks_app_review_state where lapses > 0 and due_day > ?"
                       " and due_day <= ?)"),
        {number(today), number(today), number(today + 7)});
    DueCounts counts;
    if (!rows.empty() && rows.front().size() >= 2) {
        counts.today = rows.front()[0].toInt();
        counts.nextSevenDays = rows.front()[1].toInt();
    }
    return counts;
}

namespace {

// True when the table's key column is its row key (INTEGER PRIMARY KEY), as in every bank the
// bank tool builds.
bool keyIsRowid(SqlDatabase &db, const QString &table, const QString &column) {
    int keys = 0;
    bool rowKey = false;
    for (const auto &c : db.select(QStringLiteral("pragma table_info(") + table + QStringLiteral(")"))) {
        if (c.size() < 6 || c[5].toInt() == 0) continue;
        ++keys;
        rowKey = c[1].toString().compare(column, Qt::CaseInsensitive) == 0 &&
                 c[2].toString().compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0;
    }
    return keys == 1 && rowKey;
}

} // namespace

std::vector<qint64> DueRowIds(SqlDatabase &db, QuestionType type, const QString &fourthTypeName, qint64 today) {
    EnsureReviewTables(db);
    const bool stems = type == QuestionType::Fourth && FourthKindOf(fourthTypeName) == FourthKind::CaseStem;
    const QString table = stems ? QStringLiteral("zongtigan") : QStringLiteral("kjks_tigan");
    const QString key = stems ? QStringLiteral("ID") : QStringLiteral("tigan_id");
    std::vector<QVariant> values{number(today), QVariant(stems ? 1 : 0)};
    // The set's own rows of the queue, lowest retrievability first: R falls as (today − last review)
    // / S grows. A state speaks only of a question that had an answer when it was reviewed, and
    // keeps its type; an upgrade drops the states of the questions it withdraws or changes.
    QString where = QStringLiteral(" where r.lapses > 0 and r.due_day <= ?1 and r.is_stem = ?2");
    if (!stems) {
        where += QStringLiteral(" and r.question_type = ?3");
        values.push_back(QVariant(QuestionTypeName(type)));
    }
    const QString order = QStringLiteral(" order by (?1 - r.last_day) / r.stability desc, r.question_id");
    QString sql;
    if (keyIsRowid(db, table, key)) {
        // The ids are the rows: the queue's index answers alone, no question row is read.
        sql = QStringLiteral("select r.question_id from kjks_app_review_state r") + where + order;
    } else {
        sql = QStringLiteral("select q._rowid_ from kjks_app_review_state r join ") + table +
              QStringLiteral(" q on q.") + key + QStringLiteral(" = r.question_id") + where +
              QStringLiteral(" and q.daan <> ''") + (stems ? QString() : QStringLiteral(" and q.tixing = ?3")) + order;
    }
    std::vector<qint64> ids;
    for (const auto &row : db.select(sql, values))
        if (!row.empty()) ids.push_back(row.front().toLongLong());
    return ids;
}

std::vector<int> DueForecast(SqlDatabase &db, qint64 today, int days) {
    EnsureReviewTables(db);
    const auto rows = db.select(QStringLiteral("select due_day, count(*) from kjks_app_review_state"
                                               " where lapses > 0 and due_day < ? group by due_day"),
                                {number(today + days)});
    std::vector<std::pair<qint64, int>> dueDays;
    for (const auto &row : rows)
        if (row.size() >= 2) dueDays.emplace_back(row[0].toLongLong(), row[1].toInt());
    return ForecastFromDueDays(dueDays, today, days);
}

DueReviewTally TallyDueReviews(SqlDatabase &db) {
    EnsureReviewTables(db);
    const auto rows = db.select(QStringLiteral("select count(*), coalesce(sum(grade = ?), 0) from kjks_app_review_log"
                                               " where was_due = 1"),
                                {QVariant(kGradeRight)});
    DueReviewTally tally;
    if (!rows.empty() && rows.front().size() >= 2) {
        tally.dueReviews = rows.front()[0].toInt();
        tally.right = rows.front()[1].toInt();
    }
    return tally;
}

std::set<int> MasteredWrongQuestionIds(SqlDatabase &db, const ReviewSettings &settings) {
    EnsureReviewTables(db);
    const auto rows = db.select(QStringLiteral("select r.question_id from kjks_app_review_state r join kjks_tigan t"
                                               " on t.tigan_id = r.question_id where r.is_stem = 0"
                                               " and r.stability >= ? and t.DDCS = '1'"),
                                {QVariant(settings.masteredDays)});
    std::set<int> ids;
    for (const auto &row : rows)
        if (!row.empty()) ids.insert(row.front().toInt());
    return ids;
}

ReviewOverview LoadReviewOverview(SqlDatabase &db, qint64 today, int days) {
    ReviewOverview overview;
    overview.today = today;
    overview.forecast = DueForecast(db, today, days);
    overview.tally = TallyDueReviews(db);
    overview.settings = ReadReviewSettings(db);
    return overview;
}
