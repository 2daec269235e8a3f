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
class ReviewListModel;

// The wrong-question page and the favourites page: counts per type, the list, and the drill
// launcher. The two are built the same way and differ in the flag they select on and their texts.
//
// Controls (object names; wrong-question page / favourites page): the counts group sGroupBox2 /
// sGroupBox4 (" 错题范围  " / " 收藏范围  ") with the type boxes sCheckBox5..8 / sCheckBox9..12
// ("单选题", "多选题", "判断题", fourth type) and their counts Label31..34 / Label35..38; the list
// group sGroupBox3 / sGroupBox5 ("错题详细" / "收藏详细") around DBGrid2 / DBGrid3; the launch
// button sBitBtn4 "进入错题强化" / sBitBtn5 "进入收藏试题".
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
    QTableView *DBGrid;        // DBGrid2 / DBGrid3
    QPushButton *launchButton; // sBitBtn4 / sBitBtn5
    // The wrong-question page only (null on the favourites page): "今日复习" and "只看未掌握".
    DailyReviewPanel *dailyReview = nullptr;
    QCheckBox *onlyUnmastered = nullptr;

    // Opens the practice window; RunPractice unless a test puts a recorder here.
    std::function<void()> launchPractice;

public slots:
    // sBitBtn4Click on the wrong-question page, sBitBtn5Click on the favourites page.
    void LaunchClick();

private:
    void addReviewControls();
    void recount();
    void sizeColumns();

    Kind m_kind;
    Dataset m_list;
    ReviewListModel *m_model;
};
