#pragma once

#include <QWidget>
#include <array>

class QAbstractButton;
class QPushButton;
class QTextEdit;

// The study-documents page: five document buttons and a read-only rich-text viewer.
class DocumentsPage : public QWidget {
    Q_OBJECT
public:
    explicit DocumentsPage(QWidget *parent = nullptr);

    // Navigation entry 2: loads the syllabus only into an empty viewer.
    void EnterFromNavigation();

    QPushButton *syllabusButton;   // "考试大纲": the file named by AGADA_DOC
    QPushButton *guideButton;      // "报考指南"
    QPushButton *experienceButton; // "过关经验"
    QPushButton *libraryButton;    // "考试文库"
    QPushButton *newsButton;       // "考试资讯"
    QTextEdit *viewer;

    // The file behind each button; a missing AGADA_DOC leaves only the folder.
    static QString SyllabusPath();
    static QString GuidePath(const QString &caption);

public slots:
    void showSyllabus();
    // Shared by the four guide buttons: the file is the button's caption plus ".rtf".
    void showGuide(QAbstractButton *button);

    // One step larger (1), smaller (-1), or back to the document's own size (0).
    void zoom(int step);
    int zoomSteps() const { return m_zoom; }

protected:
    // Ctrl and the wheel zoom the document.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_zoom = 0;
    // Loads an existing file into the viewer; a missing one (or a folder) is left alone.
    void loadIfPresent(const QString &path);
};
