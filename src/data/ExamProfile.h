#pragma once

#include <QString>
#include <array>

// The shape of a mock-exam paper, loaded once at start from profile 1.
struct ExamSection {
    QString typeName;   // "单选题", "多选题", "判断题", fourth type name
    QString countText;  // as stored, for display ("24" + "题")
    QString pointsText; // as stored
    double perQuestionScore = 0; // section points / count
    int count = 0;
};

struct ExamProfile {
    enum Section { Single = 0, Multiple = 1, TrueFalse = 2, Fourth = 3 };
    QString subjectName;
    std::array<ExamSection, 4> sections;
    int totalCount = 0;
};

// The process-wide profile.
ExamProfile &examProfile();
