#pragma once

#include <QByteArray>
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
