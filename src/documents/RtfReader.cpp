#include "RtfReader.h"

#include "CodePageDecoder.h"
#include "RtfKeywords.h"
#include "RtfLexer.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

// Limits that keep a damaged or hostile file from costing unbounded time or memory.
constexpr std::size_t kMaxGroupDepth = 256;
constexpr int kMaxTableColumns = 64;
constexpr int kMaxFallbackSkip = 16;
constexpr qint64 kMaxPicturePixels = 25'000'000;
constexpr double kMaxExtent = 10000.0; // pixels: picture sides, column widths
constexpr double kMaxIndent = 2000.0;  // pixels

// RTF measures in twips: 1440 to the inch, and the page has 96 pixels to the inch.
constexpr double kTwipsPerPixel = 15.0;

double twipsToPixels(int twips, double low, double high) {
    return std::clamp(twips / kTwipsPerPixel, low, high);
}

enum class Dest { Text, Skip, FontTable, ColorTable, Picture };

struct CharProps {
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    int underline = QTextCharFormat::NoUnderline;
    int vertical = QTextCharFormat::AlignNormal;
    int capitalization = QFont::MixedCase;
    int halfPoints = 24;
    int color = -1; // colour table index; -1 the automatic colour
    int background = -1;
    int font = -1;
    // Word marks double-byte runs with \dbch and names their font with \af: that font's code
    // page decodes them even where \f names a Western font.
    bool doubleByte = false;
    int doubleByteFont = -1;

    // Compares what the character format shows.
    bool operator==(const CharProps &o) const {
        return bold == o.bold && italic == o.italic && strike == o.strike && hidden == o.hidden &&
               underline == o.underline && vertical == o.vertical && capitalization == o.capitalization &&
               halfPoints == o.halfPoints && color == o.color && background == o.background && font == o.font;
    }
};

struct ParaProps {
    int alignment = Qt::AlignLeft;
    int left = 0; // twips
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    bool inTable = false;
    int nestLevel = 0;

    bool operator==(const ParaProps &o) const {
        return alignment == o.alignment && left == o.left && right == o.right && first == o.first &&
               before == o.before && after == o.after;
    }
    bool operator!=(const ParaProps &o) const { return !(*this == o); }
};

struct GroupState {
    Dest dest = Dest::Text;
    CharProps ch;
    ParaProps para;
    int unicodeSkip = 1;   // \ucN: fallback bytes after each \uN
    bool ansiOnly = false; // inside \upr, whose Unicode twin \ud is read instead
    bool starred = false;  // \* seen: the next word names a destination that may be skipped
    bool pictureOwner = false;
};

struct FontEntry {
    QString name;
    int charset = -1;
    int codePage = 0;
};

struct Picture {
    enum Kind { Unknown, Png, Jpeg, Unsupported };
    Kind kind = Unknown;
    QByteArray data;
    int pendingNibble = -1;
    int widthGoal = 0; // twips
    int heightGoal = 0;
    int scaleX = 100; // percent
    int scaleY = 100;
};

struct RowDefinition {
    std::vector<int> cellRight; // twips from the margin
    int left = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
};

int codePageOfCharset(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0; // ANSI, default, symbol: the document's code page
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Characters that would disturb the document's structure if inserted as text.
bool isInsertable(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x20) return u == '\t';
    return u != 0x2029 && u != 0xFDD0 && u != 0xFDD1 && u != 0xFFFC && u != 0x7F;
}

qsizetype rtfStart(const QByteArray &data) {
    qsizetype i = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.mid(i, 5) == "{\\rtf" ? i : -1;
}

class Reader {
public:
    Reader(QByteArrayView rtf, QTextDocument *doc) : m_lexer(rtf), m_doc(doc), m_cursor(doc) {}

    void run() {
        m_cursor.beginEditBlock();
        while (!m_done) {
            const RtfToken t = m_lexer.next();
            if (t.kind == RtfToken::End) break;
            if (t.kind == RtfToken::GroupStart) {
                openGroup();
                continue;
            }
            if (t.kind == RtfToken::GroupEnd) {
                closeGroup();
                continue;
            }
            if (m_overflow > 0) continue;
            if (t.kind != RtfToken::HexByte) m_skipTrail = false;
            switch (t.kind) {
            case RtfToken::Text:
                text(t.text);
                break;
            case RtfToken::HexByte:
                hexByte(t.byte);
                break;
            case RtfToken::ControlSymbol:
                controlSymbol(t.symbol);
                break;
            case RtfToken::ControlWord:
                controlWord(t);
                break;
            default:
                break;
            }
        }
        // A truncated file: close what is open so that its text and pictures still arrive.
        m_overflow = 0;
        while (!m_stack.empty())
            closeGroup();
        m_cursor.endEditBlock();
    }

private:
    GroupState &top() { return m_stack.back(); }

    // ---- groups ----

    void openGroup() {
        if (!m_stack.empty()) flushText();
        m_fallbackSkip = 0;
        m_skipTrail = false;
        if (m_overflow > 0 || m_stack.size() >= kMaxGroupDepth) {
            ++m_overflow; // too deep to be a real document: its content is dropped
            return;
        }
        GroupState s = m_stack.empty() ? GroupState() : top();
        s.starred = false;
        s.pictureOwner = false;
        m_stack.push_back(s);
    }

    void closeGroup() {
        m_fallbackSkip = 0;
        m_skipTrail = false;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (m_stack.empty()) return;
        flushText();
        const GroupState closing = m_stack.back();
        if (closing.dest == Dest::FontTable) endFontEntry();
        m_stack.pop_back();
        if (closing.pictureOwner) finishPicture();
        if (m_stack.empty()) m_done = true; // the document's outer group has ended
    }

    // ---- text ----

    int codePage() {
        const GroupState &s = top();
        int font = s.dest == Dest::FontTable ? m_fontEntry : s.ch.font;
        if (s.dest == Dest::Text && s.ch.doubleByte && s.ch.doubleByteFont >= 0) font = s.ch.doubleByteFont;
        const auto it = m_fonts.find(font);
        if (it != m_fonts.end()) {
            if (it->second.codePage > 0) return it->second.codePage;
            if (const int cp = codePageOfCharset(it->second.charset)) return cp;
        }
        return m_docCodePage;
    }

    bool readsText() const {
        const Dest d = m_stack.back().dest;
        return d == Dest::Text || d == Dest::FontTable;
    }

    // The bytes after \uN stand in for the character for readers without Unicode: skip them.
    bool skipFallbackByte(unsigned char byte) {
        if (m_fallbackSkip > 0) {
            --m_fallbackSkip;
            // Some writers count a two-byte GBK fallback as one character: take its trail byte too.
            if (m_fallbackSkip == 0 && CodePageDecoder::isLeadByte(codePage(), byte)) m_skipTrail = true;
            return true;
        }
        if (m_skipTrail) {
            m_skipTrail = false;
            return true;
        }
        return false;
    }

    void text(QByteArrayView bytes) {
        GroupState &s = top();
        s.starred = false;
        switch (s.dest) {
        case Dest::Picture:
            pictureHex(bytes);
            return;
        case Dest::ColorTable:
            for (char c : bytes)
                if (c == ';') endColor();
            return;
        case Dest::Skip:
            return;
        case Dest::Text:
        case Dest::FontTable:
            break;
        }
        for (char c : bytes) {
            if (skipFallbackByte(static_cast<unsigned char>(c))) continue;
            if (s.dest == Dest::FontTable && c == ';') {
                endFontEntry();
            } else if (c == '\t') {
                addChar(u'\t');
            } else if (static_cast<unsigned char>(c) >= 0x20) {
                m_bytes.append(c);
            }
        }
    }

    void hexByte(unsigned char byte) {
        if (!readsText()) return;
        if (skipFallbackByte(byte)) return;
        m_bytes.append(char(byte));
    }

    void addChar(char16_t c) {
        decodeBytes();
        m_text.append(QChar(c));
    }

    void decodeBytes() {
        if (m_bytes.isEmpty()) return;
        m_text += m_decoder.decode(codePage(), m_bytes);
        m_bytes.clear();
    }

    // Sends the text read so far to where the current group writes.
    void flushText() {
        decodeBytes();
        if (m_text.isEmpty()) return;
        const GroupState &s = top();
        if (!s.ansiOnly) {
            if (s.dest == Dest::FontTable)
                m_fontName += m_text;
            else if (s.dest == Dest::Text && !s.ch.hidden)
                insertText(m_text);
        }
        m_text.clear();
    }

    void insertText(const QString &raw) {
        QString clean;
        clean.reserve(raw.size());
        for (QChar c : raw)
            if (isInsertable(c)) clean.append(c);
        if (clean.isEmpty()) return;
        enterContext(false);
        applyBlockFormat();
        m_cursor.insertText(clean, charFormat());
    }

    // ---- control words and symbols ----

    void controlSymbol(char c) {
        GroupState &s = top();
        if (c == '*') {
            s.starred = true;
            return;
        }
        if (!readsText()) return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            if (!skipFallbackByte(static_cast<unsigned char>(c))) m_bytes.append(c);
            return;
        default:
            break;
        }
        if (m_fallbackSkip > 0) {
            --m_fallbackSkip;
            return;
        }
        switch (c) {
        case '~':
            addChar(u'\u00A0');
            break;
        case '-':
            addChar(u'\u00AD');
            break;
        case '_':
            addChar(u'\u2011');
            break;
        default:
            break; // \: \| and broken escapes mean nothing to a reader
        }
    }

    void controlWord(const RtfToken &t) {
        GroupState &s = top();
        const bool starred = s.starred;
        s.starred = false;
        const RtfKeyword *k = FindRtfKeyword(t.word);
        if (k && k->kind == RtfKw::Binary) {
            binary(t.hasParam ? t.param : 0);
            return;
        }
        if (s.dest == Dest::Skip) return;
        if (m_fallbackSkip > 0 && readsText()) {
            --m_fallbackSkip; // a control word in the fallback counts as one character
            return;
        }
        if (k && (k->kind == RtfKw::Unicode || k->kind == RtfKw::Character)) {
            if (readsText()) {
                if (k->kind == RtfKw::Character)
                    addChar(k->character);
                else
                    unicode(t);
            }
            return;
        }
        flushText();
        if (!k) {
            if (starred) s.dest = Dest::Skip; // an unknown optional destination
            return;
        }
        if (destination(*k, starred)) return;
        if (document(*k, t)) return;
        const int param = t.hasParam ? t.param : 0;
        const bool on = !t.hasParam || t.param != 0;
        switch (s.dest) {
        case Dest::FontTable:
            fontTableWord(k->kind, param);
            return;
        case Dest::ColorTable:
            colorTableWord(k->kind, param);
            return;
        case Dest::Picture:
            pictureWord(k->kind, param);
            return;
        case Dest::Skip:
            return;
        case Dest::Text:
            break;
        }
        if (characterWord(k->kind, t.hasParam, param, on)) return;
        if (paragraphWord(k->kind, param, on)) return;
        structureWord(k->kind, param);
    }

    void unicode(const RtfToken &t) {
        if (!t.hasParam) return;
        // Values above 32767 are written negative.
        const int v = t.param < 0 ? t.param + 65536 : t.param;
        if (v >= 0 && v <= 0xFFFF) addChar(char16_t(v));
        m_fallbackSkip = top().unicodeSkip;
        m_skipTrail = false;
    }

    void binary(int count) {
        const QByteArrayView bytes = m_lexer.takeBytes(count);
        if (top().dest == Dest::Picture) m_picture.data.append(bytes);
    }

    bool destination(const RtfKeyword &k, bool starred) {
        GroupState &s = top();
        switch (k.kind) {
        case RtfKw::FontTable:
            s.dest = s.dest == Dest::Text ? Dest::FontTable : Dest::Skip;
            return true;
        case RtfKw::ColorTable:
            s.dest = s.dest == Dest::Text ? Dest::ColorTable : Dest::Skip;
            m_color = Color();
            return true;
        case RtfKw::Picture:
            if (s.dest == Dest::Text) {
                s.dest = Dest::Picture;
                s.pictureOwner = true;
                m_picture = Picture();
            } else if (s.dest != Dest::Picture) {
                s.dest = Dest::Skip;
            }
            return true;
        case RtfKw::SkipDestination:
            s.dest = Dest::Skip;
            return true;
        case RtfKw::KeepDestination:
            return true;
        case RtfKw::AnsiOnly:
            s.ansiOnly = true;
            return true;
        case RtfKw::UnicodeAlternative:
            s.ansiOnly = false;
            return true;
        default:
            if (starred) s.dest = Dest::Skip; // a property word after \* is no destination we know
            return starred;
        }
    }

    bool document(const RtfKeyword &k, const RtfToken &t) {
        switch (k.kind) {
        case RtfKw::Ansi:
            m_docCodePage = 1252;
            return true;
        case RtfKw::Mac:
            m_docCodePage = 10000;
            return true;
        case RtfKw::Pc:
            m_docCodePage = 437;
            return true;
        case RtfKw::Pca:
            m_docCodePage = 850;
            return true;
        case RtfKw::AnsiCodePage:
            if (t.hasParam && t.param > 0) m_docCodePage = t.param;
            return true;
        case RtfKw::DefaultFont:
            if (t.hasParam) {
                m_defaultFont = t.param;
                if (top().dest == Dest::Text) top().ch.font = t.param;
            }
            return true;
        default:
            return false;
        }
    }

    // ---- font and colour tables ----

    void fontTableWord(RtfKw kind, int param) {
        switch (kind) {
        case RtfKw::Font:
            endFontEntry();
            m_fontEntry = param;
            m_fonts[param];
            break;
        case RtfKw::FontCharset:
            m_fonts[m_fontEntry].charset = param;
            break;
        case RtfKw::FontCodePage:
            m_fonts[m_fontEntry].codePage = param;
            break;
        case RtfKw::UnicodeSkip:
            top().unicodeSkip = std::clamp(param, 0, kMaxFallbackSkip);
            break;
        default:
            break;
        }
    }

    void endFontEntry() {
        flushText();
        const QString name = m_fontName.trimmed();
        m_fontName.clear();
        if (name.isEmpty()) return;
        m_fonts[m_fontEntry].name = name;
        m_charFormatValid = false;
    }

    struct Color {
        int red = 0, green = 0, blue = 0;
        bool given = false;
    };

    void colorTableWord(RtfKw kind, int param) {
        const int v = std::clamp(param, 0, 255);
        switch (kind) {
        case RtfKw::Red:
            m_color.red = v;
            break;
        case RtfKw::Green:
            m_color.green = v;
            break;
        case RtfKw::Blue:
            m_color.blue = v;
            break;
        default:
            return;
        }
        m_color.given = true;
    }

    void endColor() {
        // An entry without components is the automatic colour.
        m_colors.push_back(m_color.given ? QColor(m_color.red, m_color.green, m_color.blue) : QColor());
        m_color = Color();
        m_charFormatValid = false;
    }

    QColor color(int index) const {
        return index >= 0 && std::size_t(index) < m_colors.size() ? m_colors[std::size_t(index)] : QColor();
    }

    // ---- character and paragraph formatting ----

    bool characterWord(RtfKw kind, bool hasParam, int param, bool on) {
        CharProps &c = top().ch;
        switch (kind) {
        case RtfKw::Font:
            c.font = param;
            break;
        case RtfKw::Plain:
            c = CharProps();
            c.font = m_defaultFont;
            break;
        case RtfKw::Bold:
            c.bold = on;
            break;
        case RtfKw::Italic:
            c.italic = on;
            break;
        case RtfKw::Underline:
            c.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
            break;
        case RtfKw::UnderlineNone:
            c.underline = QTextCharFormat::NoUnderline;
            break;
        case RtfKw::UnderlineDotted:
            c.underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
            break;
        case RtfKw::UnderlineDashed:
            c.underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
            break;
        case RtfKw::UnderlineWave:
            c.underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
            break;
        case RtfKw::Strike:
            c.strike = on;
            break;
        case RtfKw::FontSize:
            c.halfPoints = hasParam ? std::clamp(param, 2, 2000) : 24;
            break;
        case RtfKw::Color:
            c.color = param;
            break;
        case RtfKw::Background:
            c.background = param;
            break;
        case RtfKw::Subscript:
            c.vertical = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal;
            break;
        case RtfKw::Superscript:
            c.vertical = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal;
            break;
        case RtfKw::NoSuperSub:
            c.vertical = QTextCharFormat::AlignNormal;
            break;
        case RtfKw::Caps:
            c.capitalization = on ? QFont::AllUppercase : QFont::MixedCase;
            break;
        case RtfKw::SmallCaps:
            c.capitalization = on ? QFont::SmallCaps : QFont::MixedCase;
            break;
        case RtfKw::Hidden:
            c.hidden = on;
            break;
        case RtfKw::UnicodeSkip:
            top().unicodeSkip = std::clamp(param, 0, kMaxFallbackSkip);
            break;
        case RtfKw::LowAnsi:
        case RtfKw::HighAnsi:
            c.doubleByte = false;
            break;
        case RtfKw::DoubleByte:
            c.doubleByte = true;
            break;
        case RtfKw::AssociatedFont:
            if (c.doubleByte) c.doubleByteFont = param;
            break;
        default:
            return false;
        }
        return true;
    }

    bool paragraphWord(RtfKw kind, int param, bool on) {
        ParaProps &p = top().para;
        switch (kind) {
        case RtfKw::ParagraphDefault:
            p = ParaProps();
            break;
        case RtfKw::AlignLeft:
            p.alignment = Qt::AlignLeft;
            break;
        case RtfKw::AlignCenter:
            p.alignment = Qt::AlignHCenter;
            break;
        case RtfKw::AlignRight:
            p.alignment = Qt::AlignRight;
            break;
        case RtfKw::AlignJustify:
            p.alignment = Qt::AlignJustify;
            break;
        case RtfKw::LeftIndent:
            p.left = param;
            break;
        case RtfKw::RightIndent:
            p.right = param;
            break;
        case RtfKw::FirstIndent:
            p.first = param;
            break;
        case RtfKw::SpaceBefore:
            p.before = param;
            break;
        case RtfKw::SpaceAfter:
            p.after = param;
            break;
        case RtfKw::InTable:
            p.inTable = on;
            break;
        case RtfKw::NestLevel:
            p.nestLevel = param;
            break;
        default:
            return false;
        }
        return true;
    }

    const QTextCharFormat &charFormat() {
        const CharProps &c = top().ch;
        if (m_charFormatValid && c == m_charFormatProps) return m_charFormat;
        QTextCharFormat f;
        f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(c.italic);
        f.setUnderlineStyle(QTextCharFormat::UnderlineStyle(c.underline));
        f.setFontStrikeOut(c.strike);
        f.setFontPointSize(c.halfPoints / 2.0);
        f.setVerticalAlignment(QTextCharFormat::VerticalAlignment(c.vertical));
        if (c.capitalization != QFont::MixedCase) f.setFontCapitalization(QFont::Capitalization(c.capitalization));
        if (const QColor fg = color(c.color); fg.isValid()) f.setForeground(fg);
        if (const QColor bg = color(c.background); bg.isValid()) f.setBackground(bg);
        // The family is kept as written (宋体, 微软雅黑, ...): font fallback finds an installed face.
        if (const auto it = m_fonts.find(c.font); it != m_fonts.end() && !it->second.name.isEmpty())
            f.setFontFamilies(QStringList{it->second.name});
        m_charFormat = f;
        m_charFormatProps = c;
        m_charFormatValid = true;
        return m_charFormat;
    }

    static QTextBlockFormat blockFormat(const ParaProps &p) {
        QTextBlockFormat f;
        f.setAlignment(Qt::Alignment(p.alignment));
        f.setLeftMargin(twipsToPixels(p.left, 0, kMaxIndent));
        f.setRightMargin(twipsToPixels(p.right, 0, kMaxIndent));
        f.setTextIndent(twipsToPixels(p.first, -kMaxIndent, kMaxIndent));
        f.setTopMargin(twipsToPixels(p.before, 0, kMaxIndent));
        f.setBottomMargin(twipsToPixels(p.after, 0, kMaxIndent));
        return f;
    }

    // RTF gives a paragraph the properties in force at its end; the block follows the latest.
    void applyBlockFormat() {
        const ParaProps &p = top().para;
        if (m_blockFormatted && p == m_blockProps) return;
        m_cursor.setBlockFormat(blockFormat(p));
        if (!m_blockFormatted) m_cursor.setBlockCharFormat(charFormat());
        m_blockProps = p;
        m_blockFormatted = true;
    }

    // ---- paragraphs, tables and special characters ----

    bool writesStructure() {
        const GroupState &s = top();
        return s.dest == Dest::Text && !s.ansiOnly;
    }

    void structureWord(RtfKw kind, int param) {
        switch (kind) {
        case RtfKw::Paragraph:
            paragraph(false);
            break;
        case RtfKw::NestedRow:
            paragraph(true);
            break;
        case RtfKw::NestedCell: // nested tables are flattened into their outer cell
            if (writesStructure()) insertText(QStringLiteral("\t"));
            break;
        case RtfKw::Cell:
            cell();
            break;
        case RtfKw::Row:
            row();
            break;
        case RtfKw::RowDefaults:
            m_rowDef = RowDefinition();
            break;
        case RtfKw::CellRight:
            if (m_rowDef.cellRight.size() < std::size_t(kMaxTableColumns)) m_rowDef.cellRight.push_back(param);
            break;
        case RtfKw::RowLeft:
            m_rowDef.left = param;
            break;
        case RtfKw::RowAlignLeft:
            m_rowDef.alignment = Qt::AlignLeft;
            break;
        case RtfKw::RowAlignCenter:
            m_rowDef.alignment = Qt::AlignHCenter;
            break;
        case RtfKw::RowAlignRight:
            m_rowDef.alignment = Qt::AlignRight;
            break;
        default:
            break;
        }
    }

    void paragraph(bool inCell) {
        if (!writesStructure() || top().ch.hidden) return;
        enterContext(inCell);
        applyBlockFormat();
        m_cursor.insertBlock(blockFormat(top().para), charFormat());
        m_blockProps = top().para;
        m_blockFormatted = true;
    }

    // Content goes into the current table cell when its paragraph is in a table, and after the
    // table otherwise.
    void enterContext(bool tableContent) {
        const ParaProps &p = top().para;
        if (tableContent || p.inTable || p.nestLevel > 0)
            enterCell();
        else if (m_table)
            leaveTable();
    }

    void createTable() {
        const int columns = std::clamp(int(m_rowDef.cellRight.size()), 1, kMaxTableColumns);
        QTextTableFormat f;
        f.setBorder(1);
        f.setBorderBrush(QColor(0x80, 0x80, 0x80));
        f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        f.setBorderCollapse(true);
        f.setCellSpacing(0);
        f.setCellPadding(4);
        f.setAlignment(m_rowDef.alignment);
        if (!m_rowDef.cellRight.empty()) {
            QList<QTextLength> widths;
            int previous = m_rowDef.left;
            for (int right : m_rowDef.cellRight) {
                const double w = (double(right) - previous) / kTwipsPerPixel;
                widths.append(w > 0 ? QTextLength(QTextLength::FixedLength, std::min(w, kMaxExtent)) : QTextLength());
                previous = right;
            }
            f.setColumnWidthConstraints(widths);
        }
        // Qt puts a table after the cursor's block: an empty paragraph left by \par would stand
        // as a blank line above the table, so the table follows the previous paragraph instead.
        const QTextBlock previous = m_cursor.block().previous();
        if (m_cursor.block().length() == 1 && previous.isValid() &&
            QTextCursor(previous).currentFrame() == m_cursor.currentFrame())
            m_cursor.deletePreviousChar();
        m_table = m_cursor.insertTable(1, columns, f);
        m_row = 0;
        m_rowEnded = false;
        m_cursorRow = 0;
        m_cursorColumn = 0;
        m_blockFormatted = false;
    }

    void enterCell() {
        if (!m_table) {
            createTable();
        } else if (m_rowEnded) {
            m_table->appendRows(1);
            ++m_row;
            m_rowEnded = false;
        }
        const int column = std::min(m_cellsEnded, kMaxTableColumns - 1);
        if (column >= m_table->columns()) m_table->appendColumns(column + 1 - m_table->columns());
        if (m_row != m_cursorRow || column != m_cursorColumn) {
            m_cursor = m_table->cellAt(m_row, column).lastCursorPosition();
            m_cursorRow = m_row;
            m_cursorColumn = column;
            m_blockFormatted = false;
        }
    }

    void leaveTable() {
        m_cursor.movePosition(QTextCursor::End);
        m_table = nullptr;
        m_cellsEnded = 0;
        m_rowEnded = false;
        m_blockFormatted = false;
    }

    void cell() {
        if (!writesStructure()) return;
        enterCell(); // an empty cell still takes its place in the row
        ++m_cellsEnded;
    }

    void row() {
        if (!writesStructure() || !m_table) return;
        if (m_rowEnded) { // a row without cells
            m_table->appendRows(1);
            ++m_row;
        }
        m_rowEnded = true;
        m_cellsEnded = 0;
    }

    // ---- pictures ----

    void pictureWord(RtfKw kind, int param) {
        switch (kind) {
        case RtfKw::PngBlip:
            m_picture.kind = Picture::Png;
            break;
        case RtfKw::JpegBlip:
            m_picture.kind = Picture::Jpeg;
            break;
        case RtfKw::OtherBlip:
            m_picture.kind = Picture::Unsupported;
            break;
        case RtfKw::PictureWidthGoal:
            m_picture.widthGoal = param;
            break;
        case RtfKw::PictureHeightGoal:
            m_picture.heightGoal = param;
            break;
        case RtfKw::PictureScaleX:
            m_picture.scaleX = param;
            break;
        case RtfKw::PictureScaleY:
            m_picture.scaleY = param;
            break;
        default:
            break;
        }
    }

    void pictureHex(QByteArrayView bytes) {
        for (char c : bytes) {
            const int v = hexValue(c);
            if (v < 0) continue;
            if (m_picture.pendingNibble < 0) {
                m_picture.pendingNibble = v;
            } else {
                m_picture.data.append(char(m_picture.pendingNibble * 16 + v));
                m_picture.pendingNibble = -1;
            }
        }
    }

    // Called after the picture's group has closed: the picture goes where that group stood.
    void finishPicture() {
        const Picture picture = std::move(m_picture);
        m_picture = Picture();
        if (m_stack.empty() || !writesStructure() || top().ch.hidden) return;
        if (picture.kind != Picture::Png && picture.kind != Picture::Jpeg) return;

        QByteArray data = picture.data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer,
                            picture.kind == Picture::Png ? QByteArrayLiteral("png") : QByteArrayLiteral("jpeg"));
        reader.setAutoDetectImageFormat(false);
        const QSize size = reader.size();
        if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPicturePixels) return;
        const QImage image = reader.read();
        if (image.isNull()) return;

        double width = image.width();
        double height = image.height();
        if (picture.widthGoal > 0) width = picture.widthGoal / kTwipsPerPixel;
        if (picture.heightGoal > 0) height = picture.heightGoal / kTwipsPerPixel;
        if (picture.scaleX > 0) width = width * picture.scaleX / 100.0;
        if (picture.scaleY > 0) height = height * picture.scaleY / 100.0;

        const QString name = QStringLiteral("rtf-picture:%1").arg(++m_pictureCount);
        m_doc->addResource(QTextDocument::ImageResource, QUrl(name), QVariant(image));
        QTextImageFormat f;
        f.setName(name);
        f.setWidth(std::clamp(width, 1.0, kMaxExtent));
        f.setHeight(std::clamp(height, 1.0, kMaxExtent));
        enterContext(false);
        applyBlockFormat();
        m_cursor.insertImage(f);
    }

    RtfLexer m_lexer;
    QTextDocument *m_doc;
    QTextCursor m_cursor;
    CodePageDecoder m_decoder;

    std::vector<GroupState> m_stack;
    int m_overflow = 0; // groups opened beyond kMaxGroupDepth and not yet closed
    bool m_done = false;

    int m_docCodePage = 1252;
    int m_defaultFont = -1;
    std::unordered_map<int, FontEntry> m_fonts;
    int m_fontEntry = -1;
    QString m_fontName;
    std::vector<QColor> m_colors;
    Color m_color;

    QByteArray m_bytes; // undecoded text in the current code page
    QString m_text;     // decoded text not yet written
    int m_fallbackSkip = 0;
    bool m_skipTrail = false;

    QTextCharFormat m_charFormat;
    CharProps m_charFormatProps;
    bool m_charFormatValid = false;
    ParaProps m_blockProps;
    bool m_blockFormatted = false;

    QTextTable *m_table = nullptr;
    RowDefinition m_rowDef;
    int m_row = 0;
    int m_cellsEnded = 0;
    bool m_rowEnded = false;
    int m_cursorRow = 0;
    int m_cursorColumn = 0;

    Picture m_picture;
    int m_pictureCount = 0;
};

} // namespace

bool LooksLikeRtf(const QByteArray &data) {
    return rtfStart(data) >= 0;
}

bool LoadRtf(const QByteArray &rtf, QTextDocument *doc) {
    if (!doc) return false;
    doc->clear();
    const qsizetype start = rtfStart(rtf);
    if (start < 0) return false;
    // Loading is not an edit the reader could undo.
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    Reader(QByteArrayView(rtf.constData() + start, rtf.size() - start), doc).run();
    doc->setUndoRedoEnabled(undo);
    return true;
}
