#pragma once

#include <QRect>
#include <QRegion>
#include <QWidget>

// Where a widget lies in its window's coordinates, whole.
inline QRect InWindow(QWidget *widget) {
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

// The part of a widget the learner sees (not clipped by a scroll area or its parents), in the
// window's coordinates.
inline QRect ShownPart(QWidget *widget) {
    const QRect visible = widget->visibleRegion().boundingRect();
    return QRect(widget->mapTo(widget->window(), visible.topLeft()), visible.size());
}
