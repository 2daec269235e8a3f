#pragma once

#include <QList>
#include <QWidget>

// The controls Tab reaches in a window, in the order it reaches them, as shown now.
inline QList<QWidget *> TabChain(QWidget *window) {
    QList<QWidget *> chain;
    QWidget *w = window;
    for (int i = 0; i < 2000; ++i) {
        w = w->nextInFocusChain();
        if (w == window) break;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() && !chain.contains(w))
            chain << w;
    }
    return chain;
}

// The first of `expected` missing from the chain or out of its order there, or null when all come
// in that order.
inline QWidget *FirstOutOfTabOrder(const QList<QWidget *> &chain, const QList<QWidget *> &expected) {
    qsizetype last = -1;
    for (QWidget *e : expected) {
        const qsizetype at = chain.indexOf(e);
        if (at <= last) return e;
        last = at;
    }
    return nullptr;
}
