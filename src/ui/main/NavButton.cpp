#include "NavButton.h"

#include "Fonts.h"
#include "MainWindowGeometry.h"
#include "Pictures.h"

#include <QLabel>
#include <QMouseEvent>

using namespace MainGeometry;

NavButton::NavButton(int number, const QString &caption, const QString &builtInPicture, QWidget *parent)
    : QWidget(parent), m_number(number), m_picture(new QLabel(this)), m_caption(new QLabel(caption, this)) {
    setCursor(Qt::PointingHandCursor);
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
    m_current = current;
    m_caption->setStyleSheet(current ? QStringLiteral("color: red;") : QStringLiteral("color: black;"));
}

void NavButton::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked(m_number);
    QWidget::mouseReleaseEvent(event);
}
