#pragma once

#include "AnswerChecks.h"
#include "Dataset.h"
#include "LaunchParameters.h"
#include "Question.h"
#include "QuestionTypes.h"
#include "ResultPayload.h"
#include "ReviewStore.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

// One practice run without its window: the four question sets (one per type tab), the answer
// checked last and not yet counted, the moves within a set, and the step from a check to the
// statistics in the bank and the result dialog's payload. Every change is posted at once.
class PracticeSession {
public:
    // Works on the data module's connection.
    PracticeSession();

    // True when a set the launch parameters offer holds a question (or cannot be read, which the
    // window then reports); false when no question fits the choice.
    static bool AnyQuestionFits(const LaunchParameters &launch);

    Dataset &set(QuestionType type) { return m_sets[IndexOf(type)]; }
    // True when the type's set is open and holds a question.
    bool hasQuestions(QuestionType type);

    // The profile's name of the fourth type and how the session treats it.
    QString fourthTypeName() const;
    FourthKind fourthKind() const;

    // Fills the type's set for the scope (the number of a PracticeScope) and makes current its
    // first question at the chapter code; the due reviews come lowest retrievability first and
    // start at their first. Throws when the set cannot be read.
    void open(QuestionType type, int scope, const QString &selectedChapterCode);

    // What the header shows for the type's current question. The chapter and section names are
    // looked up when the question has a chapter, and are empty when it has none.
    struct Header {
        QString number;
        QuestionStats stats;
        bool favourite = false;
        std::optional<QString> chapterName;
        std::optional<QString> sectionName;
    };
    Header header(QuestionType type, const QString &idColumn);

    // The type's current question as the window presents it; nothing for a fourth type the window
    // does not present. A text that does not decode leaves the value unreadable.
    std::optional<Question> question(QuestionType type);

    // The answer of the latest check, counted as an attempt when the learner moves on.
    const QString &pendingAnswer() const { return m_pendingAnswer; }
    void forgetPendingAnswer() { m_pendingAnswer.clear(); }

    // The outcome of a check, for the result dialog.
    struct Check {
        QString standardAnswer;
        QString answer;
        bool right = false;
        QString score; // points + "分" when right, "0分" when wrong
    };
    // Checks an answer to the current question of a single, multiple or true/false set: DDCS and
    // YDCS are written and the answer becomes the pending one.
    Check checkQuestion(QuestionType type, const QString &answer);
    // Checks a case stem on the boxes on screen; the answer is never empty.
    void checkCaseStem(const std::vector<SubQuestionBoxes> &boxes);
    // Checks an operation question on what its program left in the scratch row; nothing when it
    // left nothing.
    std::optional<Check> checkOperation();

    // The result dialog's payload of a checked question of the type.
    ResultPayload questionPayload(QuestionType type, const Check &check);
    ResultPayload operationPayload(const Check &check);
    // Scores every sub-question of the current case stem on the boxes and builds its payload.
    ResultPayload caseStemPayload(const std::vector<SubQuestionBoxes> &boxes);

    // Leaves the type's current question: counts the pending answer (an operation question is
    // counted on what its program has left by now) and records it as the question's review, in one
    // transaction, then moves. The pending answer is gone
    // afterwards, also when counting fails, so it is never counted twice or on another question.
    // False when a move found no question beyond the current one (the end of the set).
    bool commitAndMove(QuestionType type, Move move);

    // Marks or unmarks the type's current question as a favourite.
    void setFavourite(QuestionType type, bool favourite);
    // A true/false question stored with 1/0 gets the form the checks compare with.
    void normaliseJudgementAnswer();
    // The operation program leaves the learner's result in the scratch row: empty it before the
    // question is shown (a bank that lacks the row gets it back).
    void clearOperationScratch();

private:
    QString scratchAnswer();
    // The reviewed question of the type's current row: a case by its stem.
    ReviewItem reviewItem(QuestionType type);
    ResultPayload payload(const QString &number, const QString &type, std::optional<QString> standardScore,
                          const QString &standardAnswer, const QString &answer, const QString &score,
                          const QString &explanationSql, int questionId);

    std::array<Dataset, 4> m_sets;
    QString m_pendingAnswer;
    // The names in the header, the explanation's stand-in.
    QString m_chapterName;
    QString m_sectionName;
};
