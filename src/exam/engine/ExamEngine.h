#pragma once

#include "ExamProfile.h"
#include "SqlError.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <set>
#include <vector>

class Dataset;
class PaperRandom;
class BankSession;
struct LaunchParameters;

// A paper could not be drawn (the bank holds too few usable questions for a section). The message
// is the learner's, in Chinese; nothing of the paper is left in the bank.
class PaperError : public KjksError {
public:
    using KjksError::KjksError;
};

// Exam time in seconds: the bank's minutes when it states them (EXAM_MINUTES), else 7200 when the
// subject title contains "实务" and 5400 otherwise.
int ExamTimeForTitle(const QString &subjectTitle, std::optional<int> bankMinutes = std::nullopt);
// The countdown of a paper of this profile: the bank's minutes when it states them; else the
// title's time, and for a paper without some of the exam's sections the share of it their points
// take of the real exam's 100 points, in whole minutes (at least one).
int ExamSecondsFor(const ExamProfile &profile, const QString &subjectTitle);
// Sub-questions taken per case stem: 5 when the subject title contains "实务", else 4.
int SubQuestionsPerStem(const QString &subjectTitle);

// One shijuan row of the open paper.
struct PaperRow {
    int id = 0;
    int xth = 0;
    QString tixing;
    int tiganId = 0;
    QString daan;
    QString KSDA;
    std::optional<double> defen; // NULL until the item is answered or scored
    QString kaolv;

    bool marked() const { return kaolv == QStringLiteral("1"); }
    bool answered() const { return !KSDA.isEmpty(); }
    // The current row of a query over shijuan (missing columns read as empty).
    static PaperRow fromDataset(const Dataset &row);
};

// The score sheet: rows of 4 columns, row 0 and column 0 headings, a row per section the paper
// has, then the total; the total also heads the panel.
struct ScoreSheet {
    std::vector<std::array<QString, 4>> cells;
    QString totalText; // Label25 beside "成绩单"; empty when nothing was scored
};
// The sheet of a paper of this profile from its sums as read (total, single, multiple, judgement,
// fourth section): the sections the paper has, and their stated points as the total's full points.
ScoreSheet MakeScoreSheet(const ExamProfile &profile, const std::array<QString, 5> &sumTexts);

// What one hand-in stored and what the score panel shows.
struct HandInResult {
    // Sums as read (empty text when no row of that kind was scored): total, single, multiple,
    // judgement, fourth section.
    std::array<QString, 5> sumTexts;
    // As stored in the catalogue row (an empty sum is stored as 0), same order.
    std::array<double, 5> stored{};
    ScoreSheet sheet;
    // The answer list, rows in ID order, as stored after the hand-in.
    std::vector<PaperRow> answerList;
};

// What a hand-in confirmation names: questions of the paper still without an answer (operation
// questions are answered outside the window and do not count) and the questions marked.
struct PaperProgress {
    int unanswered = 0;
    int marked = 0;
};
PaperProgress ProgressOf(const std::vector<PaperRow> &rows);

// The mock-exam engine behind the paperless exam window: it draws or reopens the paper, stores
// answers and marks, hands the paper in and builds everything the score panel and the review show.
// Plain class on the data module's connection; it reads and writes PaperKey through the launch
// parameters and the sections through the exam profile, both held by reference.
class ExamEngine {
public:
    ExamEngine(BankSession &data, const ExamProfile &profile, LaunchParameters &params);
    ExamEngine(const ExamEngine &) = delete;
    ExamEngine &operator=(const ExamEngine &) = delete;

    // The window's subject title (APP_TITLE); decides the sub-questions per case stem.
    void SetSubjectTitle(const QString &title) { m_subjectTitle = title; }
    const QString &SubjectTitle() const { return m_subjectTitle; }

    // Start-up: sizes PaperQuestionIds to the profile total, sets the fill counter to 1, then
    // creates a paper (PaperKey "0") or reopens the paper PaperKey names.
    void StartPaper();
    // A new paper in one transaction: catalogue row, then (PaperDrawMode non-empty) the four
    // sections drawn with one generator seeded from the platform. PaperKey becomes its number.
    // Throws PaperError when a section cannot be filled; then no row of it stays and PaperKey and
    // PaperQuestionIds are as before the call.
    void CreatePaper();
    // Reopens PaperKey: new DTKSSJ, every item's KSDA and defen emptied (kaolv stays), the ids
    // listed in id order. One transaction.
    void ReopenPaper();

    // The question id (tigan_id, decimal text) at each position; empty entries where a paper holds
    // fewer questions than the profile total.
    const QStringList &PaperQuestionIds() const { return m_questionIds; }
    // 1-based index of the next entry to fill; after start-up, number of questions filled + 1.
    int FillCounter() const { return m_fillCounter; }
    QString PaperKey() const;

    // Positions: S, M, J, P consecutive sections of the profile; Total() = profile total.
    int Total() const { return m_profile.totalCount; }
    int SectionStart(QuestionType section) const;
    // The section holding a position in 0 … Total() − 1.
    QuestionType SectionOf(int position) const;

    // The methods below work on the paper PaperKey names; with none open ("0") they throw PaperError.

    // The item at a position (select * from shijuan where xth = position + 1 and sjID = key).
    PaperRow ReadPaperRow(int position);
    // The items of one section (the section handlers' statement).
    std::vector<PaperRow> SectionRows(QuestionType section);

    // Stores the learner's answer of the question at a position: KSDA posted, then defen scored
    // with the points of the position's section. Returns the row as stored (its kaolv decides the
    // card colour); an empty answer, a multiple-choice answer of one option under partial credit,
    // or a position the paper has no item for, stores nothing and returns an empty row (xth 0).
    PaperRow StoreAnswer(int position, const QString &answer);
    // Under partial credit a multiple-choice answer needs at least two options, as in the real
    // exam; fewer are not an answer.
    bool NeedsTwoOptions(int position) const;
    // Empties the stored answer and its points at a position (the learner went back below two
    // options); returns the row as stored, or an empty row when the paper has no item there.
    PaperRow ClearAnswer(int position);
    // Marks or unmarks the question at a position (kaolv "1"/"0"); returns the row as stored, or an
    // empty row when the paper has no item there.
    PaperRow SetMarked(int position, bool marked);

    // Hand-in in one transaction: operation rows scored, sums stored with JJSJ, DDCS of every
    // question of the paper set ("0" when its item got its full points, else "1").
    // Every answered question (a case by its stem) is recorded as a review in the same transaction.
    HandInResult HandIn();

    // True when the open paper was handed in after it was last started (PaperHandedIn).
    bool HandedIn();

    // The answer list: rows in ID order.
    std::vector<PaperRow> AnswerList();
    QString AnswerListSql() const;
    // Text of an answer-list cell for the daan and KSDA columns: "略" on operation rows, else the
    // first 50 characters of the value.
    static QString AnswerCellText(const PaperRow &row, const QString &value);

    // The result-dialog text for an answer-list row (its click).
    QString AnswerListPayload(const PaperRow &row);
    // The result-dialog text of "本题解析" for the question at a position.
    QString ExplanationPayload(int position);
    // The explanation of a question: decoded jiexi, else its chapter and section names.
    QString ExplanationOf(int questionId);

private:
    double SectionPoints(QuestionType section) const;
    double FullPointsOf(const PaperRow &row) const;
    bool GotFullPoints(const PaperRow &row) const;
    int PaperNumber() const;
    void FillNext(int questionId);
    void GenerateSections(PaperRandom &random);
    // The questions and case stems of the paper made before this one.
    struct PaperContents {
        std::set<int> questions;
        std::set<int> stems;
    };
    PaperContents PreviousPaperContents(int paperNumber);

    BankSession &m_data;
    const ExamProfile &m_profile;
    LaunchParameters &m_params;
    QString m_subjectTitle;
    QStringList m_questionIds;
    int m_fillCounter = 1;
};
