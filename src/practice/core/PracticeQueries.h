#pragma once

#include "QuestionTypes.h"

#include <QString>

class Dataset;

// The SQL texts of the practice window, exactly as the bank expects them (blanks included), and the
// chapter positioning of a question set. Values are spliced through SqlValue; ids are written from
// integers so that nothing but a number can reach a bare position.

// The statement that fills the set of a type for a scope. The fourth set reads zongtigan when the
// fourth-type name is the case-stem name, else the kjks_tigan rows of the operation type. The due
// reviews are no statement (PracticeSession opens their rows); asking for theirs throws.
QString PracticeSetSql(QuestionType type, PracticeScope scope, const QString &fourthTypeName);
// The same set asked for one row of its own: whether it holds a question, without listing it.
QString AnyPracticeQuestionSql(QuestionType type, PracticeScope scope, const QString &fourthTypeName);

// Chapter and section names of a question: zhang/jie as read, one-character values get a "0".
QString ChapterNameSql(const QString &zhang);
QString SectionNameSql(const QString &zhang, const QString &jie);
// Zero-pads a chapter or section number read as text to two characters.
QString TwoDigitCode(const QString &number);

QString OptionsSql(int questionId);
QString SubQuestionsForPresentationSql(int stemId);
QString SubQuestionsForScoringSql(int stemId);
QString QuestionExplanationSql(int questionId);
QString StemExplanationSql(int stemId);
QString OperationAnswerSql(int questionId);
QString ScratchRowSql();

// Where a set starts for the chapter-tree code: 3 characters = chapter (section 1), 5 characters =
// chapter and section; any other length gives no positioning (chapter 0).
struct ChapterStart {
    bool positioned = false;
    int chapter = 0;
    int section = 0;
};
ChapterStart ParseChapterCode(const QString &selectedChapterCode);

// True when a question of chapter `zhang`, section `jie` is where the set starts: zhang at least the
// chapter and jie at least the section (independent tests).
bool StartsAt(const ChapterStart &start, int zhang, int jie);

// Makes current the first row that StartsAt; the first row when none qualifies or the code
// positions nothing.
void PositionAtChapter(Dataset &set, const QString &selectedChapterCode);
