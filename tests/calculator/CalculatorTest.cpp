#include "AccessibleNames.h"
#include "CalculatorWindow.h"
#include "DesktopPlatform.h"
#include "RecordingPlatform.h"
#include "TestApp.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Keys as a learner types them: digits, ".", "+-*/", "=", "%", "@" (root), "~" (±), "<" (backspace),
// "e" (CE), "c" (C), "S"/"R"/"P"/"Q"/"L" (MS, MR, M+, M−, MC).
QString run(const char *keys) {
    CalculatorCore calc;
    for (const char *k = keys; *k; ++k) {
        const char c = *k;
        if (c >= '0' && c <= '9') calc.digit(c - '0');
        switch (c) {
        case '.':
            calc.point();
            break;
        case '+':
            calc.op(CalculatorCore::Op::Add);
            break;
        case '-':
            calc.op(CalculatorCore::Op::Subtract);
            break;
        case '*':
            calc.op(CalculatorCore::Op::Multiply);
            break;
        case '/':
            calc.op(CalculatorCore::Op::Divide);
            break;
        case '=':
            calc.equals();
            break;
        case '%':
            calc.percent();
            break;
        case '@':
            calc.squareRoot();
            break;
        case '~':
            calc.negate();
            break;
        case '<':
            calc.backspace();
            break;
        case 'e':
            calc.clearEntry();
            break;
        case 'c':
            calc.clearAll();
            break;
        case 'S':
            calc.memoryStore();
            break;
        case 'R':
            calc.memoryRecall();
            break;
        case 'P':
            calc.memoryAdd();
            break;
        case 'Q':
            calc.memorySubtract();
            break;
        case 'L':
            calc.memoryClear();
            break;
        default:
            break;
        }
    }
    return calc.display();
}

} // namespace

TEST(CalculatorCore, KeySequences) {
    const struct {
        const char *keys;
        const char16_t *shown;
    } cases[] = {
        {"", u"0"},
        {"12.50", u"12.50"}, // an entry shows as keyed
        {"1..5", u"1.5"},    // one point only
        {"007", u"7"},
        {"2+3*4=", u"20"}, // left to right, like a desk calculator
        {"2+3=", u"5"},
        {"2+3==", u"8"},      // "=" again repeats the last operation
        {"2+*3=", u"6"},      // a second operator replaces the first
        {"0.1+0.2=", u"0.3"}, // 15 significant digits hide binary noise
        {"1/3=", u"0.333333333333333"},
        {"200+5%", u"10"},   // five per cent of 200 ...
        {"200+5%=", u"210"}, // ... added
        {"200*5%=", u"10"},
        {"50%", u"0.5"},
        {"9@", u"3"},
        {"2@", u"1.4142135623731"},
        {"5~", u"-5"},
        {"5~+8=", u"3"},
        {"123<", u"12"},
        {"1<<", u"0"},
        {"2+3=<", u"5"},  // a result is not edited digit by digit
        {"2+9e3=", u"5"}, // CE: the entry only
        {"2+9c3=", u"3"}, // C: everything
        {"7/0=", u"除数不能为零"},
        {"7/0=3", u"3"}, // the next key starts afresh
        {"4~@", u"无效输入"},
        {"1234567890123456789", u"123456789012345"}, // 15 digits at most
        {"5S2+R=", u"7"},                            // memory
        {"5S3P1R", u"8"},
        {"5S3QR", u"2"},
        {"5SLR", u"0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(run(c.keys), QString::fromUtf16(c.shown)) << c.keys;
}

TEST(CalculatorWindow, ButtonsKeyboardAndClipboard) {
    testApp();
    CalculatorWindow w;
    w.show();
    for (const char16_t *caption : {u"1", u"2", u"+", u"3", u"="})
        QTest::mouseClick(w.button(QString::fromUtf16(caption)), Qt::LeftButton);
    EXPECT_EQ(w.display()->text(), QStringLiteral("15"));
    QTest::keyClicks(&w, QStringLiteral("*2"));
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_EQ(w.display()->text(), QStringLiteral("30"));
    QTest::keyClick(&w, Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("memoryMark"))->text(), QStringLiteral("M"));
    QTest::keyClick(&w, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("30"));
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(w.display()->text(), QStringLiteral("0"));
    EXPECT_TRUE(w.isVisible()); // Esc clears, it does not close
    QApplication::clipboard()->setText(QStringLiteral(" 1,234.5 "));
    QTest::keyClick(&w, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.display()->text(), QStringLiteral("1234.5"));
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keyClick(&w, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.display()->text(), QStringLiteral("1234.5"));
    EXPECT_FALSE(w.button(QStringLiteral("√"))->toolTip().isEmpty());
}

// Every key and the display have a name a screen reader can say.
TEST(CalculatorWindow, EveryControlHasANameForScreenReaders) {
    testApp();
    CalculatorWindow w;
    w.show();
    const QStringList unnamed = UnnamedControls(&w);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
}

TEST(CalculatorWindow, OneWindowOverTheModalWindowInUse) {
    testApp();
    QDialog exam;
    exam.setWindowModality(Qt::ApplicationModal);
    exam.show();
    CalculatorWindow *first = ShowCalculator();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->parentWidget(), &exam); // so that it takes input while the exam is modal
    EXPECT_EQ(ShowCalculator(), first);
    first->close(); // deleted on close
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    CalculatorWindow *second = ShowCalculator();
    EXPECT_NE(second, nullptr);
    delete second;
}

// "Calc.EXE" asked of the desktop shell opens the built-in calculator: no desktop program needed.
TEST(CalculatorWindow, TheDesktopShellOpensItForCalcExe) {
    testApp();
    DesktopPlatform desktop;
    for (const char16_t *request : {u"Calc.EXE", u"\"calc.exe\""}) {
        EXPECT_TRUE(desktop.shellOpen(QString::fromUtf16(request)));
        CalculatorWindow *calc = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *c = qobject_cast<CalculatorWindow *>(w); c && c->isVisible()) calc = c;
        ASSERT_NE(calc, nullptr);
        delete calc;
    }
}
