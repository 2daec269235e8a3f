#pragma once

// The windows name the Chinese desktop fonts "新宋体", "宋体" and "微软雅黑"; on this desktop they
// resolve to the installed CJK fonts (serif for the Song faces, sans for YaHei).
void InstallChineseFontSubstitutes();
