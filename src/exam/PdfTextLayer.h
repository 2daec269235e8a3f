#pragma once

#include <QByteArray>
#include <QRectF>
#include <functional>
#include <optional>

// What a reader searches and copies out of a PDF is each font's ToUnicode map: the text every glyph
// stands for. Qt's PDF writer builds that map by looking through the font's character map for the
// lowest code point that gives each glyph. Chinese fonts draw an ideograph and its radical with one
// glyph (Noto CJK: 入 U+5165 and ⼊ U+2F0A), so the radical, the lower code point, ends up in the
// text layer and a search for "收入" finds nothing. The map is corrected after the writer is done,
// by asking which character each glyph was drawn for.

// Given a font's PDF name (its subset tag removed) and the code point the writer mapped a glyph
// to, the code point that glyph was drawn for; returning `mapped` keeps the entry.
using GlyphTextCorrection = std::function<char32_t(const QByteArray &fontName, char32_t mapped)>;

// The PDF with the ToUnicode map of every composite font passed through `correct`, the changed
// objects rewritten and the cross-reference table made anew. The same bytes when nothing changes;
// nullopt when the file is not of the plain form Qt's writer produces (one cross-reference table,
// uncompressed maps), so the caller keeps its file as it is.
std::optional<QByteArray> CorrectTextLayer(const QByteArray &pdf, const GlyphTextCorrection &correct);

// The PDF without the text drawn outside `area` (in the page's own space: points, y upwards from
// the bottom edge), judged by where each text object's first glyph starts. The text layout draws a
// paragraph's last line before a page break again on the next page, above its top and clipped out
// of sight; a reader would still find that line twice. Page contents are rewritten as the writer
// wrote them (compressed or not); nullopt when a page is not of that plain form.
std::optional<QByteArray> DropTextOutside(const QByteArray &pdf, const QRectF &area);
