#include "NavButton.h"

#include "Fonts.h"
#include "MainWindowGeometry.h"
#include "Pictures.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

using namespace MainGeometry;

namespace {

// What a screen reader hears of an entry: a page tab, selected when its page is shown, that opens
// its page when pressed.
class NavButtonAccessible : public QAccessibleWidget {
public:
    explicit NavButtonAccessible(NavButton *entry) : QAccessibleWidget(entry, QAccessible::PageTab) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = entry()->isCurrent();
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override {
        if (name == pressAction()) emit entry()->clicked(entry()->number());
    }

private:
    NavButton *entry() const { return static_cast<NavButton *>(widget()); }
};

QAccessibleInterface *navButtonAccessible(const QString &className, QObject *object) {
    if (className == QLatin1String("NavButton") && object && object->isWidgetType())
        return new NavButtonAccessible(static_cast<NavButton *>(object));
    return nullptr;
}

} // namespace

NavButton::NavButton(int number, const QString &caption, const QString &builtInPicture, QWidget *parent)
    : QWidget(parent), m_number(number), m_picture(new QLabel(this)), m_caption(new QLabel(caption, this)) {
    static const bool accessible = (QAccessible::installFactory(navButtonAccessible), true);
    Q_UNUSED(accessible);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    const QString key = QStringLiteral("Ctrl+%1").arg(number);
    setToolTip(caption + QStringLiteral("（") + key + QStringLiteral("）"));
    setAccessibleName(caption);
    setAccessibleDescription(QStringLiteral("导航，快捷键 ") + key);
    const int width = kWidth;
    setFixedSize(width, kNavPicture + kNavCaptionHeight);
    m_picture->setGeometry((width - kNavPicture) / 2, 0, kNavPicture, kNavPicture);
    m_picture->setScaledContents(true);
    m_picture->setPixmap(LoadPicture(builtInPicture));
    m_caption->setFont(PixelFont(QStringLiteral("宋体"), 17));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setGeometry(0, kNavPicture, width, kNavCaptionHeight);
    setCurrent(false);
}

void NavButton::setPicture(const QPixmap &picture) {
    m_picture->setPixmap(picture);
}

void NavButton::setCurrent(bool current) {
    if (m_current != current && QAccessible::isActive()) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
    m_current = current;
    showState();
}

// The current entry's caption is red; the entry with the keyboard focus is underlined.
void NavButton::showState() {
    QString style = m_current ? QStringLiteral("color: red;") : QStringLiteral("color: black;");
    if (hasFocus()) style += QStringLiteral(" text-decoration: underline;");
    m_caption->setStyleSheet(style);
}

void NavButton::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit clicked(m_number);
        return;
    case Qt::Key_Left:
        focusPreviousChild();
        return;
    case Qt::Key_Right:
        focusNextChild();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void NavButton::focusInEvent(QFocusEvent *event) {
    QWidget::focusInEvent(event);
    showState();
}

void NavButton::focusOutEvent(QFocusEvent *event) {
    QWidget::focusOutEvent(event);
    showState();
}

void NavButton::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked(m_number);
    QWidget::mouseReleaseEvent(event);
}
