#include "DocumentsPage.h"

#include "BankSession.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "RtfReader.h"
#include "TextFile.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int kButtonWidth = 153;
constexpr int kButtonHeight = 57;
constexpr int kMargin = 4;
// Space between the viewer's frame and the text, so that headings do not touch the border.
constexpr int kTextMargin = 10;

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

    connect(syllabusButton, &QPushButton::clicked, this, &DocumentsPage::showSyllabus);
    for (QPushButton *b : {guideButton, experienceButton, libraryButton, newsButton})
        connect(b, &QPushButton::clicked, this, [this, b] { showGuide(b); });
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
    viewer->moveCursor(QTextCursor::Start);
}
