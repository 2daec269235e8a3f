#include "FrmZJTestP.h"

#include "DataFormP.h"
#include "DlgPingFenP.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "OptionButtons.h"
#include "PracticeQueries.h"
#include "QuestionText.h"
#include "SqlError.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Geometry of the practice window, in pixels at 96 dpi.
namespace geo {
constexpr int Width = 1182, Height = 704;
constexpr int MinWidth = 900, MinHeight = 600;
constexpr int HeaderHeight = 71, BottomBarHeight = 62;
constexpr int HeaderLeftColumn = 24, HeaderRightColumn = 600, HeaderRow1 = 10, HeaderRow2 = 40;
constexpr int NumberLeft = 648, AttemptsLeft = 800;
constexpr int HeaderFontPx = 16, WindowFontPx = 14;
constexpr int TabWidth = 280, TabFontPx = 19;
constexpr int StemPanelHeight = 137, StemFontPx = 19, StemMargin = 16, StemGap = 10;
constexpr int OptionLeft = 32, OptionTop = 150, OptionStep = 40, OptionHeight = 38, OptionWidthMargin = 100;
constexpr int OptionFontPt = 14;
constexpr int JudgementTrueTop = 150, JudgementFalseTop = 190;
constexpr int CaseTopHeight = 161;
// Height of the case page at the design size; a taller page gives half its extra height to the stem.
constexpr int CasePageDesignHeight = 530, StemMinHeight = 60;
// Largest question picture shown, in pixels per side and in all (a picture is about 4 bytes a pixel).
constexpr int PictureMaxSide = 8000, PictureMaxMegapixels = 40;
constexpr int SubLabelTop = 20, SubLabelPerSub = 32, BoxTop = 40, BoxPerSub = 36;
constexpr int OperationFooterHeight = 66;
constexpr int ButtonWidth = 73, WideButtonWidth = 89, ButtonHeight = 30, BarMargin = 16, BarSpacing = 12;
} // namespace geo

const QColor kHeaderColour(168, 196, 217);
constexpr int kTimerMs = 500;

QString notAFavourite() {
    return QStringLiteral("收藏本题");
}
QString aFavourite() {
    return QStringLiteral("取消收藏");
}
QString chooseFirst() {
    return QStringLiteral("请先选择答案。");
}
QString pictureNotShown() {
    return QStringLiteral("图片无法显示");
}

// An answer, attempt or favourite the bank refused: the learner is told that this answer was not
// kept, why, and the engine's own words; the window stays as it was and can be used on.
QString unsavedText(const PostError &e) {
    return QStringLiteral("本题的作答没有保存。\n") + e.message() + QStringLiteral("\n详细信息：") + e.engineMessage();
}

// A handler that stores the learner's work.
template <typename F> void Storing(F &&body) {
    Guarded([&] {
        try {
            std::forward<F>(body)();
        } catch (const PostError &e) {
            ShowErrorBox(unsavedText(e));
        }
    });
}

// A question text that cannot be decoded names the question; the learner can move on.
QString decodedOrReport(const QString &stored, const QString &questionNumber) {
    try {
        return DecodeQuestionText(stored);
    } catch (const KjksError &) {
        throw KjksError(QStringLiteral("第 %1 题的文字无法解码，请跳过本题继续练习。").arg(questionNumber));
    }
}

// A question picture within sensible bounds, or nothing: a header claiming a huge size is refused
// before any pixel is allocated, and a truncated or broken JPEG gives no picture.
QImage readPicture(const QByteArray &bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "JPEG");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > geo::PictureMaxSide || size.height() > geo::PictureMaxSide ||
        qint64(size.width()) * size.height() > qint64(geo::PictureMaxMegapixels) * 1000 * 1000)
        return QImage();
    QImage image;
    if (!reader.read(&image)) return QImage();
    return image;
}

// Every newly shown question starts at its top, not where the learner left the one before.
void toTop(QScrollArea *area) {
    area->verticalScrollBar()->setValue(0);
    area->horizontalScrollBar()->setValue(0);
}

// Stems of analysis, operation and case questions put each blank-separated piece on its own line.
QString blanksToLines(QString text) {
    return text.replace(QLatin1Char(' '), QLatin1Char('\n'));
}

QLabel *plainLabel(QWidget *parent, const char *name, const QString &text = QString()) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText); // bank texts are never markup
    return l;
}

void setLabel(QLabel *l, const QString &text) {
    l->setText(text);
    l->adjustSize();
}

QPlainTextEdit *memo(QWidget *parent, const char *name) {
    auto *m = new QPlainTextEdit(parent);
    m->setObjectName(QString::fromLatin1(name));
    m->setReadOnly(true);
    m->setFrameShape(QFrame::NoFrame);
    m->setFont(PixelFont(QStringLiteral("宋体"), geo::StemFontPx));
    return m;
}

QWidget *page(const char *name) {
    auto *w = new QWidget;
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QPushButton *barButton(QWidget *parent, const char *name, const QString &caption, int width) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFixedSize(width, geo::ButtonHeight);
    b->setAutoDefault(false); // Enter in the window never answers for the learner
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// A scroll area whose content stacks a stem, its picture and its extra text.
QScrollArea *stemScrollArea(const char *name, QLabel *&stem, QLabel *&picture, QLabel *&extra, const char *stemName,
                            const char *pictureName, const char *extraName) {
    auto *area = new QScrollArea;
    area->setObjectName(QString::fromLatin1(name));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(geo::StemMargin, geo::StemMargin, geo::StemMargin, geo::StemMargin);
    layout->setSpacing(geo::StemGap);
    stem = plainLabel(content, stemName);
    extra = plainLabel(content, extraName);
    for (QLabel *l : {stem, extra}) {
        l->setWordWrap(true);
        l->setFont(PixelFont(QStringLiteral("宋体"), geo::StemFontPx));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    picture = plainLabel(content, pictureName);
    layout->addWidget(stem);
    layout->addWidget(picture, 0, Qt::AlignLeft);
    layout->addWidget(extra);
    layout->addStretch(1);
    stem->hide();
    picture->hide();
    extra->hide();
    area->setWidget(content);
    return area;
}

// The type tabs are all the same width, whatever their caption.
class FixedWidthTabBar : public QTabBar {
public:
    FixedWidthTabBar(int width, QWidget *parent) : QTabBar(parent), m_width(width) {}

protected:
    QSize tabSizeHint(int index) const override {
        QSize size = QTabBar::tabSizeHint(index);
        size.setWidth(m_width);
        return size;
    }

private:
    int m_width;
};

// The case page: the stem above, the sub-questions below. At the design size the stem gets its
// fixed strip; a taller page gives the stem half of the extra height, until the learner drags the
// handle, whose place then stays.
class CaseSplitter : public QSplitter {
public:
    explicit CaseSplitter(QWidget *parent) : QSplitter(Qt::Vertical, parent) {
        setChildrenCollapsible(false);
        connect(this, &QSplitter::splitterMoved, this, [this] { m_dragged = true; });
    }

protected:
    void resizeEvent(QResizeEvent *event) override {
        QSplitter::resizeEvent(event);
        if (m_dragged || count() != 2) return;
        const int available = height() - handleWidth();
        const int top = geo::CaseTopHeight + qMax(0, height() - geo::CasePageDesignHeight) / 2;
        setSizes({top, qMax(0, available - top)});
    }

private:
    bool m_dragged = false;
};

class TypeTabs : public QTabWidget {
public:
    explicit TypeTabs(QWidget *parent) : QTabWidget(parent) { setTabBar(new FixedWidthTabBar(geo::TabWidth, this)); }
};

} // namespace

TFrmZJTest::TFrmZJTest(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint) {
    setObjectName(QStringLiteral("FrmZJTest"));
    setWindowTitle(QStringLiteral("题目练习"));
    setFont(PixelFont(QStringLiteral("新宋体"), geo::WindowFontPx));
    resize(geo::Width, geo::Height);
    setMinimumSize(geo::MinWidth, geo::MinHeight);
    if (QScreen *s = screen()) move(s->availableGeometry().center() - rect().center());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildHeader();
    buildTabs();
    buildBottomBar();

    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(kTimerMs);
    connect(Timer3, &QTimer::timeout, this, &TFrmZJTest::Timer3Timer);
    // Keys are read before the focused control sees them: an option or the tab bar would otherwise
    // keep the arrows and Ctrl+Tab for themselves.
    qApp->installEventFilter(this);
}

void TFrmZJTest::buildHeader() {
    PanelTop = new QWidget(this);
    PanelTop->setObjectName(QStringLiteral("PanelTop"));
    PanelTop->setFixedHeight(geo::HeaderHeight);
    PanelTop->setAutoFillBackground(true);
    QPalette palette = PanelTop->palette();
    palette.setColor(QPalette::Window, kHeaderColour);
    PanelTop->setPalette(palette);
    PanelTop->setFont(PixelFont(QStringLiteral("新宋体"), geo::HeaderFontPx));

    Label60 = plainLabel(PanelTop, "Label60");
    Label61 = plainLabel(PanelTop, "Label61");
    for (QLabel *l : {Label60, Label61}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(p);
        l->setFont(PixelFont(QStringLiteral("新宋体"), geo::HeaderFontPx, true));
    }
    Label60->move(geo::HeaderLeftColumn, geo::HeaderRow1);
    Label61->move(geo::HeaderLeftColumn, geo::HeaderRow2);
    Label64 = plainLabel(PanelTop, "Label64", QStringLiteral("题号"));
    Label64->move(geo::HeaderRightColumn, geo::HeaderRow1);
    Label5 = plainLabel(PanelTop, "Label5");
    Label5->move(geo::NumberLeft, geo::HeaderRow1);
    Label63 = plainLabel(PanelTop, "Label63");
    Label63->move(geo::HeaderRightColumn, geo::HeaderRow2);
    Label4 = plainLabel(PanelTop, "Label4");
    Label4->move(geo::AttemptsLeft, geo::HeaderRow2);
    setLabel(Label64, Label64->text());
    setLabel(Label63, QStringLiteral("题目答题的正确率 0%  "));
    setLabel(Label4, QStringLiteral(" 【答对 0 次-答错 0 次】  解答题次 0/1"));
    layout()->addWidget(PanelTop);
}

void TFrmZJTest::buildTabs() {
    PageControl2 = new TypeTabs(this);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    PageControl2->setFont(PixelFont(QStringLiteral("新宋体"), geo::TabFontPx));

    // The three choice tabs: a stem panel on top, option controls placed below it by presentation.
    auto choiceTab = [&](const char *name, const char *memoName, QPlainTextEdit *&stemMemo) {
        QWidget *sheet = page(name);
        auto *sheetLayout = new QVBoxLayout(sheet);
        sheetLayout->setContentsMargins(0, 0, 0, 0);
        auto *stemPanel = new QWidget(sheet);
        stemPanel->setFixedHeight(geo::StemPanelHeight);
        auto *panelLayout = new QVBoxLayout(stemPanel);
        panelLayout->setContentsMargins(geo::StemMargin, 0, geo::StemMargin, 0);
        stemMemo = memo(stemPanel, memoName);
        panelLayout->addWidget(stemMemo);
        sheetLayout->addWidget(stemPanel);
        sheetLayout->addStretch(1);
        sheet->installEventFilter(this);
        return sheet;
    };
    TabSheet5 = choiceTab("TabSheet5", "Memo1", Memo1);
    TabSheet6 = choiceTab("TabSheet6", "Memo5", Memo5);
    TabSheet7 = choiceTab("TabSheet7", "Memo6", Memo6);

    TabSheet8 = page("TabSheet8");
    auto *fourthLayout = new QVBoxLayout(TabSheet8);
    fourthLayout->setContentsMargins(0, 0, 0, 0);
    PageControl1 = new QTabWidget(TabSheet8);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    PageControl1->tabBar()->hide();
    fourthLayout->addWidget(PageControl1);

    TabSheet1 = page("TabSheet1");

    TabSheet2 = page("TabSheet2");
    auto *operationLayout = new QVBoxLayout(TabSheet2);
    operationLayout->setContentsMargins(geo::StemMargin, geo::StemGap, 0, 0);
    operationLayout->setSpacing(0);
    Memo2 = memo(TabSheet2, "Memo2");
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *operationFooter = new QWidget(TabSheet2);
    operationFooter->setFixedHeight(geo::OperationFooterHeight);
    operationLayout->addWidget(Memo2, 1);
    operationLayout->addWidget(operationFooter);

    TabSheet3 = page("TabSheet3");
    auto *analysisLayout = new QVBoxLayout(TabSheet3);
    analysisLayout->setContentsMargins(0, 0, 0, 0);
    ScrollBox2 = stemScrollArea("ScrollBox2", Label10, Image1, Label11, "Label10", "Image1", "Label11");
    analysisLayout->addWidget(ScrollBox2);

    TabSheet4 = page("TabSheet4");
    auto *caseLayout = new QVBoxLayout(TabSheet4);
    caseLayout->setContentsMargins(0, 0, 0, 0);
    caseLayout->setSpacing(0);
    auto *caseSplitter = new CaseSplitter(TabSheet4);
    caseSplitter->setObjectName(QStringLiteral("CaseSplitter"));
    ScrollBox3 = stemScrollArea("ScrollBox3", Label12, Image2, Label13, "Label12", "Image2", "Label13");
    ScrollBox3->setMinimumHeight(geo::StemMinHeight);
    ScrollBox1 = new QScrollArea;
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(true);
    m_caseArea = new QWidget;
    m_caseArea->setObjectName(QStringLiteral("ScrollBox1Content"));
    m_caseArea->installEventFilter(this);
    ScrollBox1->setWidget(m_caseArea);
    caseSplitter->addWidget(ScrollBox3);
    caseSplitter->addWidget(ScrollBox1);
    caseLayout->addWidget(caseSplitter, 1);

    PageControl1->addTab(TabSheet1, QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet2, QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet3, QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet4, QStringLiteral("TabSheet4"));

    PageControl2->addTab(TabSheet5, QuestionTypeName(QuestionType::Single));
    PageControl2->addTab(TabSheet6, QuestionTypeName(QuestionType::Multiple));
    PageControl2->addTab(TabSheet7, QuestionTypeName(QuestionType::Judgement));
    PageControl2->addTab(TabSheet8, CaseStemTypeName());
    connect(PageControl2, &QTabWidget::currentChanged, this, &TFrmZJTest::PageControl2Change);
    static_cast<QVBoxLayout *>(layout())->addWidget(PageControl2, 1);
}

void TFrmZJTest::buildBottomBar() {
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("PanelBottom"));
    bar->setFixedHeight(geo::BottomBarHeight);
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(geo::BarMargin, 0, geo::BarMargin, 0);
    barLayout->setSpacing(geo::BarSpacing);
    SpeedButton4 = barButton(bar, "SpeedButton4", QStringLiteral("评分解析"), geo::ButtonWidth);
    SpeedButton2 = barButton(bar, "SpeedButton2", QStringLiteral("上一题"), geo::ButtonWidth);
    SpeedButton3 = barButton(bar, "SpeedButton3", QStringLiteral("下一题"), geo::ButtonWidth);
    SpeedButton1 = barButton(bar, "SpeedButton1", QStringLiteral("视频文件"), geo::ButtonWidth);
    btnFav = barButton(bar, "btnFav", notAFavourite(), geo::WideButtonWidth);
    SpeedButton10 = barButton(bar, "SpeedButton10", QStringLiteral("关闭"), geo::WideButtonWidth);
    for (QPushButton *b : {SpeedButton4, SpeedButton2, SpeedButton3, SpeedButton1, btnFav})
        barLayout->addWidget(b);
    // A quiet note at the ends of a set; it goes with the next move or tab change.
    lblEndHint = plainLabel(bar, "lblEndHint");
    lblEndHint->setStyleSheet(QStringLiteral("color: #1f4e79;"));
    barLayout->addSpacing(geo::BarSpacing);
    barLayout->addWidget(lblEndHint);
    barLayout->addStretch(1);
    barLayout->addWidget(SpeedButton10);
    SpeedButton1->hide();
    SpeedButton4->setToolTip(QStringLiteral("查看评分和解析（Enter）"));
    SpeedButton2->setToolTip(QStringLiteral("上一题（← 或 PageUp）"));
    SpeedButton3->setToolTip(QStringLiteral("下一题（→ 或 PageDown）"));
    btnFav->setToolTip(QStringLiteral("收藏或取消收藏本题（Ctrl+D）"));
    PageControl2->setToolTip(QStringLiteral("Ctrl+Tab 切换题型；A–H 或 1–8 选择选项"));

    connect(SpeedButton4, &QPushButton::clicked, this, &TFrmZJTest::SpeedButton4Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TFrmZJTest::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TFrmZJTest::SpeedButton3Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TFrmZJTest::SpeedButton1Click);
    connect(btnFav, &QPushButton::clicked, this, &TFrmZJTest::btnFavClick);
    connect(SpeedButton10, &QPushButton::clicked, this, &TFrmZJTest::SpeedButton10Click);
    layout()->addWidget(bar);
}

// ---------------------------------------------------------------------------------------------
// Tabs

std::optional<QuestionType> TFrmZJTest::activeTab() const {
    const int index = PageControl2->currentIndex();
    if (index < 0 || index > 3 || !PageControl2->isTabVisible(index)) return std::nullopt;
    return kQuestionTypes[size_t(index)];
}

QWidget *TFrmZJTest::optionArea(QuestionType tab) const {
    switch (tab) {
    case QuestionType::Single:
        return TabSheet5;
    case QuestionType::Multiple:
        return TabSheet6;
    case QuestionType::Judgement:
        return TabSheet7;
    case QuestionType::Fourth:
        break;
    }
    return m_caseArea;
}

void TFrmZJTest::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    Timer3->start();
    FormShow();
}

void TFrmZJTest::closeEvent(QCloseEvent *event) {
    Timer3->stop();
    QDialog::closeEvent(event);
}

// Option controls keep the width of their area less the right margin, also on pages that get
// their size only when first shown.
bool TFrmZJTest::eventFilter(QObject *watched, QEvent *event) {
    // A click that reached an option while a move was under way was aimed at the question before.
    if (m_moving && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
                     event->type() == QEvent::MouseButtonDblClick)) {
        for (const OptionControls &controls : m_options)
            for (QAbstractButton *b : controls.buttons)
                if (b == watched) return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto *target = qobject_cast<QWidget *>(watched);
        if (target && target->window() == this) {
            bool handled = false;
            Guarded([&] { handled = answerKey(*static_cast<QKeyEvent *>(event)); });
            if (handled) return true;
        }
    }
    if (event->type() == QEvent::Resize) {
        for (QuestionType tab : kQuestionTypes) {
            if (optionArea(tab) != watched) continue;
            const int width = qMax(0, static_cast<QResizeEvent *>(event)->size().width() - geo::OptionWidthMargin);
            for (QAbstractButton *b : m_options[IndexOf(tab)].buttons)
                b->resize(width, geo::OptionHeight);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmZJTest::FormShow() {
    Guarded([&] {
        PageControl1->tabBar()->hide();
        PageControl2->setTabText(3, m_session.fourthTypeName());
        LaunchParameters &launch = launchParameters();
        for (QuestionType tab : kQuestionTypes) {
            // A set that cannot be read is reported and offered like an empty one.
            Guarded([&] { m_session.open(tab, launch.PracticeScope, launch.SelectedChapterCode); });
            if (!m_session.hasQuestions(tab)) {
                launch.PracticeTypeFlags[IndexOf(tab)] = false;
                continue;
            }
            // The tab on screen is presented again below; a failure of another tab is reported when
            // the learner opens it.
            try {
                present(tab);
            } catch (const std::exception &) {
            }
        }
        {
            const QSignalBlocker quiet(PageControl2);
            for (int tab = 0; tab < 4; ++tab)
                PageControl2->setTabVisible(tab, true);
            PageControl2->setCurrentIndex(0);
            for (int tab = 0; tab < 4; ++tab)
                PageControl2->setTabVisible(tab, launch.PracticeTypeFlags[size_t(tab)]);
            for (int tab = 0; tab < 4; ++tab) {
                if (launch.PracticeTypeFlags[size_t(tab)]) {
                    PageControl2->setCurrentIndex(tab);
                    break;
                }
            }
        }
        PageControl2Change();
    });
}

void TFrmZJTest::PageControl2Change() {
    Guarded([&] {
        SpeedButton1->hide();
        lblEndHint->clear();
        m_session.forgetPendingAnswer(); // an answer on the tab just left is not counted on this one
        const std::optional<QuestionType> tab = activeTab();
        if (!tab) return;
        CommitAndMove(*tab, Move::Stay);
        if (*tab == QuestionType::Fourth && m_session.fourthKind() == FourthKind::Operation) SpeedButton1->show();
    });
}

bool TFrmZJTest::CommitAndMove(QuestionType tab, Move move) {
    if (!m_session.hasQuestions(tab)) return false;
    const bool moved = m_session.commitAndMove(tab, move);
    present(tab);
    return moved;
}

void TFrmZJTest::present(QuestionType tab) {
    switch (tab) {
    case QuestionType::Single:
        PresentSingle();
        break;
    case QuestionType::Multiple:
        PresentMultiple();
        break;
    case QuestionType::Judgement:
        PresentJudgement();
        break;
    case QuestionType::Fourth:
        switch (m_session.fourthKind()) {
        case FourthKind::Analysis:
            PresentAnalysis();
            break;
        case FourthKind::CaseStem:
            PresentCaseStem();
            break;
        case FourthKind::Operation:
            PresentOperation();
            break;
        case FourthKind::Other:
            break;
        }
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Presentation

void TFrmZJTest::DiscardOptionControls(QuestionType tab) {
    OptionControls &controls = m_options[IndexOf(tab)];
    for (QWidget *w : controls.widgets)
        delete w;
    controls = OptionControls();
}

void TFrmZJTest::DiscardAllOptionControls() {
    for (QuestionType tab : kQuestionTypes)
        DiscardOptionControls(tab);
}

void TFrmZJTest::showActivePage(QuestionType tab) {
    const int index = int(IndexOf(tab));
    if (!PageControl2->isTabVisible(index)) return;
    const QSignalBlocker quiet(PageControl2);
    PageControl2->setCurrentIndex(index);
}

void TFrmZJTest::presentHeader(QuestionType tab, const QString &idColumn) {
    const PracticeSession::Header header = m_session.header(tab, idColumn);
    btnFav->setText(header.favourite ? aFavourite() : notAFavourite());
    setLabel(Label5, header.number);
    setLabel(Label4, AttemptsText(header.stats));
    setLabel(Label63, AccuracyText(header.stats));
    if (header.chapterName) setLabel(Label60, *header.chapterName);
    if (header.sectionName) setLabel(Label61, *header.sectionName);
}

template <class Button> Button *TFrmZJTest::addOption(QuestionType tab, const QString &caption, int top) {
    QWidget *area = optionArea(tab);
    auto *button = new Button(caption, area);
    button->setFont(PointFont(QStringLiteral("宋体"), geo::OptionFontPt));
    button->setGeometry(geo::OptionLeft, top, qMax(0, area->width() - geo::OptionWidthMargin), geo::OptionHeight);
    button->show();
    m_options[IndexOf(tab)].widgets.push_back(button);
    m_options[IndexOf(tab)].buttons.push_back(button);
    return button;
}

void TFrmZJTest::presentChoice(QuestionType tab, QPlainTextEdit *stemMemo, bool checkBoxes) {
    Dataset &row = m_session.set(tab);
    DiscardOptionControls(tab);
    stemMemo->clear();
    presentHeader(tab, QStringLiteral("tigan_id"));
    showActivePage(tab);
    stemMemo->setPlainText(QStringLiteral("\n") +
                           decodedOrReport(row.asString(QStringLiteral("timian")), Label5->text()));

    // Every option is decoded before any control is placed: a text that cannot be decoded leaves
    // the tab without half a question.
    Dataset &options = dataForm()->ADOSql2;
    options.openSql(OptionsSql(row.asInteger(QStringLiteral("tigan_id"))));
    QStringList captions;
    for (options.first(); !options.eof(); options.next())
        captions << OptionLetter(int(captions.size())) + QStringLiteral("、") +
                        decodedOrReport(options.asString(QStringLiteral("timian")), Label5->text());
    for (int i = 0; i < captions.size(); ++i) {
        const int top = geo::OptionTop + geo::OptionStep * i;
        if (checkBoxes)
            connect(addOption<OptionCheckBox>(tab, captions.at(i), top), &QAbstractButton::clicked, this,
                    &TFrmZJTest::DXTHDAClick);
        else
            connect(addOption<OptionRadioButton>(tab, captions.at(i), top), &QAbstractButton::clicked, this,
                    &TFrmZJTest::DXTJDAClick);
    }
}

void TFrmZJTest::PresentSingle() {
    presentChoice(QuestionType::Single, Memo1, false);
}

void TFrmZJTest::PresentMultiple() {
    presentChoice(QuestionType::Multiple, Memo5, true);
}

void TFrmZJTest::PresentJudgement() {
    const QuestionType tab = QuestionType::Judgement;
    DiscardOptionControls(tab);
    Memo6->clear();
    presentHeader(tab, QStringLiteral("tigan_id"));
    showActivePage(tab);
    Memo6->setPlainText(QStringLiteral("\n") +
                        decodedOrReport(m_session.set(tab).asString(QStringLiteral("timian")), Label5->text()));
    m_session.normaliseJudgementAnswer();
    connect(addOption<OptionRadioButton>(tab, QStringLiteral("正确"), geo::JudgementTrueTop), &QAbstractButton::clicked,
            this, &TFrmZJTest::PDTJDAClick);
    connect(addOption<OptionRadioButton>(tab, QStringLiteral("错误"), geo::JudgementFalseTop),
            &QAbstractButton::clicked, this, &TFrmZJTest::PDTJDAClick);
}

void TFrmZJTest::fillStem(QLabel *stem, QLabel *picture, QLabel *extra, Dataset &row, const QString &textColumn) {
    stem->hide();
    extra->hide();
    picture->hide();
    picture->clear();
    stem->setText(blanksToLines(decodedOrReport(row.asString(textColumn), Label5->text())));
    stem->show();
    extra->setText(row.asString(QStringLiteral("timian2")));
    const QByteArray bytes = row.asBytes(QStringLiteral("tmimage"));
    if (bytes.isEmpty()) return;
    // A picture that cannot be shown is named in its place; the question stays answerable.
    const QImage image = readPicture(bytes);
    if (image.isNull())
        picture->setText(pictureNotShown());
    else
        picture->setPixmap(QPixmap::fromImage(image));
    picture->show();
    extra->show();
}

void TFrmZJTest::PresentAnalysis() {
    PageControl1->setCurrentIndex(2);
    presentHeader(QuestionType::Fourth, QStringLiteral("tigan_id"));
    toTop(ScrollBox2);
    fillStem(Label10, Image1, Label11, m_session.set(QuestionType::Fourth), QStringLiteral("timian"));
}

void TFrmZJTest::PresentCaseStem() {
    Dataset &row = m_session.set(QuestionType::Fourth);
    PageControl1->setCurrentIndex(3);
    DiscardOptionControls(QuestionType::Fourth);
    m_caseArea->setMinimumSize(0, 0);
    presentHeader(QuestionType::Fourth, QStringLiteral("id"));
    toTop(ScrollBox3);
    toTop(ScrollBox1);
    fillStem(Label12, Image2, Label13, row, QStringLiteral("zongtimian"));

    struct SubQuestion {
        int id = 0;
        QString text;
        QStringList options;
    };
    std::vector<SubQuestion> subQuestions;
    Dataset &subs = dataForm()->ADOSql;
    Dataset &options = dataForm()->ADOSql2;
    subs.openSql(SubQuestionsForPresentationSql(row.asInteger(QStringLiteral("id"))));
    for (subs.first(); !subs.eof(); subs.next()) {
        SubQuestion sub;
        sub.id = subs.asInteger(QStringLiteral("tigan_id"));
        sub.text = decodedOrReport(subs.asString(QStringLiteral("timian")), Label5->text());
        options.openSql(OptionsSql(sub.id));
        for (options.first(); !options.eof(); options.next())
            sub.options << decodedOrReport(options.asString(QStringLiteral("timian")), Label5->text());
        subQuestions.push_back(sub);
    }

    OptionControls &controls = m_options[IndexOf(QuestionType::Fourth)];
    int placed = 0; // options placed over all sub-questions
    int right = 0;
    int bottom = 0;
    for (int k = 0; k < int(subQuestions.size()); ++k) {
        const SubQuestion &sub = subQuestions[size_t(k)];
        QLabel *label = plainLabel(m_caseArea, "", sub.text);
        label->setObjectName(QStringLiteral("L") + QString::number(sub.id));
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->move(geo::OptionLeft, geo::SubLabelTop + geo::OptionStep * placed + geo::SubLabelPerSub * k);
        label->adjustSize();
        label->show();
        controls.widgets.push_back(label);
        right = qMax(right, label->geometry().right());
        bottom = qMax(bottom, label->geometry().bottom());
        for (int j = 0; j < sub.options.size(); ++j) {
            const int top = geo::BoxTop + geo::OptionStep * placed + geo::BoxPerSub * k;
            auto *box = addOption<OptionCheckBox>(QuestionType::Fourth,
                                                  OptionLetter(j) + QStringLiteral("、") + sub.options.at(j), top);
            controls.owners.push_back(sub.id);
            connect(box, &QAbstractButton::clicked, this, &TFrmZJTest::ALFXTJDAClick);
            bottom = qMax(bottom, box->geometry().bottom());
            ++placed;
        }
    }
    m_caseArea->setMinimumSize(right + geo::StemMargin, bottom + geo::StemMargin);
    toTop(ScrollBox1);
}

void TFrmZJTest::PresentOperation() {
    Dataset &row = m_session.set(QuestionType::Fourth);
    PageControl1->setCurrentIndex(1);
    Memo2->clear();
    presentHeader(QuestionType::Fourth, QStringLiteral("tigan_id"));
    m_session.clearOperationScratch();
    Memo2->setPlainText(blanksToLines(decodedOrReport(row.asString(QStringLiteral("timian")), Label5->text())));
    SpeedButton1->setEnabled(QFileInfo::exists(launchParameters().AppDir + QStringLiteral("StuName/") +
                                               row.asString(QStringLiteral("tigan_id")) + QStringLiteral(".exe")));
}

// ---------------------------------------------------------------------------------------------
// Answer checks

void TFrmZJTest::DXTJDAClick() {
    Storing([&] { checkSingle(); });
}

void TFrmZJTest::DXTHDAClick() {
    Storing([&] { checkMultiple(false); });
}

void TFrmZJTest::PDTJDAClick() {
    Storing([&] { checkJudgement(); });
}

void TFrmZJTest::ALFXTJDAClick() {
    Storing([&] { checkFourth(false); });
}

// A single-choice option is checked at once and its result always shown; "评分解析" checks the
// option chosen before.
void TFrmZJTest::checkSingle() {
    auto *clicked = qobject_cast<QAbstractButton *>(sender());
    const auto &buttons = m_options[IndexOf(QuestionType::Single)].buttons;
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked() || buttons[i] == clicked) {
            const auto check = m_session.checkQuestion(QuestionType::Single, OptionLetter(int(i)));
            ShowResultDialog(m_session.questionPayload(QuestionType::Single, check).text());
            return;
        }
    }
}

// Every tick checks the letters ticked so far; the result is shown on "评分解析" only.
void TFrmZJTest::checkMultiple(bool explain) {
    std::vector<bool> ticked;
    for (QAbstractButton *b : m_options[IndexOf(QuestionType::Multiple)].buttons)
        ticked.push_back(b->isChecked());
    const QString answer = LettersOf(ticked);
    if (answer.isEmpty()) {
        ShowMessage(chooseFirst());
        return;
    }
    const auto check = m_session.checkQuestion(QuestionType::Multiple, answer);
    if (explain) ShowResultDialog(m_session.questionPayload(QuestionType::Multiple, check).text());
}

void TFrmZJTest::checkJudgement() {
    const auto &buttons = m_options[IndexOf(QuestionType::Judgement)].buttons;
    QString answer;
    if (buttons.size() == 2 && buttons[0]->isChecked())
        answer = QStringLiteral("√");
    else if (buttons.size() == 2 && buttons[1]->isChecked())
        answer = QStringLiteral("×");
    if (answer.isEmpty()) {
        ShowInfoBox(chooseFirst());
        return;
    }
    const auto check = m_session.checkQuestion(QuestionType::Judgement, answer);
    ShowResultDialog(m_session.questionPayload(QuestionType::Judgement, check).text());
}

// Case stems and operation questions are checked on every change and shown on "评分解析" only.
void TFrmZJTest::checkFourth(bool explain) {
    if (!m_session.hasQuestions(QuestionType::Fourth)) return;
    if (m_session.fourthKind() == FourthKind::CaseStem)
        checkCaseStem(explain);
    else
        checkOperation(explain);
}

void TFrmZJTest::checkCaseStem(bool explain) {
    // The boxes on screen, grouped by the sub-question they were placed for.
    std::vector<SubQuestionBoxes> boxes;
    const OptionControls &controls = m_options[IndexOf(QuestionType::Fourth)];
    for (size_t i = 0; i < controls.buttons.size(); ++i) {
        if (boxes.empty() || boxes.back().tiganId != controls.owners[i]) boxes.push_back({controls.owners[i], {}});
        boxes.back().ticked.push_back(controls.buttons[i]->isChecked());
    }
    if (CaseStemAnswer(boxes).isEmpty()) {
        ShowMessage(chooseFirst());
        return;
    }
    m_session.checkCaseStem(boxes);
    if (explain) ShowResultDialog(m_session.caseStemPayload(boxes).text());
}

// The answer is whatever the operation program left in the scratch row; nothing left, nothing checked.
void TFrmZJTest::checkOperation(bool explain) {
    const std::optional<PracticeSession::Check> check = m_session.checkOperation();
    if (check && explain) ShowResultDialog(m_session.operationPayload(*check).text());
}

// ---------------------------------------------------------------------------------------------
// Keyboard answering: the same handlers as the mouse path.

bool TFrmZJTest::answerKey(const QKeyEvent &key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier && key.key() == Qt::Key_D) {
        btnFavClick();
        return true;
    }
    if ((modifiers & Qt::ControlModifier) && (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab)) {
        const bool back = key.key() == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier);
        const int count = PageControl2->count();
        for (int step = 1; step < count; ++step) {
            const int index = (PageControl2->currentIndex() + (back ? count - step : step)) % count;
            if (PageControl2->isTabVisible(index)) {
                PageControl2->setCurrentIndex(index);
                break;
            }
        }
        return true;
    }
    if (modifiers != Qt::NoModifier) return false;
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        SpeedButton4Click();
        return true;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        SpeedButton2Click();
        return true;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        SpeedButton3Click();
        return true;
    default:
        break;
    }
    if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_H) return chooseOption(key.key() - Qt::Key_A);
    if (key.key() >= Qt::Key_1 && key.key() <= Qt::Key_8) return chooseOption(key.key() - Qt::Key_1);
    return false;
}

// Option `index` of the question on screen, clicked as the mouse would. On a case stem the letters
// belong to the sub-question whose box has the focus (the first at the start); Tab reaches the next.
bool TFrmZJTest::chooseOption(int index) {
    const std::optional<QuestionType> tab = activeTab();
    if (!tab) return false;
    const OptionControls &controls = m_options[IndexOf(*tab)];
    QAbstractButton *target = nullptr;
    if (*tab == QuestionType::Fourth) {
        if (controls.owners.empty()) return false;
        int owner = controls.owners.front();
        for (size_t i = 0; i < controls.buttons.size(); ++i)
            if (controls.buttons[i] == focusWidget()) owner = controls.owners[i];
        int j = 0;
        for (size_t i = 0; i < controls.buttons.size() && !target; ++i)
            if (controls.owners[i] == owner && j++ == index) target = controls.buttons[i];
    } else if (index < int(controls.buttons.size())) {
        target = controls.buttons[size_t(index)];
    }
    if (!target) return false;
    target->setFocus(Qt::ShortcutFocusReason);
    if (*tab == QuestionType::Fourth) ScrollBox1->ensureWidgetVisible(target);
    target->click();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Bottom bar and timer

void TFrmZJTest::SpeedButton4Click() {
    Storing([&] {
        const std::optional<QuestionType> tab = activeTab();
        if (!tab) return;
        switch (*tab) {
        case QuestionType::Single:
            checkSingle();
            break;
        case QuestionType::Multiple:
            checkMultiple(true);
            break;
        case QuestionType::Judgement:
            checkJudgement();
            break;
        case QuestionType::Fourth:
            checkFourth(true);
            break;
        }
    });
}

void TFrmZJTest::SpeedButton2Click() {
    MoveInActiveTab(Move::Previous);
}

void TFrmZJTest::SpeedButton3Click() {
    MoveInActiveTab(Move::Next);
}

// "上一题" and "下一题": count the attempt and show the neighbour.
void TFrmZJTest::MoveInActiveTab(Move move) {
    Storing([&] {
        btnFav->setText(notAFavourite());
        lblEndHint->clear();
        const std::optional<QuestionType> tab = activeTab();
        if (!tab) return;
        DiscardOptionControls(*tab);
        const bool moved = CommitAndMove(*tab, move);
        m_session.forgetPendingAnswer();
        // Input that arrived during the move runs now, on the question the move shows: keys answer
        // it, clicks on options are dropped.
        m_moving = true;
        platform().processEvents();
        m_moving = false;
        // The same question shown again at an end of the set says why, without a box to close.
        if (!moved)
            lblEndHint->setText(move == Move::Next ? QStringLiteral("已是本组最后一题。")
                                                   : QStringLiteral("已是本组第一题。"));
    });
    m_moving = false;
}

void TFrmZJTest::SpeedButton1Click() {
    Guarded([&] {
        const QString program =
            launchParameters().AppDir + QStringLiteral("StuName/") + Label5->text() + QStringLiteral(".exe");
        if (!QFileInfo::exists(program)) return;
        ShellOpen(program);
        // About a second for the program to come up, with the window still answering.
        for (int round = 0; round < 10; ++round)
            platform().pause(100);
    });
}

void TFrmZJTest::btnFavClick() {
    Storing([&] {
        const bool add = btnFav->text() == notAFavourite();
        if (const std::optional<QuestionType> tab = activeTab()) m_session.setFavourite(*tab, add);
        btnFav->setText(add ? aFavourite() : notAFavourite());
    });
}

void TFrmZJTest::SpeedButton10Click() {
    Guarded([&] { close(); });
}

void TFrmZJTest::Timer3Timer() {
    Guarded([&] {
        setEnabled(true);
        platform().processEvents();
    });
}

void RunPractice() {
    // A choice that no question fits opens no empty window.
    if (!PracticeSession::AnyQuestionFits(launchParameters())) {
        ShowInfoBox(QStringLiteral("没有符合条件的题目。"));
        return;
    }
    auto *window = new TFrmZJTest(QApplication::activeWindow());
    launchParameters().PaperKey = QStringLiteral("0");
    window->exec();
    window->DiscardAllOptionControls();
    delete window;
}
