#include "PracticeTypeBoxes.h"

#include "ExamProfile.h"
#include "LaunchParameters.h"

#include <QCheckBox>

PracticeTypeBoxes::PracticeTypeBoxes(QWidget *parent, const std::array<QString, 4> &objectNames) {
    const QString captions[3] = {QStringLiteral("单选题"), QStringLiteral("多选题"), QStringLiteral("判断题")};
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        auto *b = new QCheckBox(i < 3 ? captions[i] : QString(), parent);
        b->setObjectName(objectNames[i]);
        b->setChecked(true);
        m_boxes[i] = b;
    }
}

void PracticeTypeBoxes::ShowProfile() {
    m_boxes[LaunchParameters::Fourth]->setText(examProfile().sections[ExamProfile::Fourth].typeName);
}

void PracticeTypeBoxes::StoreFlags() const {
    auto &flags = launchParameters().PracticeTypeFlags;
    for (size_t i = 0; i < m_boxes.size(); ++i) flags[i] = m_boxes[i]->isChecked();
}
