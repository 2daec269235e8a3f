#pragma once

#include <QPixmap>
#include <QWidget>

// The banner across the top of the main window. The picture keeps its proportions at the band's
// height: a wider window continues its right edge, a narrower one crops it, so the title drawn
// at its left is never squeezed.
class BannerPicture : public QWidget {
    Q_OBJECT
public:
    explicit BannerPicture(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};
