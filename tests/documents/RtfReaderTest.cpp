#include "RtfTestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// The text as stored, paragraphs ended by '\n' (toPlainText would also turn no-break spaces
// and line separators into plain ones).
QString RawText(const QTextDocument &doc) {
    return doc.toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// The character format of the first occurrence of `text` (of its last character).
QTextCharFormat FormatOf(const QTextDocument &doc, const QString &text) {
    const QTextCursor c = doc.find(text);
    EXPECT_FALSE(c.isNull()) << "text not found: " << text.toStdString();
    return c.charFormat();
}

QTextBlockFormat BlockFormatOf(const QTextDocument &doc, const QString &text) {
    const QTextCursor c = doc.find(text);
    EXPECT_FALSE(c.isNull()) << "text not found: " << text.toStdString();
    return c.blockFormat();
}

QList<QTextTable *> Tables(const QTextDocument &doc) {
    QList<QTextTable *> tables;
    for (QTextFrame *f : doc.rootFrame()->childFrames())
        if (auto *t = qobject_cast<QTextTable *>(f)) tables.append(t);
    return tables;
}

QString CellText(QTextTable *t, int row, int column) {
    const QTextTableCell cell = t->cellAt(row, column);
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// Saved by WordPad on a Chinese Windows: code page 936, GBK escapes, a font with charset 134,
// and a NUL after the closing brace.
const char kWordPad[] =
    "{\\rtf1\\ansi\\ansicpg936\\deff0\\nouicompat\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 "
    "\\'cb\\'ce\\'cc\\'e5;}{\\f1\\fnil\\fcharset0 Calibri;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\qc\\b\\f0\\fs32\\lang2052\\'bf\\'bc\\'ca\\'d4\\'b4\\'f3\\'b8\\'d9\\par\r\n"
    "\\pard\\sa200\\sl276\\slmult1\\b0\\fs21\\cf1\\'ba\\'ec\\'c9\\'ab\\cf0\\'ce\\'c4\\'d7\\'d6 \\i\\f1\\lang1033 "
    "Calibri\\i0  \\ul\\f0\\lang2052\\'cf\\'c2\\'bb\\'ae\\'cf\\'df\\ulnone\\par\r\n"
    "}\r\n";

TEST(RtfReader, ChineseWordPadDocument) {
    auto doc = LoadDoc(QByteArray(kWordPad, sizeof kWordPad)); // the trailing NUL included
    EXPECT_EQ(doc->toPlainText(), U("考试大纲\n红色文字 Calibri 下划线\n"));

    const QTextCharFormat title = FormatOf(*doc, U("考试大纲"));
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(title.fontPointSize(), 16.0);
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{U("宋体")});
    EXPECT_EQ(BlockFormatOf(*doc, U("考试大纲")).alignment(), Qt::AlignHCenter);

    const QTextCharFormat red = FormatOf(*doc, U("红色"));
    EXPECT_EQ(red.fontWeight(), QFont::Normal);
    EXPECT_DOUBLE_EQ(red.fontPointSize(), 10.5);
    EXPECT_EQ(red.foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(FormatOf(*doc, U("文字")).hasProperty(QTextFormat::ForegroundBrush));

    const QTextCharFormat latin = FormatOf(*doc, U("Calibri"));
    EXPECT_TRUE(latin.fontItalic());
    EXPECT_EQ(latin.fontFamilies().toStringList(), QStringList{U("Calibri")});

    const QTextCharFormat underlined = FormatOf(*doc, U("下划线"));
    EXPECT_TRUE(underlined.fontUnderline());
    EXPECT_FALSE(underlined.fontItalic());
    EXPECT_EQ(BlockFormatOf(*doc, U("红色")).alignment(), Qt::AlignLeft);
    EXPECT_NEAR(BlockFormatOf(*doc, U("红色")).bottomMargin(), 200 / 15.0, 1e-9);
}

// Saved by LibreOffice Writer: code page 1252, Chinese as \u with '?' fallbacks, style sheet,
// page styles and a two-column table.
const char kLibreOffice[] =
    "{\\rtf1\\ansi\\deff4\\adeflang1025\n"
    "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2\\fcharset2 Symbol;}"
    "{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}{\\f3\\froman\\fprq2\\fcharset0 Liberation Serif{\\*\\falt Times New "
    "Roman};}"
    "{\\f4\\fnil\\fprq2\\fcharset0 Noto Serif CJK SC;}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}\n"
    "{\\stylesheet{\\s0\\snext0\\hich\\af4\\dbch\\af4\\loch\\f3\\fs24\\lang1033 Normal;}\n"
    "{\\s20\\sbasedon0\\snext20\\loch\\f3\\fs24 Table Contents;}\n"
    "}{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
    "{\\info{\\creatim\\yr2024\\mo3\\dy1\\hr10\\min0}{\\revtim\\yr2024\\mo3\\dy1\\hr10\\min5}}"
    "{\\*\\userprops}\\deftab709\n"
    "\\hyphauto1\\viewscale100\n"
    "{\\*\\pgdsctbl\n"
    "{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pghsxn16838\\marglsxn1134\\margrsxn1134\\pgdscnxt0 Default Page Style;}}\n"
    "\\formshade\\paperh16838\\paperw11906\\margl1134\\margr1134\\margt1134\\margb1134\\sectd\\sbknone"
    "\\sftnnar\\pgwsxn11906\\pghsxn16838\\marglsxn1134\\margrsxn1134\\ftnbj\\ftnstart1\\ftnrstcont\\ftnnar"
    "\\aenddoc\\aftnrstcont\\aftnstart1\\aftnnrlc\n"
    "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\hich\\af4\\dbch\\af4\\loch\\f3\\fs24\\lang1033\\qc"
    "{\\b\\hich\\af4\\dbch\\af4\\loch\\f3\\fs32\\loch\n"
    "\\u20250\\'3f\\u-29791\\'3f\\u22522\\'3f\\u30784\\'3f}\n"
    "\\par \\trowd\\trql\\trleft0\\ltrrow\\trpaddft3\\trpaddt0\\trpaddfl3\\trpaddl0\\clbrdrt\\brdrs\\brdrw10"
    "\\brdrcf1\\clbrdrl\\brdrs\\brdrw10\\brdrcf1\\clbrdrb\\brdrs\\brdrw10\\brdrcf1\\clvertalt\\cellx4819"
    "\\clbrdrt\\brdrs\\brdrw10\\brdrcf1\\clbrdrl\\brdrs\\brdrw10\\brdrcf1\\clbrdrb\\brdrs\\brdrw10\\brdrcf1"
    "\\clbrdrr\\brdrs\\brdrw10\\brdrcf1\\clvertalt\\cellx9638\\pgndec\\pard\\plain \\s20\\hich\\af4\\dbch\\af4"
    "\\loch\\f3\\fs24\\lang1033\\intbl{\\hich\\af4\\dbch\\af4\\loch\\f3\\loch\n"
    "\\u36164\\'3f\\u20135\\'3f}\\cell\\pard\\plain \\s20\\intbl{\\loch\n"
    "\\u21512\\'3f\\u-29791\\'3f}\\cell\\row\\pard\\trowd\\trql\\trleft0\\ltrrow\\cellx4819\\cellx9638\\pgndec"
    "\\pard\\plain \\s20\\intbl{\\loch \\u30002\\'3f}\\cell\\pard\\plain \\s20\\intbl{\\b\\loch \\u20057\\'3f}"
    "\\cell\\row\\pard\\pard\\plain \\s0\\hich\\af4\\dbch\\af4\\loch\\f3\\fs24\\lang1033"
    "{\\loch\\u36130\\'3f\\u21153\\'3f\\u-244\\'3f end}\n"
    "\\par }";

TEST(RtfReader, LibreOfficeDocumentWithTable) {
    auto doc = LoadDoc(QByteArray(kLibreOffice));
    EXPECT_EQ(doc->firstBlock().text(), U("会计基础"));
    EXPECT_EQ(doc->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
    const QTextCharFormat title = FormatOf(*doc, U("会计基础"));
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(title.fontPointSize(), 16.0);
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{U("Liberation Serif")});

    const QList<QTextTable *> tables = Tables(*doc);
    ASSERT_EQ(tables.size(), 1);
    QTextTable *t = tables.first();
    ASSERT_EQ(t->rows(), 2);
    ASSERT_EQ(t->columns(), 2);
    EXPECT_EQ(CellText(t, 0, 0), U("资产"));
    EXPECT_EQ(CellText(t, 0, 1), U("合计"));
    EXPECT_EQ(CellText(t, 1, 0), U("甲"));
    EXPECT_EQ(CellText(t, 1, 1), U("乙"));
    EXPECT_EQ(FormatOf(*doc, U("乙")).fontWeight(), QFont::Bold);
    const QList<QTextLength> widths = t->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_NEAR(widths[0].rawValue(), 4819 / 15.0, 1e-9);
    EXPECT_NEAR(widths[1].rawValue(), (9638 - 4819) / 15.0, 1e-9);

    // The paragraph after the table is outside it.
    const QTextCursor after = doc->find(U("财务， end"));
    ASSERT_FALSE(after.isNull());
    EXPECT_EQ(after.currentTable(), nullptr);
    EXPECT_GT(after.position(), t->lastPosition());
    EXPECT_FALSE(doc->toPlainText().contains(U("Normal")));
    EXPECT_FALSE(doc->toPlainText().contains(U("Default Page Style")));
    EXPECT_FALSE(doc->toPlainText().contains(U("?")));
}

struct TextCase {
    const char *name;
    const char *body; // inside the default header: \ansicpg936, font 0 of charset 134
    const char *text; // the document's plain text, UTF-8
};

class RtfText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfText, ReadsAs) {
    const TextCase &c = GetParam();
    auto doc = LoadDoc(Rtf(c.body));
    EXPECT_EQ(RawText(*doc), U(c.text)) << c.body;
}

const TextCase kTextCases[] = {
    {"Escapes", "\\{a\\} \\\\b", "{a} \\b"},
    {"SpecialSymbols", "a\\~b\\-c\\_d", "a\u00A0b\u00ADc\u2011d"},
    {"NamedCharacters", "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote",
     "\u2014\u2013\u2022\u2018\u2019\u201C\u201D"},
    {"LineTabParagraph", "a\\line b\\tab c\\par d", "a\u2028b\tc\nd"},
    {"UnknownWordsIgnored", "\\foo a\\bar12 b\\baz-3 c\\zz", "abc"},
    {"UnknownStarredDestinationSkipped", "a{\\*\\foo hidden {\\b nested}}b", "ab"},
    {"KnownDestinationsSkipped", "{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}}{\\header H}a{\\footnote F}b", "ab"},
    {"FieldShowsItsResult", "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}", "link"},
    {"FieldInstructionWithoutStar", "{\\field{\\fldinst PAGE}{\\fldrslt 3}}", "3"},
    {"HiddenText", "a{\\v hidden}b\\v c\\v0 d", "abd"},
    {"GbkEscapes", "\\'b2\\'e2\\'ca\\'d4", "测试"},
    {"GbkRawBytes", "\xb2\xe2\xca\xd4 ok", "测试 ok"},
    {"GbkCharacterSplitAcrossEscapeAndText", "\\'b2\xe2", "测"},
    {"InvalidGbkByteReplaced", "a\\'81 b", "a\uFFFD b"},
    {"UnicodeWithOneFallback", "\\u27979?\\u35797?", "测试"},
    {"UnicodeNegative", "\\u-244?x", "，x"},
    {"UnicodeTwoByteFallback", "\\uc2\\u27979\\'b2\\'e2\\u35797\\'ca\\'d4", "测试"},
    {"UnicodeNoFallback", "\\uc0\\u27979\\u35797", "测试"},
    {"UnicodeFallbackCountedAsOneCharacter", "\\uc1\\u27979\\'b2\\'e2x", "测x"},
    {"UnicodeSkipIsGroupScoped", "{\\uc2\\u27979\\'b2\\'e2}\\u35797?", "测试"},
    {"UnicodeFallbackEndsWithGroup", "{\\u27979}x", "测x"},
    {"UnicodeInAnsiPair", "{\\upr{ansi}{\\*\\ud{\\u27979?}}}", "测"},
    {"ControlWordDelimiterSpace", "\\b a\\b0  b", "a b"},
    {"LineBreaksInFileIgnored", "a\r\nb\nc", "abc"},
    {"BackslashNewlineIsParagraph", "a\\\nb", "a\nb"},
    {"BinaryDataSkipped", "{\\*\\blob\\bin6 {}\\}{x}after", "after"},
    {"ControlCharactersDropped", "a\x01\x7f b\\u0?\\u8233?c", "a bc"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RtfText, ::testing::ValuesIn(kTextCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(RtfReader, CodePageFollowsTheFont) {
    // A Western document whose Chinese runs use a charset-134 font; Latin text keeps 1252.
    auto doc = LoadDoc(QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                                         "{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f2\\fnil\\cpg936 X;}}"
                                         "caf\\'e9 {\\f1 \\'b2\\'e2\\'ca\\'d4} {\\f2 \\'b2\\'e2}}"));
    EXPECT_EQ(doc->toPlainText(), U("café 测试 测"));
    EXPECT_EQ(FormatOf(*doc, U("测试")).fontFamilies().toStringList(), QStringList{U("宋体")});

    // Word names the font of double-byte runs with \dbch\af while \f stays Western.
    auto word = LoadDoc(QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\froman\\fcharset0 Times;}"
                                          "{\\f13\\fnil\\fcharset134 SimSun;}}\\f0\\loch\\af0\\hich\\af0\\dbch\\af13 "
                                          "\\'b2\\'e2\\loch\\af0 caf\\'e9}"));
    EXPECT_EQ(word->toPlainText(), U("测café"));
}

struct FormatCase {
    const char *name;
    const char *body; // formats the text "X"
    bool bold, italic, underline, strike;
    double points;
    QColor color; // invalid: automatic
};

class RtfCharFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(RtfCharFormat, Applies) {
    const FormatCase &c = GetParam();
    auto doc = LoadDoc(Rtf(c.body));
    const QTextCharFormat f = FormatOf(*doc, QStringLiteral("X"));
    EXPECT_EQ(f.fontWeight() == QFont::Bold, c.bold);
    EXPECT_EQ(f.fontItalic(), c.italic);
    EXPECT_EQ(f.fontUnderline(), c.underline);
    EXPECT_EQ(f.fontStrikeOut(), c.strike);
    EXPECT_DOUBLE_EQ(f.fontPointSize(), c.points);
    if (c.color.isValid())
        EXPECT_EQ(f.foreground().color(), c.color);
    else
        EXPECT_FALSE(f.hasProperty(QTextFormat::ForegroundBrush));
}

const FormatCase kFormatCases[] = {
    {"Default", "X", false, false, false, false, 12, QColor()},
    {"Bold", "\\b X", true, false, false, false, 12, QColor()},
    {"BoldOff", "\\b a\\b0 X", false, false, false, false, 12, QColor()},
    {"ItalicUnderlineStrike", "\\i\\ul\\strike X", false, true, true, true, 12, QColor()},
    {"UnderlineNone", "\\ul a\\ulnone X", false, false, false, false, 12, QColor()},
    {"UnderlineZero", "\\ul a\\ul0 X", false, false, false, false, 12, QColor()},
    {"HalfPoints", "\\fs21 X", false, false, false, false, 10.5, QColor()},
    {"ColourTable", "\\cf2 X", false, false, false, false, 12, QColor(0, 128, 0)},
    {"ColourZeroIsAutomatic", "\\cf1 a\\cf0 X", false, false, false, false, 12, QColor()},
    {"ColourOutOfTable", "\\cf9 X", false, false, false, false, 12, QColor()},
    {"GroupRestores", "{\\b\\i\\fs40\\cf1 a}X", false, false, false, false, 12, QColor()},
    {"PlainResets", "\\b\\i\\ul\\fs40\\cf1 a\\plain X", false, false, false, false, 12, QColor()},
    {"HugeSizeClamped", "\\fs99999999999999 X", false, false, false, false, 1000, QColor()},
};

INSTANTIATE_TEST_SUITE_P(Cases, RtfCharFormat, ::testing::ValuesIn(kFormatCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(RtfReader, ParagraphFormats) {
    auto doc = LoadDoc(Rtf("\\qc A\\par\\qr B\\par\\qj C\\par\\pard D\\par"
                           "\\li720\\ri1440\\fi-360\\sb240\\sa120 E\\par\\pard F"));
    EXPECT_EQ(BlockFormatOf(*doc, QStringLiteral("A")).alignment(), Qt::AlignHCenter);
    EXPECT_EQ(BlockFormatOf(*doc, QStringLiteral("B")).alignment(), Qt::AlignRight);
    EXPECT_EQ(BlockFormatOf(*doc, QStringLiteral("C")).alignment(), Qt::AlignJustify);
    EXPECT_EQ(BlockFormatOf(*doc, QStringLiteral("D")).alignment(), Qt::AlignLeft);
    const QTextBlockFormat e = BlockFormatOf(*doc, QStringLiteral("E"));
    EXPECT_DOUBLE_EQ(e.leftMargin(), 48);
    EXPECT_DOUBLE_EQ(e.rightMargin(), 96);
    EXPECT_DOUBLE_EQ(e.textIndent(), -24);
    EXPECT_DOUBLE_EQ(e.topMargin(), 16);
    EXPECT_DOUBLE_EQ(e.bottomMargin(), 8);
    EXPECT_DOUBLE_EQ(BlockFormatOf(*doc, QStringLiteral("F")).leftMargin(), 0);
    // A paragraph takes the properties in force at its end.
    auto late = LoadDoc(Rtf("G\\qr\\par"));
    EXPECT_EQ(BlockFormatOf(*late, QStringLiteral("G")).alignment(), Qt::AlignRight);
}

TEST(RtfReader, WordTableWithEmptyCellAndTwoParagraphCell) {
    auto doc = LoadDoc(Rtf("before\\par"
                           "\\trowd\\trgaph108\\trleft-108\\cellx1000\\cellx2000\\cellx3000"
                           "\\pard\\intbl \\'bc\\'d7\\cell \\cell \\b\\'b1\\'fb\\b0\\cell\\row"
                           "\\trowd\\trgaph108\\trleft-108\\cellx1000\\cellx2000\\cellx3000"
                           "\\pard\\intbl 1\\par 2\\cell\\qr 3\\cell 4\\cell\\row"
                           "\\pard after\\par"));
    const QList<QTextTable *> tables = Tables(*doc);
    ASSERT_EQ(tables.size(), 1);
    QTextTable *t = tables.first();
    ASSERT_EQ(t->rows(), 2);
    ASSERT_EQ(t->columns(), 3);
    EXPECT_EQ(CellText(t, 0, 0), U("甲"));
    EXPECT_EQ(CellText(t, 0, 1), QString());
    EXPECT_EQ(CellText(t, 0, 2), U("丙"));
    EXPECT_EQ(CellText(t, 1, 0), QStringLiteral("1\n2"));
    EXPECT_EQ(CellText(t, 1, 1), QStringLiteral("3"));
    EXPECT_EQ(CellText(t, 1, 2), QStringLiteral("4"));
    EXPECT_EQ(FormatOf(*doc, U("丙")).fontWeight(), QFont::Bold);
    EXPECT_EQ(BlockFormatOf(*doc, QStringLiteral("3")).alignment(), Qt::AlignRight);
    EXPECT_EQ(doc->firstBlock().text(), QStringLiteral("before"));
    const QTextCursor after = doc->find(QStringLiteral("after"));
    ASSERT_FALSE(after.isNull());
    EXPECT_EQ(after.currentTable(), nullptr);
}

TEST(RtfReader, TableRowsWithoutDefinitionStillFormCells) {
    // \cell beyond the defined cells widens the table; a second table follows a plain paragraph.
    auto doc = LoadDoc(Rtf("\\intbl a\\cell b\\cell c\\cell\\row\\pard mid\\par\\intbl d\\cell\\row\\pard"));
    const QList<QTextTable *> tables = Tables(*doc);
    ASSERT_EQ(tables.size(), 2);
    EXPECT_EQ(tables[0]->columns(), 3);
    EXPECT_EQ(CellText(tables[0], 0, 2), QStringLiteral("c"));
    EXPECT_EQ(CellText(tables[1], 0, 0), QStringLiteral("d"));
}

QByteArray PictureGroup(const QImage &image, const char *format, const QByteArray &words) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    QByteArray hex = bytes.toHex();
    for (qsizetype i = 128; i < hex.size(); i += 130)
        hex.insert(i, "\r\n"); // as word processors wrap it
    return "{\\pict" + words + "\n" + hex + "}";
}

QImage Sample(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 40));
    return image;
}

std::vector<QTextImageFormat> Images(const QTextDocument &doc) {
    std::vector<QTextImageFormat> images;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.push_back(it.fragment().charFormat().toImageFormat());
    return images;
}

TEST(RtfReader, InlinePngScaledToGoalSize) {
    const QByteArray pict = PictureGroup(Sample(10, 20), "PNG", "\\picw10\\pich20\\picwgoal300\\pichgoal600\\pngblip");
    auto doc = LoadDoc(Rtf("a" + pict + "b"));
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("a\uFFFCb"));
    const auto images = Images(*doc);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_DOUBLE_EQ(images[0].width(), 20);
    EXPECT_DOUBLE_EQ(images[0].height(), 40);
    const QImage stored = doc->resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>();
    ASSERT_EQ(stored.size(), QSize(10, 20));
    EXPECT_EQ(stored.pixelColor(5, 5), QColor(200, 30, 40));
}

TEST(RtfReader, PictureVariants) {
    // Word stores a PNG for new readers and a metafile for old ones: only the PNG shows.
    const QByteArray word = "{\\*\\shppict" +
                            PictureGroup(Sample(4, 4), "PNG", "{\\*\\picprop{\\sp{\\sn a}{\\sv 1}}}\\pngblip") +
                            "}{\\nonshppict{\\pict\\wmetafile8 0100}}";
    const QByteArray jpeg = PictureGroup(Sample(16, 8), "JPEG", "\\jpegblip\\picscalex50\\picscaley200");
    const QByteArray binary = []() -> QByteArray {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        Sample(3, 3).save(&buffer, "PNG");
        return "{\\pict\\pngblip\\bin" + QByteArray::number(bytes.size()) + " " + bytes + "}";
    }();
    const QByteArray broken = "{\\pict\\pngblip 89504e470d0a1a0a00ff}{\\pict\\emfblip 0100}";
    auto doc = LoadDoc(Rtf(word + "|" + jpeg + "|" + binary + "|" + broken + "|"));
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("\uFFFC|\uFFFC|\uFFFC||"));
    const auto images = Images(*doc);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_DOUBLE_EQ(images[0].width(), 4);
    EXPECT_DOUBLE_EQ(images[1].width(), 8);
    EXPECT_DOUBLE_EQ(images[1].height(), 16);
    EXPECT_DOUBLE_EQ(images[2].width(), 3);
}

TEST(RtfReader, PictureInsideTableCell) {
    const QByteArray pict = PictureGroup(Sample(5, 5), "PNG", "\\pngblip");
    auto doc = LoadDoc(Rtf("\\trowd\\cellx2000\\cellx4000\\pard\\intbl a\\cell " + pict + "\\cell\\row\\pard"));
    const QList<QTextTable *> tables = Tables(*doc);
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(CellText(tables[0], 0, 1), QStringLiteral("\uFFFC"));
}

TEST(RtfReader, RecognisesRtf) {
    const std::pair<const char *, bool> cases[] = {
        {"{\\rtf1\\ansi x}", true}, {"\xEF\xBB\xBF{\\rtf1 x}", true},
        {" \r\n{\\rtf", true},      {"{\\rt", false},
        {"plain text", false},      {"", false},
        {"{\\RTF1}", false},        {"x{\\rtf1}", false},
    };
    for (const auto &[data, rtf] : cases)
        EXPECT_EQ(LooksLikeRtf(QByteArray(data)), rtf) << data;
}

TEST(RtfReader, NonRtfLeavesDocumentEmpty) {
    EnsureGuiApp();
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("old"));
    EXPECT_FALSE(LoadRtf(QByteArrayLiteral("just text"), &doc));
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_TRUE(LoadRtf(Rtf("new"), &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("new"));
    EXPECT_TRUE(LoadRtf(Rtf("again"), &doc)); // a second load replaces the first
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("again"));
    EXPECT_FALSE(doc.isUndoAvailable());
}

} // namespace
