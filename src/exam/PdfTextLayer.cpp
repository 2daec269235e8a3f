#include "PdfTextLayer.h"

#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QString>
#include <algorithm>
#include <vector>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

// A word of the file at `pos`: the run of bytes up to the next white space.
QByteArray wordAt(const QByteArray &bytes, qsizetype &pos) {
    while (pos < bytes.size() && isSpace(bytes[pos]))
        ++pos;
    const qsizetype start = pos;
    while (pos < bytes.size() && !isSpace(bytes[pos]))
        ++pos;
    return bytes.mid(start, pos - start);
}

struct PdfObject {
    int number = 0;
    qsizetype offset = 0;
    qsizetype end = 0; // where the next object (or the cross-reference table) starts
};

struct CrossReference {
    std::vector<PdfObject> objects; // in file order
    qsizetype tableOffset = 0;
    QByteArray trailer; // the trailer dictionary as written
};

// The one cross-reference table the writer puts at the end. Offsets outside the file, or an
// object that does not start where the table says, mean another form of PDF.
std::optional<CrossReference> readCrossReference(const QByteArray &pdf) {
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0) return std::nullopt;
    qsizetype pos = startxref + 9;
    bool ok = false;
    CrossReference xref;
    xref.tableOffset = wordAt(pdf, pos).toLongLong(&ok);
    if (!ok || xref.tableOffset <= 0 || xref.tableOffset >= startxref) return std::nullopt;
    pos = xref.tableOffset;
    if (wordAt(pdf, pos) != "xref") return std::nullopt;
    for (;;) {
        const QByteArray word = wordAt(pdf, pos);
        if (word == "trailer") break;
        const int first = word.toInt(&ok);
        if (!ok) return std::nullopt;
        const int count = wordAt(pdf, pos).toInt(&ok);
        if (!ok || count < 0 || count > 10000000) return std::nullopt;
        for (int i = 0; i < count; ++i) {
            const qlonglong offset = wordAt(pdf, pos).toLongLong(&ok);
            if (!ok) return std::nullopt;
            wordAt(pdf, pos); // generation
            const QByteArray kind = wordAt(pdf, pos);
            if (kind == "n") {
                if (offset <= 0 || offset >= xref.tableOffset) return std::nullopt;
                xref.objects.push_back({first + i, qsizetype(offset), 0});
            } else if (kind != "f") {
                return std::nullopt;
            }
        }
    }
    xref.trailer = pdf.mid(pos, startxref - pos).trimmed();
    std::sort(xref.objects.begin(), xref.objects.end(),
              [](const PdfObject &a, const PdfObject &b) { return a.offset < b.offset; });
    for (size_t i = 0; i < xref.objects.size(); ++i) {
        PdfObject &o = xref.objects[i];
        o.end = i + 1 < xref.objects.size() ? xref.objects[i + 1].offset : xref.tableOffset;
        qsizetype at = o.offset;
        if (wordAt(pdf, at).toInt(&ok) != o.number || !ok) return std::nullopt;
        if (o.end <= o.offset) return std::nullopt;
    }
    return xref;
}

struct Token {
    QByteArray text;
    qsizetype start = 0;
    qsizetype end = 0;
};

// The tokens of a character map: hexadecimal strings, brackets and words.
std::vector<Token> cmapTokens(const QByteArray &cmap) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < cmap.size()) {
        const char c = cmap[i];
        if (isSpace(c)) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        if (c == '<' && i + 1 < cmap.size() && cmap[i + 1] != '<') {
            const qsizetype close = cmap.indexOf('>', i);
            i = close < 0 ? cmap.size() : close + 1;
        } else if (c == '[' || c == ']') {
            ++i;
        } else {
            while (i < cmap.size() && !isSpace(cmap[i]) && cmap[i] != '[' && cmap[i] != ']' &&
                   !(cmap[i] == '<' && i > start))
                ++i;
        }
        tokens.push_back({cmap.mid(start, i - start), start, i});
    }
    return tokens;
}

bool isHex(const Token &t) {
    return t.text.size() >= 2 && t.text.startsWith('<') && t.text.endsWith('>');
}

QByteArray hexDigits(const Token &t) {
    return t.text.mid(1, t.text.size() - 2);
}

// The text of a destination string: UTF-16BE code units.
std::optional<QString> utf16Text(const QByteArray &digits) {
    if (digits.size() % 4 != 0) return std::nullopt;
    QString text;
    for (qsizetype i = 0; i < digits.size(); i += 4) {
        bool ok = false;
        const ushort unit = digits.mid(i, 4).toUShort(&ok, 16);
        if (!ok) return std::nullopt;
        text += QChar(unit);
    }
    return text;
}

QByteArray utf16Hex(const QString &text) {
    QByteArray hex;
    for (QChar unit : text)
        hex += QByteArray::number(unit.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex;
}

struct CMap {
    QMap<uint, QString> entries; // code → text
    int codeDigits = 4;
    qsizetype mappingsStart = -1; // the count before the first mapping section
    qsizetype mappingsEnd = -1;   // after the last one
};

std::optional<CMap> parseCMap(const QByteArray &text) {
    const std::vector<Token> tokens = cmapTokens(text);
    CMap map;
    bool ok = false;
    auto code = [&](const Token &t) {
        map.codeDigits = int(hexDigits(t).size());
        return hexDigits(t).toUInt(&ok, 16);
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        const QByteArray &word = tokens[i].text;
        if (word != "beginbfchar" && word != "beginbfrange") continue;
        if (i == 0) return std::nullopt;
        if (map.mappingsStart < 0) map.mappingsStart = tokens[i - 1].start;
        const bool range = word == "beginbfrange";
        const QByteArray endWord = range ? "endbfrange" : "endbfchar";
        ++i;
        while (i < tokens.size() && tokens[i].text != endWord) {
            if (i + 1 >= tokens.size() || !isHex(tokens[i])) return std::nullopt;
            const uint low = code(tokens[i]);
            if (!ok) return std::nullopt;
            if (!range) {
                if (!isHex(tokens[i + 1])) return std::nullopt;
                const auto dst = utf16Text(hexDigits(tokens[i + 1]));
                if (!dst) return std::nullopt;
                map.entries[low] = *dst;
                i += 2;
                continue;
            }
            if (i + 2 >= tokens.size() || !isHex(tokens[i + 1])) return std::nullopt;
            const uint high = code(tokens[i + 1]);
            if (!ok || high < low || high - low > 0xFFFF) return std::nullopt;
            i += 2;
            if (tokens[i].text == "[") {
                ++i;
                for (uint c = low; c <= high; ++c, ++i) {
                    if (i >= tokens.size() || !isHex(tokens[i])) return std::nullopt;
                    const auto dst = utf16Text(hexDigits(tokens[i]));
                    if (!dst) return std::nullopt;
                    map.entries[c] = *dst;
                }
                if (i >= tokens.size() || tokens[i].text != "]") return std::nullopt;
                ++i;
            } else {
                if (!isHex(tokens[i])) return std::nullopt;
                const auto first = utf16Text(hexDigits(tokens[i]));
                if (!first || first->isEmpty()) return std::nullopt;
                // Consecutive codes map to consecutive texts: the last unit counts up.
                for (uint c = low; c <= high; ++c) {
                    QString dst = *first;
                    dst[dst.size() - 1] = QChar(ushort(dst.back().unicode() + (c - low)));
                    map.entries[c] = dst;
                }
                ++i;
            }
        }
        if (i >= tokens.size()) return std::nullopt;
        map.mappingsEnd = tokens[i].end;
    }
    if (map.mappingsStart < 0) return std::nullopt;
    return map;
}

QByteArray mappingSections(const CMap &map) {
    // At most 100 entries a section.
    QByteArray out;
    auto it = map.entries.cbegin();
    while (it != map.entries.cend()) {
        QByteArray section;
        int n = 0;
        for (; it != map.entries.cend() && n < 100; ++it, ++n)
            section += '<' + QByteArray::number(it.key(), 16).rightJustified(map.codeDigits, '0').toUpper() + "> <" +
                       utf16Hex(it.value()) + ">\n";
        out += QByteArray::number(n) + " beginbfchar\n" + section + "endbfchar\n";
    }
    return out;
}

// The text a glyph stands for, corrected when it is one character.
QString corrected(const QString &text, const QByteArray &fontName, const GlyphTextCorrection &correct) {
    const QList<uint> ucs4 = text.toUcs4();
    if (ucs4.size() != 1) return text;
    const char32_t better = correct(fontName, char32_t(ucs4[0]));
    return better == char32_t(ucs4[0]) ? text : QString::fromUcs4(&better, 1);
}

QString latin1(const QByteArray &bytes) {
    return QString::fromLatin1(bytes);
}

// The file again, object by object with `replaced` in place of the originals, and a
// cross-reference table of the new offsets.
QByteArray rebuilt(const QByteArray &pdf, const CrossReference &xref, const QMap<int, QByteArray> &replaced) {
    QByteArray out = pdf.left(xref.objects.front().offset);
    QMap<int, qsizetype> offsets;
    for (const PdfObject &o : xref.objects) {
        offsets[o.number] = out.size();
        out += replaced.contains(o.number) ? replaced[o.number] : pdf.mid(o.offset, o.end - o.offset);
    }
    const qsizetype table = out.size();
    static const QRegularExpression sizeKey(QStringLiteral("/Size\\s+(\\d+)"));
    const int size = std::max(offsets.lastKey() + 1, sizeKey.match(latin1(xref.trailer)).captured(1).toInt());
    out += "xref\n0 " + QByteArray::number(size) + '\n';
    for (int n = 0; n < size; ++n) {
        if (offsets.contains(n))
            out += QByteArray::number(offsets[n]).rightJustified(10, '0') + " 00000 n \n";
        else
            out += "0000000000 65535 f \n";
    }
    out += "trailer\n" + xref.trailer + "\nstartxref\n" + QByteArray::number(table) + "\n%%EOF\n";
    return out;
}

} // namespace

std::optional<QByteArray> CorrectTextLayer(const QByteArray &pdf, const GlyphTextCorrection &correct) {
    const auto xref = readCrossReference(pdf);
    if (!xref) return std::nullopt;
    QMap<int, size_t> byNumber;
    for (size_t i = 0; i < xref->objects.size(); ++i)
        byNumber[xref->objects[i].number] = i;

    static const QRegularExpression type0(QStringLiteral("/Subtype\\s*/Type0\\b"));
    static const QRegularExpression toUnicode(QStringLiteral("/ToUnicode\\s+(\\d+)\\s+\\d+\\s+R"));
    static const QRegularExpression baseFont(QStringLiteral("/BaseFont\\s*/([^\\s/<>\\[\\]()]+)"));
    static const QRegularExpression length(QStringLiteral("/Length\\s+\\d+(\\s+\\d+\\s+R)?"));

    QMap<int, QByteArray> replaced; // object number → its new bytes
    for (const PdfObject &o : xref->objects) {
        const QByteArray body = pdf.mid(o.offset, o.end - o.offset);
        if (body.contains("stream")) continue;
        const QString dict = latin1(body);
        if (!dict.contains(type0)) continue;
        const QRegularExpressionMatch mapRef = toUnicode.match(dict);
        const QRegularExpressionMatch name = baseFont.match(dict);
        if (!mapRef.hasMatch() || !name.hasMatch()) continue;
        QByteArray fontName = name.captured(1).toLatin1();
        // A subset's name is its font's behind a six-letter tag.
        if (fontName.size() > 7 && fontName[6] == '+') fontName = fontName.mid(7);

        const int mapNumber = mapRef.captured(1).toInt();
        if (!byNumber.contains(mapNumber) || replaced.contains(mapNumber)) continue;
        const PdfObject &m = xref->objects[byNumber[mapNumber]];
        const QByteArray object = pdf.mid(m.offset, m.end - m.offset);
        const qsizetype keyword = object.indexOf("stream");
        if (keyword < 0) return std::nullopt;
        const qsizetype dictStart = object.indexOf("<<");
        if (dictStart < 0 || dictStart > keyword) return std::nullopt;
        const QByteArray streamDict = object.mid(dictStart, keyword - dictStart);
        if (streamDict.contains("/Filter")) return std::nullopt;
        qsizetype dataStart = keyword + 6;
        if (object.mid(dataStart, 2) == "\r\n")
            dataStart += 2;
        else if (object.mid(dataStart, 1) == "\n")
            dataStart += 1;
        const qsizetype dataEnd = object.indexOf("endstream", dataStart);
        if (dataEnd < 0) return std::nullopt;
        const QByteArray data = object.mid(dataStart, dataEnd - dataStart);

        auto cmap = parseCMap(data);
        if (!cmap) return std::nullopt;
        bool changed = false;
        for (auto it = cmap->entries.begin(); it != cmap->entries.end(); ++it) {
            const QString better = corrected(it.value(), fontName, correct);
            if (better != it.value()) {
                it.value() = better;
                changed = true;
            }
        }
        if (!changed) continue;
        const QByteArray newData =
            data.left(cmap->mappingsStart) + mappingSections(*cmap) + data.mid(cmap->mappingsEnd);
        QString newDict = latin1(streamDict);
        newDict.replace(length, QStringLiteral("/Length %1").arg(newData.size()));
        replaced[mapNumber] =
            object.left(dictStart) + newDict.toLatin1() + "stream\n" + newData + "\nendstream\nendobj\n";
    }
    if (replaced.isEmpty()) return pdf;
    return rebuilt(pdf, *xref, replaced);
}

namespace {

// An affine matrix [a b c d e f] as PDF writes it: a point (x, y) goes to (a x + c y + e, b x + d y + f).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    // This matrix applied after `then`: the result of `cm` (the new matrix before the current one).
    Matrix times(const Matrix &m) const {
        return {a * m.a + b * m.c, a * m.b + b * m.d,       c * m.a + d * m.c,
                c * m.b + d * m.d, e * m.a + f * m.c + m.e, e * m.b + f * m.d + m.f};
    }
    QPointF map(double x, double y) const { return {a * x + c * y + e, b * x + d * y + f}; }
};

struct ContentToken {
    QByteArray text;
    qsizetype start = 0;
    qsizetype end = 0;
};

bool isDelimiter(char c) {
    return isSpace(c) || c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' ||
           c == '/' || c == '%';
}

// The tokens of a content stream; nullopt for a string that never ends.
std::optional<std::vector<ContentToken>> contentTokens(const QByteArray &s) {
    std::vector<ContentToken> tokens;
    qsizetype i = 0;
    while (i < s.size()) {
        const char ch = s[i];
        if (isSpace(ch)) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        if (ch == '%') {
            while (i < s.size() && s[i] != '\n' && s[i] != '\r')
                ++i;
            continue;
        }
        if (ch == '(') {
            int depth = 0;
            for (; i < s.size(); ++i) {
                if (s[i] == '\\') {
                    ++i;
                } else if (s[i] == '(') {
                    ++depth;
                } else if (s[i] == ')' && --depth == 0) {
                    ++i;
                    break;
                }
            }
            if (depth != 0) return std::nullopt;
        } else if (ch == '<' && i + 1 < s.size() && s[i + 1] != '<') {
            const qsizetype close = s.indexOf('>', i);
            if (close < 0) return std::nullopt;
            i = close + 1;
        } else if ((ch == '<' || ch == '>') && i + 1 < s.size() && s[i + 1] == ch) {
            i += 2;
        } else if (ch == '[' || ch == ']' || ch == '{' || ch == '}') {
            ++i;
        } else {
            ++i;
            while (i < s.size() && !isDelimiter(s[i]))
                ++i;
        }
        tokens.push_back({s.mid(start, i - start), start, i});
    }
    return tokens;
}

// The content without the text objects whose first glyph starts outside `area` (page space);
// nullopt when the content is not understood.
std::optional<QByteArray> withoutTextOutside(const QByteArray &content, const QRectF &area) {
    const auto tokens = contentTokens(content);
    if (!tokens) return std::nullopt;
    std::vector<Matrix> saved;
    Matrix ctm;
    std::vector<double> numbers; // the operands since the last operator, when numbers
    bool inText = false, placed = false, outside = false;
    qsizetype textStart = 0;
    Matrix line; // the text line matrix
    std::vector<std::pair<qsizetype, qsizetype>> dropped;
    auto matrixOperands = [&](Matrix &m) {
        if (numbers.size() < 6) return false;
        const double *v = numbers.data() + numbers.size() - 6;
        m = {v[0], v[1], v[2], v[3], v[4], v[5]};
        return true;
    };
    for (const ContentToken &t : *tokens) {
        const QByteArray &w = t.text;
        bool ok = false;
        const double number = w.toDouble(&ok);
        if (ok) {
            numbers.push_back(number);
            continue;
        }
        const char first = w.isEmpty() ? '\0' : w[0];
        if (first == '/' || first == '(' || first == '<' || first == '[' || first == ']') continue; // operands
        if (w == "q") {
            saved.push_back(ctm);
        } else if (w == "Q") {
            if (saved.empty()) return std::nullopt;
            ctm = saved.back();
            saved.pop_back();
        } else if (w == "cm") {
            Matrix m;
            if (!matrixOperands(m)) return std::nullopt;
            ctm = m.times(ctm);
        } else if (w == "BT") {
            inText = true;
            placed = outside = false;
            textStart = t.start;
            line = Matrix();
        } else if (w == "Tm" && inText) {
            if (!matrixOperands(line)) return std::nullopt;
        } else if ((w == "Td" || w == "TD") && inText) {
            if (numbers.size() < 2) return std::nullopt;
            const double tx = numbers[numbers.size() - 2], ty = numbers.back();
            line = Matrix{1, 0, 0, 1, tx, ty}.times(line);
        } else if ((w == "Tj" || w == "TJ" || w == "'" || w == "\"") && inText && !placed) {
            placed = true;
            const QPointF origin = ctm.map(line.e, line.f);
            outside = !area.contains(origin);
        } else if (w == "ET" && inText) {
            inText = false;
            if (outside) dropped.push_back({textStart, t.end});
        }
        numbers.clear();
    }
    if (dropped.empty()) return content;
    QByteArray out;
    qsizetype at = 0;
    for (const auto &[from, to] : dropped) {
        out += content.mid(at, from - at);
        at = to;
    }
    out += content.mid(at);
    return out;
}

} // namespace

std::optional<QByteArray> DropTextOutside(const QByteArray &pdf, const QRectF &area) {
    const auto xref = readCrossReference(pdf);
    if (!xref) return std::nullopt;
    QMap<int, size_t> byNumber;
    for (size_t i = 0; i < xref->objects.size(); ++i)
        byNumber[xref->objects[i].number] = i;
    auto objectBytes = [&](int number) {
        const PdfObject &o = xref->objects[byNumber[number]];
        return pdf.mid(o.offset, o.end - o.offset);
    };

    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z])"));
    static const QRegularExpression contents(QStringLiteral("/Contents\\s+(\\d+)\\s+\\d+\\s+R"));
    static const QRegularExpression length(QStringLiteral("/Length\\s+(\\d+)(\\s+\\d+\\s+R)?"));

    QMap<int, QByteArray> replaced;
    for (const PdfObject &o : xref->objects) {
        const QByteArray body = pdf.mid(o.offset, o.end - o.offset);
        if (body.contains("stream")) continue;
        const QString dict = latin1(body);
        if (!dict.contains(page)) continue;
        const QRegularExpressionMatch ref = contents.match(dict);
        if (!ref.hasMatch()) continue;
        const int number = ref.captured(1).toInt();
        if (!byNumber.contains(number) || replaced.contains(number)) return std::nullopt;

        const QByteArray object = objectBytes(number);
        const qsizetype keyword = object.indexOf("stream");
        const qsizetype dictStart = object.indexOf("<<");
        if (keyword < 0 || dictStart < 0 || dictStart > keyword) return std::nullopt;
        const QString streamDict = latin1(object.mid(dictStart, keyword - dictStart));
        const QRegularExpressionMatch size = length.match(streamDict);
        if (!size.hasMatch()) return std::nullopt;
        qsizetype dataLength = size.captured(1).toLongLong();
        if (size.hasCaptured(2)) { // an indirect length: the number in its own object
            const int lengthObject = size.captured(1).toInt();
            if (!byNumber.contains(lengthObject)) return std::nullopt;
            qsizetype at = 0;
            const QByteArray lengthBody = objectBytes(lengthObject);
            wordAt(lengthBody, at); // number
            wordAt(lengthBody, at); // generation
            if (wordAt(lengthBody, at) != "obj") return std::nullopt;
            bool ok = false;
            dataLength = wordAt(lengthBody, at).toLongLong(&ok);
            if (!ok) return std::nullopt;
        }
        qsizetype dataStart = keyword + 6;
        if (object.mid(dataStart, 2) == "\r\n")
            dataStart += 2;
        else if (object.mid(dataStart, 1) == "\n")
            dataStart += 1;
        if (dataLength < 0 || dataStart + dataLength > object.size()) return std::nullopt;
        const QByteArray data = object.mid(dataStart, dataLength);

        const bool flate = streamDict.contains(QStringLiteral("/FlateDecode"));
        if (streamDict.contains(QStringLiteral("/Filter")) && !flate) return std::nullopt;
        QByteArray content = data;
        if (flate) {
            // qUncompress reads a zlib stream behind its expected size, which it grows as needed.
            QByteArray sized(4, '\0');
            const quint32 guess = quint32(std::min<qsizetype>(data.size() * 8 + 64, 0x7FFFFFFF));
            for (int k = 0; k < 4; ++k)
                sized[k] = char((guess >> (24 - 8 * k)) & 0xFF);
            content = qUncompress(sized + data);
            if (content.isEmpty() && !data.isEmpty()) return std::nullopt;
        }
        const auto kept = withoutTextOutside(content, area);
        if (!kept) return std::nullopt;
        if (*kept == content) continue;
        const QByteArray newData = flate ? qCompress(*kept).mid(4) : *kept;
        QString newDict = streamDict;
        newDict.replace(length, QStringLiteral("/Length %1").arg(newData.size()));
        replaced[number] = object.left(dictStart) + newDict.toLatin1() + "stream\n" + newData + "\nendstream\nendobj\n";
    }
    if (replaced.isEmpty()) return pdf;
    return rebuilt(pdf, *xref, replaced);
}
