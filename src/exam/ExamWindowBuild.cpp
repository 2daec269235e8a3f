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

// The fourth header: its picture with the fourth type's name written on it.
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
    body->addWidget(leftColumn);
    buildMainArea();
    body->addWidget(mainArea, 1);
    loadPictures();

    countdownTimer = new QTimer(this);
    countdownTimer->setObjectName(QStringLiteral("countdownTimer"));
    countdownTimer->setInterval(kCountdownMs);
    connect(countdownTimer, &QTimer::timeout, this, &ExamWindow::tickCountdown);
    keepEnabledTimer = new QTimer(this);
    keepEnabledTimer->setObjectName(QStringLiteral("keepEnabledTimer"));
    keepEnabledTimer->setInterval(kKeepEnabledMs);
    connect(keepEnabledTimer, &QTimer::timeout, this, &ExamWindow::keepEnabled);

    if (BankSession *data = bankSession())
        m_engine = std::make_unique<ExamEngine>(*data, examProfile(), launchParameters());
}

ExamWindow::~ExamWindow() = default;

void ExamWindow::buildHeader() {
    headerPanel = panel(this, "headerPanel", HeaderSky());
    headerPanel->setFixedHeight(HeaderHeight);
    banner = new ExamBanner(headerPanel);
    banner->setObjectName(QStringLiteral("banner"));
    banner->setGeometry(0, 0, ClientWidth, HeaderHeight);
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    headerLine = new QFrame(headerPanel);
    headerLine->setObjectName(QStringLiteral("headerLine"));
    headerLine->setAutoFillBackground(true);
    QPalette linePalette = headerLine->palette();
    linePalette.setColor(QPalette::Window, QColor(0x17, 0x57, 0xAD));
    headerLine->setPalette(linePalette);
    headerLine->setGeometry(0, HeaderHeight - HeaderLine, ClientWidth, HeaderLine);
    candidatePhoto = new QLabel(headerPanel);
    candidatePhoto->setObjectName(QStringLiteral("candidatePhoto"));
    candidatePhoto->setGeometry(PhotoRect);
    candidatePhoto->setScaledContents(true);
    countdownLabel = plainLabel(headerPanel, "countdownLabel");
    countdownLabel->setGeometry(TimeRect);
    countdownLabel->setAlignment(Qt::AlignCenter);
    countdownLabel->setFont(PixelFont(QStringLiteral("新宋体"), TimeFontPx, true));
    handInArea = new ClickableLabel(headerPanel);
    handInArea->setObjectName(QStringLiteral("handInArea"));
    handInArea->setGeometry(HandInRect);
    handInArea->setCursor(Qt::PointingHandCursor);
    handInArea->setToolTip(QStringLiteral("交卷"));
    // Reached with Tab and handed in with Enter as with a click; a screen reader says what it is.
    handInArea->setFocusPolicy(Qt::StrongFocus);
    handInArea->setAccessibleName(QStringLiteral("交卷"));
    countdownLabel->setAccessibleName(QStringLiteral("剩余时间"));
    connect(handInArea, &ClickableLabel::clicked, this, &ExamWindow::requestHandIn);
    subjectTitleLabel = plainLabel(headerPanel, "subjectTitleLabel");
    subjectTitleLabel->hide();
    headerPanel->installEventFilter(this);
    layout()->addWidget(headerPanel);
}

namespace {
// A shape filling its parent with a gradient downwards and no outline.
ShapeControl *gradientShape(QWidget *parent, const char *name, const ShapeColor &to, const ShapeColor &back) {
    auto *shape = new ShapeControl(parent);
    shape->setObjectName(QString::fromLatin1(name));
    shape->setAlign(ShapeControl::alClient);
    shape->setSurfaceType(ShapeControl::stGradientFill);
    shape->setFillDirection(ShapeControl::gdDown);
    shape->setShadowOrient(ShapeControl::soNone);
    shape->setOutlineStyle(ShapeControl::psClear);
    shape->setOutlineWidth(0);
    shape->setGradientToColor(to);
    shape->setBackColor(back);
    return shape;
}
} // namespace

void ExamWindow::buildLeftColumn() {
    leftColumn = panel(this, "leftColumn");
    leftColumn->setFixedWidth(LeftWidth);
    cardGradient =
        gradientShape(leftColumn, "cardGradient", ShapeColor(QPalette::Highlight), ShapeColor(QColor(Qt::white)));
    cardGradient->lower();

    auto *column = new QVBoxLayout(leftColumn);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    cardPanel = panel(leftColumn, "cardPanel", QColor(Qt::white));
    legendPanel = panel(leftColumn, "legendPanel", QColor(0xF0, 0xF0, 0xF0));
    legendPanel->setFixedHeight(LegendHeight);
    column->addWidget(cardPanel, 1);
    column->addWidget(legendPanel);
    buildCard();
    buildLegend();

    // The second gradient shape sits on a panel that is never shown.
    hiddenGradientPanel = panel(leftColumn, "hiddenGradientPanel");
    hiddenGradientPanel->hide();
    hiddenGradient =
        gradientShape(hiddenGradientPanel, "hiddenGradient", ShapeColor(QPalette::Base), ShapeColor(QPalette::Base));
}

// The card's header strip and cells panel of each section; the cells come with the paper.
void ExamWindow::buildCard() {
    auto header = [&](const char *name, const QString &caption) {
        QWidget *strip = panel(cardPanel, name, CardHeaderColour());
        strip->resize(LeftWidth, CardHeaderHeight);
        QLabel *l = plainLabel(strip, "", caption);
        l->setFont(PixelFont(QStringLiteral("新宋体"), CardHeaderFontPx, true));
        l->move(9, 10);
        l->adjustSize();
        return strip;
    };
    auto cells = [&](const char *name, int height) {
        QWidget *w = panel(cardPanel, name, QColor(Qt::white));
        w->resize(LeftWidth, height);
        return w;
    };
    singleHeader = header("singleHeader", QuestionTypeName(QuestionType::Single));
    singleCells = cells("singleCells", CellsPanelHeight);
    multipleHeader = header("multipleHeader", QuestionTypeName(QuestionType::Multiple));
    multipleCells = cells("multipleCells", CellsPanelHeight);
    judgementHeader = header("judgementHeader", QuestionTypeName(QuestionType::Judgement));
    judgementCells = cells("judgementCells", CellsPanelHeight);
    fourthHeaderPanel = panel(cardPanel, "fourthHeaderPanel");
    fourthHeaderPanel->resize(LeftWidth, CardHeaderHeight);
    fourthHeader = new FourthHeader(fourthHeaderPanel);
    fourthHeader->setObjectName(QStringLiteral("fourthHeader"));
    fourthHeader->setGeometry(0, 0, LeftWidth, CardHeaderHeight);
    fourthHeader->setScaledContents(true);
    fourthHeader->setCursor(Qt::PointingHandCursor);
    connect(fourthHeader, &ClickableLabel::clicked, this, &ExamWindow::showFourthSection);
    fourthCells = cells("fourthCells", FourthCellsPanelHeight);
    stackCard({CellsPanelHeight, CellsPanelHeight, CellsPanelHeight, FourthCellsPanelHeight});
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
        QLabel *l = plainLabel(legendPanel, "", QString::fromUtf8(s.caption));
        l->move(s.text);
        l->adjustSize();
        auto *shape = new ShapeControl(legendPanel);
        shape->setGeometry(QRect(s.swatch, QSize(LegendSwatchWidth, LegendSwatchHeight)));
        shape->setBackColor(ShapeColor(s.colour));
        shape->setOutlineColor(ShapeColor(CellOutline()));
    }
}

// Header strip and cells panel of each section, from the top; what does not fit is cut off. A
// section without a panel (height 0) is not on the paper: the next one moves up into its place.
void ExamWindow::stackCard(const std::array<int, 4> &panelHeights) {
    QWidget *strips[4] = {singleHeader, multipleHeader, judgementHeader, fourthHeaderPanel};
    QWidget *cellPanels[4] = {singleCells, multipleCells, judgementCells, fourthCells};
    int top = 0;
    for (int s = 0; s < 4; ++s) {
        const bool onPaper = panelHeights[size_t(s)] > 0;
        strips[s]->setVisible(onPaper);
        cellPanels[s]->setVisible(onPaper);
        if (!onPaper) continue;
        strips[s]->setGeometry(0, top, LeftWidth, CardHeaderHeight);
        top += CardHeaderHeight;
        cellPanels[s]->setGeometry(0, top, LeftWidth, panelHeights[size_t(s)]);
        top += panelHeights[size_t(s)];
    }
}

void ExamWindow::buildMainArea() {
    mainArea = panel(this, "mainArea", MainAreaColour());
    auto *area = new QVBoxLayout(mainArea);
    area->setContentsMargins(0, 0, 0, 0);
    area->setSpacing(0);
    auto *upper = new QHBoxLayout;
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setSpacing(0);
    buildPages();
    upper->addWidget(m_view, 1);
    buildScorePanel();
    upper->addWidget(scorePanel);
    area->addLayout(upper, 1);
    buildBottomBar();
    area->addWidget(bottomBar);
}

void ExamWindow::buildPages() {
    m_view = new QuestionView(
        QuestionLook::Exam(),
        {QuestionView::ChoicePage, QuestionView::OperationPage, QuestionView::AnalysisPage, QuestionView::CasePage},
        mainArea);
    const std::pair<QObject *, const char *> names[] = {{m_view, "questionView"},
                                                        {m_view->page(QuestionView::ChoicePage), "choicePage"},
                                                        {m_view->page(QuestionView::OperationPage), "operationPage"},
                                                        {m_view->page(QuestionView::AnalysisPage), "analysisPage"},
                                                        {m_view->page(QuestionView::CasePage), "casePage"},
                                                        {m_view->stemBox, "stemBox"},
                                                        {m_view->optionArea, "optionArea"},
                                                        {m_view->operationBox, "operationBox"},
                                                        {m_view->analysisArea, "analysisArea"},
                                                        {m_view->analysisStem, "analysisStem"},
                                                        {m_view->analysisPicture, "analysisPicture"},
                                                        {m_view->analysisExtra, "analysisExtra"},
                                                        {m_view->caseStemArea, "caseStemArea"},
                                                        {m_view->caseStem, "caseStem"},
                                                        {m_view->casePicture, "casePicture"},
                                                        {m_view->caseExtra, "caseExtra"},
                                                        {m_view->subQuestionPanel, "subQuestionPanel"}};
    for (const auto &[object, name] : names)
        object->setObjectName(QString::fromLatin1(name));
    connect(m_view, &QuestionView::answerGiven, this, &ExamWindow::captureAnswer);
    // Under partial credit, shown under a multiple-choice question while one option is ticked.
    twoOptionsPrompt = plainLabel(m_view->optionArea, "twoOptionsPrompt", TwoOptionsPrompt());
    twoOptionsPrompt->setFont(PointFont(QStringLiteral("宋体"), OptionFontPt));
    twoOptionsPrompt->setStyleSheet(QStringLiteral("color: #c00000"));
    twoOptionsPrompt->adjustSize();
    twoOptionsPrompt->hide();
}

void ExamWindow::buildBottomBar() {
    bottomBar = panel(mainArea, "bottomBar", QColor(0xE4, 0xF0, 0xFB));
    bottomBar->setFixedHeight(BottomBarHeight);
    markBox = new QCheckBox(QStringLiteral("标记本题"), bottomBar);
    markBox->setObjectName(QStringLiteral("markBox"));
    markBox->setGeometry(17, 20, 74, 18);
    // Reached by Tab; a click leaves the focus where it was, so the window's keys stay the window's.
    markBox->setFocusPolicy(Qt::TabFocus);
    markBox->installEventFilter(this);
    markBox->setToolTip(QStringLiteral("标记本题，稍后检查 (M)"));
    // Only the learner's click writes; settings by program do not.
    connect(markBox, &QCheckBox::clicked, this, &ExamWindow::markQuestion);

    auto button = [&](const char *name, const QString &caption, const QRect &geometry, const QString &tip) {
        auto *b = new QPushButton(caption, bottomBar);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
        b->installEventFilter(this);
        b->setToolTip(tip);
        return b;
    };
    previousButton = button("previousButton", QStringLiteral("上一题"), QRect(102, 12, 90, 32),
                            QStringLiteral("上一题 (← 或 PageUp)"));
    nextButton = button("nextButton", QStringLiteral("下一题"), QRect(198, 12, 90, 32),
                        QStringLiteral("下一题 (→ 或 PageDown)"));
    explanationButton = button("explanationButton", QStringLiteral("本题解析"), QRect(294, 12, 90, 32),
                               QStringLiteral("本题的评分和解析"));
    calculatorButton =
        button("calculatorButton", QStringLiteral("计算器"), QRect(386, 12, 87, 32), QStringLiteral("打开计算器"));
    videoButton =
        button("videoButton", QStringLiteral("视频演示"), QRect(486, 12, 90, 32), QStringLiteral("本题的操作演示"));
    backToExamButton = button("backToExamButton", QStringLiteral("返回考试界面"), QRect(744, 12, 101, 31), QString());
    // Right of the buttons ("视频演示" included), where it does not stop the exam.
    keptTimeStatus = plainLabel(bottomBar, "keptTimeStatus");
    keptTimeStatus->setGeometry(588, 10, 150, 36);
    keptTimeStatus->setWordWrap(true);
    keptTimeStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    keptTimeStatus->setFont(PixelFont(QStringLiteral("新宋体"), 12));
    keptTimeStatus->hide();
    explanationButton->hide();
    videoButton->hide();
    backToExamButton->hide();
    backToExamButton->setEnabled(false);
    connect(previousButton, &QPushButton::clicked, this, &ExamWindow::showPreviousQuestion);
    connect(nextButton, &QPushButton::clicked, this, &ExamWindow::showNextQuestion);
    connect(explanationButton, &QPushButton::clicked, this, &ExamWindow::showExplanation);
    connect(calculatorButton, &QPushButton::clicked, this, &ExamWindow::openCalculator);
    connect(videoButton, &QPushButton::clicked, this, &ExamWindow::playVideoDemo);
}

void ExamWindow::buildScorePanel() {
    scorePanel = panel(mainArea, "scorePanel", QColor(Qt::white));
    scorePanel->setFixedWidth(ScorePanelWidth);
    auto *column = new QVBoxLayout(scorePanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    QWidget *heading = panel(scorePanel, "scoreHeading", CardHeaderColour());
    heading->setFixedHeight(ScoreHeadingHeight);
    QLabel *title = plainLabel(heading, "scoreTitle", QStringLiteral("成绩单"));
    title->setFont(PixelFont(QStringLiteral("新宋体"), ScoreFontPx, true));
    title->move(64, 3);
    title->adjustSize();
    totalScoreLabel = plainLabel(heading, "totalScoreLabel", QStringLiteral("0"));
    totalScoreLabel->setFont(PixelFont(QStringLiteral("新宋体"), ScoreFontPx, true));
    totalScoreLabel->setGeometry(152, 0, ScorePanelWidth - 152, ScoreHeadingHeight);
    totalScoreLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    column->addWidget(heading);

    scoreSheetGrid = new QTableWidget(6, 4, scorePanel);
    scoreSheetGrid->setObjectName(QStringLiteral("scoreSheetGrid"));
    scoreSheetGrid->setFixedHeight(ScoreGridHeight);
    scoreSheetGrid->horizontalHeader()->hide();
    scoreSheetGrid->verticalHeader()->hide();
    scoreSheetGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    scoreSheetGrid->setSelectionMode(QAbstractItemView::NoSelection);
    scoreSheetGrid->setFocusPolicy(Qt::NoFocus);
    scoreSheetGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scoreSheetGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The type names ("不定项选择题") need the widest column; the grid's font is a pixel smaller.
    scoreSheetGrid->setFont(PixelFont(QStringLiteral("新宋体"), WindowFontPx - 1));
    scoreSheetGrid->horizontalHeader()->setMinimumSectionSize(20);
    const int widths[4] = {100, 40, 48, 48};
    for (int c = 0; c < 4; ++c)
        scoreSheetGrid->setColumnWidth(c, widths[c]);
    for (int r = 0; r < 6; ++r)
        scoreSheetGrid->setRowHeight(r, ScoreGridRowHeight + 2);
    column->addWidget(scoreSheetGrid);

    answerListGrid = new QTableWidget(0, 5, scorePanel);
    answerListGrid->setObjectName(QStringLiteral("answerListGrid"));
    answerListGrid->setHorizontalHeaderLabels({QStringLiteral("题号"), QStringLiteral("题型"), QStringLiteral("答案"),
                                               QStringLiteral("考生"), QStringLiteral("得分")});
    // Narrow columns in a pixel-smaller font, so that the five fit beside the scroll bar; an answer
    // too long for its column wraps instead of being cut.
    answerListGrid->setFont(PixelFont(QStringLiteral("新宋体"), WindowFontPx - 1));
    answerListGrid->horizontalHeader()->setMinimumSectionSize(20);
    answerListGrid->horizontalHeader()->setStretchLastSection(true);
    answerListGrid->setWordWrap(true);
    answerListGrid->setTextElideMode(Qt::ElideNone);
    const int listWidths[5] = {26, 80, 46, 46, 36};
    for (int c = 0; c < 5; ++c)
        answerListGrid->setColumnWidth(c, listWidths[c]);
    answerListGrid->verticalHeader()->hide();
    answerListGrid->verticalHeader()->setDefaultSectionSize(20);
    answerListGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    answerListGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    answerListGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    answerListGrid->setFocusPolicy(Qt::NoFocus);
    answerListGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(answerListGrid, &QTableWidget::cellClicked, this, &ExamWindow::reviewAnswerListRow);
    column->addWidget(answerListGrid, 1);
    scorePanel->hide();
}

void ExamWindow::loadPictures() {
    banner->setPixmap(picture(QStringLiteral("exam_banner.png")));
    candidatePhoto->setPixmap(picture(QStringLiteral("exam_photo.png")));
    fourthHeader->setPixmap(picture(QStringLiteral("exam_fourth.png")));
    const std::pair<QPushButton *, const char *> icons[] = {{previousButton, "exam_prev.png"},
                                                            {nextButton, "exam_next.png"},
                                                            {explanationButton, "exam_explain.png"},
                                                            {calculatorButton, "exam_calc.png"},
                                                            {videoButton, "exam_video.png"}};
    for (const auto &[b, file] : icons) {
        const QPixmap p = picture(QString::fromLatin1(file));
        if (!p.isNull()) b->setIcon(QIcon(p));
    }
}

bool ExamWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Resize && watched == headerPanel) {
        headerLine->setGeometry(0, HeaderHeight - HeaderLine, headerPanel->width(), HeaderLine);
        // The banner fills the header; the time and the hand-in area follow its right piece.
        banner->setGeometry(0, 0, headerPanel->width(), HeaderHeight);
        const int right = static_cast<ExamBanner *>(banner)->rightPieceLeft();
        countdownLabel->move(right + TimeRect.left() - BannerRightPieceStart, TimeRect.top());
        handInArea->move(right + HandInRect.left() - BannerRightPieceStart, HandInRect.top());
    }
    // The arrows and page keys move between questions on a button reached by Tab too: a button
    // would otherwise take them to move the focus.
    if (event->type() == QEvent::KeyPress && watched->parent() == bottomBar) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int k = key->key();
        if (key->modifiers() == Qt::NoModifier &&
            (k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_PageUp || k == Qt::Key_PageDown)) {
            keyPressEvent(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ExamWindow::setFourthHeaderCaption(const QString &caption) {
    static_cast<FourthHeader *>(fourthHeader)->caption = caption;
    fourthHeader->update();
}
