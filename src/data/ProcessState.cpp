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
