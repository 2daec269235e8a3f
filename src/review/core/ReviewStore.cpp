#include "ReviewStore.h"

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
    db.exec(QStringLiteral(
        "create table if not exists kjks_app_review_log (id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " question_id INTEGER NOT NULL, is_stem INTEGER NOT NULL, reviewed_at TEXT NOT NULL, day INTEGER NOT NULL,"
        " grade INTEGER NOT NULL, elapsed_days INTEGER, stability REAL NOT NULL, difficulty REAL NOT NULL,"
        " was_due INTEGER NOT NULL)"));
    db.exec(QStringLiteral(
        "create table if not exists kjks_app_review_state (is_stem INTEGER NOT NULL, question_id INTEGER NOT NULL,"
        " difficulty REAL NOT NULL, stability REAL NOT NULL, last_review TEXT NOT NULL, last_day INTEGER NOT NULL,"
        " due_day INTEGER NOT NULL, lapses INTEGER NOT NULL, PRIMARY KEY (is_stem, question_id))"));
    // The queue's counts and lists read this index alone.
    db.exec(QStringLiteral("create index if not exists kjks_app_review_queue on kjks_app_review_state"
                           " (due_day, is_stem, last_day, stability, question_id) where lapses > 0"));
    db.exec(QStringLiteral("create table if not exists kjks_app_settings (name TEXT PRIMARY KEY, value TEXT)"));
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
                           " stability, last_review, last_day, due_day, lapses) values (?, ?, ?, ?, ?, ?, ?, ?)"),
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

std::vector<qint64> DueRowIds(SqlDatabase &db, QuestionType type, const QString &fourthTypeName, qint64 today) {
    EnsureReviewTables(db);
    // Lowest retrievability first: R falls as (today − last review) / S grows.
    const QString order = QStringLiteral(" order by (? - r.last_day) / r.stability desc, r.question_id");
    std::vector<std::vector<QVariant>> rows;
    if (type == QuestionType::Fourth && FourthKindOf(fourthTypeName) == FourthKind::CaseStem) {
        rows = db.select(QStringLiteral("select z._rowid_ from kjks_app_review_state r join zongtigan z"
                                        " on z.ID = r.question_id where r.lapses > 0 and r.due_day <= ?"
                                        " and r.is_stem = 1 and z.daan <> ''") +
                             order,
                         {number(today), number(today)});
    } else {
        rows = db.select(QStringLiteral("select t._rowid_ from kjks_app_review_state r join kjks_tigan t"
                                        " on t.tigan_id = r.question_id where r.lapses > 0 and r.due_day <= ?"
                                        " and r.is_stem = 0 and t.daan <> '' and t.tixing = ?") +
                             order,
                         {number(today), QVariant(QuestionTypeName(type)), number(today)});
    }
    std::vector<qint64> ids;
    ids.reserve(rows.size());
    for (const auto &row : rows)
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
