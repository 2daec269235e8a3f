#pragma once

#include <QWidget>

// The study-documents page: five document buttons and a read-only rich-text viewer.
class DocumentsPage : public QWidget {
    Q_OBJECT
public:
    explicit DocumentsPage(QWidget *parent = nullptr);

    // Navigation entry 2: loads the syllabus only into an empty viewer.
    void EnterFromNavigation();
};
