#include "RecordingPlatform.h"

#include <QCoreApplication>

void RecordingPlatform::processEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}
