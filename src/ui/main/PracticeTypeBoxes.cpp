#include "PracticeTypeBoxes.h"

#include "ExamProfile.h"
#include "LaunchParameters.h"

#include <QCheckBox>

PracticeTypeBoxes::PracticeTypeBoxes(QWidget *parent, const std::array<QString, 4> &objectNames) {
    for (QuestionType type : kQuestionTypes) {
        const size_t i = IndexOf(type);
        auto *b = new QCheckBox(type != QuestionType::Fourth ? QuestionTypeName(type) : QString(), parent);
        b->setObjectName(objectNames[i]);
        b->setChecked(true);
        m_boxes[i] = b;
    }
}

void PracticeTypeBoxes::ShowProfile() {
    m_boxes[IndexOf(QuestionType::Fourth)]->setText(examProfile().section(QuestionType::Fourth).typeName);
}

void PracticeTypeBoxes::StoreFlags() const {
    auto &flags = launchParameters().PracticeTypeFlags;
    for (size_t i = 0; i < m_boxes.size(); ++i)
        flags[i] = m_boxes[i]->isChecked();
}
