#pragma once

#include <QString>
#include <array>

// The values the main window hands to the window it opens, set immediately before opening.
struct LaunchParameters {
    QString PaperKey = QStringLiteral("0");
    QString PaperDrawMode;
    QString PaperSetValue;
    std::array<bool, 4> PracticeTypeFlags{{false, false, false, false}}; // by IndexOf(QuestionType)
    int PracticeScope = 0; // the number of a PracticeScope (QuestionTypes.h)
    QString SelectedChapterCode;
    QString AppDir;
    int ExamTimeSeconds = 5400;
};

// The process-wide values; tests reset them with `launchParameters() = LaunchParameters{}`.
LaunchParameters &launchParameters();
