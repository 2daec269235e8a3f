// The practice window's header and type tabs, as the window is built.
#include "PracticeWindow.h"

#include "BankSession.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "PlainLabel.h"
#include "PracticeQueries.h"
#include "ResultDialog.h"
#include "SqlError.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Geometry of the practice window, in pixels at 96 dpi.
namespace geo {
constexpr int Width = 1182, Height = 704;
constexpr int MinWidth = 900, MinHeight = 600;
constexpr int HeaderHeight = 71;
constexpr int HeaderLeftColumn = 24, HeaderRightColumn = 600, HeaderRow1 = 10, HeaderRow2 = 40;
constexpr int NumberLeft = 648, AttemptsLeft = 800;
constexpr int HeaderFontPx = 16, WindowFontPx = 14;
constexpr int TabWidth = 280, TabFontPx = 19;
} // namespace geo

const QColor kHeaderColour(168, 196, 217);
constexpr int kTimerMs = 500;

QLabel *plainLabel(QWidget *parent, const char *name, const QString &text = QString()) {
    return PlainLabel(parent, QString::fromLatin1(name), text);
}

// The type tabs are all the same width, whatever their caption: the design width, or less so that
// all four stay in sight in a narrow window.
class FixedWidthTabBar : public QTabBar {
public:
    FixedWidthTabBar(int width, QWidget *parent) : QTabBar(parent), m_width(width) {}

protected:
    QSize tabSizeHint(int index) const override {
        QSize size = QTabBar::tabSizeHint(index);
        const int room = parentWidget() ? parentWidget()->width() / qMax(1, count()) : m_width;
        size.setWidth(qMin(m_width, room));
        return size;
    }

private:
    int m_width;
};

class TypeTabs : public QTabWidget {
public:
    explicit TypeTabs(QWidget *parent) : QTabWidget(parent) { setTabBar(new FixedWidthTabBar(geo::TabWidth, this)); }
};

} // namespace

PracticeWindow::PracticeWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint) {
    setObjectName(QStringLiteral("PracticeWindow"));
    setWindowTitle(QStringLiteral("题目练习"));
    setFont(PixelFont(QStringLiteral("新宋体"), geo::WindowFontPx));
    setMinimumSize(geo::MinWidth, geo::MinHeight);
    // The design size where the screen has room, else the screen's room (never below the minimum).
    QSize size(geo::Width, geo::Height);
    if (QScreen *s = screen()) size = size.boundedTo(s->availableGeometry().size()).expandedTo(minimumSize());
    resize(size);
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
    connect(Timer3, &QTimer::timeout, this, &PracticeWindow::Timer3Timer);
    // Keys are read before the focused control sees them: an option or the tab bar would otherwise
    // keep the arrows and Ctrl+Tab for themselves.
    qApp->installEventFilter(this);
}

void PracticeWindow::buildHeader() {
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

void PracticeWindow::buildTabs() {
    PageControl2 = new TypeTabs(this);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    PageControl2->setFont(PixelFont(QStringLiteral("新宋体"), geo::TabFontPx));
    const QuestionLook look = QuestionLook::Practice();

    // The three choice tabs: the stem on top, option controls placed below it by presentation.
    auto choiceTab = [&](QuestionType tab, const char *name, const char *memoName, QPlainTextEdit *&stemMemo) {
        auto *view = new QuestionView(look, {QuestionView::ChoicePage});
        view->optionArea->setObjectName(QString::fromLatin1(name));
        view->stemBox->setObjectName(QString::fromLatin1(memoName));
        stemMemo = view->stemBox;
        m_views[IndexOf(tab)] = view;
        return view->optionArea;
    };
    TabSheet5 = choiceTab(QuestionType::Single, "TabSheet5", "Memo1", Memo1);
    TabSheet6 = choiceTab(QuestionType::Multiple, "TabSheet6", "Memo5", Memo5);
    TabSheet7 = choiceTab(QuestionType::Judgement, "TabSheet7", "Memo6", Memo6);

    // The fourth tab: its pages are switched by presentation only; page 0 stays empty.
    PageControl1 =
        new QuestionView(look, {QuestionView::OperationPage, QuestionView::AnalysisPage, QuestionView::CasePage});
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    m_views[IndexOf(QuestionType::Fourth)] = PageControl1;
    TabSheet8 = PageControl1;
    TabSheet1 = PageControl1->page(QuestionView::ChoicePage);
    TabSheet2 = PageControl1->page(QuestionView::OperationPage);
    TabSheet3 = PageControl1->page(QuestionView::AnalysisPage);
    TabSheet4 = PageControl1->page(QuestionView::CasePage);
    Memo2 = PageControl1->operationBox;
    ScrollBox2 = PageControl1->analysisArea;
    Label10 = PageControl1->analysisStem;
    Image1 = PageControl1->analysisPicture;
    Label11 = PageControl1->analysisExtra;
    ScrollBox3 = PageControl1->caseStemArea;
    Label12 = PageControl1->caseStem;
    Image2 = PageControl1->casePicture;
    Label13 = PageControl1->caseExtra;
    ScrollBox1 = PageControl1->subQuestionArea;
    const std::pair<QObject *, const char *> names[] = {
        {TabSheet1, "TabSheet1"},   {TabSheet2, "TabSheet2"},   {TabSheet3, "TabSheet3"},
        {TabSheet4, "TabSheet4"},   {Memo2, "Memo2"},           {ScrollBox2, "ScrollBox2"},
        {Label10, "Label10"},       {Image1, "Image1"},         {Label11, "Label11"},
        {ScrollBox3, "ScrollBox3"}, {Label12, "Label12"},       {Image2, "Image2"},
        {Label13, "Label13"},       {ScrollBox1, "ScrollBox1"}, {ScrollBox1->widget(), "ScrollBox1Content"}};
    for (const auto &[object, name] : names)
        object->setObjectName(QString::fromLatin1(name));

    const QString captions[4] = {QuestionTypeName(QuestionType::Single), QuestionTypeName(QuestionType::Multiple),
                                 QuestionTypeName(QuestionType::Judgement), CaseStemTypeName()};
    for (QuestionType tab : kQuestionTypes)
        PageControl2->addTab(m_views[IndexOf(tab)], captions[IndexOf(tab)]);
    connect(m_views[0], &QuestionView::answerGiven, this, &PracticeWindow::DXTJDAClick);
    connect(m_views[1], &QuestionView::answerGiven, this, &PracticeWindow::DXTHDAClick);
    connect(m_views[2], &QuestionView::answerGiven, this, &PracticeWindow::PDTJDAClick);
    connect(m_views[3], &QuestionView::answerGiven, this, &PracticeWindow::ALFXTJDAClick);
    connect(PageControl2, &QTabWidget::currentChanged, this, &PracticeWindow::PageControl2Change);
    static_cast<QVBoxLayout *>(layout())->addWidget(PageControl2, 1);
}
