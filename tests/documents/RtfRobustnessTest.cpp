#include "RtfTestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

struct DamagedCase {
    const char *name;
    QByteArray rtf;
    const char *text; // what is still read, UTF-8
};

class RtfDamaged : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(RtfDamaged, ReadsWhatItCan) {
    const DamagedCase &c = GetParam();
    auto doc = LoadDoc(c.rtf);
    EXPECT_EQ(doc->toPlainText(), QString::fromUtf8(c.text));
    doc->documentLayout()->documentSize(); // the result must also lay out
}

QByteArray Repeat(const char *piece, int count) {
    return QByteArray(piece).repeated(count);
}

// A literal with embedded NUL bytes.
template <std::size_t N> QByteArray Bytes(const char (&s)[N]) {
    return QByteArray(s, N - 1);
}

const DamagedCase kDamagedCases[] = {
    {"MissingClosingBraces", "{\\rtf1 abc{\\b def", "abcdef"},
    {"TextAfterTheDocumentEnds", "{\\rtf1 abc}}}} def", "abc"},
    {"TruncatedHexEscape", "{\\rtf1 a\\'4", "a4"},
    {"HexEscapeWithoutDigits", "{\\rtf1 a\\'zz", "azz"},
    {"TruncatedQuote", "{\\rtf1 a\\'", "a"},
    {"TrailingBackslash", "{\\rtf1 a\\", "a"},
    {"UnicodeWithoutNumber", "{\\rtf1 a\\u-", "a-"},
    {"LeadByteAtTheEnd", "{\\rtf1\\ansicpg936 a\\'b2", "a\uFFFD"},
    {"HugeNumbers", "{\\rtf1 \\li99999999999999\\fi-99999999999999\\sb-5\\cellx99999999999\\u-99999999999?x\\fs-4 y}",
     "xy"},
    {"HugeUnicodeSkip", "{\\rtf1 \\uc99999999\\u27979 0123456789abcdefXYZ}", "测XYZ"},
    {"UnterminatedFontTable", "{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 B", ""},
    {"ColourTableWithoutSemicolons", "{\\rtf1{\\colortbl\\red300\\green-1\\blue9}\\cf0 x\\cf-1 y\\cf2147483647 z}",
     "xyz"},
    {"HugeBinaryCount", "{\\rtf1 a\\bin2147483647 xyz", "a"},
    {"NegativeBinaryCount", "{\\rtf1 a\\bin-5 b}", "ab"},
    {"DeepNesting", "{\\rtf1 start " + Repeat("{", 100000) + "x" + Repeat("}", 100000) + " end}", "start  end"},
    {"DeepNestingNeverClosed", "{\\rtf1 start " + Repeat("{\\b ", 50000) + "x", "start "},
    {"EnormousPictureData", "{\\rtf1 a{\\pict\\pngblip " + Repeat("0123456789abcdef", 250000) + "}b}", "ab"},
    {"PictureNeverClosed", "{\\rtf1 a{\\pict\\pngblip 89504e47", "a"},
    // A table at the very start follows the document's first, empty paragraph (Qt keeps it).
    {"CellsWithoutRows", "{\\rtf1 \\cell\\cell x\\row\\row\\row", "\n\n\nx"},
    {"RowWithoutTable", "{\\rtf1 \\trowd\\cellx100\\row a}", "a"},
    {"NestedTablesFlattened", "{\\rtf1 \\intbl a\\nestcell b\\nestcell\\nestrow\\itap1 c\\cell\\row\\pard d}",
     "\na\tb\t\nc\nd"},
    {"LongControlWord", "{\\rtf1 \\" + Repeat("b", 100000) + " x}", "x"},
    {"NulAndControlBytes", Bytes("{\\rtf1 a\0b\x1b[c}"), "ab[c"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RtfDamaged, ::testing::ValuesIn(kDamagedCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(RtfDamaged, ManyColumnsAreCapped) {
    auto doc = LoadDoc("{\\rtf1 \\intbl " + Repeat("x\\cell ", 1000) + "\\row}");
    QTextTable *table = nullptr;
    for (QTextFrame *f : doc->rootFrame()->childFrames())
        if (auto *t = qobject_cast<QTextTable *>(f)) table = t;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 1);
    EXPECT_EQ(table->columns(), 64);
    // The cells past the cap share the last column rather than being lost.
    EXPECT_EQ(doc->toPlainText().count(QLatin1Char('x')), 1000);
}

quint32 Crc32(const QByteArray &data) {
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

TEST(RtfDamaged, PictureClaimingHugeDimensionsIsSkipped) {
    // A PNG whose header (with a valid checksum) claims 60000 x 60000 pixels.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(2, 2, QImage::Format_RGB32).save(&buffer, "PNG");
    const int ihdrData = 16; // signature 8, length 4, type 4
    qToBigEndian<quint32>(60000, png.data() + ihdrData);
    qToBigEndian<quint32>(60000, png.data() + ihdrData + 4);
    qToBigEndian<quint32>(Crc32(png.mid(12, 17)), png.data() + 29);
    auto doc = LoadDoc("{\\rtf1 a{\\pict\\pngblip " + png.toHex() + "}b}");
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("ab"));
}

// Every file of the fuzzing corpus (seeds and the inputs that once broke the reader) loads.
TEST(RtfCorpus, EveryFileLoads) {
    EnsureGuiApp();
    const QDir dir(QStringLiteral(KJKS_RTF_CORPUS_DIR));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 10) << "corpus missing: " << KJKS_RTF_CORPUS_DIR;
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        QTextDocument doc;
        EXPECT_EQ(LoadRtf(data, &doc), LooksLikeRtf(data));
        doc.documentLayout()->documentSize();
    }
}

} // namespace
