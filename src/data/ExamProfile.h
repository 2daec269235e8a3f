#pragma once

#include "AnswerScore.h"
#include "QuestionTypes.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

// The shape of a mock-exam paper, loaded once at start from profile 1.
struct ExamSection {
    QString typeName;            // "单选题", "多选题", "判断题", fourth type name
    QString countText;           // as stored, for display ("24" + "题")
    QString pointsText;          // as stored
    double perQuestionScore = 0; // section points / count
    int count = 0;
};

struct ExamProfile {
    QString subjectName;
    std::array<ExamSection, 4> sections; // in QuestionType order
    int totalCount = 0;
    // The bank's statement of its exam (sys_option, BankSession::LoadExamOptions): the exam's
    // length when the bank gives a valid one, and how multiple-choice and case answers are scored.
    std::optional<int> examMinutes;
    ScoringRule scoring = ScoringRule::AllOrNothing;

    // The rule for an answer of a section: partial credit reaches only the multiple-choice section
    // and case sub-questions; single choice, judgement and operation answers stay all or nothing.
    ScoringRule RuleFor(QuestionType section) const;

    // A section of 0 questions is not on the paper: no cells on the answer card, no row of the
    // score sheet, no heading on a printed paper. A paper holds the sections the bank can fill.
    bool has(QuestionType type) const { return section(type).count > 0; }
    std::vector<QuestionType> presentSections() const;
    // The paper's full points: the stated points of the sections it has.
    int totalPoints() const;

    ExamSection &section(QuestionType type) { return sections[IndexOf(type)]; }
    const ExamSection &section(QuestionType type) const { return sections[IndexOf(type)]; }
    // Positions in `sections` for code that walks them by index; the same as IndexOf(type).
    static constexpr std::size_t Single = IndexOf(QuestionType::Single);
    static constexpr std::size_t Multiple = IndexOf(QuestionType::Multiple);
    static constexpr std::size_t TrueFalse = IndexOf(QuestionType::Judgement);
    static constexpr std::size_t Fourth = IndexOf(QuestionType::Fourth);
};

// The process-wide profile.
ExamProfile &examProfile();
