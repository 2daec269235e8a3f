#pragma once

#include <QWidget>

class QPushButton;

// The home page: what the program offers, and a shortcut to the syllabus.
class HomePage : public QWidget {
    Q_OBJECT
public:
    explicit HomePage(QWidget *parent = nullptr);

    QPushButton *syllabusButton() const { return m_syllabus; }

signals:
    void syllabusRequested();

private:
    QPushButton *m_syllabus;
};
