#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// The chapter-practice page of the main window: the chapter tree with progress counts, the scope
// and type choices, and "开始练习".
class ChapterPracticePage : public QWidget {
    Q_OBJECT
public:
    explicit ChapterPracticePage(QWidget *parent = nullptr);

    // First showing, after the exam profile is loaded: subject label and fourth-type caption.
    void ShowProfile();
    // First showing: builds the tree and counts the whole bank.
    void BuildChapterTree();
    // Navigation entry 3 (the main window has already reset the scope to 0 and cleared the chosen
    // chapter); the tree keeps its selection and the labels their texts.
    void Enter();
};
