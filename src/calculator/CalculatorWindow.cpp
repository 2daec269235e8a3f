#include "CalculatorWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPointer<CalculatorWindow> g_calculator;

QFont pixelFont(int px, bool bold = false) {
    QFont f(QStringLiteral("微软雅黑"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

} // namespace

CalculatorWindow::CalculatorWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("CalculatorWindow"));
    setWindowTitle(QStringLiteral("计算器"));
    setFont(pixelFont(15));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);

    auto *top = new QHBoxLayout;
    m_memoryMark = new QLabel(this);
    m_memoryMark->setObjectName(QStringLiteral("memoryMark"));
    m_memoryMark->setFixedWidth(18);
    m_memoryMark->setToolTip(QStringLiteral("存储器中有数"));
    m_display = new QLineEdit(QStringLiteral("0"), this);
    m_display->setObjectName(QStringLiteral("display"));
    m_display->setReadOnly(true);
    m_display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_display->setFont(pixelFont(24, true));
    m_display->setMinimumHeight(40);
    m_display->setFocusPolicy(Qt::NoFocus);
    top->addWidget(m_memoryMark);
    top->addWidget(m_display, 1);
    layout->addLayout(top);

    m_grid = new QGridLayout;
    m_grid->setSpacing(6);
    layout->addLayout(m_grid);

    using C = CalculatorCore;
    addButton(QStringLiteral("MC"), QStringLiteral("清除存储 (Ctrl+L)"), 0, 0, &C::memoryClear);
    addButton(QStringLiteral("MR"), QStringLiteral("读出存储 (Ctrl+R)"), 0, 1, &C::memoryRecall);
    addButton(QStringLiteral("MS"), QStringLiteral("存入存储 (Ctrl+M)"), 0, 2, &C::memoryStore);
    addButton(QStringLiteral("M+"), QStringLiteral("加到存储 (Ctrl+P)"), 0, 3, &C::memoryAdd);
    addButton(QStringLiteral("M−"), QStringLiteral("从存储减去 (Ctrl+Q)"), 0, 4, &C::memorySubtract);
    addButton(QStringLiteral("←"), QStringLiteral("退格 (Backspace)"), 1, 0, &C::backspace);
    addButton(QStringLiteral("CE"), QStringLiteral("清除输入 (Delete)"), 1, 1, &C::clearEntry);
    addButton(QStringLiteral("C"), QStringLiteral("全部清除 (Esc)"), 1, 2, &C::clearAll);
    addButton(QStringLiteral("±"), QStringLiteral("正负号 (F9)"), 1, 3, &C::negate);
    QPushButton *copy = addButton(QStringLiteral("复制"), QStringLiteral("复制结果 (Ctrl+C)"), 1, 4, nullptr);
    connect(copy, &QPushButton::clicked, this, &CalculatorWindow::copyResult);

    static const int digitCells[10][2] = {{5, 0}, {4, 0}, {4, 1}, {4, 2}, {3, 0},
                                          {3, 1}, {3, 2}, {2, 0}, {2, 1}, {2, 2}};
    for (int d = 0; d <= 9; ++d) {
        QPushButton *b =
            addButton(QString::number(d), QString(), digitCells[d][0], digitCells[d][1], nullptr, 1, d == 0 ? 2 : 1);
        connect(b, &QPushButton::clicked, this, [this, d] {
            m_core.digit(d);
            refresh();
        });
    }
    addButton(QStringLiteral("."), QStringLiteral("小数点 (.)"), 5, 2, &C::point);
    auto opButton = [&](const QString &caption, const QString &tip, int row, int column, C::Op o) {
        QPushButton *b = addButton(caption, tip, row, column, nullptr);
        connect(b, &QPushButton::clicked, this, [this, o] {
            m_core.op(o);
            refresh();
        });
    };
    opButton(QStringLiteral("÷"), QStringLiteral("除 (/)"), 2, 3, C::Op::Divide);
    opButton(QStringLiteral("×"), QStringLiteral("乘 (*)"), 3, 3, C::Op::Multiply);
    opButton(QStringLiteral("−"), QStringLiteral("减 (-)"), 4, 3, C::Op::Subtract);
    opButton(QStringLiteral("+"), QStringLiteral("加 (+)"), 5, 3, C::Op::Add);
    addButton(QStringLiteral("√"), QStringLiteral("平方根 (@)"), 2, 4, &C::squareRoot);
    addButton(QStringLiteral("%"), QStringLiteral("百分比 (%)"), 3, 4, &C::percent);
    addButton(QStringLiteral("="), QStringLiteral("等于 (Enter)"), 4, 4, &C::equals, 2, 1);
    refresh();
    setFixedSize(sizeHint().expandedTo(QSize(300, 330)));
}

QPushButton *CalculatorWindow::addButton(const QString &caption, const QString &tip, int row, int column,
                                         void (CalculatorCore::*action)(), int rowSpan, int columnSpan) {
    auto *b = new QPushButton(caption, this);
    b->setObjectName(QStringLiteral("button") + caption);
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus); // Enter is "=", never a click on the last button
    b->setAutoDefault(false);
    b->setMinimumSize(48, 36);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_grid->addWidget(b, row, column, rowSpan, columnSpan);
    if (action)
        connect(b, &QPushButton::clicked, this, [this, action] {
            (m_core.*action)();
            refresh();
        });
    return b;
}

QPushButton *CalculatorWindow::button(const QString &caption) const {
    for (QPushButton *b : findChildren<QPushButton *>())
        if (b->text() == caption) return b;
    return nullptr;
}

void CalculatorWindow::refresh() {
    m_display->setText(m_core.display());
    m_memoryMark->setText(m_core.hasMemory() ? QStringLiteral("M") : QString());
}

void CalculatorWindow::copyResult() {
    if (!m_core.failed()) QApplication::clipboard()->setText(m_core.display());
}

void CalculatorWindow::pasteNumber() {
    m_core.enter(QApplication::clipboard()->text());
    refresh();
}

// Ctrl with a letter: copy, paste and the memory keys. False when the key is none of them.
bool CalculatorWindow::controlKey(int key) {
    switch (key) {
    case Qt::Key_C:
        copyResult();
        return true;
    case Qt::Key_V:
        pasteNumber();
        return true;
    case Qt::Key_L:
        m_core.memoryClear();
        break;
    case Qt::Key_R:
        m_core.memoryRecall();
        break;
    case Qt::Key_M:
        m_core.memoryStore();
        break;
    case Qt::Key_P:
        m_core.memoryAdd();
        break;
    case Qt::Key_Q:
        m_core.memorySubtract();
        break;
    default:
        return false;
    }
    refresh();
    return true;
}

void CalculatorWindow::keyPressEvent(QKeyEvent *event) {
    using C = CalculatorCore;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods & Qt::ControlModifier) {
        if (!controlKey(event->key())) QDialog::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        m_core.digit(key - Qt::Key_0);
    } else {
        switch (key) {
        case Qt::Key_Period:
        case Qt::Key_Comma:
            m_core.point();
            break;
        case Qt::Key_Plus:
            m_core.op(C::Op::Add);
            break;
        case Qt::Key_Minus:
            m_core.op(C::Op::Subtract);
            break;
        case Qt::Key_Asterisk:
            m_core.op(C::Op::Multiply);
            break;
        case Qt::Key_Slash:
            m_core.op(C::Op::Divide);
            break;
        case Qt::Key_Equal:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_core.equals();
            break;
        case Qt::Key_Percent:
            m_core.percent();
            break;
        case Qt::Key_At:
            m_core.squareRoot();
            break;
        case Qt::Key_F9:
            m_core.negate();
            break;
        case Qt::Key_Backspace:
            m_core.backspace();
            break;
        case Qt::Key_Delete:
            m_core.clearEntry();
            break;
        case Qt::Key_Escape:
            m_core.clearAll();
            break; // Esc clears; the close box closes
        default:
            QDialog::keyPressEvent(event);
            return;
        }
    }
    refresh();
}

CalculatorWindow *ShowCalculator() {
    QWidget *over = QApplication::activeModalWidget();
    if (!over) over = QApplication::activeWindow();
    if (g_calculator && over == g_calculator.data()) over = g_calculator->parentWidget();
    if (g_calculator && g_calculator->parentWidget() != over) {
        // A calculator opened over another window would be blocked by the modal one now in use.
        const Qt::WindowFlags flags = g_calculator->windowFlags();
        g_calculator->setParent(over, flags);
    }
    if (!g_calculator) {
        g_calculator = new CalculatorWindow(over);
        g_calculator->setAttribute(Qt::WA_DeleteOnClose);
    }
    g_calculator->show();
    g_calculator->raise();
    g_calculator->activateWindow();
    return g_calculator;
}
