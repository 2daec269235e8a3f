#pragma once

#include <QString>
#include <array>
#include <cstddef>

// The one vocabulary of question types, practice scopes and moves. Every type name the program
// compares or writes comes from here.

// The four question types, in the order of the practice window's tabs, of a paper's sections and
// of the type check boxes.
enum class QuestionType { Single = 0, Multiple = 1, Judgement = 2, Fourth = 3 };
inline constexpr std::array<QuestionType, 4> kQuestionTypes{QuestionType::Single, QuestionType::Multiple,
                                                            QuestionType::Judgement, QuestionType::Fourth};
constexpr std::size_t IndexOf(QuestionType type) {
    return static_cast<std::size_t>(type);
}

// The standard name of a type: the profile's section name and the bank's `tixing` of its questions
// ("单选题", "多选题", "判断题"). The fourth type has no fixed name: the profile names it, and its
// own questions in kjks_tigan carry OperationBankTypeName().
QString QuestionTypeName(QuestionType type);

// What the profile may call the fourth type, and how the program treats it.
QString CaseStemTypeName(); // "不定项选择题": case stems from zongtigan, whose sub-questions carry this tixing
QString CaseAnalysisTypeName();  // "案例分析题": counted as case stems on the review pages
QString AnalysisTypeName();      // "计算分析题"
QString OperationTypeName();     // "电算化操作题"
QString OperationBankTypeName(); // "实操题": the tixing of the fourth type's own questions

enum class FourthKind { CaseStem, Analysis, Operation, Other };
// The practice window's reading of the profile's fourth name (exact, case-sensitive).
FourthKind FourthKindOf(const QString &fourthTypeName);
// The review pages count and list case stems for both case names.
bool CountsCaseStems(const QString &fourthTypeName);

// The scope of a practice run, as the main window's five choices number it (PracticeScope), and
// the day's due reviews ("开始复习").
enum class PracticeScope { All = 0, New = 1, Wrong = 2, Favourites = 3, Answered = 4, DueReviews = 5 };
// The scope numbered `number`; throws KjksError for a number that names no scope.
PracticeScope PracticeScopeOf(int number);

// A move within a question set when the learner leaves a question.
enum class Move { Stay, Previous, Next };
