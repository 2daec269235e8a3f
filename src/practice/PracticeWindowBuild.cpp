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

    keepEnabledTimer = new QTimer(this);
    keepEnabledTimer->setObjectName(QStringLiteral("keepEnabledTimer"));
    keepEnabledTimer->setInterval(kTimerMs);
    connect(keepEnabledTimer, &QTimer::timeout, this, &PracticeWindow::keepEnabled);
    // Keys are read before the focused control sees them: an option or the tab bar would otherwise
    // keep the arrows and Ctrl+Tab for themselves.
    qApp->installEventFilter(this);
}

void PracticeWindow::buildHeader() {
    m_headerPanel = new QWidget(this);
    m_headerPanel->setObjectName(QStringLiteral("headerPanel"));
    m_headerPanel->setFixedHeight(geo::HeaderHeight);
    m_headerPanel->setAutoFillBackground(true);
    QPalette palette = m_headerPanel->palette();
    palette.setColor(QPalette::Window, kHeaderColour);
    m_headerPanel->setPalette(palette);
    m_headerPanel->setFont(PixelFont(QStringLiteral("新宋体"), geo::HeaderFontPx));

    chapterLabel = plainLabel(m_headerPanel, "chapterLabel");
    sectionLabel = plainLabel(m_headerPanel, "sectionLabel");
    for (QLabel *l : {chapterLabel, sectionLabel}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(p);
        l->setFont(PixelFont(QStringLiteral("新宋体"), geo::HeaderFontPx, true));
    }
    chapterLabel->move(geo::HeaderLeftColumn, geo::HeaderRow1);
    sectionLabel->move(geo::HeaderLeftColumn, geo::HeaderRow2);
    m_numberCaption = plainLabel(m_headerPanel, "numberCaption", QStringLiteral("题号"));
    m_numberCaption->move(geo::HeaderRightColumn, geo::HeaderRow1);
    numberLabel = plainLabel(m_headerPanel, "numberLabel");
    numberLabel->move(geo::NumberLeft, geo::HeaderRow1);
    accuracyLabel = plainLabel(m_headerPanel, "accuracyLabel");
    accuracyLabel->move(geo::HeaderRightColumn, geo::HeaderRow2);
    attemptsLabel = plainLabel(m_headerPanel, "attemptsLabel");
    attemptsLabel->move(geo::AttemptsLeft, geo::HeaderRow2);
    setLabel(m_numberCaption, m_numberCaption->text());
    setLabel(accuracyLabel, QStringLiteral("题目答题的正确率 0%  "));
    setLabel(attemptsLabel, QStringLiteral(" 【答对 0 次-答错 0 次】  解答题次 0/1"));
    layout()->addWidget(m_headerPanel);
}

void PracticeWindow::buildTabs() {
    typeTabs = new TypeTabs(this);
    typeTabs->setAccessibleName(QStringLiteral("题型"));
    typeTabs->setObjectName(QStringLiteral("typeTabs"));
    typeTabs->setFont(PixelFont(QStringLiteral("新宋体"), geo::TabFontPx));
    const QuestionLook look = QuestionLook::Practice();
    // The three choice tabs show their view's choice page; the fourth tab's pages are switched by
    // presentation only (page 0 stays empty).
    const std::pair<QuestionType, const char *> views[] = {{QuestionType::Single, "singleView"},
                                                           {QuestionType::Multiple, "multipleView"},
                                                           {QuestionType::Judgement, "judgementView"},
                                                           {QuestionType::Fourth, "fourthView"}};
    for (const auto &[tab, name] : views) {
        const std::vector<QuestionView::Page> pages =
            tab == QuestionType::Fourth
                ? std::vector<QuestionView::Page>{QuestionView::OperationPage, QuestionView::AnalysisPage,
                                                  QuestionView::CasePage}
                : std::vector<QuestionView::Page>{QuestionView::ChoicePage};
        auto *tabView = new QuestionView(look, pages);
        tabView->setObjectName(QString::fromLatin1(name));
        m_views[IndexOf(tab)] = tabView;
    }

    const QString captions[4] = {QuestionTypeName(QuestionType::Single), QuestionTypeName(QuestionType::Multiple),
                                 QuestionTypeName(QuestionType::Judgement), CaseStemTypeName()};
    for (QuestionType tab : kQuestionTypes)
        typeTabs->addTab(m_views[IndexOf(tab)], captions[IndexOf(tab)]);
    connect(view(QuestionType::Single), &QuestionView::answerGiven, this, &PracticeWindow::takeSingleAnswer);
    connect(view(QuestionType::Multiple), &QuestionView::answerGiven, this, &PracticeWindow::takeMultipleAnswer);
    connect(view(QuestionType::Judgement), &QuestionView::answerGiven, this, &PracticeWindow::takeJudgementAnswer);
    connect(view(QuestionType::Fourth), &QuestionView::answerGiven, this, &PracticeWindow::takeFourthAnswer);
    connect(typeTabs, &QTabWidget::currentChanged, this, &PracticeWindow::enterActiveTab);
    static_cast<QVBoxLayout *>(layout())->addWidget(typeTabs, 1);
}
