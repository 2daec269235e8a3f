#include "BannerPicture.h"

#include <QPainter>

BannerPicture::BannerPicture(QWidget *parent) : QWidget(parent) {}

void BannerPicture::setPicture(const QPixmap &picture) {
    m_picture = picture;
    update();
}

void BannerPicture::paintEvent(QPaintEvent *) {
    if (m_picture.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF source = m_picture.deviceIndependentSize();
    const qreal scale = height() / source.height();
    const qreal drawnWidth = source.width() * scale;
    painter.drawPixmap(QRectF(0, 0, drawnWidth, height()), m_picture, QRectF(QPointF(0, 0), m_picture.size()));
    if (drawnWidth < width()) {
        // The picture's last column, stretched over the rest of the band.
        const qreal ratio = m_picture.devicePixelRatio();
        const QRectF edge(m_picture.width() - ratio, 0, ratio, m_picture.height());
        painter.drawPixmap(QRectF(drawnWidth - 1, 0, width() - drawnWidth + 1, height()), m_picture, edge);
    }
}
