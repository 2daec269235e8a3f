#pragma once

#include "MainQueries.h"
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
class ChapterPracticePage : public QWidget {
    Q_OBJECT
public:
    explicit ChapterPracticePage(QWidget *parent = nullptr);

    // First showing, after the exam profile is loaded: subject label and fourth-type caption.
    void ShowProfile();
    // When the page is first shown: builds the tree from the chapter table's rows (read at start-up)
    // and counts the whole bank.
    void BuildChapterTree(const std::vector<ChapterTreeRow> &rows);
    // Navigation entry 3 (the main window has already reset the scope to 0 and cleared the chosen
    // chapter): the page shows the whole subject again, with its numbers.
    void Enter();

    QLabel *subjectLabel;
    QLabel *chooseChapterLabel;
    QTreeWidget *chapterTree;
    QLabel *chapterLabel;
    QLabel *sectionLabel;
    QLabel *progressLabel;
    QGroupBox *choicesGroup;
    std::array<QRadioButton *, 5> scopeButtons; // index = PracticeScope
    PracticeTypeBoxes typeBoxes;
    QPushButton *startButton;

    // Opens the practice window; RunPractice unless a test puts a recorder here.
    std::function<void()> launchPractice;

public slots:
    void chooseNode();
    // The five scope choices: each stores its number in PracticeScope.
    void chooseScope(int scope);
    void startPractice();

private:
    void showProgress(const QString &chapter, const QString &section);

    // The chapter and section the progress text counts (empty: the whole bank).
    QString m_progressChapter;
    QString m_progressSection;
};
