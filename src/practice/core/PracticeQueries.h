#pragma once

#include <QString>

class Dataset;

// The SQL texts of the practice window, exactly as the bank expects them (blanks included), and the
// chapter positioning of a question set. Values are spliced through SqlValue; ids are written from
// integers so that nothing but a number can reach a bare position.

// The four question sets, in tab order.
enum class PracticeSet { Single = 0, Multiple = 1, Judgement = 2, Fourth = 3 };

// Fourth-type names the practice window acts on.
QString CaseStemTypeName();  // "不定项选择题": case stems from zongtigan
QString AnalysisTypeName();  // "计算分析题"
QString OperationTypeName(); // "电算化操作题"

// The statement that fills a set for a scope (0 all, 1 new, 2 wrong, 3 favourites, 4 answered).
// The fourth set reads zongtigan when the fourth-type name is the case-stem name, else the
// kjks_tigan rows of type "实操题".
QString PracticeSetSql(PracticeSet set, int scope, const QString &fourthTypeName);

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

// Makes current the first row whose zhang is at least the chapter and whose jie is at least the
// section (independent tests); the first row when none qualifies or the code positions nothing.
void PositionAtChapter(Dataset &set, const QString &selectedChapterCode);
