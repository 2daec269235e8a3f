#include "CalculatorCore.h"

#include <cmath>

namespace {
constexpr int kMaxDigits = 15;

QString divisionByZeroText() {
    return QStringLiteral("除数不能为零");
}
QString invalidInputText() {
    return QStringLiteral("无效输入");
}
QString overflowText() {
    return QStringLiteral("溢出");
}

int digitCount(const QString &entry) {
    int n = 0;
    for (QChar c : entry)
        if (c.isDigit()) ++n;
    return n;
}
} // namespace

QString CalculatorCore::format(double v) {
    if (v == 0) return QStringLiteral("0"); // also -0
    return QString::number(v, 'g', kMaxDigits);
}

double CalculatorCore::value() const {
    return m_failed ? 0 : m_display.toDouble();
}

void CalculatorCore::leaveError() {
    if (m_failed) clearAll();
}

void CalculatorCore::setResult(double v) {
    if (!std::isfinite(v)) {
        fail(overflowText());
        return;
    }
    m_display = format(v);
    m_entering = false;
    m_fresh = true;
}

void CalculatorCore::fail(const QString &text) {
    m_display = text;
    m_failed = true;
    m_entering = false;
    m_fresh = false;
    m_pending = Op::None;
    m_lastOp = Op::None;
}

double CalculatorCore::apply(Op o, double a, double b, bool *divisionByZero) {
    switch (o) {
    case Op::Add:
        return a + b;
    case Op::Subtract:
        return a - b;
    case Op::Multiply:
        return a * b;
    case Op::Divide:
        if (b == 0) {
            *divisionByZero = true;
            return 0;
        }
        return a / b;
    case Op::None:
        break;
    }
    return b;
}

void CalculatorCore::digit(int d) {
    if (d < 0 || d > 9) return;
    leaveError();
    m_fresh = true;
    if (!m_entering) {
        m_display = QString::number(d);
        m_entering = true;
        return;
    }
    if (digitCount(m_display) >= kMaxDigits) return;
    if (m_display == QStringLiteral("0"))
        m_display = QString::number(d);
    else if (m_display == QStringLiteral("-0"))
        m_display = QStringLiteral("-") + QString::number(d);
    else
        m_display += QString::number(d);
}

void CalculatorCore::point() {
    leaveError();
    m_fresh = true;
    if (!m_entering) {
        m_display = QStringLiteral("0.");
        m_entering = true;
        return;
    }
    if (!m_display.contains(QLatin1Char('.'))) m_display += QLatin1Char('.');
}

void CalculatorCore::op(Op o) {
    if (m_failed) return;
    // A second operator in a row only replaces the first.
    if (m_pending != Op::None && m_fresh) {
        bool byZero = false;
        const double r = apply(m_pending, m_accumulator, value(), &byZero);
        if (byZero) {
            fail(divisionByZeroText());
            return;
        }
        setResult(r);
        if (m_failed) return;
    }
    m_accumulator = value();
    m_pending = o;
    m_entering = false;
    m_fresh = false;
    m_lastOp = Op::None;
}

void CalculatorCore::equals() {
    if (m_failed) return;
    double a = m_accumulator;
    double b = value();
    Op o = m_pending;
    if (o == Op::None) {
        if (m_lastOp == Op::None) {
            m_entering = false;
            return;
        }
        // "=" again: the last operation once more on the result.
        o = m_lastOp;
        a = value();
        b = m_lastOperand;
    }
    bool byZero = false;
    const double r = apply(o, a, b, &byZero);
    if (byZero) {
        fail(divisionByZeroText());
        return;
    }
    m_lastOp = o;
    m_lastOperand = b;
    m_pending = Op::None;
    setResult(r);
    m_fresh = false;
}

void CalculatorCore::percent() {
    if (m_failed) return;
    const double x = value();
    // 200 + 5 % adds five per cent of 200; 200 × 5 % multiplies by 0.05.
    const double r = (m_pending == Op::Add || m_pending == Op::Subtract) ? m_accumulator * x / 100 : x / 100;
    setResult(r);
}

void CalculatorCore::squareRoot() {
    if (m_failed) return;
    const double x = value();
    if (x < 0) {
        fail(invalidInputText());
        return;
    }
    setResult(std::sqrt(x));
}

void CalculatorCore::negate() {
    if (m_failed) return;
    if (m_entering) {
        m_display = m_display.startsWith(QLatin1Char('-')) ? m_display.mid(1) : QStringLiteral("-") + m_display;
        return;
    }
    setResult(-value());
}

void CalculatorCore::backspace() {
    if (m_failed) {
        clearAll();
        return;
    }
    if (!m_entering) return; // a result is not edited digit by digit
    m_display.chop(1);
    if (m_display.isEmpty() || m_display == QStringLiteral("-")) m_display = QStringLiteral("0");
}

void CalculatorCore::clearEntry() {
    if (m_failed) {
        clearAll();
        return;
    }
    m_display = QStringLiteral("0");
    m_entering = true;
    m_fresh = true;
}

void CalculatorCore::clearAll() {
    m_display = QStringLiteral("0");
    m_entering = false;
    m_fresh = false;
    m_failed = false;
    m_accumulator = 0;
    m_pending = Op::None;
    m_lastOp = Op::None;
    m_lastOperand = 0;
}

void CalculatorCore::memoryClear() {
    m_memory = 0;
    m_hasMemory = false;
}

void CalculatorCore::memoryRecall() {
    leaveError();
    setResult(m_memory);
}

void CalculatorCore::memoryStore() {
    if (m_failed) return;
    m_memory = value();
    m_hasMemory = true;
    m_entering = false;
}

void CalculatorCore::memoryAdd() {
    if (m_failed) return;
    m_memory += value();
    m_hasMemory = true;
    m_entering = false;
}

void CalculatorCore::memorySubtract() {
    if (m_failed) return;
    m_memory -= value();
    m_hasMemory = true;
    m_entering = false;
}

bool CalculatorCore::enter(const QString &text) {
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    leaveError();
    setResult(v);
    return true;
}
