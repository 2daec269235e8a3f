#pragma once

#include "QuestionTypes.h"

#include <QString>
#include <QVariant>
#include <vector>

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

// Where a set starts: the first question, in the set's order, whose zhang is at least the chapter
// and whose jie is at least the section (two independent tests, so a later chapter with an earlier
// section does not start). The numbers are read as a row's values read as integers are: null as 0,
// a real rounded, a text by its digits. One condition per storage class of zhang, in the order the
// classes sort (null, numbers, texts), each one an index range: the first that finds a row wins.
struct StartCondition {
    QString sql;
    std::vector<QVariant> values;
};
std::vector<StartCondition> ChapterStartConditions(const ChapterStart &start);

// Makes current the set's first row that starts the chapter (found by the bank, not by walking
// the set); the first row when none qualifies or the code positions nothing.
void PositionAtChapter(Dataset &set, const QString &selectedChapterCode);
