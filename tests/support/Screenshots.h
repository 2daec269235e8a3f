#pragma once

#include <QString>

class QPixmap;
class QWidget;

// Helpers of the screenshot programs, which are run under Xvfb to look at the windows.

// Lets pending events (layouts, paints, timers) run for a moment.
void SettleEvents(int waitMs = 20);
// Writes the picture as PNG and prints its path, or says on stderr that it could not.
bool SaveShot(const QPixmap &pixmap, const QString &path);
// Settles the events, then grabs the widget and writes it.
bool SaveWidgetShot(QWidget *widget, const QString &path);
