#include "Unit1.h"

#include "ChapterPracticePage.h"
#include "DataFormP.h"
#include "DocumentsPage.h"
#include "ExamProfile.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "HomePage.h"
#include "LaunchParameters.h"
#include "MainWindowGeometry.h"
#include "MockExamPage.h"
#include "NavButton.h"
#include "ProgressPanel.h"
#include "ReviewPage.h"
#include "StatisticsPage.h"
#include "UpdateCheck.h"
#include "WebLink.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>

using namespace MainGeometry;

namespace {

struct NavEntry {
    const char *object;
    const char16_t *caption;
    const char *picture;
};
const NavEntry kNav[6] = {
    {"Image1", u"我的首页", "MB__home.png"},    {"Image11", u"考试大纲", "MB__poi.png"},
    {"Image4", u"章节练习", "MB__book.png"},    {"Image6", u"模拟考场", "MB__note.png"},
    {"Image7", u"错题强化", "MB__loading.png"}, {"Image9", u"重点收藏", "MB__search.png"},
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
    return l;
}

} // namespace

TForm1::TForm1(const QString &executablePath, QWidget *parent) : QWidget(parent), m_executablePath(executablePath) {
    setObjectName(QStringLiteral("Form1"));
    buildFrame();
    FormCreate();
}

void TForm1::buildFrame() {
    setFont(PixelFont(QStringLiteral("新宋体"), 12));
    setFixedSize(kWidth, kHeight);
    setWindowIcon(QIcon(builtIn("app.png")));

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(0, 0, kWidth, kBannerHeight);
    imgLogo->setScaledContents(true);
    imgLogo->setPixmap(QPixmap(builtIn("logo.jpg")));

    auto *nav = new QWidget(this);
    nav->setObjectName(QStringLiteral("pnlNav"));
    nav->setGeometry(0, kBannerHeight, kWidth, kNavHeight);
    nav->setAutoFillBackground(true);
    for (int i = 0; i < 6; ++i) {
        auto *b = new NavButton(i + 1, QString::fromUtf16(kNav[i].caption), builtIn(kNav[i].picture), nav);
        b->setObjectName(QString::fromLatin1(kNav[i].object));
        b->move(kNavLeft + i * kNavSpacing, 2);
        connect(b, &NavButton::clicked, this, &TForm1::Image1Click);
        navButtons[size_t(i)] = b;
    }

    auto *subject = new QWidget(this);
    subject->setObjectName(QStringLiteral("pnlSubject"));
    subject->setGeometry(0, kBannerHeight + kNavHeight, kWidth, kSubjectHeight);
    subject->setStyleSheet(QStringLiteral(
        "#pnlSubject { background-color: #d7e9f7; border-top: 1px solid #9cc3e4; border-bottom: 1px solid #9cc3e4; }"));
    imgSubject = new QLabel(subject);
    imgSubject->setGeometry(16, (kSubjectHeight - kSubjectIcon) / 2, kSubjectIcon, kSubjectIcon);
    imgSubject->setScaledContents(true);
    imgSubject->setPixmap(QPixmap(builtIn("app.png")));
    lbl1 = new QLabel(subject);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    lbl1->setTextFormat(Qt::PlainText);
    lbl1->setFont(PixelFont(QStringLiteral("微软雅黑"), 21, true));
    lbl1->setGeometry(60, 0, kWidth - 80, kSubjectHeight);

    PageControl1 = new QStackedWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, kPageTop, kWidth, kPageHeight);
    homePage = new HomePage;
    homePage->setObjectName(QStringLiteral("TabSheetHome"));
    auto *homeScroll = new QScrollArea;
    homeScroll->setFrameShape(QFrame::NoFrame);
    homeScroll->setWidget(homePage);
    documentsPage = new DocumentsPage;
    documentsPage->setObjectName(QStringLiteral("TabSheetDocuments"));
    chapterPage = new ChapterPracticePage;
    chapterPage->setObjectName(QStringLiteral("TabSheetChapter"));
    mockExamPage = new MockExamPage;
    mockExamPage->setObjectName(QStringLiteral("TabSheetMockExam"));
    wrongPage = new ReviewPage(ReviewPage::Kind::WrongQuestions);
    wrongPage->setObjectName(QStringLiteral("TabSheetWrong"));
    favouritesPage = new ReviewPage(ReviewPage::Kind::Favourites);
    favouritesPage->setObjectName(QStringLiteral("TabSheetFavourites"));
    statisticsPage = new StatisticsPage;
    statisticsPage->setObjectName(QStringLiteral("TabSheetStatistics"));
    for (QWidget *page :
         {static_cast<QWidget *>(homeScroll), static_cast<QWidget *>(documentsPage),
          static_cast<QWidget *>(chapterPage), static_cast<QWidget *>(mockExamPage), static_cast<QWidget *>(wrongPage),
          static_cast<QWidget *>(favouritesPage), static_cast<QWidget *>(statisticsPage)})
        PageControl1->addWidget(page);
    connect(homePage, &HomePage::syllabusRequested, this, &TForm1::HomeSyllabusClick);
    // "章节练习" and "全真模考" go where navigation entries 3 and 4 go.
    connect(homePage, &HomePage::chapterPracticeRequested, this, [this] { Image1Click(3); });
    connect(homePage, &HomePage::mockExamRequested, this, [this] { Image1Click(4); });
    connect(homePage, &HomePage::statisticsRequested, this, &TForm1::HomeStatisticsClick);
    progressPanel = new ProgressPanel(homePage);
    progressPanel->move(60, 380);
    // After a restore or a fresh start every page shows the bank as it now is.
    progressPanel->reload = [this] { PrepareFirstShowing(); };

    pnlStatus = new QWidget(this);
    pnlStatus->setObjectName(QStringLiteral("pnlStatus"));
    pnlStatus->setGeometry(0, kHeight - kStatusHeight, kWidth, kStatusHeight);
    auto *row = new QHBoxLayout(pnlStatus);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(2);
    lblInfo = statusField(pnlStatus, QStringLiteral("lblInfo"));
    sLabel1 = statusField(pnlStatus, QStringLiteral("sLabel1"));
    sLabel2 = statusField(pnlStatus, QStringLiteral("sLabel2"));
    sLabel2->setCursor(Qt::PointingHandCursor);
    sLabel2->setStyleSheet(QStringLiteral("color: #0645ad; text-decoration: underline;"));
    Label80 = statusField(pnlStatus, QStringLiteral("Label80"));
    Label80->setText(QStringLiteral("[软件升级]"));
    Label80->setCursor(Qt::PointingHandCursor);
    row->addWidget(lblInfo, 4);
    row->addWidget(sLabel1, 3);
    row->addWidget(sLabel2, 3);
    row->addWidget(Label80, 0);
    sLabel2->installEventFilter(this);
    Label80->installEventFilter(this);
}

NavButton *TForm1::navButton(int number) const {
    return navButtons[size_t(number - 1)];
}

void TForm1::FormCreate() {
    launchParameters().PaperKey = QStringLiteral("0");
    PageControl1->setCurrentIndex(HomePageIndex);
}

void TForm1::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
}

bool TForm1::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == sLabel2) sLabel2Click();
        if (watched == Label80) Label80Click();
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::FormShow() {
    Guarded([&] { PrepareFirstShowing(); });
}

void TForm1::PrepareFirstShowing() {
    m_shownOnce = true;
    {
        LaunchParameters &lp = launchParameters();
        TDataForm &data = *dataForm();
        // 1-2: the program folder and the updater's download folder.
        lp.AppDir = QFileInfo(m_executablePath).absolutePath() + QLatin1Char('/');
        QDir(lp.AppDir).mkpath(QStringLiteral("down"));
        // 3: centred on the screen.
        if (QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
            const QRect avail = screen->geometry();
            move(avail.x() + (avail.width() - frameGeometry().width()) / 2,
                 avail.y() + (avail.height() - frameGeometry().height()) / 2);
        }
        // 4-6: display texts.
        const QString title = data.GetOption(QStringLiteral("APP_TITLE"));
        const QString xinxi = data.GetOption(QStringLiteral("APP_XINXI"));
        const QString url = data.GetOption(QStringLiteral("APP_LJURL"));
        const QString lxfs = data.GetOption(QStringLiteral("APP_LXFS"));
        lp.PracticeScope = int(PracticeScope::All);
        lblInfo->setText(xinxi);
        sLabel1->setText(lxfs);
        sLabel2->setText(url);
        // 7: the exam profile and what shows it.
        data.LoadExamProfile(QStringLiteral("1"));
        data.LoadExamOptions();
        lbl1->setText(examProfile().subjectName);
        chapterPage->ShowProfile();
        wrongPage->ShowProfile();
        favouritesPage->ShowProfile();
        mockExamPage->ShowProfile(title);
        // 8: the title.
        setApplicationTitle(title);
        QApplication::setApplicationDisplayName(QString());
        setWindowTitle(title);
        // 9: answered papers and the chapter tree.
        mockExamPage->OpenPaperList();
        chapterPage->BuildChapterTree();
        // 10-11: home, then the pictures found next to the program.
        Image1Click(1);
        loadPictures();
    }
}

void TForm1::loadPictures() {
    const QString images = launchParameters().AppDir + QStringLiteral("images/");
    auto load = [&](const char *file) -> QPixmap {
        const QString path = images + QString::fromLatin1(file);
        return QFileInfo::exists(path) ? QPixmap(path) : QPixmap();
    };
    const QPixmap icon = load("app.ico");
    if (!icon.isNull()) setWindowIcon(QIcon(icon));
    const QPixmap logo = load("logo.jpg");
    if (!logo.isNull()) imgLogo->setPixmap(logo);
    for (int i = 0; i < 6; ++i) {
        const QPixmap p = load(kNav[i].picture);
        if (!p.isNull()) navButtons[size_t(i)]->setPicture(p);
    }
}

void TForm1::Image1Click(int number) {
    Guarded([&] {
        for (NavButton *b : navButtons)
            b->setCurrent(b->number() == number);
        switch (number) {
        case 1:
            PageControl1->setCurrentIndex(HomePageIndex);
            break;
        case 2:
            documentsPage->EnterFromNavigation();
            PageControl1->setCurrentIndex(DocumentsPageIndex);
            break;
        case 3:
            launchParameters().PracticeScope = int(PracticeScope::All);
            launchParameters().SelectedChapterCode.clear();
            chapterPage->Enter();
            PageControl1->setCurrentIndex(ChapterPageIndex);
            break;
        case 4:
            PageControl1->setCurrentIndex(MockExamPageIndex);
            break;
        case 5:
            wrongPage->Enter();
            PageControl1->setCurrentIndex(WrongPageIndex);
            break;
        case 6:
            favouritesPage->Enter();
            PageControl1->setCurrentIndex(FavouritesPageIndex);
            break;
        default:
            break;
        }
    });
}

void TForm1::HomeSyllabusClick() {
    Guarded([&] { PageControl1->setCurrentIndex(DocumentsPageIndex); });
}

void TForm1::HomeStatisticsClick() {
    Guarded([&] {
        statisticsPage->Refresh();
        PageControl1->setCurrentIndex(StatisticsPageIndex);
    });
}

void TForm1::sLabel2Click() {
    Guarded([&] {
        // The text comes from the bank: only a web or mail address is handed to the shell, never
        // a program or a file.
        const QUrl link = WebOrMailLink(sLabel2->text());
        if (!link.isValid() || !ShellOpen(QLatin1Char('"') + link.toString(QUrl::FullyEncoded) + QLatin1Char('"')))
            ShowErrorBox(QStringLiteral("网址访问出错."));
    });
}

void TForm1::Label80Click() {
    Guarded([&] { RunUpdateCheck(); });
}
