#pragma once

#include <QPixmap>
#include <QString>

// The path of a picture's twice-as-large variant: "logo.jpg" -> "logo@2x.jpg".
QString DoubleSizePath(const QString &path);

// A picture file as the screen wants it: on a screen scaled above 100 % the "@2x" file beside it
// when there is one (drawn at the same size, twice as sharp), else the file itself. A missing or
// unreadable file gives a null picture.
QPixmap LoadPicture(const QString &path);
