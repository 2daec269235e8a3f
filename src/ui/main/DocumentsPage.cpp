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
    sBitBtn6 = makeButton("sBitBtn6", QStringLiteral("考试大纲"));
    sBitBtn7 = makeButton("sBitBtn7", QStringLiteral("报考指南"));
    sBitBtn8 = makeButton("sBitBtn8", QStringLiteral("过关经验"));
    sBitBtn9 = makeButton("sBitBtn9", QStringLiteral("考试文库"));
    sBitBtn10 = makeButton("sBitBtn10", QStringLiteral("考试资讯"));
    column->addStretch(1);
    row->addLayout(column);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    // Nothing is typed here; an undo history would only keep a second copy of every loaded document.
    RichEdit1->setUndoRedoEnabled(false);
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setLineWrapMode(QTextEdit::WidgetWidth);
    RichEdit1->document()->setDocumentMargin(kTextMargin);
    row->addWidget(RichEdit1, 1);

    connect(sBitBtn6, &QPushButton::clicked, this, &DocumentsPage::sBitBtn6Click);
    for (QPushButton *b : {sBitBtn7, sBitBtn8, sBitBtn9, sBitBtn10})
        connect(b, &QPushButton::clicked, this, [this, b] { sBitBtn7Click(b); });
}

QString DocumentsPage::SyllabusPath() {
    return docFolder() + bankSession()->GetOption(QStringLiteral("AGADA_DOC"));
}

QString DocumentsPage::GuidePath(const QString &caption) {
    return docFolder() + caption + QStringLiteral(".rtf");
}

void DocumentsPage::sBitBtn6Click() {
    Guarded([&] {
        RichEdit1->clear();
        loadIfPresent(SyllabusPath());
    });
}

void DocumentsPage::sBitBtn7Click(QAbstractButton *button) {
    Guarded([&] {
        RichEdit1->clear();
        loadIfPresent(GuidePath(button->text()));
    });
}

void DocumentsPage::EnterFromNavigation() {
    Guarded([&] {
        const QString path = SyllabusPath();
        if (RichEdit1->document()->isEmpty()) loadIfPresent(path);
    });
}

void DocumentsPage::loadIfPresent(const QString &path) {
    if (!QFileInfo(path).isFile()) return;
    const QByteArray bytes = ReadWholeFile(path);
    QTextDocument *doc = RichEdit1->document();
    // A damaged RTF shows what could be read; bytes that are not RTF at all are text. Plain text
    // goes straight into the document, so that no character format of an earlier document lingers.
    if (!LooksLikeRtf(bytes) || !LoadRtf(bytes, doc)) doc->setPlainText(DecodeTextFile(bytes));
    doc->setDocumentMargin(kTextMargin);
    RichEdit1->moveCursor(QTextCursor::Start);
}
