#pragma once

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

// A label that answers a left click inside it: the card's numbers, the hand-in area of the header
// and the fourth section's header picture. One that takes the keyboard focus answers Enter and
// Space as a click.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    // The focus shows as a frame around the label, so that a learner on the keyboard sees where
    // Enter goes.
    void paintEvent(QPaintEvent *event) override {
        QLabel::paintEvent(event);
        if (!hasFocus()) return;
        QPainter painter(this);
        QPen pen(QColor(0xE0, 0x6C, 0x00), 2, Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
    void focusInEvent(QFocusEvent *event) override {
        QLabel::focusInEvent(event);
        update();
    }
    void focusOutEvent(QFocusEvent *event) override {
        QLabel::focusOutEvent(event);
        update();
    }
    void keyPressEvent(QKeyEvent *event) override {
        const int key = event->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            emit clicked();
            return;
        }
        QLabel::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent *event) override {
        if (event->button() == Qt::LeftButton) m_pressed = true;
        QLabel::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override {
        const bool click =
            m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        m_pressed = false;
        QLabel::mouseReleaseEvent(event);
        if (click) emit clicked();
    }

private:
    bool m_pressed = false;
};
