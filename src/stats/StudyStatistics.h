#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class SqlDatabase;
struct ExamProfile;

// What the learner has done with a group of questions in practice. A "question" is what practice
// offers on its four tabs: the single, multiple and true/false questions, and as the fourth type
// either the case stems (when the profile's fourth type is "不定项选择题") or the "实操题" rows. Case
// sub-questions are practised as part of their stem and are not counted on their own.
struct PracticeTally {
    int questions = 0;   // questions with a standard answer
    int practised = 0;   // answered at least once (YDCS "1")
    qint64 attempts = 0; // counted attempts (ZONGCS)
    qint64 correct = 0;  // of them right (ZQCS, never more than the attempts of its row)
    int wrong = 0;       // latest answer wrong (DDCS "1"): the wrong-question set
    int favourites = 0;  // shoucang "1"

    void add(const PracticeTally &other);
    // Practised questions of all, 0 to 1; 0 for no questions.
    double practisedShare() const;
    // Correct attempts of all attempts, 0 to 1; none before the first attempt.
    std::optional<double> accuracy() const;
};

struct TypeTally {
    QString typeName; // "单选题", "多选题", "判断题" or the profile's fourth type
    PracticeTally tally;
};

struct ChapterTally {
    int zhang = 0;
    QString name; // from the chapter tree; a stand-in when the tree lacks the chapter
    PracticeTally tally;
};

struct SectionTally {
    int zhang = 0;
    int jie = 0;
    QString chapterName;
    QString sectionName;
    PracticeTally tally;
    std::array<PracticeTally, 4> byType{}; // the same, per practice type in tab order

    // The chapter-tree code practice starts at: the decimal value of "01" + chapter + section
    // ("10102" for chapter 1, section 2).
    QString launchCode() const;
};

// One handed-in mock-exam paper.
struct PaperResult {
    int sjID = 0;
    int number = 0;                    // the paper number the answered-paper list shows
    QDateTime started;                 // DTKSSJ: created or last reopened
    QDateTime handedIn;                // JJSJ
    double total = 0;                  // DEFEN
    double sections[4] = {0, 0, 0, 0}; // DanDeFen, DuoDeFen, PanDeFen, AnLiDeFen
    // From start to hand-in; none when a time is missing.
    std::optional<qint64> durationSeconds;
};

struct PaperSummary {
    std::vector<PaperResult> papers; // handed in, oldest hand-in first
    int notHandedIn = 0;             // papers started (or started again) and not handed in since
    double paperTotal = 0;           // the profile's section points added up

    double passLine() const { return paperTotal * 0.6; }
    // Mean total of the last `count` papers (fewer when fewer were handed in); none without papers.
    std::optional<double> recentMean(int count = 3) const;
};

struct StudyStatistics {
    PracticeTally overall;
    std::vector<TypeTally> types;       // the four practice types, in tab order
    std::vector<ChapterTally> chapters; // chapters that hold questions, in chapter order
    std::vector<SectionTally> sections; // sections that hold questions, in chapter and section order
    PaperSummary exams;
};

// Reads every figure of the statistics page from the bank in a handful of grouped statements.
StudyStatistics LoadStudyStatistics(SqlDatabase &db, const ExamProfile &profile);

// Sections with at least this many attempts are ranked by accuracy; fewer attempts say too little.
inline constexpr qint64 kEnoughAttempts = 10;
inline bool HasEnoughAttempts(const PracticeTally &tally) {
    return tally.attempts >= kEnoughAttempts;
}

// The sections weakest first: those with enough attempts by accuracy (lowest first; on a tie the
// one with more attempts, then the earlier section), then the others in chapter and section order.
std::vector<SectionTally> WeakestFirst(std::vector<SectionTally> sections);

// Texts shared by the page and its tests: "72.5%" (one decimal), "—" for no figure.
QString PercentText(std::optional<double> share);
// Seconds as hours, minutes and seconds: 5400 -> "1:30:00"; "—" for none.
QString DurationText(std::optional<qint64> seconds);
