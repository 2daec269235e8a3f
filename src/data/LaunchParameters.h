#pragma once

#include <QString>
#include <array>

// The values the main window hands to the window it opens, set immediately before opening.
struct LaunchParameters {
    enum TypeFlag { Single = 0, Multiple = 1, TrueFalse = 2, Fourth = 3 };

    QString PaperKey = QStringLiteral("0");
    QString PaperDrawMode;
    QString PaperSetValue;
    std::array<bool, 4> PracticeTypeFlags{{false, false, false, false}};
    int PracticeScope = 0;
    QString SelectedChapterCode;
    QString AppDir;
    int ExamTimeSeconds = 5400;
};

// The process-wide values; tests reset them with `launchParameters() = LaunchParameters{}`.
LaunchParameters &launchParameters();
