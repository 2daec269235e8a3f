#pragma once

class QFont;
class QString;

// The windows name the Chinese desktop fonts "新宋体", "宋体" and "微软雅黑"; on this desktop they
// resolve to the installed CJK fonts (serif for the Song faces, sans for YaHei).
void InstallChineseFontSubstitutes();

// The fonts of the windows' design: a family at a size in pixels (at 96 dpi), or in points.
QFont PixelFont(const QString &family, int pixelSize, bool bold = false);
QFont PointFont(const QString &family, int pointSize);
