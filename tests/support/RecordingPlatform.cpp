#include "RecordingPlatform.h"

#include <QCoreApplication>

void RecordingPlatform::processEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

bool RecordingPlatform::show(Box box) {
    box.openBelow = qMax(0, OpenBoxCount() - 1); // the box itself is counted from its call on
    boxes.push_back(box);
    const size_t index = boxes.size() - 1;
    const int closingsBefore = m_closings;
    if (whileOpen) whileOpen(box);
    if (m_closings != closingsBefore) {
        if (index < boxes.size()) boxes[index].closedByProgram = true;
        return false;
    }
    if (box.kind != BoxKind::Confirm || confirmAnswers.empty()) return true;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}
