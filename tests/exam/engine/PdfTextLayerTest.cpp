// The ToUnicode maps of a written PDF corrected to the characters drawn.

#include "PdfTextLayer.h"

#include <QMap>
#include <QRectF>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// A PDF of the writer's form: numbered objects, one cross-reference table of their offsets.
QByteArray pdfOf(const QMap<int, QByteArray> &objects) {
    QByteArray pdf = "%PDF-1.4\n";
    QMap<int, qsizetype> offsets;
    for (auto it = objects.cbegin(); it != objects.cend(); ++it) {
        offsets[it.key()] = pdf.size();
        pdf += QByteArray::number(it.key()) + " 0 obj\n" + it.value() + "\nendobj\n";
    }
    const qsizetype table = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.lastKey() + 1) + "\n0000000000 65535 f \n";
    for (int n = 1; n <= objects.lastKey(); ++n)
        pdf += offsets.contains(n) ? QByteArray::number(offsets[n]).rightJustified(10, '0') + " 00000 n \n"
                                   : QByteArray("0000000000 65535 f \n");
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.lastKey() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(table) + "\n%%EOF\n";
    return pdf;
}

QByteArray stream(const QByteArray &dict, const QByteArray &data) {
    return "<< " + dict + "/Length " + QByteArray::number(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

QByteArray cmap(const QByteArray &mappings) {
    return "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n1 begincodespacerange\n<0000> <FFFF>\n"
           "endcodespacerange\n" +
           mappings + "endcmap\nend\nend";
}

// Every object where the table says, and the table where startxref says.
void expectConsistentCrossReference(const QByteArray &pdf) {
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    const qsizetype table = pdf.mid(startxref + 9).trimmed().split('\n').value(0).toLongLong();
    ASSERT_TRUE(pdf.mid(table).startsWith("xref"));
    const QList<QByteArray> lines = pdf.mid(table, startxref - table).split('\n');
    for (int n = 0; n + 2 < lines.size(); ++n) {
        const QList<QByteArray> entry = lines[n + 2].split(' ');
        if (entry.size() < 3 || entry[2] != "n") continue;
        EXPECT_TRUE(pdf.mid(entry[0].toLongLong()).startsWith(QByteArray(QByteArray::number(n) + " 0 obj"))) << n;
    }
}

// Radicals back to the ideographs drawn with their glyphs; anything else kept.
char32_t drawnAs(const QByteArray &font, char32_t mapped) {
    if (font != "NotoSerifCJKsc-Regular") return mapped;
    if (mapped == 0x2F0A) return U'入';
    if (mapped == 0x2F63) return U'生';
    if (mapped == 0x2ED3) return U'长';
    return mapped;
}

QMap<int, QByteArray> fontObjects(const QByteArray &mappings, const QByteArray &mapDict = QByteArray()) {
    return {{1, "<< /Type /Catalog >>"},
            {2, "<< /Type /Font\n/Subtype /Type0\n/BaseFont /QMAAAA+NotoSerifCJKsc-Regular\n/ToUnicode 3 0 R>>"},
            {3, stream(mapDict, cmap(mappings))},
            {4, stream("", "BT /F2 11 Tf <0001> Tj ET")}};
}

TEST(PdfTextLayer, MapsOfEveryFormAreCorrectedAndTheFileStaysWhole) {
    // The writer's own array ranges, and single codes and counting ranges as other writers make.
    const QByteArray pdf = pdfOf(fontObjects("2 beginbfrange\n<0001> <0003> [<2F0A> <0041> <2F63>]\n"
                                             "<0010> <0011> <2ED2>\nendbfrange\n"
                                             "1 beginbfchar\n<0020> <0031>\nendbfchar\n"));
    const auto out = CorrectTextLayer(pdf, drawnAs);
    ASSERT_TRUE(out.has_value());
    const QString map = QString::fromLatin1(*out);
    for (const char *entry :
         {"<0001> <5165>", "<0002> <0041>", "<0003> <751F>", "<0010> <2ED2>", "<0011> <957F>", "<0020> <0031>"})
        EXPECT_TRUE(map.contains(QLatin1String(entry))) << entry;
    EXPECT_FALSE(map.contains(QStringLiteral("2F0A")));
    EXPECT_TRUE(out->contains("BT /F2 11 Tf <0001> Tj ET"));
    const QRegularExpressionMatch length = QRegularExpression(QStringLiteral("/Length (\\d+) >>\nstream\n"))
                                               .match(map, map.indexOf(QStringLiteral("3 0 obj")));
    ASSERT_TRUE(length.hasMatch());
    EXPECT_EQ(map.mid(length.capturedEnd(), length.captured(1).toInt() + 10).right(10), QStringLiteral("\nendstream"));
    expectConsistentCrossReference(*out);
}

TEST(PdfTextLayer, NothingToCorrectOrAnotherFormLeavesTheFile) {
    const QByteArray plain = pdfOf(fontObjects("1 beginbfchar\n<0001> <0041>\nendbfchar\n"));
    EXPECT_EQ(CorrectTextLayer(plain, drawnAs), plain);
    // A compressed map, or no table where startxref points, is not the writer's form.
    EXPECT_FALSE(CorrectTextLayer(
        pdfOf(fontObjects("1 beginbfchar\n<0001> <2F0A>\nendbfchar\n", "/Filter /FlateDecode ")), drawnAs));
    QByteArray moved = pdfOf(fontObjects("1 beginbfchar\n<0001> <2F0A>\nendbfchar\n"));
    moved.insert(0, "% a comment that moves every object\n");
    EXPECT_FALSE(CorrectTextLayer(moved, drawnAs));
}

// Text objects at a page's top and beyond its text area, as the writer puts them.
QByteArray pageContent() {
    return "0.24 0 0 -0.24 56 786 cm\nq\n4 0 0 4 0 -3000 cm\nBT\n/F2 11 Tf 1 0 0 -1 0 0 Tm\n0 -741 Td <0001> Tj\n"
           "6 0 Td <0002> Tj\nET\nQ\nq\n4 0 0 4 0 -3000 cm\nBT\n/F2 11 Tf 1 0 0 -1 0 0 Tm\n0 -760 Td <0003> "
           "Tj\nET\nQ\n";
}

TEST(PdfTextLayer, TextOutsideTheAreaIsDroppedFromCompressedAndPlainPages) {
    // The first object's baseline lies above the page's top (y 786 − 0.24·(4·741 − 3000) > 786 − 0),
    // the second inside.
    const QRectF area(56, 56, 480, 728);
    const QByteArray content = pageContent();
    const QByteArray compressed = qCompress(content).mid(4);
    for (const bool flate : {false, true}) {
        const QByteArray data = flate ? compressed : content;
        const QMap<int, QByteArray> objects{{1, "<< /Type /Catalog >>"},
                                            {2, "<<\n/Type /Page\n/Contents 3 0 R\n>>"},
                                            {3, "<<\n/Length 4 0 R\n" +
                                                    QByteArray(flate ? "/Filter /FlateDecode\n" : "") + ">>\nstream\n" +
                                                    data + "\nendstream"},
                                            {4, QByteArray::number(data.size())}};
        const auto out = DropTextOutside(pdfOf(objects), area);
        ASSERT_TRUE(out.has_value()) << flate;
        expectConsistentCrossReference(*out);
        const qsizetype start = out->indexOf("stream\n", out->indexOf("3 0 obj")) + 7;
        const qsizetype end = out->indexOf("\nendstream", start);
        QByteArray kept = out->mid(start, end - start);
        if (flate) {
            QByteArray sized(4, '\0');
            sized[2] = 0x10;
            kept = qUncompress(sized + kept);
        }
        EXPECT_FALSE(kept.contains("<0001>")) << flate;
        EXPECT_TRUE(kept.contains("0 -760 Td <0003> Tj")) << flate;
        EXPECT_TRUE(kept.endsWith("ET\nQ\n")) << flate;
    }
}

} // namespace
