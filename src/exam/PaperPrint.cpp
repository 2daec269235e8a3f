#include "PaperPrint.h"

#include "BankSession.h"
#include "ExamEngine.h"
#include "ExamProfile.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "PaperQuestion.h"
#include "PaperState.h"
#include "PdfTextLayer.h"
#include "QuestionTypes.h"
#include "SqlError.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QHash>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPalette>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Largest question picture embedded, in pixels per side (as the exam window refuses larger ones).
constexpr int kPictureMaxSide = 8000;
// The document's unit is the point of the A4 page: font sizes are set in those units.
constexpr int kBodySize = 11;
// Printed picture width at most, in points.
constexpr qreal kPictureMaxWidth = 440;

const char *const kSectionNumbers[] = {"一", "二", "三", "四"};

// A4 with margins of 2 cm.
QPageLayout paperPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(56.7, 56.7, 56.7, 56.7),
                       QPageLayout::Point);
}

QStringList printFonts() {
    // The desktop's Chinese fonts (fonts-noto-cjk), then the further fall-backs.
    return {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("AR PL UMing CN")};
}

QuestionKind kindOf(const ExamProfile &profile, int section) {
    switch (section) {
    case 0:
        return QuestionKind::Single;
    case 1:
        return QuestionKind::Multiple;
    case 2:
        return QuestionKind::Judgement;
    default:
        return FourthQuestionKind(profile.sections[3].typeName).value_or(QuestionKind::Analysis);
    }
}

QString judgementText(const QString &answer) {
    if (answer == QStringLiteral("√")) return QStringLiteral("√（是）");
    if (answer == QStringLiteral("×")) return QStringLiteral("×（否）");
    return answer;
}

QImage readPicture(const QByteArray &bytes) {
    if (bytes.isEmpty()) return QImage();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "JPEG");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kPictureMaxSide || size.height() > kPictureMaxSide) return QImage();
    QImage image;
    return reader.read(&image) ? image : QImage();
}

class Writer {
public:
    explicit Writer(QTextDocument &doc) : m_doc(doc), m_cursor(&doc) {}

    void heading(const QString &text, bool newPage) {
        QTextBlockFormat block;
        block.setAlignment(Qt::AlignHCenter);
        block.setBottomMargin(12);
        if (newPage) block.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCharFormat chars;
        chars.setProperty(QTextFormat::FontPixelSize, 16);
        chars.setFontWeight(QFont::Bold);
        startBlock(block, chars);
        m_cursor.insertText(text);
    }
    void subheading(const QString &text) {
        QTextBlockFormat block;
        block.setTopMargin(10);
        block.setBottomMargin(4);
        QTextCharFormat chars;
        chars.setProperty(QTextFormat::FontPixelSize, 12);
        chars.setFontWeight(QFont::Bold);
        startBlock(block, chars);
        m_cursor.insertText(text);
    }
    // Bank texts are plain: inserted as text, never read as markup.
    void paragraph(const QString &text, int indent = 0) {
        QTextBlockFormat block;
        block.setTopMargin(2);
        block.setIndent(indent);
        QTextCharFormat chars;
        chars.setProperty(QTextFormat::FontPixelSize, kBodySize);
        startBlock(block, chars);
        QString clean = text;
        clean.remove(QLatin1Char('\r'));
        m_cursor.insertText(clean);
    }
    void picture(const QByteArray &bytes) {
        const QImage image = readPicture(bytes);
        if (image.isNull()) return;
        const QString name = QStringLiteral("kjks-picture:%1").arg(++m_pictures);
        m_doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        const qreal width = qMin<qreal>(kPictureMaxWidth, image.width());
        format.setWidth(width);
        format.setHeight(image.height() * width / qMax(1, image.width()));
        paragraph(QString());
        m_cursor.insertImage(format);
    }
    QTextTable *table(int rows, int columns) {
        QTextTableFormat format;
        format.setCellPadding(4);
        format.setCellSpacing(0);
        format.setBorder(0.5);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setHeaderRowCount(1);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        m_cursor.movePosition(QTextCursor::End);
        QTextTable *t = m_cursor.insertTable(rows, columns, format);
        return t;
    }
    void cell(QTextTable *table, int row, int column, const QString &text, bool bold = false) {
        QTextCursor c = table->cellAt(row, column).firstCursorPosition();
        QTextCharFormat chars;
        chars.setProperty(QTextFormat::FontPixelSize, kBodySize);
        if (bold) chars.setFontWeight(QFont::Bold);
        QString clean = text;
        clean.remove(QLatin1Char('\r'));
        c.insertText(clean, chars);
    }
    void afterTable() { m_cursor.movePosition(QTextCursor::End); }

private:
    void startBlock(const QTextBlockFormat &block, const QTextCharFormat &chars) {
        m_cursor.movePosition(QTextCursor::End);
        if (m_first) {
            m_cursor.setBlockFormat(block);
            m_cursor.setBlockCharFormat(chars);
            m_cursor.setCharFormat(chars);
            m_first = false;
        } else {
            m_cursor.insertBlock(block, chars);
        }
    }

    QTextDocument &m_doc;
    QTextCursor m_cursor;
    bool m_first = true;
    int m_pictures = 0;
};

QString sectionTitle(const PrintedPaper &paper, int section) {
    const PrintedSection &s = paper.sections[size_t(section)];
    // Numbered as the paper has its sections: without 多选题, 判断题 is the second.
    int shown = 0;
    for (int k = 0; k <= section; ++k)
        if (paper.sections[size_t(k)].count > 0) ++shown;
    return QStringLiteral("%1、%2（共 %3 题，每题 %4 分）")
        .arg(QString::fromUtf8(kSectionNumbers[shown > 0 ? shown - 1 : 0]), s.typeName)
        .arg(s.count)
        .arg(s.pointsEach);
}

void writeQuestion(Writer &w, const PrintedQuestion &item, const QString &lastMaterial) {
    const Question &q = item.question;
    const QString number = QString::number(item.number) + QStringLiteral("、");
    switch (q.kind) {
    case QuestionKind::Single:
    case QuestionKind::Multiple:
        w.paragraph(number + q.stem);
        for (int i = 0; i < q.options.size(); ++i)
            w.paragraph(OptionCaption(i, q.options[i]), 1);
        break;
    case QuestionKind::Judgement:
        w.paragraph(number + q.stem);
        w.paragraph(QStringLiteral("○ 是        ○ 否"), 1);
        break;
    case QuestionKind::Case:
        // The material once for the sub-questions that follow each other.
        if (q.stem != lastMaterial) {
            w.paragraph(QStringLiteral("【案例材料】") + BlanksToLines(q.stem));
            w.picture(q.picture);
            if (!q.secondText.isEmpty()) w.paragraph(q.secondText);
        }
        for (const SubQuestion &sub : q.subQuestions) {
            w.paragraph(number + sub.text);
            for (int i = 0; i < sub.options.size(); ++i)
                w.paragraph(OptionCaption(i, sub.options[i]), 1);
        }
        break;
    case QuestionKind::Analysis:
    case QuestionKind::Operation:
        w.paragraph(number + BlanksToLines(q.stem));
        w.picture(q.picture);
        if (!q.secondText.isEmpty()) w.paragraph(q.secondText);
        break;
    }
}

QString sheetAnswer(const PrintedQuestion &item, bool withAnswers) {
    if (item.question.kind == QuestionKind::Operation) return QStringLiteral("（上机操作，略）");
    if (!withAnswers) return QString();
    return item.question.kind == QuestionKind::Judgement ? judgementText(item.answer) : item.answer;
}

} // namespace

PrintedPaper ReadPrintedPaper(BankSession &data, const ExamProfile &profile, int paperId, int shownNumber,
                              bool withAnswers) {
    PrintedPaper paper;
    paper.subject = profile.subjectName;
    paper.shownNumber = shownNumber;
    paper.withAnswers = withAnswers;
    for (const ExamSection &s : profile.sections)
        paper.sections.push_back({s.typeName, s.count, FormatNumber(s.perQuestionScore)});

    LaunchParameters params;
    params.PaperKey = QString::number(paperId);
    ExamEngine engine(data, profile, params);
    const auto catalogue =
        data.db.select(QStringLiteral("select DTKSSJ, JJSJ, DEFEN from kjks_SJML where sjID = ?"), {QVariant(paperId)});
    if (catalogue.empty()) throw KjksError(QStringLiteral("没有找到这份试卷，无法打印。"));
    if (withAnswers && PaperHandedIn(catalogue[0][0].toString(), catalogue[0][1].toString()))
        paper.score = catalogue[0][2].isNull() ? QString() : FormatNumber(catalogue[0][2].toDouble());

    for (const PaperRow &row : engine.AnswerList()) {
        PrintedQuestion item;
        item.number = row.xth;
        item.section = -1;
        for (int s = 0; s < 4 && item.section < 0; ++s)
            if (row.tixing == profile.sections[size_t(s)].typeName) item.section = s;
        if (item.section < 0) item.section = int(IndexOf(engine.SectionOf(row.xth - 1)));
        item.question = ReadPaperQuestion(data, kindOf(profile, item.section), row.tiganId, QString());
        item.standardAnswer = row.daan;
        if (withAnswers) {
            item.answer = row.KSDA;
            if (row.defen) item.points = FormatNumber(*row.defen);
        }
        item.explanation = engine.ExplanationOf(row.tiganId);
        paper.questions.push_back(std::move(item));
    }
    return paper;
}

QString QuestionsHeading(const PrintedPaper &paper) {
    return QStringLiteral("%1 模拟试卷（第 %2 套）").arg(paper.subject).arg(paper.shownNumber);
}

QString AnswerSheetHeading() {
    return QStringLiteral("答题卡");
}

QString KeyHeading() {
    return QStringLiteral("参考答案与解析");
}

namespace {

void writePaper(Writer &w, const PrintedPaper &paper, bool onNewPage) {
    w.heading(QuestionsHeading(paper), onNewPage);
    w.paragraph(QStringLiteral("姓名：____________    得分：%1")
                    .arg(paper.score.isEmpty() ? QStringLiteral("________") : paper.score));
    int section = -1;
    QString material;
    for (const PrintedQuestion &item : paper.questions) {
        if (item.section != section) {
            section = item.section;
            w.subheading(sectionTitle(paper, section));
            material.clear();
        }
        writeQuestion(w, item, material);
        material = item.question.kind == QuestionKind::Case ? item.question.stem : QString();
    }

    w.heading(AnswerSheetHeading(), true);
    w.paragraph(paper.withAnswers ? QStringLiteral("考生作答如下。") : QStringLiteral("请在答案栏内填写答案。"));
    QTextTable *sheet = w.table(int(paper.questions.size()) + 1, 3);
    w.cell(sheet, 0, 0, QStringLiteral("题号"), true);
    w.cell(sheet, 0, 1, QStringLiteral("题型"), true);
    w.cell(sheet, 0, 2, QStringLiteral("答案"), true);
    for (size_t i = 0; i < paper.questions.size(); ++i) {
        const PrintedQuestion &item = paper.questions[i];
        w.cell(sheet, int(i) + 1, 0, QString::number(item.number));
        w.cell(sheet, int(i) + 1, 1, paper.sections[size_t(item.section)].typeName);
        w.cell(sheet, int(i) + 1, 2, sheetAnswer(item, paper.withAnswers));
    }
    w.afterTable();
    if (!paper.withKey) return;

    w.heading(KeyHeading(), true);
    for (const PrintedQuestion &item : paper.questions) {
        const bool judgement = item.question.kind == QuestionKind::Judgement;
        QString line = QStringLiteral("%1、参考答案：%2")
                           .arg(item.number)
                           .arg(judgement ? judgementText(item.standardAnswer) : item.standardAnswer);
        if (paper.withAnswers)
            line += QStringLiteral("    考生答案：%1    得分：%2")
                        .arg(item.answer.isEmpty() ? QStringLiteral("未作答")
                                                   : (judgement ? judgementText(item.answer) : item.answer),
                             item.points.isEmpty() ? QStringLiteral("0") : item.points);
        w.subheading(line);
        w.paragraph(QStringLiteral("解析：") + item.explanation, 1);
    }
}

// The PostScript name of a font (its name table's record 6), as the PDF names the font.
QByteArray postscriptName(const QRawFont &font) {
    const QByteArray table = font.fontTable("name");
    auto u16 = [&](qsizetype at) {
        return at + 2 <= table.size() ? quint16((uchar(table[at]) << 8) | uchar(table[at + 1])) : quint16(0);
    };
    const int count = u16(2);
    const qsizetype strings = u16(4);
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 6 + 12 * qsizetype(i);
        if (record + 12 > table.size()) break;
        if (u16(record + 6) != 6) continue;
        const quint16 platformId = u16(record);
        const QByteArray text = table.mid(strings + u16(record + 10), u16(record + 8));
        if (platformId == 1) return text; // Macintosh Roman: ASCII here
        if (platformId == 3 || platformId == 0) {
            QByteArray ascii;
            for (qsizetype k = 1; k < text.size(); k += 2)
                ascii += text[k];
            return ascii;
        }
    }
    return QByteArray();
}

// Which character each glyph of the document was drawn for: the document's own characters, looked
// up in the fonts its lines were set in. A glyph the PDF writer mapped to a character the paper
// never drew (a radical sharing the ideograph's glyph) goes back to the paper's character.
class DrawnGlyphs {
public:
    explicit DrawnGlyphs(const QTextDocument &doc) {
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
            for (const uint c : b.text().toUcs4())
                if (!m_drawn.contains(c)) {
                    m_drawn.insert(c);
                    m_chars.push_back(c);
                }
            if (!b.layout()) continue;
            // The whole block by its range: Qt 6.4 gives no runs for the defaults.
            for (const QGlyphRun &run : b.layout()->glyphRuns(0, b.length())) {
                const QRawFont font = run.rawFont();
                const QByteArray name = postscriptName(font);
                if (std::none_of(m_fonts.begin(), m_fonts.end(), [&](const Font &f) { return f.name == name; }))
                    m_fonts.push_back({name, font, {}, false});
            }
        }
    }

    char32_t operator()(const QByteArray &fontName, char32_t mapped) {
        if (m_drawn.contains(uint(mapped))) return mapped;
        // The font the PDF names first, then the others the paper was set in.
        std::vector<Font *> order;
        for (Font &f : m_fonts)
            if (f.name == fontName) order.push_back(&f);
        for (Font &f : m_fonts)
            if (f.name != fontName) order.push_back(&f);
        for (Font *f : order) {
            const quint32 glyph = glyphOf(f->raw, uint(mapped));
            if (glyph == 0) continue;
            const auto drawn = glyphs(*f).constFind(glyph);
            if (drawn != glyphs(*f).cend()) return char32_t(drawn.value());
        }
        return mapped;
    }

private:
    struct Font {
        QByteArray name;
        QRawFont raw;
        QHash<quint32, uint> byGlyph; // glyph → the first character drawn with it
        bool filled;
    };

    static quint32 glyphOf(const QRawFont &font, uint c) {
        const char32_t ch = char32_t(c);
        const QList<quint32> glyphs = font.glyphIndexesForString(QString::fromUcs4(&ch, 1));
        return glyphs.size() == 1 ? glyphs[0] : 0;
    }

    const QHash<quint32, uint> &glyphs(Font &f) {
        if (!f.filled) {
            for (const uint c : m_chars) {
                const quint32 glyph = glyphOf(f.raw, c);
                if (glyph != 0 && !f.byGlyph.contains(glyph)) f.byGlyph.insert(glyph, c);
            }
            f.filled = true;
        }
        return f.byGlyph;
    }

    QSet<uint> m_drawn;
    std::vector<uint> m_chars; // in the order the paper draws them
    std::vector<Font> m_fonts;
};

std::unique_ptr<QTextDocument> printDocument() {
    auto doc = std::make_unique<QTextDocument>();
    QFont font;
    font.setFamilies(printFonts());
    font.setPixelSize(kBodySize);
    // Glyphs straight from the font's character map. Shaped, Noto CJK swaps the digits of a line
    // that starts in Latin ("A、12") for glyphs no character maps to, which the PDF's text layer
    // then leaves out; Chinese and Latin text need no shaping.
    font.setStyleStrategy(QFont::PreferNoShaping);
    doc->setDefaultFont(font);
    // The A4 text area in points (2 cm margins): the pages the PDF shows.
    const QPageLayout layout = paperPageLayout();
    // Its height in whole points: the layout places pages at multiples of the height in 1/64 units,
    // the printing code at multiples of the real number, and at page 160 of a class set the two
    // would be a point apart. A whole number is the same in both.
    const QSizeF area = layout.paintRect(QPageLayout::Point).size();
    doc->setPageSize(QSizeF(area.width(), std::floor(area.height())));
    doc->setDocumentMargin(0);
    return doc;
}

// The document's pages onto the writer, one page of the document on each page of the PDF; returns
// their number. QTextDocument::print draws a line that starts exactly at a page's top on the page
// before as well, clipped out of sight but kept in the PDF's text: every page's first line would
// be found twice. Here a page draws only the lines that start on it.
int drawPages(QTextDocument &doc, QPdfWriter &writer) {
    const QSizeF page = doc.pageSize();
    const int pages = doc.pageCount();
    QPainter painter;
    if (!painter.begin(&writer)) throw KjksError(QStringLiteral("无法生成 PDF。"));
    // The document's unit is the point.
    const qreal scale = writer.resolution() / 72.0;
    for (int p = 0; p < pages; ++p) {
        if (p > 0) writer.newPage();
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -p * page.height());
        const QRectF view(0, p * page.height(), page.width(), page.height());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        // A line is drawn when it starts above the clip's bottom edge, so the edge stays a point
        // above the next page's top.
        context.clip = view.adjusted(0, 0, 0, -1);
        context.palette.setColor(QPalette::Text, Qt::black);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
    return pages;
}

} // namespace

std::unique_ptr<QTextDocument> PapersDocument(const std::vector<PrintedPaper> &papers) {
    auto doc = printDocument();
    Writer w(*doc);
    for (size_t i = 0; i < papers.size(); ++i)
        writePaper(w, papers[i], i > 0);
    return doc;
}

std::unique_ptr<QTextDocument> PaperDocument(const PrintedPaper &paper) {
    return PapersDocument({paper});
}

int WritePaperPdf(const PrintedPaper &paper, const QString &path) {
    return WritePapersPdf({paper}, path);
}

int WritePapersPdf(const std::vector<PrintedPaper> &papers, const QString &path) {
    // Without a Chinese font every character would print as an empty box.
    if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
        throw KjksError(QStringLiteral("系统中没有中文字体，无法生成试卷 PDF。请先安装中文字体（例如 Noto CJK）。"));
    const std::unique_ptr<QTextDocument> doc = PapersDocument(papers);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    int pages = 0;
    {
        QPdfWriter writer(&pdf);
        writer.setPageLayout(paperPageLayout());
        writer.setResolution(300);
        writer.setTitle(papers.size() == 1 ? QuestionsHeading(papers[0])
                                           : QStringLiteral("%1 模拟试卷（共 %2 套）")
                                                 .arg(papers.empty() ? QString() : papers[0].subject)
                                                 .arg(papers.size()));
        writer.setCreator(QStringLiteral("kjks"));
        pages = drawPages(*doc, writer);
    }
    // A file of another form than the writer's own keeps the writer's text layer.
    DrawnGlyphs drawn(*doc);
    QByteArray bytes = CorrectTextLayer(pdf.data(), std::ref(drawn)).value_or(pdf.data());
    // The text area of a page in the PDF's own space (points from the bottom left corner).
    const QPageLayout page = paperPageLayout();
    const QRectF paint = page.paintRect(QPageLayout::Point);
    const qreal top = page.fullRect(QPageLayout::Point).height() - paint.top();
    const QRectF area(paint.left(), top - doc->pageSize().height(), paint.width(), doc->pageSize().height());
    bytes = DropTextOutside(bytes, area).value_or(bytes);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw KjksError(
            QStringLiteral("无法写入文件：%1\n详细信息：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return pages;
}
