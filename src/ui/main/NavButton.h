#pragma once

#include <QWidget>

class QLabel;

// A navigation entry: a picture with its caption below, hand cursor; a click anywhere on it
// navigates. The caption of the current entry is red, the others black.
class NavButton : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 104;

    NavButton(int number, const QString &caption, const QString &builtInPicture, QWidget *parent);

    int number() const { return m_number; }
    void setPicture(const QPixmap &picture);
    void setCurrent(bool current);
    bool isCurrent() const { return m_current; }
    QLabel *captionLabel() const { return m_caption; }

signals:
    void clicked(int number);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Enter or Space opens the entry; Left and Right move to the neighbouring entry.
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showState();

    int m_number;
    bool m_current = false;
    QLabel *m_picture;
    QLabel *m_caption;
};
