#pragma once

#include <QString>
#include <vector>

class Dataset;

// Answer checking and per-question statistics on the current row of a question set. Every write
// edits that row and posts it at once.

// 'A' + i for every ticked position, in position order ("ACD").
QString LettersOf(const std::vector<bool> &ticked);

// The score text of a checked answer: the points when right, "0" when wrong.
QString ScoreText(bool right, double points);

// DDCS := "1" for a wrong answer, "0" for a right one; posted.
void RecordCheck(Dataset &row, bool right);
// YDCS "0" becomes "1" (posted); any other value is left alone.
void MarkAnswered(Dataset &row);

// Counts one attempt when the learner leaves an answered question: ZONGCS + 1, and ZQCS + 1 when
// the answer equals daan.
void CountAttempt(Dataset &row, const QString &answer);

// The decoded explanation read by `sql` (first column); when it decodes to nothing, the chapter
// and section names shown in the header stand in for it.
QString ExplanationText(Dataset &lookup, const QString &sql, const QString &chapterName, const QString &sectionName);

// The boxes a case stem's sub-question received on screen, in option order.
struct SubQuestionBoxes {
    int tiganId = 0;
    std::vector<bool> ticked;
};

// The whole-stem answer: 'A' + the running box index over all sub-questions of every ticked box.
QString CaseStemAnswer(const std::vector<SubQuestionBoxes> &boxes);

struct CaseStemScore {
    QString standardText; // "[daan]、" per scored sub-question
    QString answerText;   // "[answer]、" per scored sub-question
    double points = 0;
};

// Scores the first four sub-questions read by `subQuestions` (opened, in tigan_id order). Each is
// judged on its own boxes, 'A' + j within the sub-question, so sub-questions of any option count
// score against what was on screen for them.
CaseStemScore ScoreCaseStem(Dataset &subQuestions, const std::vector<SubQuestionBoxes> &boxes,
                            double pointsPerSubQuestion);
