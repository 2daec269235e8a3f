#pragma once

#include "Dataset.h"
#include "MainQueries.h"
#include "PracticeTypeBoxes.h"

#include <QWidget>
#include <array>
#include <functional>

class DailyReviewPanel;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;
class ReviewListModel;

// The wrong-question page and the favourites page: counts per type, the list, and the drill
// launcher. The two are built the same way and differ in the flag they select on and their texts.

class ReviewPage : public QWidget {
    Q_OBJECT
public:
    using Kind = ReviewKind;
    explicit ReviewPage(Kind kind, QWidget *parent = nullptr);

    // First showing: the fourth type's name on its check box.
    void ShowProfile();
    // Navigation entry 5 or 6: recount and reload the list.
    void Enter();

    Kind kind() const { return m_kind; }

    QGroupBox *countGroup;
    PracticeTypeBoxes typeBoxes;
    std::array<QLabel *, 4> countLabels; // single, multiple, true/false, fourth type
    QGroupBox *listGroup;
    QTableView *list;
    QPushButton *launchButton;
    // The wrong-question page only (null on the favourites page): "今日复习" and "只看未掌握".
    DailyReviewPanel *dailyReview = nullptr;
    QCheckBox *onlyUnmastered = nullptr;

    // Opens the practice window; RunPractice unless a test puts a recorder here.
    std::function<void()> launchPractice;

public slots:
    // "进入错题强化" / "进入收藏试题": practice over the page's questions of the checked types.
    void launch();

private:
    void addReviewControls(QVBoxLayout *right);
    void recount();
    void sizeColumns();

    Kind m_kind;
    Dataset m_list;
    ReviewListModel *m_model;
};
