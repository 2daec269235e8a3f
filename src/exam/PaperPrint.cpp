#include "PaperPrint.h"

#include "BankSession.h"
#include "ExamEngine.h"
#include "ExamProfile.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "PaperQuestion.h"
#include "PaperState.h"
#include "QuestionTypes.h"
#include "SqlError.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

namespace {

// Largest question picture embedded, in pixels per side (as the exam window refuses larger ones).
constexpr int kPictureMaxSide = 8000;
// The document's unit is the point of the A4 page: font sizes are set in those units.
constexpr int kBodySize = 11;
// Printed picture width at most, in points.
constexpr qreal kPictureMaxWidth = 440;

const char *const kSectionNumbers[] = {"一", "二", "三", "四"};

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

std::unique_ptr<QTextDocument> PaperDocument(const PrintedPaper &paper) {
    auto doc = std::make_unique<QTextDocument>();
    QFont font;
    font.setFamilies(printFonts());
    font.setPixelSize(kBodySize);
    doc->setDefaultFont(font);
    // The A4 text area in points (2 cm margins): the pages the PDF shows.
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(56.7, 56.7, 56.7, 56.7),
                             QPageLayout::Point);
    doc->setPageSize(layout.paintRect(QPageLayout::Point).size());
    doc->setDocumentMargin(0);
    Writer w(*doc);

    w.heading(QuestionsHeading(paper), false);
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
    return doc;
}

int WritePaperPdf(const PrintedPaper &paper, const QString &path) {
    const std::unique_ptr<QTextDocument> doc = PaperDocument(paper);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw KjksError(
            QStringLiteral("无法写入文件：%1\n详细信息：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    int pages = 0;
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(56.7, 56.7, 56.7, 56.7), QPageLayout::Point));
        writer.setResolution(300);
        writer.setTitle(QuestionsHeading(paper));
        writer.setCreator(QStringLiteral("kjks"));
        doc->print(&writer);
        pages = doc->pageCount();
    }
    if (!file.commit())
        throw KjksError(
            QStringLiteral("无法写入文件：%1\n详细信息：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return pages;
}
