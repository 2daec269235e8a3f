#include "ResultDialog.h"

#include "Fonts.h"
#include "LaunchParameters.h"
#include "Pictures.h"
#include "ResultPayload.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Geometry of the dialog (client area), in pixels at 96 dpi.
namespace geo {
constexpr int Width = 560, Height = 330;
constexpr int CaptionLeft = 32, ValueLeft = 128;
constexpr int Row1 = 16, Row2 = 48, Row3 = 80, Row4 = 112;
constexpr int ImageLeft = 395, ImageTop = 8, ImageWidth = 137, ImageHeight = 125;
constexpr int GroupLeft = 32, GroupTop = 144, GroupWidth = 505, GroupHeight = 145;
constexpr int HintLeft = 32, BottomRow = 296;
constexpr int ButtonLeft = 461, ButtonWidth = 75, ButtonHeight = 25;
constexpr int FontPx = 12, MemoFontPx = 15;
} // namespace geo

QPointer<ResultDialog> g_dialog;

QLabel *label(QWidget *parent, const char *name, const QString &text, int left, int top) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText); // bank texts (the standard answer among them) are never markup
    l->move(left, top);
    l->adjustSize();
    return l;
}

void setValue(QLabel *l, const QString &text) {
    l->setText(text);
    l->adjustSize();
}

} // namespace

ResultDialog::ResultDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("ResultDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("计算分析"));
    setFont(PixelFont(QStringLiteral("新宋体"), geo::FontPx));
    setFixedSize(geo::Width, geo::Height);

    const QString placeholder = QStringLiteral("——");
    Label1 = label(this, "Label1", QStringLiteral("本题标准分："), geo::CaptionLeft, geo::Row1);
    Label2 = label(this, "Label2", placeholder, geo::ValueLeft, geo::Row1);
    Label3 = label(this, "Label3", QStringLiteral("标准答案："), geo::CaptionLeft, geo::Row2);
    Label4 = label(this, "Label4", placeholder, geo::ValueLeft, geo::Row2);
    Label5 = label(this, "Label5", QStringLiteral("考生答案："), geo::CaptionLeft, geo::Row3);
    Label6 = label(this, "Label6", placeholder, geo::ValueLeft, geo::Row3);
    Label7 = label(this, "Label7", QStringLiteral("本题得分："), geo::CaptionLeft, geo::Row4);
    Label8 = label(this, "Label8", placeholder, geo::ValueLeft, geo::Row4);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(geo::ImageLeft, geo::ImageTop, geo::ImageWidth, geo::ImageHeight);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setTextFormat(Qt::PlainText);
    Image1->setStyleSheet(QStringLiteral("color: #d46b08"));
    Image1->setFont(PixelFont(QStringLiteral("微软雅黑"), 24, true));

    GroupBox1 = new QGroupBox(QStringLiteral("解析"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(geo::GroupLeft, geo::GroupTop, geo::GroupWidth, geo::GroupHeight);
    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(PixelFont(QStringLiteral("宋体"), geo::MemoFontPx));
    auto *groupLayout = new QVBoxLayout(GroupBox1);
    groupLayout->setContentsMargins(6, 4, 6, 6);
    groupLayout->addWidget(Memo1);

    Label9 = label(this, "Label9", QStringLiteral("操作提示：继续做题本窗口将自动关闭。"), geo::HintLeft,
                   geo::BottomRow + 4);

    sButton1 = new QPushButton(QStringLiteral("确认"), this);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setGeometry(geo::ButtonLeft, geo::BottomRow, geo::ButtonWidth, geo::ButtonHeight);
    sButton1->setDefault(true);
    connect(sButton1, &QPushButton::clicked, this, &ResultDialog::sButton1Click);
}

void ResultDialog::sButton1Click() {
    close();
}

void ResultDialog::Fill(const QString &payload) {
    for (QLabel *l : {Label2, Label4, Label6, Label8})
        setValue(l, QString());
    Memo1->clear();

    const ResultView view = ParseResultPayload(payload);
    setWindowTitle(view.caption);
    setValue(Label2, view.standardScore);
    setValue(Label4, view.standardAnswer);
    setValue(Label6, view.answer);
    setValue(Label8, view.score);
    Memo1->setPlainText(view.explanationLines.join(QLatin1Char('\n')));
    if (view.partlyRight) {
        // No picture says "partly": the words do, in the picture's place.
        m_pictureFile.clear();
        Image1->setPixmap(QPixmap());
        Image1->setText(QStringLiteral("部分正确"));
        return;
    }
    Image1->setText(QString());
    showPicture(launchParameters().AppDir +
                (view.right ? QStringLiteral("images/yes.png") : QStringLiteral("images/wrong.png")));
}

// A missing or unreadable picture leaves the place empty; the result itself still shows.
void ResultDialog::showPicture(const QString &file) {
    m_pictureFile = file;
    QPixmap picture = LoadPicture(file);
    const QSizeF shown = picture.deviceIndependentSize();
    if (!picture.isNull() && (shown.width() > Image1->width() || shown.height() > Image1->height()))
        picture = picture.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Image1->setPixmap(picture);
}

ResultDialog *resultDialog() {
    return g_dialog.data();
}

void ShowResultDialog(const QString &payload) {
    // The dialog belongs to the window that is running modally (the practice or the exam window), so
    // that it stays usable and in front of it; it closes with that window at the latest.
    QWidget *owner = QApplication::activeModalWidget();
    if (g_dialog && g_dialog->parentWidget() != owner && g_dialog.data() != owner) {
        const QPoint at = g_dialog->pos();
        g_dialog->setParent(owner, g_dialog->windowFlags());
        g_dialog->move(at);
    }
    if (!g_dialog) g_dialog = new ResultDialog(owner);
    if (!payload.isEmpty()) g_dialog->Fill(payload);
    g_dialog->show();
    g_dialog->raise();
    g_dialog->activateWindow();
}
