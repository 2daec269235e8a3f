#pragma once

#include <QString>

// The arithmetic of the built-in calculator, the way a desk calculator works: numbers are keyed in
// digit by digit, an operator completes the pending one (left to right, no precedence), "=" repeats
// the last operation when pressed again, and a memory keeps one number.
class CalculatorCore {
public:
    enum class Op { None, Add, Subtract, Multiply, Divide };

    // What the display shows: the entry being keyed in, a result, or an error text.
    QString display() const { return m_display; }
    // True while an error text is shown; the next key starts afresh.
    bool failed() const { return m_failed; }
    bool hasMemory() const { return m_hasMemory; }

    void digit(int d); // 0..9
    void point();
    void op(Op o);
    void equals();
    void percent();
    void squareRoot();
    void negate();
    void backspace();
    void clearEntry(); // CE: the entry only
    void clearAll();   // C: entry, pending operation and last operation; the memory stays
    void memoryClear();
    void memoryRecall();
    void memoryStore();
    void memoryAdd();
    void memorySubtract();
    // Takes a number as the entry (pasted text); false when the text is no number.
    bool enter(const QString &text);

    // The shown number; 0 while an error is shown.
    double value() const;
    // Shortest text of a number with at most 15 significant digits ("0.1", "1234.5", "1e+20").
    static QString format(double v);

private:
    void setResult(double v);
    void fail(const QString &text);
    void leaveError();
    static double apply(Op o, double a, double b, bool *divisionByZero);

    QString m_display = QStringLiteral("0");
    bool m_entering = false; // the display is an entry still being keyed in
    bool m_fresh = false;    // an operand was given since the last operator
    bool m_failed = false;
    double m_accumulator = 0;
    Op m_pending = Op::None;
    Op m_lastOp = Op::None; // for repeated "="
    double m_lastOperand = 0;
    double m_memory = 0;
    bool m_hasMemory = false;
};
