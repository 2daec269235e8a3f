#pragma once

#include "ShapeControl.h"

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QWidget>

#include <gtest/gtest.h>

// A parent of a known colour holding one shape control; render() gives the parent's pixels, so
// what the control leaves untouched shows the parent's colour.
inline const QRgb Background = qRgb(0xF0, 0xCC, 0x3C);
inline const QRgb White = qRgb(0xFF, 0xFF, 0xFF);
inline const QRgb Black = qRgb(0, 0, 0);

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_controls";
    static char *argv[] = {name, nullptr};
    static QApplication *app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
}

// Constructed first, so that the application exists before any widget.
struct ApplicationGuard {
    ApplicationGuard() { ensureApplication(); }
};

class ShapeStage : private ApplicationGuard {
public:
    explicit ShapeStage(QSize shapeSize, QPoint at = QPoint(0, 0), QSize parentSize = QSize(80, 80)) {
        parent.resize(parentSize);
        parent.setAutoFillBackground(true);
        QPalette colors = parent.palette();
        colors.setColor(QPalette::Window, QColor(Background));
        parent.setPalette(colors);
        shape = new ShapeControl(&parent);
        shape->setGeometry(QRect(at, shapeSize));
    }

    QImage render() {
        QImage image(parent.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        parent.render(&image);
        return image;
    }

    // The rendered pixel at a point of the control, as opaque RGB.
    QRgb at(const QImage &image, int x, int y) const {
        return image.pixel(shape->x() + x, shape->y() + y) | 0xFF000000u;
    }

    QWidget parent;
    ShapeControl *shape = nullptr;
};

inline std::string rgbText(QRgb rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", qRed(rgb), qGreen(rgb), qBlue(rgb));
    return text;
}
