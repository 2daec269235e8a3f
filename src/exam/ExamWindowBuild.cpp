// The exam window's controls: header, answer card and legend, the question view, bottom bar and
// score panel, as the window is built.
#include "ExamWindow.h"

#include "BankSession.h"
#include "ClickableLabel.h"
#include "ExamEngine.h"
#include "ExamGeometry.h"
#include "ExamTimeStore.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "PaperQuestion.h"
#include "PaperSql.h"
#include "Pictures.h"
#include "PlainLabel.h"
#include "ResultDialog.h"
#include "ShapeControl.h"
#include "SqlError.h"
#include "StoredPaper.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace ExamGeometry;

namespace {

constexpr int kCountdownMs = 1000;
constexpr int kKeepEnabledMs = 500;

QString windowCaption() {
    return QStringLiteral("初级会计职称无纸化考试模拟系统");
}
QWidget *panel(QWidget *parent, const char *name, const QColor &colour = QColor()) {
    auto *w = new QWidget(parent);
    w->setObjectName(QString::fromLatin1(name));
    if (colour.isValid()) {
        w->setAutoFillBackground(true);
        QPalette p = w->palette();
        p.setColor(QPalette::Window, colour);
        w->setPalette(p);
    }
    return w;
}

// Shown under a multiple-choice question while one option is ticked, when the bank scores with
// partial credit.
QString TwoOptionsPrompt() {
    return QStringLiteral("多选题至少应选择两个选项。");
}

QLabel *plainLabel(QWidget *parent, const char *name, const QString &text = QString()) {
    return PlainLabel(parent, QString::fromLatin1(name), text);
}

QPixmap picture(const QString &file) {
    const QString beside = launchParameters().AppDir + QStringLiteral("images/") + file;
    if (QFileInfo::exists(beside)) {
        QPixmap p = LoadPicture(beside);
        if (!p.isNull()) return p;
    }
    return LoadPicture(QStringLiteral(":/exam/") + file);
}

// The fourth header: its picture with the fourth type's name written on it.
// The header picture in three pieces: the candidate block at the left, the remaining time and the
// hand-in button at the right edge, the title centred between them (shrunk to fit a narrow window),
// so that the time and "交卷" are always on screen.
class ExamBanner : public QLabel {
public:
    using QLabel::QLabel;

    // Where the right piece starts, in window coordinates.
    int rightPieceLeft() const { return width() - BannerRightPiece; }

protected:
    void paintEvent(QPaintEvent *) override {
        const QPixmap banner = pixmap();
        if (banner.isNull()) return;
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const int h = banner.height();
        const int rightFrom = qMax(0, banner.width() - BannerRightPiece);
        const int leftWidth = qMin(BannerLeftPiece, rightFrom);
        // The sky behind the pieces: one column of the picture between the title and the time box.
        p.drawPixmap(QRect(0, 0, width(), h), banner, QRect(qMax(0, rightFrom - 1), 0, 1, h));
        p.drawPixmap(QPoint(0, 0), banner, QRect(0, 0, leftWidth, h));
        const QRect middle(leftWidth, 0, rightFrom - leftWidth, h);
        const int gap = rightPieceLeft() - leftWidth;
        if (gap >= middle.width()) {
            p.drawPixmap(QPoint(leftWidth + (gap - middle.width()) / 2, 0), banner, middle);
        } else if (gap > 0) {
            const int scaledHeight = middle.height() * gap / qMax(1, middle.width());
            p.drawPixmap(QRect(leftWidth, (h - scaledHeight) / 2, gap, scaledHeight), banner, middle);
        }
        p.drawPixmap(QPoint(rightPieceLeft(), 0), banner, QRect(rightFrom, 0, banner.width() - rightFrom, h));
    }
};

class FourthHeader : public ClickableLabel {
public:
    using ClickableLabel::ClickableLabel;
    QString caption;

protected:
    void paintEvent(QPaintEvent *event) override {
        ClickableLabel::paintEvent(event);
        QPainter p(this);
        p.setFont(PixelFont(QStringLiteral("新宋体"), CardHeaderFontPx, true));
        p.drawText(rect().adjusted(9, 0, -24, 0), Qt::AlignLeft | Qt::AlignVCenter, caption);
    }
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction

ExamWindow::ExamWindow(Opening opening, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowMinimizeButtonHint),
      m_opening(opening) {
    setObjectName(QStringLiteral("ExamWindow"));
    setWindowTitle(windowCaption());
    setFont(PixelFont(QStringLiteral("新宋体"), WindowFontPx));
    setMinimumSize(MinWidth, MinHeight);
    setFocusPolicy(Qt::StrongFocus);
    // The design size where the screen has room, else the screen's room (never below the minimum).
    QSize size(ClientWidth, ClientHeight);
    if (QScreen *s = screen()) size = size.boundedTo(s->availableGeometry().size()).expandedTo(minimumSize());
    resize(size);
    if (QScreen *s = screen()) move(s->availableGeometry().center() - rect().center());

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    buildHeader();
    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    root->addLayout(body, 1);
    buildLeftColumn();
    body->addWidget(Panel2);
    buildMainArea();
    body->addWidget(sPanel1, 1);
    loadPictures();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kCountdownMs);
    connect(Timer1, &QTimer::timeout, this, &ExamWindow::Timer1Timer);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(kKeepEnabledMs);
    connect(Timer3, &QTimer::timeout, this, &ExamWindow::Timer3Timer);

    if (BankSession *data = bankSession())
        m_engine = std::make_unique<ExamEngine>(*data, examProfile(), launchParameters());
}

ExamWindow::~ExamWindow() = default;

void ExamWindow::buildHeader() {
    Panel1 = panel(this, "Panel1", HeaderSky());
    Panel1->setFixedHeight(HeaderHeight);
    imgBanner = new ExamBanner(Panel1);
    imgBanner->setObjectName(QStringLiteral("imgBanner"));
    imgBanner->setGeometry(0, 0, ClientWidth, HeaderHeight);
    imgBanner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lineHeader = new QFrame(Panel1);
    lineHeader->setObjectName(QStringLiteral("lineHeader"));
    lineHeader->setAutoFillBackground(true);
    QPalette linePalette = lineHeader->palette();
    linePalette.setColor(QPalette::Window, QColor(0x17, 0x57, 0xAD));
    lineHeader->setPalette(linePalette);
    lineHeader->setGeometry(0, HeaderHeight - HeaderLine, ClientWidth, HeaderLine);
    Image17 = new QLabel(Panel1);
    Image17->setObjectName(QStringLiteral("Image17"));
    Image17->setGeometry(PhotoRect);
    Image17->setScaledContents(true);
    lblTime = plainLabel(Panel1, "lblTime");
    lblTime->setGeometry(TimeRect);
    lblTime->setAlignment(Qt::AlignCenter);
    lblTime->setFont(PixelFont(QStringLiteral("新宋体"), TimeFontPx, true));
    Image4 = new ClickableLabel(Panel1);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image4->setGeometry(HandInRect);
    Image4->setCursor(Qt::PointingHandCursor);
    Image4->setToolTip(QStringLiteral("交卷"));
    connect(Image4, &ClickableLabel::clicked, this, &ExamWindow::sBitBtn1Click);
    sLabelFX1 = plainLabel(Panel1, "sLabelFX1");
    sLabelFX1->hide();
    Panel1->installEventFilter(this);
    layout()->addWidget(Panel1);
}

void ExamWindow::buildLeftColumn() {
    Panel2 = panel(this, "Panel2");
    Panel2->setFixedWidth(LeftWidth);
    zrShape1 = new ShapeControl(Panel2);
    zrShape1->setObjectName(QStringLiteral("zrShape1"));
    zrShape1->setAlign(ShapeControl::alClient);
    zrShape1->setSurfaceType(ShapeControl::stGradientFill);
    zrShape1->setFillDirection(ShapeControl::gdDown);
    zrShape1->setShadowOrient(ShapeControl::soNone);
    zrShape1->setOutlineStyle(ShapeControl::psClear);
    zrShape1->setOutlineWidth(0);
    zrShape1->setGradientToColor(ShapeColor(QPalette::Highlight));
    zrShape1->setBackColor(ShapeColor(QColor(Qt::white)));
    zrShape1->lower();

    auto *column = new QVBoxLayout(Panel2);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Panel8 = panel(Panel2, "Panel8", QColor(Qt::white));
    Panel9 = panel(Panel2, "Panel9", QColor(0xF0, 0xF0, 0xF0));
    Panel9->setFixedHeight(LegendHeight);
    column->addWidget(Panel8, 1);
    column->addWidget(Panel9);

    auto header = [&](const char *name, const QString &caption) {
        QWidget *strip = panel(Panel8, name, CardHeaderColour());
        strip->resize(LeftWidth, CardHeaderHeight);
        QLabel *l = plainLabel(strip, "", caption);
        l->setFont(PixelFont(QStringLiteral("新宋体"), CardHeaderFontPx, true));
        l->move(9, 10);
        l->adjustSize();
        return strip;
    };
    auto cells = [&](const char *name, int height) {
        QWidget *w = panel(Panel8, name, QColor(Qt::white));
        w->resize(LeftWidth, height);
        return w;
    };
    Panel21 = header("Panel21", QuestionTypeName(QuestionType::Single));
    Panel22 = cells("Panel22", CellsPanelHeight);
    Panel19 = header("Panel19", QuestionTypeName(QuestionType::Multiple));
    Panel20 = cells("Panel20", CellsPanelHeight);
    Panel17 = header("Panel17", QuestionTypeName(QuestionType::Judgement));
    Panel18 = cells("Panel18", CellsPanelHeight);
    Panel14 = panel(Panel8, "Panel14");
    Panel14->resize(LeftWidth, CardHeaderHeight);
    Image16 = new FourthHeader(Panel14);
    Image16->setObjectName(QStringLiteral("Image16"));
    Image16->setGeometry(0, 0, LeftWidth, CardHeaderHeight);
    Image16->setScaledContents(true);
    Image16->setCursor(Qt::PointingHandCursor);
    connect(Image16, &ClickableLabel::clicked, this, &ExamWindow::Image16Click);
    Panel16 = cells("Panel16", FourthCellsPanelHeight);
    stackCard({CellsPanelHeight, CellsPanelHeight, CellsPanelHeight, FourthCellsPanelHeight});
    buildLegend();

    // The second gradient shape sits on a panel that is never shown.
    Panel13 = panel(Panel2, "Panel13");
    Panel13->hide();
    zrShape2 = new ShapeControl(Panel13);
    zrShape2->setObjectName(QStringLiteral("zrShape2"));
    zrShape2->setAlign(ShapeControl::alClient);
    zrShape2->setSurfaceType(ShapeControl::stGradientFill);
    zrShape2->setFillDirection(ShapeControl::gdDown);
    zrShape2->setShadowOrient(ShapeControl::soNone);
    zrShape2->setOutlineStyle(ShapeControl::psClear);
    zrShape2->setOutlineWidth(0);
    zrShape2->setGradientToColor(ShapeColor(QPalette::Base));
    zrShape2->setBackColor(ShapeColor(QPalette::Base));
}

// What the cell colours mean, under the card.
void ExamWindow::buildLegend() {
    struct Swatch {
        const char *caption;
        QPoint text, swatch;
        QColor colour;
    };
    const Swatch swatches[5] = {{"当前：", {6, 8}, {42, 6}, CurrentColour()},
                                {"标记：", {6, 32}, {42, 30}, MarkedColour()},
                                {"已做：", {76, 8}, {112, 6}, DoneColour()},
                                {"未做：", {76, 32}, {112, 30}, NotDoneColour()},
                                {"未看：", {146, 8}, {182, 6}, NotVisitedColour()}};
    for (const Swatch &s : swatches) {
        QLabel *l = plainLabel(Panel9, "", QString::fromUtf8(s.caption));
        l->move(s.text);
        l->adjustSize();
        auto *shape = new ShapeControl(Panel9);
        shape->setGeometry(QRect(s.swatch, QSize(LegendSwatchWidth, LegendSwatchHeight)));
        shape->setBackColor(ShapeColor(s.colour));
        shape->setOutlineColor(ShapeColor(CellOutline()));
    }
}

// Header strip and cells panel of each section, from the top; what does not fit is cut off.
void ExamWindow::stackCard(const std::array<int, 4> &panelHeights) {
    QWidget *strips[4] = {Panel21, Panel19, Panel17, Panel14};
    QWidget *cellPanels[4] = {Panel22, Panel20, Panel18, Panel16};
    int top = 0;
    for (int s = 0; s < 4; ++s) {
        strips[s]->setGeometry(0, top, LeftWidth, CardHeaderHeight);
        top += CardHeaderHeight;
        cellPanels[s]->setGeometry(0, top, LeftWidth, panelHeights[size_t(s)]);
        top += panelHeights[size_t(s)];
    }
}

void ExamWindow::buildMainArea() {
    sPanel1 = panel(this, "sPanel1", MainAreaColour());
    auto *area = new QVBoxLayout(sPanel1);
    area->setContentsMargins(0, 0, 0, 0);
    area->setSpacing(0);
    auto *upper = new QHBoxLayout;
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setSpacing(0);
    buildPages();
    upper->addWidget(PageControl1, 1);
    buildScorePanel();
    upper->addWidget(Panel12);
    area->addLayout(upper, 1);
    buildBottomBar();
    area->addWidget(sPanel3);
}

void ExamWindow::buildPages() {
    m_view = new QuestionView(
        QuestionLook::Exam(),
        {QuestionView::ChoicePage, QuestionView::OperationPage, QuestionView::AnalysisPage, QuestionView::CasePage},
        sPanel1);
    PageControl1 = m_view;
    TabSheet1 = m_view->page(QuestionView::ChoicePage);
    TabSheet2 = m_view->page(QuestionView::OperationPage);
    TabSheet3 = m_view->page(QuestionView::AnalysisPage);
    TabSheet4 = m_view->page(QuestionView::CasePage);
    Memo1 = m_view->stemBox;
    sPanel2 = m_view->optionArea;
    Memo3 = m_view->operationBox;
    ScrollBox2 = m_view->analysisArea;
    Label10 = m_view->analysisStem;
    Image2 = m_view->analysisPicture;
    Label11 = m_view->analysisExtra;
    ScrollBox1 = m_view->caseStemArea;
    Label2 = m_view->caseStem;
    Image3 = m_view->casePicture;
    Label3 = m_view->caseExtra;
    sPanel5 = m_view->subQuestionPanel;
    const std::pair<QObject *, const char *> names[] = {{PageControl1, "PageControl1"},
                                                        {TabSheet1, "TabSheet1"},
                                                        {TabSheet2, "TabSheet2"},
                                                        {TabSheet3, "TabSheet3"},
                                                        {TabSheet4, "TabSheet4"},
                                                        {Memo1, "Memo1"},
                                                        {sPanel2, "sPanel2"},
                                                        {Memo3, "Memo3"},
                                                        {ScrollBox2, "ScrollBox2"},
                                                        {Label10, "Label10"},
                                                        {Image2, "Image2"},
                                                        {Label11, "Label11"},
                                                        {ScrollBox1, "ScrollBox1"},
                                                        {Label2, "Label2"},
                                                        {Image3, "Image3"},
                                                        {Label3, "Label3"},
                                                        {sPanel5, "sPanel5"}};
    for (const auto &[object, name] : names)
        object->setObjectName(QString::fromLatin1(name));
    connect(m_view, &QuestionView::answerGiven, this, [this] {
        switch (CurrentSection) {
        case QuestionType::Single:
            DXTJDAClick();
            break;
        case QuestionType::Multiple:
            DXTHDAClick();
            break;
        case QuestionType::Judgement:
            PDTJDAClick();
            break;
        case QuestionType::Fourth:
            ALFXTJDAClick();
            break;
        }
    });
    // Under partial credit, shown under a multiple-choice question while one option is ticked.
    lblTwoOptions = plainLabel(sPanel2, "lblTwoOptions", TwoOptionsPrompt());
    lblTwoOptions->setFont(PointFont(QStringLiteral("宋体"), OptionFontPt));
    lblTwoOptions->setStyleSheet(QStringLiteral("color: #c00000"));
    lblTwoOptions->adjustSize();
    lblTwoOptions->hide();
}

void ExamWindow::buildBottomBar() {
    sPanel3 = panel(sPanel1, "sPanel3", QColor(0xE4, 0xF0, 0xFB));
    sPanel3->setFixedHeight(BottomBarHeight);
    sCheckBox1 = new QCheckBox(QStringLiteral("标记本题"), sPanel3);
    sCheckBox1->setObjectName(QStringLiteral("sCheckBox1"));
    sCheckBox1->setGeometry(17, 20, 74, 18);
    sCheckBox1->setFocusPolicy(Qt::NoFocus);
    sCheckBox1->setToolTip(QStringLiteral("标记本题，稍后检查 (M)"));
    // Only the learner's click writes; settings by program do not.
    connect(sCheckBox1, &QCheckBox::clicked, this, &ExamWindow::sCheckBox1Click);

    auto button = [&](const char *name, const QString &caption, const QRect &geometry, const QString &tip) {
        auto *b = new QPushButton(caption, sPanel3);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolTip(tip);
        return b;
    };
    sBitBtn8 =
        button("sBitBtn8", QStringLiteral("上一题"), QRect(102, 12, 90, 32), QStringLiteral("上一题 (← 或 PageUp)"));
    sBitBtn9 =
        button("sBitBtn9", QStringLiteral("下一题"), QRect(198, 12, 90, 32), QStringLiteral("下一题 (→ 或 PageDown)"));
    sBitBtn11 =
        button("sBitBtn11", QStringLiteral("本题解析"), QRect(294, 12, 90, 32), QStringLiteral("本题的评分和解析"));
    sBitBtn13 = button("sBitBtn13", QStringLiteral("计算器"), QRect(386, 12, 87, 32), QStringLiteral("打开计算器"));
    sBitBtn12 =
        button("sBitBtn12", QStringLiteral("视频演示"), QRect(486, 12, 90, 32), QStringLiteral("本题的操作演示"));
    sButton6 = button("sButton6", QStringLiteral("返回考试界面"), QRect(744, 12, 101, 31), QString());
    sBitBtn11->hide();
    sBitBtn12->hide();
    sButton6->hide();
    sButton6->setEnabled(false);
    connect(sBitBtn8, &QPushButton::clicked, this, &ExamWindow::sBitBtn8Click);
    connect(sBitBtn9, &QPushButton::clicked, this, &ExamWindow::sBitBtn9Click);
    connect(sBitBtn11, &QPushButton::clicked, this, &ExamWindow::sBitBtn11Click);
    connect(sBitBtn13, &QPushButton::clicked, this, &ExamWindow::sBitBtn13Click);
    connect(sBitBtn12, &QPushButton::clicked, this, &ExamWindow::sBitBtn12Click);
}

void ExamWindow::buildScorePanel() {
    Panel12 = panel(sPanel1, "Panel12", QColor(Qt::white));
    Panel12->setFixedWidth(ScorePanelWidth);
    auto *column = new QVBoxLayout(Panel12);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    QWidget *heading = panel(Panel12, "Panel23", CardHeaderColour());
    heading->setFixedHeight(ScoreHeadingHeight);
    QLabel *title = plainLabel(heading, "Label24", QStringLiteral("成绩单"));
    title->setFont(PixelFont(QStringLiteral("新宋体"), ScoreFontPx, true));
    title->move(64, 3);
    title->adjustSize();
    Label25 = plainLabel(heading, "Label25", QStringLiteral("0"));
    Label25->setFont(PixelFont(QStringLiteral("新宋体"), ScoreFontPx, true));
    Label25->setGeometry(152, 0, ScorePanelWidth - 152, ScoreHeadingHeight);
    Label25->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    column->addWidget(heading);

    StringGrid1 = new QTableWidget(6, 4, Panel12);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setFixedHeight(ScoreGridHeight);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid1->setFocusPolicy(Qt::NoFocus);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The type names ("不定项选择题") need the widest column; the grid's font is a pixel smaller.
    StringGrid1->setFont(PixelFont(QStringLiteral("新宋体"), WindowFontPx - 1));
    StringGrid1->horizontalHeader()->setMinimumSectionSize(20);
    const int widths[4] = {100, 40, 48, 48};
    for (int c = 0; c < 4; ++c)
        StringGrid1->setColumnWidth(c, widths[c]);
    for (int r = 0; r < 6; ++r)
        StringGrid1->setRowHeight(r, ScoreGridRowHeight + 2);
    column->addWidget(StringGrid1);

    DBGrid1 = new QTableWidget(0, 5, Panel12);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setHorizontalHeaderLabels({QStringLiteral("题号"), QStringLiteral("题型"), QStringLiteral("答案"),
                                        QStringLiteral("考生"), QStringLiteral("得分")});
    // Narrow columns in a pixel-smaller font, so that the five fit beside the scroll bar; an answer
    // too long for its column wraps instead of being cut.
    DBGrid1->setFont(PixelFont(QStringLiteral("新宋体"), WindowFontPx - 1));
    DBGrid1->horizontalHeader()->setMinimumSectionSize(20);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setWordWrap(true);
    DBGrid1->setTextElideMode(Qt::ElideNone);
    const int listWidths[5] = {26, 80, 46, 46, 36};
    for (int c = 0; c < 5; ++c)
        DBGrid1->setColumnWidth(c, listWidths[c]);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->verticalHeader()->setDefaultSectionSize(20);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setFocusPolicy(Qt::NoFocus);
    DBGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(DBGrid1, &QTableWidget::cellClicked, this, &ExamWindow::DBGrid1CellClick);
    column->addWidget(DBGrid1, 1);
    Panel12->hide();
}

void ExamWindow::loadPictures() {
    imgBanner->setPixmap(picture(QStringLiteral("exam_banner.png")));
    Image17->setPixmap(picture(QStringLiteral("exam_photo.png")));
    Image16->setPixmap(picture(QStringLiteral("exam_fourth.png")));
    const std::pair<QPushButton *, const char *> icons[] = {{sBitBtn8, "exam_prev.png"},
                                                            {sBitBtn9, "exam_next.png"},
                                                            {sBitBtn11, "exam_explain.png"},
                                                            {sBitBtn13, "exam_calc.png"},
                                                            {sBitBtn12, "exam_video.png"}};
    for (const auto &[b, file] : icons) {
        const QPixmap p = picture(QString::fromLatin1(file));
        if (!p.isNull()) b->setIcon(QIcon(p));
    }
}

bool ExamWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Resize && watched == Panel1) {
        lineHeader->setGeometry(0, HeaderHeight - HeaderLine, Panel1->width(), HeaderLine);
        // The banner fills the header; the time and the hand-in area follow its right piece.
        imgBanner->setGeometry(0, 0, Panel1->width(), HeaderHeight);
        const int right = static_cast<ExamBanner *>(imgBanner)->rightPieceLeft();
        lblTime->move(right + TimeRect.left() - BannerRightPieceStart, TimeRect.top());
        Image4->move(right + HandInRect.left() - BannerRightPieceStart, HandInRect.top());
    }
    return QDialog::eventFilter(watched, event);
}

void ExamWindow::setFourthHeaderCaption(const QString &caption) {
    static_cast<FourthHeader *>(Image16)->caption = caption;
    Image16->update();
}
