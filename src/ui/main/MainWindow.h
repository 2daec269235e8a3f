#pragma once

#include "MainQueries.h"

#include <QWidget>
#include <array>
#include <vector>

class BannerPicture;
class ChapterPracticePage;
class DocumentsPage;
class HomePage;
class MockExamPage;
class NavButton;
class ProgressPanel;
class QDialog;
class QLabel;
class QStackedWidget;
class ReviewPage;
class StatisticsPage;

// The main window: banner, navigation, subject bar, the pages and the status bar.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The statistics page has no navigation entry: the home page's "统计分析" opens it.
    enum Page {
        HomePageIndex,
        DocumentsPageIndex,
        ChapterPageIndex,
        MockExamPageIndex,
        WrongPageIndex,
        FavouritesPageIndex,
        StatisticsPageIndex
    };

    // The folder of `executablePath` is the program folder (AppDir) read at first showing.
    explicit MainWindow(const QString &executablePath, QWidget *parent = nullptr);

    BannerPicture *banner;
    std::array<NavButton *, 6> navButtons;
    QLabel *subjectIcon;
    QLabel *subjectLabel;
    QStackedWidget *pages;
    HomePage *homePage;
    ProgressPanel *progressPanel; // on the home page: backup, restore, start over
    QWidget *statusBar;
    QLabel *infoLabel;    // APP_XINXI
    QLabel *contactLabel; // APP_LXFS
    QLabel *webLink;      // APP_LJURL, opens on click
    QLabel *updateLink;   // "[软件升级]"

    // The other pages are built and filled when first asked for (navigation asks when it shows
    // them), after the first showing: the first paint needs only the home page.
    DocumentsPage *documentsPage();
    ChapterPracticePage *chapterPage();
    MockExamPage *mockExamPage();
    ReviewPage *wrongPage();
    ReviewPage *favouritesPage();
    StatisticsPage *statisticsPage();

    NavButton *navButton(int number) const;
    // What F1 shows: the keys of this window.
    static QString KeysText();
    // The page shown now (inside its scroll area where it has one).
    QWidget *currentPage() const;

    // The steps of the first showing, without the handler guard: start-up runs them before the
    // window is shown, so that a bank failing on the way ends the program with no window at all.
    // Throws what a step throws.
    void PrepareFirstShowing();
    // After a restore or a fresh start: the first showing's steps again, and every page already
    // built shows the bank as it now is.
    void reloadFromBank();

public slots:
    // The first showing's steps under the handler guard (a window shown without start-up).
    void showFirstTime();
    // Navigation, shared by the six entries (1 home … 6 favourites).
    void navigate(int number);
    void openWebLink();
    void checkForUpdate();
    void showSyllabus();
    // "统计分析" on the home page: the statistics page with fresh figures.
    void showStatistics();
    // "使用说明": the first-use guide, in a window of its own beside the main window.
    void showGuide();
    // The program's version, the bank's title and version, and the licences.
    void showAbout();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFrame();
    QWidget *buildNavigation();
    QWidget *buildSubjectBar();
    QWidget *buildStatusBar();
    void buildPages();
    // Puts a page built late in its place of the page stack (a scroll area around it unless the
    // page scrolls by itself).
    void placePage(Page index, QWidget *page, bool scrolls);
    ReviewPage *reviewPage(ReviewPage *&page, Page index);
    void loadPictures();
    void placeOnScreen();
    void showTextDialog(QDialog *&dialog, const QString &name, const QString &title, const QString &text);

    QString m_executablePath;
    bool m_shownOnce = false;
    QDialog *m_guide = nullptr;
    QDialog *m_about = nullptr;
    // What the first showing read from the bank for the pages built later.
    QString m_title;
    std::vector<ChapterTreeRow> m_chapterRows;
    DocumentsPage *m_documentsPage = nullptr;
    ChapterPracticePage *m_chapterPage = nullptr;
    MockExamPage *m_mockExamPage = nullptr;
    ReviewPage *m_wrongPage = nullptr;
    ReviewPage *m_favouritesPage = nullptr;
    StatisticsPage *m_statisticsPage = nullptr;
};
