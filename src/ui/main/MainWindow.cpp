#include "MainWindow.h"

#include "About.h"
#include "BankSession.h"
#include "BannerPicture.h"
#include "ChapterPracticePage.h"
#include "DailyReviewPanel.h"
#include "DocumentsPage.h"
#include "ExamEngine.h"
#include "ExamProfile.h"
#include "Fonts.h"
#include "Guide.h"
#include "HandlerGuard.h"
#include "HomePage.h"
#include "LaunchParameters.h"
#include "MainWindowGeometry.h"
#include "MockExamPage.h"
#include "NavButton.h"
#include "Pictures.h"
#include "ProgressPanel.h"
#include "ReviewPage.h"
#include "StatisticsPage.h"
#include "UpdateCheck.h"
#include "WebLink.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace MainGeometry;

namespace {

struct NavEntry {
    const char *object;
    const char16_t *caption;
    const char *picture;
};
const NavEntry kNav[6] = {
    {"navHome", u"我的首页", "MB__home.png"},     {"navSyllabus", u"考试大纲", "MB__poi.png"},
    {"navChapters", u"章节练习", "MB__book.png"}, {"navMockExam", u"模拟考场", "MB__note.png"},
    {"navWrong", u"错题强化", "MB__loading.png"}, {"navFavourites", u"重点收藏", "MB__search.png"},
};

QString builtIn(const char *file) {
    return QStringLiteral(":/images/") + QString::fromLatin1(file);
}

QLabel *statusField(QWidget *parent, const QString &name) {
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText); // the texts come from the bank
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setContentsMargins(4, 0, 4, 0);
    // A long text from the bank is cut at the field, never widening the window.
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return l;
}

// A page in a scroll area: it grows with the window and scrolls where the window is shorter than
// the page needs.
QScrollArea *scrolled(QWidget *page) {
    auto *area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    // Tab goes to the page's controls, not to its frame; the area follows the focused control.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidget(page);
    return area;
}

} // namespace

MainWindow::MainWindow(const QString &executablePath, QWidget *parent)
    : QWidget(parent), m_executablePath(executablePath) {
    setObjectName(QStringLiteral("MainWindow"));
    buildFrame();
    launchParameters().PaperKey = QStringLiteral("0");
    pages->setCurrentIndex(HomePageIndex);
}

void MainWindow::buildFrame() {
    setFont(PixelFont(QStringLiteral("新宋体"), 12));
    setWindowIcon(QIcon(LoadPicture(builtIn("app.png"))));
    setMinimumSize(kMinWidth, kMinHeight);
    resize(kWidth, kHeight);

    banner = new BannerPicture(this);
    banner->setObjectName(QStringLiteral("banner"));
    banner->setFixedHeight(kBannerHeight);
    banner->setPicture(LoadPicture(builtIn("logo.jpg")));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(banner);
    column->addWidget(buildNavigation());
    column->addWidget(buildSubjectBar());
    buildPages();
    column->addWidget(pages, 1);
    column->addWidget(buildStatusBar());

    for (int number = 1; number <= 6; ++number) {
        auto *key = new QShortcut(QKeySequence(QStringLiteral("Ctrl+%1").arg(number)), this);
        connect(key, &QShortcut::activated, this, [this, number] { navigate(number); });
    }
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [] { ShowInfoBox(KeysText()); });
}

QWidget *MainWindow::buildNavigation() {
    auto *nav = new QWidget(this);
    nav->setObjectName(QStringLiteral("navigation"));
    nav->setFixedHeight(kNavHeight);
    nav->setAutoFillBackground(true);
    auto *row = new QHBoxLayout(nav);
    row->setContentsMargins(kNavLeft, 2, kNavLeft, 2);
    row->setSpacing(kNavSpacing - NavButton::kWidth);
    for (int i = 0; i < 6; ++i) {
        auto *b = new NavButton(i + 1, QString::fromUtf16(kNav[i].caption), builtIn(kNav[i].picture), nav);
        b->setObjectName(QString::fromLatin1(kNav[i].object));
        connect(b, &NavButton::clicked, this, &MainWindow::navigate);
        row->addWidget(b, 0, Qt::AlignTop);
        navButtons[size_t(i)] = b;
    }
    row->addStretch(1);
    return nav;
}

QWidget *MainWindow::buildSubjectBar() {
    auto *subject = new QWidget(this);
    subject->setObjectName(QStringLiteral("subjectBar"));
    subject->setFixedHeight(kSubjectHeight);
    subject->setAttribute(Qt::WA_StyledBackground);
    subject->setStyleSheet(QStringLiteral(
        "#subjectBar { background-color: #d7e9f7; border-top: 1px solid #9cc3e4; border-bottom: 1px solid #9cc3e4; }"));
    auto *row = new QHBoxLayout(subject);
    row->setContentsMargins(16, 0, 20, 0);
    row->setSpacing(12);
    subjectIcon = new QLabel(subject);
    subjectIcon->setFixedSize(kSubjectIcon, kSubjectIcon);
    subjectIcon->setScaledContents(true);
    subjectIcon->setPixmap(LoadPicture(builtIn("app.png")));
    subjectLabel = new QLabel(subject);
    subjectLabel->setObjectName(QStringLiteral("subjectLabel"));
    subjectLabel->setTextFormat(Qt::PlainText);
    subjectLabel->setFont(PixelFont(QStringLiteral("微软雅黑"), 21, true));
    subjectLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(subjectIcon);
    row->addWidget(subjectLabel, 1);
    return subject;
}

void MainWindow::buildPages() {
    pages = new QStackedWidget(this);
    pages->setObjectName(QStringLiteral("pages"));
    homePage = new HomePage;
    homePage->setObjectName(QStringLiteral("homePage"));
    progressPanel = new ProgressPanel;
    progressPanel->setObjectName(QStringLiteral("progressPanel"));
    homePage->addPanel(progressPanel);
    progressPanel->reload = [this] { reloadFromBank(); };
    // The order is the Page enumeration's; the other pages hold an empty place until first asked for.
    pages->addWidget(scrolled(homePage));
    for (int i = DocumentsPageIndex; i <= StatisticsPageIndex; ++i)
        pages->addWidget(new QWidget);
    connect(homePage, &HomePage::syllabusRequested, this, &MainWindow::showSyllabus);
    // "章节练习" and "全真模考" go where navigation entries 3 and 4 go.
    connect(homePage, &HomePage::chapterPracticeRequested, this, [this] { navigate(3); });
    connect(homePage, &HomePage::mockExamRequested, this, [this] { navigate(4); });
    connect(homePage, &HomePage::statisticsRequested, this, &MainWindow::showStatistics);
    connect(homePage, &HomePage::guideRequested, this, &MainWindow::showGuide);
    connect(homePage, &HomePage::aboutRequested, this, &MainWindow::showAbout);
}

void MainWindow::placePage(Page index, QWidget *page, bool scrolls) {
    QWidget *place = pages->widget(index);
    const bool current = pages->currentIndex() == index;
    pages->insertWidget(index, scrolls ? page : scrolled(page));
    pages->removeWidget(place);
    delete place;
    if (current) pages->setCurrentIndex(index);
}

DocumentsPage *MainWindow::documentsPage() {
    if (!m_documentsPage) {
        m_documentsPage = new DocumentsPage;
        m_documentsPage->setObjectName(QStringLiteral("documentsPage"));
        // The documents viewer scrolls by itself.
        placePage(DocumentsPageIndex, m_documentsPage, true);
    }
    return m_documentsPage;
}

ChapterPracticePage *MainWindow::chapterPage() {
    if (!m_chapterPage) {
        m_chapterPage = new ChapterPracticePage;
        m_chapterPage->setObjectName(QStringLiteral("chapterPage"));
        placePage(ChapterPageIndex, m_chapterPage, false);
        m_chapterPage->ShowProfile();
        m_chapterPage->BuildChapterTree(m_chapterRows);
    }
    return m_chapterPage;
}

MockExamPage *MainWindow::mockExamPage() {
    if (!m_mockExamPage) {
        m_mockExamPage = new MockExamPage;
        m_mockExamPage->setObjectName(QStringLiteral("mockExamPage"));
        placePage(MockExamPageIndex, m_mockExamPage, false);
        m_mockExamPage->ShowProfile(m_title);
        m_mockExamPage->OpenPaperList();
    }
    return m_mockExamPage;
}

ReviewPage *MainWindow::reviewPage(ReviewPage *&page, Page index) {
    if (!page) {
        const bool wrong = index == WrongPageIndex;
        page = new ReviewPage(wrong ? ReviewPage::Kind::WrongQuestions : ReviewPage::Kind::Favourites);
        page->setObjectName(wrong ? QStringLiteral("wrongPage") : QStringLiteral("favouritesPage"));
        placePage(index, page, false);
        page->ShowProfile();
    }
    return page;
}

ReviewPage *MainWindow::wrongPage() {
    return reviewPage(m_wrongPage, WrongPageIndex);
}

ReviewPage *MainWindow::favouritesPage() {
    return reviewPage(m_favouritesPage, FavouritesPageIndex);
}

StatisticsPage *MainWindow::statisticsPage() {
    if (!m_statisticsPage) {
        m_statisticsPage = new StatisticsPage;
        m_statisticsPage->setObjectName(QStringLiteral("statisticsPage"));
        placePage(StatisticsPageIndex, m_statisticsPage, false);
    }
    return m_statisticsPage;
}

QWidget *MainWindow::buildStatusBar() {
    statusBar = new QWidget(this);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    statusBar->setFixedHeight(kStatusHeight);
    auto *row = new QHBoxLayout(statusBar);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(2);
    infoLabel = statusField(statusBar, QStringLiteral("infoLabel"));
    contactLabel = statusField(statusBar, QStringLiteral("contactLabel"));
    webLink = statusField(statusBar, QStringLiteral("webLink"));
    webLink->setCursor(Qt::PointingHandCursor);
    updateLink = statusField(statusBar, QStringLiteral("updateLink"));
    updateLink->setText(QStringLiteral("[软件升级]"));
    updateLink->setCursor(Qt::PointingHandCursor);
    // The two links are reached with Tab and opened with Enter or Space; the focused one is marked.
    statusBar->setStyleSheet(QStringLiteral("QLabel#webLink { color: #0645ad; text-decoration: underline; }"
                                            "QLabel#webLink:focus, QLabel#updateLink:focus { background: #cce4f7; }"));
    for (QLabel *link : {webLink, updateLink})
        link->setFocusPolicy(Qt::StrongFocus);
    infoLabel->setAccessibleName(QStringLiteral("题库信息"));
    contactLabel->setAccessibleName(QStringLiteral("联系方式"));
    webLink->setAccessibleName(QStringLiteral("网址"));
    updateLink->setAccessibleName(QStringLiteral("软件升级"));
    updateLink->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    row->addWidget(infoLabel, 4);
    row->addWidget(contactLabel, 3);
    row->addWidget(webLink, 3);
    row->addWidget(updateLink, 0);
    webLink->installEventFilter(this);
    updateLink->installEventFilter(this);
    return statusBar;
}

NavButton *MainWindow::navButton(int number) const {
    return navButtons[size_t(number - 1)];
}

QWidget *MainWindow::currentPage() const {
    QWidget *shown = pages->currentWidget();
    auto *area = qobject_cast<QScrollArea *>(shown);
    return area ? area->widget() : shown;
}

void MainWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        showFirstTime();
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    bool activated =
        event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        activated = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    }
    if (activated) {
        if (watched == webLink) openWebLink();
        if (watched == updateLink) checkForUpdate();
    }
    return QWidget::eventFilter(watched, event);
}

QString MainWindow::KeysText() {
    return QStringLiteral("本窗口的按键：\n"
                          "Ctrl+1～Ctrl+6\t我的首页、考试大纲、章节练习、模拟考场、错题强化、重点收藏\n"
                          "Tab / Shift+Tab\t移到下一个 / 上一个控件\n"
                          "← →\t在导航项之间移动\n"
                          "Enter 或空格\t打开有焦点的导航项、按钮或链接\n"
                          "F1\t显示本说明");
}

void MainWindow::showFirstTime() {
    Guarded([&] { PrepareFirstShowing(); });
}

void MainWindow::PrepareFirstShowing() {
    m_shownOnce = true;
    {
        LaunchParameters &lp = launchParameters();
        BankSession &data = *bankSession();
        // 1-2: the program folder and the updater's download folder.
        lp.AppDir = QFileInfo(m_executablePath).absolutePath() + QLatin1Char('/');
        QDir(lp.AppDir).mkpath(QStringLiteral("down"));
        // 3: centred on the screen, within it.
        placeOnScreen();
        // 4-6: display texts.
        const QString title = data.GetOption(QStringLiteral("APP_TITLE"));
        const QString xinxi = data.GetOption(QStringLiteral("APP_XINXI"));
        const QString url = data.GetOption(QStringLiteral("APP_LJURL"));
        const QString lxfs = data.GetOption(QStringLiteral("APP_LXFS"));
        lp.PracticeScope = int(PracticeScope::All);
        infoLabel->setText(xinxi);
        contactLabel->setText(lxfs);
        webLink->setText(url);
        // 7: the exam profile and what shows it.
        data.LoadExamProfile(QStringLiteral("1"));
        data.LoadExamOptions();
        subjectLabel->setText(examProfile().subjectName);
        // 8: the title.
        m_title = title;
        setApplicationTitle(title);
        QApplication::setApplicationDisplayName(QString());
        setWindowTitle(title);
        // 9: the chapter tree is read now, so that a bank whose chapter table cannot be read ends
        // the start-up; the pages that show it and the answered papers are filled when first shown.
        m_chapterRows = ReadChapterTree(data.listQuery);
        // 10-11: home, then the pictures found next to the program.
        navigate(1);
        loadPictures();
    }
}

// The guide and the about box: a text to read, as plain text, and a button to close it; made once,
// its text renewed at every opening.
void MainWindow::showTextDialog(QDialog *&dialog, const QString &name, const QString &title, const QString &text) {
    if (!dialog) {
        dialog = new QDialog(this);
        dialog->setObjectName(name);
        dialog->setWindowTitle(title);
        dialog->resize(680, 560);
        auto *column = new QVBoxLayout(dialog);
        auto *view = new QPlainTextEdit(dialog);
        view->setObjectName(name + QStringLiteral("Text"));
        view->setReadOnly(true);
        view->setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
        view->setAccessibleName(title);
        auto *close = new QPushButton(QStringLiteral("关闭"), dialog);
        connect(close, &QPushButton::clicked, dialog, &QDialog::close);
        column->addWidget(view, 1);
        column->addWidget(close, 0, Qt::AlignRight);
    }
    dialog->findChild<QPlainTextEdit *>()->setPlainText(text);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void MainWindow::showGuide() {
    Guarded([&] {
        const ExamProfile &profile = examProfile();
        showTextDialog(m_guide, QStringLiteral("guide"), QStringLiteral("使用说明"),
                       GuideText(profile, ExamSecondsFor(profile, m_title) / 60));
    });
}

void MainWindow::showAbout() {
    Guarded([&] {
        const AboutFacts facts{ProgramVersion(), m_title, bankSession()->GetOption(QStringLiteral("BANK_VERSION"))};
        showTextDialog(m_about, QStringLiteral("about"), QStringLiteral("关于本程序"), AboutText(facts));
    });
}

void MainWindow::reloadFromBank() {
    PrepareFirstShowing();
    if (m_chapterPage) {
        m_chapterPage->ShowProfile();
        m_chapterPage->BuildChapterTree(m_chapterRows);
    }
    if (m_mockExamPage) {
        m_mockExamPage->ShowProfile(m_title);
        m_mockExamPage->OpenPaperList();
    }
    for (ReviewPage *page : {m_wrongPage, m_favouritesPage})
        if (page) {
            page->ShowProfile();
            page->Enter();
        }
    if (m_statisticsPage) m_statisticsPage->Refresh();
    if (homePage->dailyReview()) homePage->dailyReview()->refresh();
}

void MainWindow::placeOnScreen() {
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect avail = screen->availableGeometry();
    // The frame (title bar and borders) as the window system reports it; before the first showing
    // an estimate.
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(8, 38);
    resize(std::max(minimumWidth(), std::min(kWidth, avail.width() - frame.width())),
           std::max(minimumHeight(), std::min(kHeight, avail.height() - frame.height())));
    move(avail.x() + std::max(0, (avail.width() - width() - frame.width()) / 2),
         avail.y() + std::max(0, (avail.height() - height() - frame.height()) / 2));
}

void MainWindow::loadPictures() {
    const QString images = launchParameters().AppDir + QStringLiteral("images/");
    auto load = [&](const char *file) -> QPixmap {
        const QString path = images + QString::fromLatin1(file);
        return QFileInfo::exists(path) ? LoadPicture(path) : QPixmap();
    };
    const QPixmap icon = load("app.ico");
    if (!icon.isNull()) setWindowIcon(QIcon(icon));
    const QPixmap logo = load("logo.jpg");
    if (!logo.isNull()) banner->setPicture(logo);
    for (int i = 0; i < 6; ++i) {
        const QPixmap p = load(kNav[i].picture);
        if (!p.isNull()) navButtons[size_t(i)]->setPicture(p);
    }
}

void MainWindow::navigate(int number) {
    Guarded([&] {
        for (NavButton *b : navButtons)
            b->setCurrent(b->number() == number);
        switch (number) {
        case 1:
            pages->setCurrentIndex(HomePageIndex);
            break;
        case 2:
            documentsPage()->EnterFromNavigation();
            pages->setCurrentIndex(DocumentsPageIndex);
            break;
        case 3: {
            launchParameters().PracticeScope = int(PracticeScope::All);
            launchParameters().SelectedChapterCode.clear();
            // A page built just now already shows the whole subject with its numbers.
            const bool built = m_chapterPage != nullptr;
            ChapterPracticePage *page = chapterPage();
            if (built) page->Enter();
            pages->setCurrentIndex(ChapterPageIndex);
            break;
        }
        case 4:
            mockExamPage();
            pages->setCurrentIndex(MockExamPageIndex);
            break;
        case 5:
            wrongPage()->Enter();
            pages->setCurrentIndex(WrongPageIndex);
            break;
        case 6:
            favouritesPage()->Enter();
            pages->setCurrentIndex(FavouritesPageIndex);
            break;
        default:
            break;
        }
    });
}

void MainWindow::showSyllabus() {
    Guarded([&] {
        documentsPage();
        pages->setCurrentIndex(DocumentsPageIndex);
    });
}

void MainWindow::showStatistics() {
    Guarded([&] {
        statisticsPage()->Refresh();
        pages->setCurrentIndex(StatisticsPageIndex);
    });
}

void MainWindow::openWebLink() {
    Guarded([&] {
        // The text comes from the bank: only a web or mail address is handed to the shell, never
        // a program or a file.
        const QUrl link = WebOrMailLink(webLink->text());
        if (!link.isValid() || !ShellOpen(QLatin1Char('"') + link.toString(QUrl::FullyEncoded) + QLatin1Char('"')))
            ShowErrorBox(QStringLiteral("网址访问出错."));
    });
}

void MainWindow::checkForUpdate() {
    Guarded([&] { RunUpdateCheck(); });
}
