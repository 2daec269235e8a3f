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
    standardScoreCaption =
        label(this, "standardScoreCaption", QStringLiteral("本题标准分："), geo::CaptionLeft, geo::Row1);
    standardScoreLabel = label(this, "standardScoreLabel", placeholder, geo::ValueLeft, geo::Row1);
    standardAnswerCaption =
        label(this, "standardAnswerCaption", QStringLiteral("标准答案："), geo::CaptionLeft, geo::Row2);
    standardAnswerLabel = label(this, "standardAnswerLabel", placeholder, geo::ValueLeft, geo::Row2);
    answerCaption = label(this, "answerCaption", QStringLiteral("考生答案："), geo::CaptionLeft, geo::Row3);
    answerLabel = label(this, "answerLabel", placeholder, geo::ValueLeft, geo::Row3);
    scoreCaption = label(this, "scoreCaption", QStringLiteral("本题得分："), geo::CaptionLeft, geo::Row4);
    scoreLabel = label(this, "scoreLabel", placeholder, geo::ValueLeft, geo::Row4);

    verdictPicture = new QLabel(this);
    verdictPicture->setObjectName(QStringLiteral("verdictPicture"));
    verdictPicture->setGeometry(geo::ImageLeft, geo::ImageTop, geo::ImageWidth, geo::ImageHeight);
    verdictPicture->setAlignment(Qt::AlignCenter);
    verdictPicture->setTextFormat(Qt::PlainText);
    verdictPicture->setStyleSheet(QStringLiteral("color: #d46b08"));
    verdictPicture->setFont(PixelFont(QStringLiteral("微软雅黑"), 24, true));

    explanationGroup = new QGroupBox(QStringLiteral("解析"), this);
    explanationGroup->setObjectName(QStringLiteral("explanationGroup"));
    explanationGroup->setGeometry(geo::GroupLeft, geo::GroupTop, geo::GroupWidth, geo::GroupHeight);
    explanationBox = new QPlainTextEdit(explanationGroup);
    explanationBox->setObjectName(QStringLiteral("explanationBox"));
    explanationBox->setReadOnly(true);
    explanationBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    explanationBox->setFont(PixelFont(QStringLiteral("宋体"), geo::MemoFontPx));
    auto *groupLayout = new QVBoxLayout(explanationGroup);
    groupLayout->setContentsMargins(6, 4, 6, 6);
    groupLayout->addWidget(explanationBox);

    hintLabel = label(this, "hintLabel", QStringLiteral("操作提示：继续做题本窗口将自动关闭。"), geo::HintLeft,
                      geo::BottomRow + 4);

    confirmButton = new QPushButton(QStringLiteral("确认"), this);
    confirmButton->setObjectName(QStringLiteral("confirmButton"));
    confirmButton->setGeometry(geo::ButtonLeft, geo::BottomRow, geo::ButtonWidth, geo::ButtonHeight);
    confirmButton->setDefault(true);
    connect(confirmButton, &QPushButton::clicked, this, &QDialog::close);
}

void ResultDialog::fill(const QString &payload) {
    for (QLabel *l : {standardScoreLabel, standardAnswerLabel, answerLabel, scoreLabel})
        setValue(l, QString());
    explanationBox->clear();

    const ResultView view = ParseResultPayload(payload);
    setWindowTitle(view.caption);
    setValue(standardScoreLabel, view.standardScore);
    setValue(standardAnswerLabel, view.standardAnswer);
    setValue(answerLabel, view.answer);
    setValue(scoreLabel, view.score);
    explanationBox->setPlainText(view.explanationLines.join(QLatin1Char('\n')));
    if (view.partlyRight) {
        // No picture says "partly": the words do, in the picture's place.
        m_pictureFile.clear();
        verdictPicture->setPixmap(QPixmap());
        verdictPicture->setText(QStringLiteral("部分正确"));
        return;
    }
    verdictPicture->setText(QString());
    showPicture(launchParameters().AppDir +
                (view.right ? QStringLiteral("images/yes.png") : QStringLiteral("images/wrong.png")));
}

// A missing or unreadable picture leaves the place empty; the result itself still shows.
void ResultDialog::showPicture(const QString &file) {
    m_pictureFile = file;
    QPixmap picture = LoadPicture(file);
    const QSizeF shown = picture.deviceIndependentSize();
    if (!picture.isNull() && (shown.width() > verdictPicture->width() || shown.height() > verdictPicture->height()))
        picture = picture.scaled(verdictPicture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    verdictPicture->setPixmap(picture);
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
    if (!payload.isEmpty()) g_dialog->fill(payload);
    g_dialog->show();
    g_dialog->raise();
    g_dialog->activateWindow();
}
