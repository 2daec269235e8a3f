#pragma once

#include <QLabel>

// A label for bank texts and the program's own: shown as written, never read as markup.
inline QLabel *PlainLabel(QWidget *parent, const QString &name, const QString &text = QString()) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    return l;
}
