#pragma once

#include "AnswerScore.h"

#include <QString>
#include <optional>
#include <vector>

class Dataset;

// Answer checks and per-question statistics as values. The rules take and return values; the
// writer at the end puts a changed row into the bank with one post.

// 'A' + i for every ticked position, in position order ("ACD").
QString LettersOf(const std::vector<bool> &ticked);

// The score text of a checked answer: the points when right, "0" when wrong.
QString ScoreText(bool right, double points);

// What a question row keeps about the learner's answers.
struct QuestionStats {
    QString DDCS;   // "1": wrong at the latest check, "0": right
    QString YDCS;   // "1": answered at least once; "0": never; other stored values stay as they are
    int ZONGCS = 0; // attempts counted
    int ZQCS = 0;   // attempts counted right
    bool operator==(const QuestionStats &other) const {
        return DDCS == other.DDCS && YDCS == other.YDCS && ZONGCS == other.ZONGCS && ZQCS == other.ZQCS;
    }
};

// An answer is right when it equals the standard answer exactly (case-sensitive; nothing is
// trimmed). An empty standard answer is never matched by a given answer.
bool IsRightAnswer(const QString &standardAnswer, const QString &answer);

// A check: DDCS "0" when right, "1" when wrong; YDCS "0" becomes "1".
QuestionStats AfterCheck(QuestionStats stats, bool right);
// Leaving an answered question: ZONGCS + 1, and ZQCS + 1 when right.
QuestionStats AfterAttempt(QuestionStats stats, bool right);

// The header texts of a question: " 【答对 c 次-答错 w 次】  解答题次t", and the accuracy
// "题目答题的正确率 p% " (whole percent, rounded down; the window's initial "0%  " before the first
// attempt).
QString AttemptsText(const QuestionStats &stats);
QString AccuracyText(const QuestionStats &stats);

// Banks may hold 1/0 for a true/false answer; the form the checks compare with is "√"/"×".
// Nothing when the stored answer is already in that form (or any other).
std::optional<QString> JudgementAnswerForm(const QString &storedAnswer);

// The explanation shown for a question: its decoded text, or the chapter and section names of the
// header when it decodes to nothing.
QString ExplanationOrChapter(const QString &decodedExplanation, const QString &chapterName, const QString &sectionName);

// The boxes a case stem's sub-question received on screen, in option order.
struct SubQuestionBoxes {
    int tiganId = 0;
    std::vector<bool> ticked;
};

// The whole-stem answer: 'A' + the running box index over all sub-questions of every ticked box.
QString CaseStemAnswer(const std::vector<SubQuestionBoxes> &boxes);

// A sub-question of a case stem as the scoring reads it.
struct SubQuestionKey {
    int tiganId = 0;
    QString daan;
};

struct CaseStemScore {
    QString standardText; // "[daan]、" per scored sub-question
    QString answerText;   // "[answer]、" per scored sub-question
    double points = 0;
};

// Scores every sub-question of the stem (in tigan_id order). Each is judged on its own boxes,
// 'A' + j within the sub-question, so sub-questions of any option count score against what was on
// screen for them; a sub-question without boxes on screen answered nothing. Each earns its points
// under the bank's rule (AnswerPoints).
CaseStemScore ScoreCaseStem(const std::vector<SubQuestionKey> &subQuestions, const std::vector<SubQuestionBoxes> &boxes,
                            double pointsPerSubQuestion, ScoringRule rule = ScoringRule::AllOrNothing);

// The bank side.
QuestionStats ReadStats(Dataset &row);
// Writes the columns in which `after` differs from `before` to the current row, in one post;
// nothing when they agree.
void WriteStats(Dataset &row, const QuestionStats &before, const QuestionStats &after);
// The sub-questions of an opened scoring query, from its first row.
std::vector<SubQuestionKey> ReadSubQuestions(Dataset &subQuestions);
