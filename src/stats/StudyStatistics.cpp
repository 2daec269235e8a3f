#include "StudyStatistics.h"

#include "ExamProfile.h"
#include "PaperState.h"
#include "ProgressCounts.h"
#include "QuestionTypes.h"
#include "SqlDatabase.h"
#include "SqlError.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

// The grouped figures of one statement row, from column `first` on: count, practised, attempts,
// correct, wrong, favourites. A damaged row cannot push the accuracy past 100 %: negative counters
// count as 0 and a row's correct attempts never exceed its attempts.
// The flags compare without the column's affinity, as the kept counts' sums do.
const QString kTallyColumns =
    QStringLiteral("count(*), sum(YDCS = '1'), sum(max(ZONGCS, 0)), sum(min(max(ZQCS, 0), max(ZONGCS, 0))),"
                   " sum(+DDCS = '1'), sum(+shoucang = '1')");
// The same figures from the kept counts (one row per stored chapter, section, type and YDCS).
const QString kKeptTallyColumns =
    QStringLiteral("sum(questions), sum(case when YDCS = '1' then questions else 0 end), sum(attempts), sum(correct),"
                   " sum(wrong), sum(favourites)");

PracticeTally tallyFrom(const std::vector<QVariant> &row, size_t first) {
    PracticeTally t;
    t.questions = row[first].toInt();
    t.practised = row[first + 1].toInt();
    t.attempts = row[first + 2].toLongLong();
    t.correct = row[first + 3].toLongLong();
    t.wrong = row[first + 4].toInt();
    t.favourites = row[first + 5].toInt();
    return t;
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Every statement goes through the connection's trace hook, as the windows' statements do.
std::vector<std::vector<QVariant>> select(SqlDatabase &db, const QString &sql) {
    db.trace(sql);
    return db.select(sql);
}

} // namespace

void PracticeTally::add(const PracticeTally &o) {
    questions += o.questions;
    practised += o.practised;
    attempts += o.attempts;
    correct += o.correct;
    wrong += o.wrong;
    favourites += o.favourites;
}

double PracticeTally::practisedShare() const {
    return questions > 0 ? double(practised) / questions : 0.0;
}

std::optional<double> PracticeTally::accuracy() const {
    if (attempts <= 0) return std::nullopt;
    return double(correct) / double(attempts);
}

QString SectionTally::launchCode() const {
    const QString daima = QStringLiteral("01") + twoDigits(zhang) + twoDigits(jie);
    return QString::number(daima.toInt());
}

std::optional<double> PaperSummary::recentMean(int count) const {
    const int n = std::min(count, int(papers.size()));
    if (n <= 0) return std::nullopt;
    double sum = 0;
    for (int i = int(papers.size()) - n; i < int(papers.size()); ++i)
        sum += papers[size_t(i)].total;
    return sum / n;
}

namespace {

// Mock exams: the papers the answered-paper list shows, with its numbers and its rule for "handed
// in", oldest hand-in first.
PaperSummary loadPapers(SqlDatabase &db, const ExamProfile &profile) {
    PaperSummary exams;
    exams.paperTotal = profile.totalPoints(); // the sections the paper has
    const auto paperRows = select(
        db, QStringLiteral("select sjID, DTKSSJ, JJSJ, DEFEN, DanDeFen, DuoDeFen, PanDeFen, AnLiDeFen from kjks_SJML"
                           " where flag_state = 0 order by sjID"));
    std::vector<int> paperIds;
    for (const auto &row : paperRows)
        paperIds.push_back(row[0].toInt());
    const std::vector<int> numbers = PaperDisplayNumbers(paperIds);
    for (size_t r = 0; r < paperRows.size(); ++r) {
        const auto &row = paperRows[r];
        if (!PaperHandedIn(row[1].toString(), row[2].toString())) {
            ++exams.notHandedIn;
            continue;
        }
        PaperResult p;
        p.sjID = paperIds[r];
        p.number = numbers[r];
        p.started = StoredDateTime(row[1].toString());
        p.handedIn = StoredDateTime(row[2].toString());
        p.total = row[3].toDouble();
        for (size_t i = 0; i < 4; ++i)
            p.sections[i] = row[4 + i].toDouble();
        if (p.started.isValid()) p.durationSeconds = p.started.secsTo(p.handedIn);
        exams.papers.push_back(p);
    }
    std::stable_sort(exams.papers.begin(), exams.papers.end(),
                     [](const PaperResult &a, const PaperResult &b) { return a.handedIn < b.handedIn; });
    return exams;
}

} // namespace

StudyStatistics LoadStudyStatistics(SqlDatabase &db, const ExamProfile &profile) {
    StudyStatistics s;
    // The bank's tally indexes (made by the bank tool, or when the bank is opened) answer every
    // grouped statement without reading the questions' texts.

    // The practice types, in tab order; the fourth is a case stem when practice draws stems.
    const QString fourthName = profile.sections[ExamProfile::Fourth].typeName;
    const bool fourthIsCase = FourthKindOf(fourthName) == FourthKind::CaseStem;
    const QString rowTypes[4] = {QuestionTypeName(QuestionType::Single), QuestionTypeName(QuestionType::Multiple),
                                 QuestionTypeName(QuestionType::Judgement),
                                 fourthIsCase ? QString() : OperationBankTypeName()};
    for (int i = 0; i < 4; ++i)
        s.types.push_back({i < 3 ? rowTypes[i] : (fourthName.isEmpty() ? OperationBankTypeName() : fourthName), {}});

    std::map<QString, QString> names; // chapter-tree code -> name
    for (const auto &row : select(db, QStringLiteral("select daima, mc from kjks_zhangjie")))
        names[row[0].toString()] = row[1].toString();
    std::map<std::pair<int, int>, SectionTally> sections;
    auto add = [&](size_t type, int zhang, int jie, const PracticeTally &t) {
        s.types[type].tally.add(t);
        SectionTally &sec = sections[{zhang, jie}];
        sec.zhang = zhang;
        sec.jie = jie;
        sec.tally.add(t);
        sec.byType[type].add(t);
    };

    // Questions as practice sets them out: the same rows its "所有题目" sets hold.
    QString typeList;
    for (const QString &t : rowTypes)
        if (!t.isEmpty())
            typeList +=
                (typeList.isEmpty() ? QString() : QStringLiteral(", ")) + QLatin1Char('\'') + t + QLatin1Char('\'');
    // From the kept counts, a few hundred rows, where the bank keeps them; else from the questions.
    const auto questionRows =
        ProgressCountsKept(db)
            ? select(db, QStringLiteral("select tixing, zhang, jie, ") + kKeptTallyColumns + QStringLiteral(" from ") +
                             QuestionCountsTable() + QStringLiteral(" where tixing in (") + typeList +
                             QStringLiteral(") group by tixing, zhang, jie having sum(questions) > 0"))
            : select(db, QStringLiteral("select tixing, zhang, jie, ") + kTallyColumns +
                             QStringLiteral(" from kjks_tigan where daan <> '' and tixing in (") + typeList +
                             QStringLiteral(") group by tixing, zhang, jie"));
    for (const auto &row : questionRows) {
        const PracticeTally t = tallyFrom(row, 3);
        const QString type = row[0].toString();
        for (size_t i = 0; i < 4; ++i)
            if (type == rowTypes[i]) add(i, row[1].toInt(), row[2].toInt(), t);
    }
    // Case stems: practice offers every stem, each as one question.
    if (fourthIsCase) {
        for (const auto &row : select(db, QStringLiteral("select zhang, jie, ") + kTallyColumns +
                                              QStringLiteral(" from zongtigan group by zhang, jie"))) {
            add(3, row[0].toInt(), row[1].toInt(), tallyFrom(row, 2));
        }
    }
    for (const TypeTally &t : s.types)
        s.overall.add(t.tally);

    // Chapters and sections in their order, named from the chapter tree.
    std::map<int, ChapterTally> chapters;
    for (auto &[key, sec] : sections) {
        const QString chapterCode = QStringLiteral("01") + twoDigits(sec.zhang);
        const auto chapterName = names.find(chapterCode);
        const auto sectionName = names.find(chapterCode + twoDigits(sec.jie));
        sec.chapterName = chapterName != names.end() ? chapterName->second : QStringLiteral("第%1章").arg(sec.zhang);
        sec.sectionName = sectionName != names.end() ? sectionName->second : QStringLiteral("第%1节").arg(sec.jie);
        ChapterTally &ch = chapters[sec.zhang];
        ch.zhang = sec.zhang;
        ch.name = sec.chapterName;
        ch.tally.add(sec.tally);
        s.sections.push_back(sec);
    }
    for (auto &[zhang, ch] : chapters)
        s.chapters.push_back(ch);

    s.exams = loadPapers(db, profile);
    return s;
}

std::vector<SectionTally> WeakestFirst(std::vector<SectionTally> sections) {
    auto ranked = [](const SectionTally &s) { return HasEnoughAttempts(s.tally); };
    std::stable_sort(sections.begin(), sections.end(), [&](const SectionTally &a, const SectionTally &b) {
        if (ranked(a) != ranked(b)) return ranked(a);
        if (ranked(a)) {
            // Compare correct/attempts exactly, without rounding: a.c * b.n < b.c * a.n.
            const qint64 lhs = a.tally.correct * b.tally.attempts, rhs = b.tally.correct * a.tally.attempts;
            if (lhs != rhs) return lhs < rhs;
            if (a.tally.attempts != b.tally.attempts) return a.tally.attempts > b.tally.attempts;
        }
        return std::make_pair(a.zhang, a.jie) < std::make_pair(b.zhang, b.jie);
    });
    return sections;
}

QString PercentText(std::optional<double> share) {
    if (!share) return QStringLiteral("—");
    return QString::number(*share * 100.0, 'f', 1) + QLatin1Char('%');
}

QString DurationText(std::optional<qint64> seconds) {
    if (!seconds || *seconds < 0) return QStringLiteral("—");
    const qint64 s = *seconds;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
