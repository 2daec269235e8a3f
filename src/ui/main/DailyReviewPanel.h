#pragma once

#include <QGroupBox>
#include <functional>

class QLabel;
class QPushButton;

// "今日复习" on the home page and the wrong-question page: how many questions are due today and in
// the next 7 days, and "开始复习", which opens practice over today's due questions.
class DailyReviewPanel : public QGroupBox {
    Q_OBJECT
public:
    // Counts and button side by side (the home page) or one above the other (a narrow column).
    enum class Layout { Row, Column };
    explicit DailyReviewPanel(Layout layout, QWidget *parent = nullptr);

    // Counts again from the bank (nothing when no bank is open).
    void refresh();

    QLabel *countsLabel;
    QPushButton *startButton;

    // Opens the practice window; RunPractice unless a test puts a recorder here.
    std::function<void()> launchPractice;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void startClick();
};
