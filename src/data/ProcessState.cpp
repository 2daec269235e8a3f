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
