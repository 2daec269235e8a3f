#pragma once

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QStringList>
#include <QWidget>

// The operable controls of a window, as shown now, that a screen reader could not name: no
// caption and no accessible name. Each as "class objectName".
inline QStringList UnnamedControls(QWidget *window) {
    QStringList unnamed;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const bool operable = w->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton *>(w);
        if (!operable || !w->isVisibleTo(window) || qobject_cast<QAbstractScrollArea *>(w->parentWidget())) continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
    }
    unnamed.removeDuplicates();
    return unnamed;
}
