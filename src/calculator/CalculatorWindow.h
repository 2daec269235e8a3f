#pragma once

#include "CalculatorCore.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "计算器": the program's own calculator window, modeless, opened from the exam's and the
// practice's calculator buttons. Keys: digits, . + - * / = Enter, % , @ (square root), F9 (±),
// Backspace, Delete (CE), Esc (C), Ctrl+L/R/M/P/Q (memory), Ctrl+C copies, Ctrl+V pastes.
class CalculatorWindow : public QDialog {
    Q_OBJECT
public:
    explicit CalculatorWindow(QWidget *parent = nullptr);

    CalculatorCore &core() { return m_core; }
    QLineEdit *display() const { return m_display; }
    // The button with this caption ("7", "+", "MR", ...), or nullptr.
    QPushButton *button(const QString &caption) const;

public slots:
    void copyResult();
    void pasteNumber();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPushButton *addButton(const QString &caption, const QString &tip, int row, int column,
                           void (CalculatorCore::*action)(), int rowSpan = 1, int columnSpan = 1);
    bool controlKey(int key);
    void refresh();

    CalculatorCore m_core;
    QLineEdit *m_display = nullptr;
    QLabel *m_memoryMark = nullptr;
    class QGridLayout *m_grid = nullptr;
};

// Opens the one calculator window (or brings it to the front) over the window in use, so that it
// answers even while a modal window such as the exam is open. Returns it.
CalculatorWindow *ShowCalculator();
