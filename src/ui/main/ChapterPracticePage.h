#pragma once

#include "PracticeTypeBoxes.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// The chapter-practice page of the main window: the chapter tree with progress counts, the scope
// and type choices, and "开始练习".
//
// Controls (object names as the members): Label30 subject, Label29 "【选择章节】", TreeView1 the
// chapter tree (each node's Qt::UserRole holds the integer value of its daima), sLabel3/sLabel4
// chapter and section names, sLabel5 progress text, sGroupBox1 "  选题范围  " holding the scope
// choices sRadioButton1 "所有题目" (0), sRadioButton2 "新题-未答过的题" (1), sRadioButton3
// "错题重做" (2), sRadioButton4 "收藏的题目" (3), sRadioButton5 "已做过的题目" (4) and the type
// boxes sCheckBox1 "单选题", sCheckBox2 "多选题", sCheckBox3 "判断题", sCheckBox4 fourth type;
// sBitBtn2 "开始练习".
class ChapterPracticePage : public QWidget {
    Q_OBJECT
public:
    explicit ChapterPracticePage(QWidget *parent = nullptr);

    // First showing, after the exam profile is loaded: subject label and fourth-type caption.
    void ShowProfile();
    // First showing: builds the tree and counts the whole bank.
    void BuildChapterTree();
    // Navigation entry 3 (the main window has already reset the scope to 0 and cleared the chosen
    // chapter): the page shows the whole subject again, with its numbers.
    void Enter();

    QLabel *Label30;
    QLabel *Label29;
    QTreeWidget *TreeView1;
    QLabel *sLabel3;
    QLabel *sLabel4;
    QLabel *sLabel5;
    QGroupBox *sGroupBox1;
    std::array<QRadioButton *, 5> scopeButtons; // sRadioButton1..5, index = PracticeScope
    PracticeTypeBoxes typeBoxes;                // sCheckBox1..4
    QPushButton *sBitBtn2;

    // Opens the practice window; RunPractice unless a test puts a recorder here.
    std::function<void()> launchPractice;

public slots:
    void TreeView1Click();
    // The five scope choices: each stores its number in PracticeScope.
    void ScopeClick(int scope);
    void sBitBtn2Click();

private:
    void showProgress(const QString &chapter, const QString &section);

    // The chapter and section the progress text counts (empty: the whole bank).
    QString m_progressChapter;
    QString m_progressSection;
};
