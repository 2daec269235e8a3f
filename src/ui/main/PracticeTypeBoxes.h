#pragma once

#include <QString>
#include <array>

class QCheckBox;
class QWidget;

// The four question-type check boxes that sit on the chapter-practice page and on the two review
// pages: "单选题", "多选题", "判断题" and the fourth type, whose caption comes from the exam profile.
// All are checked at first; at every launch they are read again into PracticeTypeFlags, so a flag
// the practice window cleared is set again.
class PracticeTypeBoxes {
public:
    // Creates the boxes as children of `parent`, named objectNames[0..3] (single, multiple,
    // true/false, fourth type).
    PracticeTypeBoxes(QWidget *parent, const std::array<QString, 4> &objectNames);

    QCheckBox *box(int type) const { return m_boxes[size_t(type)]; }
    // The fourth box's caption: the fourth type's name of the loaded exam profile.
    void ShowProfile();
    // Single, multiple, true/false, fourth type -> LaunchParameters::PracticeTypeFlags.
    void StoreFlags() const;

private:
    std::array<QCheckBox *, 4> m_boxes{};
};
