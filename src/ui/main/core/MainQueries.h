#pragma once

#include "QuestionTypes.h"

#include <QString>
#include <vector>

class Dataset;
class SqlDatabase;

// The SQL texts of the main window's pages, exactly as the bank expects them (blanks included),
// and the texts the pages make of their counts.

// Chapter-practice page: the chapter tree, and the progress counts over the whole bank, a chapter
// or a section (the two-digit numbers of the selected code, pasted as they stand). The counts are
// of what practice answers, so that "还剩" reaches 0: the questions of the practice sets' types (the
// operation type's rows unless the fourth type is practised as case stems), and the case stems
// where practice offers them (never their sub-questions: a case is answered as a whole).
QString ChapterTreeSql();
// A row of the chapter table as the tree shows it: a subject, chapter or section code (2, 4 or 6
// characters), its value as a number, and its name.
struct ChapterTreeRow {
    QString code;
    int number = 0;
    QString name;
};
// The chapter table's rows in the tree's order, read on `query`; rows of other code lengths are
// left out. Throws, in the learner's words, when a code is not made of digits (it is pasted into the
// counts and practice sets) and when none is left, since the page would have nothing to show.
std::vector<ChapterTreeRow> ReadChapterTree(Dataset &query);
// The full counts, over the question tables.
QString ProgressCountSql(const QString &fourthTypeName, bool unansweredOnly, const QString &chapter,
                         const QString &section);
QString StemProgressCountSql(bool unansweredOnly, const QString &chapter, const QString &section);
// The same numbers summed from the counts kept in the bank (ProgressCounts.h), both in one row:
// `total` and `remaining` (never answered).
QString KeptProgressCountSql(const QString &fourthTypeName, const QString &chapter, const QString &section);
QString KeptStemProgressCountSql(const QString &chapter, const QString &section);
struct ChapterProgress {
    int done = 0;
    int remaining = 0;
};
// The numbers the tree shows for the whole bank (empty chapter), a chapter or a section: from the
// kept counts, or by the full counts when the bank has none; the counts are read on `query`, the
// schema of `db` (the query's connection) tells which.
ChapterProgress CountChapterProgress(Dataset &query, SqlDatabase &db, const QString &fourthTypeName,
                                     const QString &chapter, const QString &section);
// "已做 <done>题，还剩 <remaining> 题".
QString ProgressText(int done, int remaining);

// The wrong-question and favourites pages.
enum class ReviewKind { WrongQuestions, Favourites };
// The count of one type; the fourth type counts case stems or operation questions by the profile's
// fourth name.
QString ReviewCountSql(ReviewKind kind, QuestionType type, const QString &fourthTypeName);
QString ReviewListSql(ReviewKind kind);
// The scope a review page practises.
PracticeScope ReviewScope(ReviewKind kind);
