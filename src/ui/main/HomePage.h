#pragma once

#include <QWidget>

class DailyReviewPanel;
class QPushButton;
class QVBoxLayout;

// The home page: what the program offers, with a button to each part.
class HomePage : public QWidget {
    Q_OBJECT
public:
    explicit HomePage(QWidget *parent = nullptr);

    QPushButton *syllabusButton() const { return m_buttons[0]; }
    QPushButton *chapterPracticeButton() const { return m_buttons[1]; }
    QPushButton *mockExamButton() const { return m_buttons[2]; }
    QPushButton *statisticsButton() const { return m_buttons[3]; }
    QPushButton *guideButton() const { return m_guideButton; }
    QPushButton *aboutButton() const { return m_aboutButton; }
    DailyReviewPanel *dailyReview() const { return m_dailyReview; }
    // Places a panel of the main window's (the learner's progress) below the day's reviews.
    void addPanel(QWidget *panel);

signals:
    void syllabusRequested();
    void chapterPracticeRequested();
    void mockExamRequested();
    void statisticsRequested();
    void guideRequested();
    void aboutRequested();

private:
    QPushButton *m_buttons[4] = {};
    DailyReviewPanel *m_dailyReview = nullptr;
    QPushButton *m_guideButton = nullptr;
    QPushButton *m_aboutButton = nullptr;
    QVBoxLayout *m_column = nullptr;
};
