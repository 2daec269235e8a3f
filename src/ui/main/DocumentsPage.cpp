#include "DocumentsPage.h"

#include "BankSession.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "RtfReader.h"
#include "TextFile.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kButtonWidth = 153;
constexpr int kButtonHeight = 57;
constexpr int kMargin = 4;
// Space between the viewer's frame and the text, so that headings do not touch the border.
constexpr int kTextMargin = 10;

// Multiplies the size of every piece of text by `ratio`; sizes in points and in pixels alike.
void scaleText(QTextDocument *document, qreal ratio) {
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            QFont font = format.font();
            if (font.pointSizeF() > 0)
                font.setPointSizeF(font.pointSizeF() * ratio);
            else if (font.pixelSize() > 0)
                font.setPixelSize(std::max(1, qRound(font.pixelSize() * ratio)));
            else
                continue;
            format.setFont(font, QTextCharFormat::FontPropertiesSpecifiedOnly);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    cursor.endEditBlock();
}

QString docFolder() {
    return launchParameters().AppDir + QStringLiteral("doc/");
}

} // namespace

DocumentsPage::DocumentsPage(QWidget *parent) : QWidget(parent) {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    row->setSpacing(kMargin);

    auto *column = new QVBoxLayout;
    column->setSpacing(kMargin);
    auto makeButton = [&](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFixedSize(kButtonWidth, kButtonHeight);
        b->setCursor(Qt::PointingHandCursor);
        QFont f = b->font();
        f.setPixelSize(16);
        b->setFont(f);
        column->addWidget(b);
        return b;
    };
    syllabusButton = makeButton("syllabusButton", QStringLiteral("考试大纲"));
    guideButton = makeButton("guideButton", QStringLiteral("报考指南"));
    experienceButton = makeButton("experienceButton", QStringLiteral("过关经验"));
    libraryButton = makeButton("libraryButton", QStringLiteral("考试文库"));
    newsButton = makeButton("newsButton", QStringLiteral("考试资讯"));
    column->addStretch(1);
    row->addLayout(column);

    viewer = new QTextEdit(this);
    viewer->setObjectName(QStringLiteral("viewer"));
    viewer->setReadOnly(true);
    viewer->setAccessibleName(QStringLiteral("文档内容"));
    // Nothing is typed here; an undo history would only keep a second copy of every loaded document.
    viewer->setUndoRedoEnabled(false);
    viewer->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    viewer->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewer->setLineWrapMode(QTextEdit::WidgetWidth);
    viewer->document()->setDocumentMargin(kTextMargin);
    row->addWidget(viewer, 1);

    // Ctrl and the wheel zoom the read-only viewer by themselves; the keys do the same, and Ctrl+0
    // goes back to the size the document was written in.
    const std::pair<QKeySequence, int> zoomKeys[] = {{QKeySequence::ZoomIn, 1},
                                                     {QKeySequence(QStringLiteral("Ctrl+=")), 1},
                                                     {QKeySequence::ZoomOut, -1},
                                                     {QKeySequence(QStringLiteral("Ctrl+0")), 0}};
    for (const auto &[keys, step] : zoomKeys) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { zoom(step); });
    }

    viewer->viewport()->installEventFilter(this);

    connect(syllabusButton, &QPushButton::clicked, this, &DocumentsPage::showSyllabus);
    for (QPushButton *b : {guideButton, experienceButton, libraryButton, newsButton})
        connect(b, &QPushButton::clicked, this, [this, b] { showGuide(b); });
}

bool DocumentsPage::eventFilter(QObject *watched, QEvent *event) {
    if (watched == viewer->viewport() && event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (wheel->angleDelta().y() != 0) zoom(wheel->angleDelta().y() > 0 ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The documents set their own font sizes, so a zoom scales every piece of text by the same factor
// (10 % a step), and going back divides by the factor reached.
void DocumentsPage::zoom(int step) {
    const int target = step == 0 ? 0 : std::clamp(m_zoom + step, -4, 12);
    if (target == m_zoom) return;
    const qreal ratio = std::pow(1.1, target - m_zoom);
    m_zoom = target;
    scaleText(viewer->document(), ratio);
}

QString DocumentsPage::SyllabusPath() {
    return docFolder() + bankSession()->GetOption(QStringLiteral("AGADA_DOC"));
}

QString DocumentsPage::GuidePath(const QString &caption) {
    return docFolder() + caption + QStringLiteral(".rtf");
}

void DocumentsPage::showSyllabus() {
    Guarded([&] {
        viewer->clear();
        loadIfPresent(SyllabusPath());
    });
}

void DocumentsPage::showGuide(QAbstractButton *button) {
    Guarded([&] {
        viewer->clear();
        loadIfPresent(GuidePath(button->text()));
    });
}

void DocumentsPage::EnterFromNavigation() {
    Guarded([&] {
        const QString path = SyllabusPath();
        if (viewer->document()->isEmpty()) loadIfPresent(path);
    });
}

void DocumentsPage::loadIfPresent(const QString &path) {
    if (!QFileInfo(path).isFile()) return;
    const QByteArray bytes = ReadWholeFile(path);
    QTextDocument *doc = viewer->document();
    // A damaged RTF shows what could be read; bytes that are not RTF at all are text. Plain text
    // goes straight into the document, so that no character format of an earlier document lingers.
    if (!LooksLikeRtf(bytes) || !LoadRtf(bytes, doc)) doc->setPlainText(DecodeTextFile(bytes));
    doc->setDocumentMargin(kTextMargin);
    // A plain text takes the viewer's font, which is given a size so that it zooms too.
    if (m_zoom != 0) scaleText(doc, std::pow(1.1, m_zoom));
    viewer->moveCursor(QTextCursor::Start);
}
