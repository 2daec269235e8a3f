#pragma once

#include "BankModel.h"
#include "QuestionTypes.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <vector>

// The mechanical rules a bank's content must keep, stated once over the in-memory model: the source
// reader reports them at the author's file and line, `kjks-bank check` at the row of a built bank.

// Question type names as the bank stores them (the program's one vocabulary).
namespace banktypes {
inline QString single() {
    return QuestionTypeName(QuestionType::Single);
}
inline QString multiple() {
    return QuestionTypeName(QuestionType::Multiple);
}
inline QString judgement() {
    return QuestionTypeName(QuestionType::Judgement);
}
inline QString operation() {
    return OperationBankTypeName();
}
inline QString caseQuestion() {
    return CaseStemTypeName();
}
inline QString randomPool() {
    return QStringLiteral("随机");
}
} // namespace banktypes

// Limits on what a source folder or a bank may hold. A source comes from anyone, so every file and
// value is bounded before it is read: a link to a device or a huge field cannot exhaust the machine.
inline constexpr qint64 kMaxSourceFileBytes = qint64(64) << 20; // a *.txt file of a source folder
inline constexpr qint64 kMaxPictureBytes = qint64(16) << 20;    // a picture named by tmimage
inline constexpr int kMaxTextChars = 1 << 20;                   // a value, in UTF-16 code units
// The stored form of an encoded text of kMaxTextChars: GBK takes at most two bytes a character,
// hexadecimal two digits a byte, plus the length field and the last cipher block.
inline constexpr int kMaxStoredTextChars = 4 * kMaxTextChars + 64;
// Answer letters run from A to Z: a question, and a case over all its sub-questions, has at most 26.
inline constexpr int kMaxOptions = 26;

// One broken rule, named by the row it sits in. `column` is the column at fault (empty: the row as a
// whole); for "option" `option` is the 0-based index of the option.
struct BankProblem {
    QString table;
    QString key;
    QString column;
    int option = -1;
    QString message;
    // The program cannot use the row (a text it cannot store, a chapter code it cannot read, a
    // profile it cannot load): the build refuses it. Every other broken rule is a warning: the
    // program reads such a row, so a bank holding one must build back from its export.
    bool unusable = false;
    // The rule's place among the rules of its row, for a reader that meets the rules of one row at
    // different times (a source read in any order): 0 first, then 1, 2, 3; within a rank as emitted.
    int rank = 0;
    // A duplicate: the id of the row of the same table it repeats (0: none), so that a reader can
    // name where that one was written.
    int sameAs = 0;
};

// "题目 1001 的答案：答案字母 E 超出了 4 个选项……": the row and column in the words a teacher knows.
QString ProblemText(const BankProblem &problem);
// The same without the row, for a message already placed at the row's line: "选项 A：……".
QString ProblemTextInRow(const BankProblem &problem);

// What the whole-bank rules keep of a case sub-question: no texts, so a large bank is checked row by row.
struct SubQuestionFacts {
    int id = 0;
    int options = 0;
    QString daan;
    bool withdrawn = false; // flag_state 1
};

// The per-question counts the exam profile is checked against (ExamProfileProblems).
struct BankTally {
    std::map<QString, int> drawable;         // tixing -> questions with an answer, flag_state not 1, in the random pool
    int drawableOperations = 0;              // operation questions with an answer, flag_state not 1
    std::map<int, int> usableSubs;           // stem id -> sub-questions whose flag_state is not 1
    std::vector<std::pair<int, bool>> stems; // stem id, drawable (in the random pool, flag_state not 1)
    void addQuestion(const BankQuestion &q);
    void addStem(const BankStem &s);
};

// The rules of ValidateBankModel fed one row at a time, keeping only compact facts of each row for
// the rules that need the whole bank. `rowsInOrder`: the chapters come first, the case ids are given
// (knownStems) before the questions, and every question comes before the cases, so that each row's
// problems are found at once and in the order ValidateBankModel gives. Without it a question's section
// and case link and a case's sub-question rules wait for finish(), ranked so that a reader sorting by
// row and rank gets each row's problems in the same order.
class BankRuleChecker {
public:
    BankRuleChecker(std::vector<BankProblem> &out, bool rowsInOrder);
    void chapters(const std::vector<BankChapter> &chapters);
    void knownStems(const std::vector<int> &stemIds);
    void question(const BankQuestion &q);
    // `answerFromSubQuestions`: the case's answer is to be computed from its sub-questions, so it is
    // not compared with them.
    void stem(const BankStem &s, bool answerFromSubQuestions = false);
    // After every row: the deferred rules, then the profiles' values, the papers and their items.
    void finish(const std::vector<BankProfile> &profiles, const std::vector<BankPaper> &papers,
                const std::vector<BankPaperItem> &items);
    const BankTally &tally() const { return m_tally; }
    // Sub-questions by the stem id they name (0: none readable), in id order once finish() ran.
    const std::map<int, std::vector<SubQuestionFacts>> &subQuestions() const { return m_subs; }

private:
    struct Link {
        int id, zhang, jie;
        QString zongtimian;
    };
    struct StemRow {
        int id, zhang, jie;
        QString daan;
        bool answerFromSubs;
    };
    void linkRules(const Link &q, int rank);
    // A row's text as a 64-bit hash, in the order the rows came: duplicates are found at finish().
    struct TextHash {
        quint64 hash;
        int id;
    };
    void duplicates(std::vector<TextHash> &texts, const QString &table, const QString &column, int rank);
    void stemRules(const StemRow &s, int rank);
    void sortSubs();

    std::vector<BankProblem> &m_out;
    bool m_inOrder;
    QSet<QString> m_codes;
    QSet<int> m_stemIds;
    std::vector<int> m_questionIds;
    std::map<int, std::vector<SubQuestionFacts>> m_subs;
    bool m_subsSorted = false;
    std::vector<Link> m_links;       // deferred
    std::vector<StemRow> m_stemRows; // deferred
    BankTally m_tally;
    // Questions (type and stem) and cases (material), by a hash of their text: a million-question
    // bank keeps 16 bytes a row, no texts.
    std::vector<TextHash> m_questionTexts, m_stemTexts;
};

// The stem-level answer from its sub-questions' facts in id order (as StemAnswer).
QString StemAnswerOf(const std::vector<SubQuestionFacts> &subQuestionsInIdOrder);

// Every rule the rows of a bank must keep on their own, whatever its exam profile: every question
// with a well-formed answer within its options, case stems and their sub-questions, chapter tree
// and sections, no question or case twice, texts that the encoded columns can hold, readable
// pictures, and the learner's own data. Unusable are only what the bank cannot store or the program
// cannot read (a text GBK cannot hold, more than 26 options, a chapter code of other than 2, 4 or 6
// digits); the rest are warnings: the program skips such a row, shows it without a chapter or scores
// it as written, so a bank holding one still opens and must build back from its export.
std::vector<BankProblem> ValidateBankModel(const BankModel &model);

// Exam profile 1 as the program runs it: it exists, its first three type names are the scoring's,
// every count and points column is a whole number above 0, and every section finds enough rows for
// its draw of distinct questions (cases: k sub-questions each, k = 5 when APP_TITLE names 实务,
// else 4). Every problem is unusable: the program cannot start or cannot draw a paper.
std::vector<BankProblem> ExamProfileProblems(const BankModel &model);
// The same over the small tables of `head` (options, profiles) and the rows' counts.
std::vector<BankProblem> ExamProfileProblems(const BankModel &head, const BankTally &tally);

// Cases are drawn k sub-questions each: 5 when the bank's title names 实务, else 4.
int CaseSubQuestionsPerPaper(const BankModel &model);

// Empty when `daan` is a well-formed answer for a question of this type with `optionCount`
// options, else what is wrong with it.
QString AnswerProblem(const QString &tixing, bool subQuestion, const QString &daan, int optionCount);

// Empty when GBK can hold every character of `text`, else a message naming the first that it cannot.
QString GbkProblem(const QString &text);
// The first invisible format character (Unicode category Cf: zero-width characters, direction
// controls, tag characters, a byte order mark, a soft hyphen) in `text`, or empty. Chinese
// question texts need none of them.
QString InvisibleCharacterProblem(const QString &text);

// "U+0001"
QString CodePointName(uint code);

// Empty when `path` (a file reference of a source, as written) names a file inside the source
// folder: relative, without a ".." part. Else what is wrong, in the author's words.
QString SourcePathProblem(const QString &path);

// Reads the file `relativePath` of the folder `root` when it is a regular file inside the folder
// (after any links) of at most `limit` bytes; never opens a device or a pipe for reading, never
// reads more than `limit` bytes. On failure returns false and says why in *why.
bool ReadFileInsideFolder(const QString &root, const QString &relativePath, qint64 limit, QByteArray *bytes,
                          QString *why);

// True when Qt's image readers read the bytes as a picture.
bool IsReadableImage(const QByteArray &bytes);

// Section code of a question: "01", chapter and section as two digits each; empty when a number
// does not fit in two digits.
QString SectionCode(int zhang, int jie);

// Sub-questions of each stem in id order, as StemAnswer wants them.
std::map<int, std::vector<const BankQuestion *>> SubQuestionsByStem(const BankModel &model);
