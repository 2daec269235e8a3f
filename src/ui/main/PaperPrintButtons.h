#pragma once

#include <QWidget>
#include <functional>

class QPushButton;

// "打印试卷" and "打印空白卷" under the answered-paper list: the chosen paper as a PDF, with the
// learner's answers and score, or with an empty answer sheet; both with the key and explanations.
class PaperPrintButtons : public QWidget {
    Q_OBJECT
public:
    // The paper chosen in the list: its number in the bank (sjID) and the number the list shows;
    // sjID 0 when none is chosen.
    struct Choice {
        int paperId = 0;
        int shownNumber = 0;
    };

    PaperPrintButtons(std::function<Choice()> chosenPaper, QWidget *parent = nullptr);

    QPushButton *printButton;
    QPushButton *printBlankButton;

    // The file dialog (a test puts an answer here): the PDF to write, proposed `suggested`; empty
    // when the learner cancels.
    std::function<QString(const QString &suggested)> choosePdfTarget;

public slots:
    void PrintClick();
    void PrintBlankClick();

private:
    void print(bool withAnswers);
    std::function<Choice()> m_chosenPaper;
};
