#include "ExamProfile.h"
#include "LaunchParameters.h"

ExamProfile &examProfile() {
    static ExamProfile profile;
    return profile;
}

LaunchParameters &launchParameters() {
    static LaunchParameters values;
    return values;
}

ScoringRule ExamProfile::RuleFor(QuestionType section) const {
    const bool choiceOfSeveral =
        section == QuestionType::Multiple ||
        (section == QuestionType::Fourth && this->section(section).typeName == CaseStemTypeName());
    return choiceOfSeveral ? scoring : ScoringRule::AllOrNothing;
}

std::vector<QuestionType> ExamProfile::presentSections() const {
    std::vector<QuestionType> present;
    for (QuestionType type : kQuestionTypes)
        if (has(type)) present.push_back(type);
    return present;
}

int ExamProfile::totalPoints() const {
    int total = 0;
    for (QuestionType type : presentSections())
        total += section(type).pointsText.trimmed().toInt(); // checked when the profile was read
    return total;
}
