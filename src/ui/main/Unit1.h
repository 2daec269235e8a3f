#pragma once

#include <QWidget>
#include <array>

class ChapterPracticePage;
class DocumentsPage;
class HomePage;
class MockExamPage;
class NavButton;
class ProgressPanel;
class QLabel;
class QStackedWidget;
class ReviewPage;
class StatisticsPage;

// The main window: banner, navigation, subject bar, the pages and the status bar.
class TForm1 : public QWidget {
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
    explicit TForm1(const QString &executablePath, QWidget *parent = nullptr);

    QLabel *imgLogo;
    std::array<NavButton *, 6> navButtons; // Image1, Image11, Image4, Image6, Image7, Image9
    QLabel *imgSubject;
    QLabel *lbl1;
    QStackedWidget *PageControl1;
    HomePage *homePage;
    ProgressPanel *progressPanel; // on the home page: backup, restore, start over
    DocumentsPage *documentsPage;
    ChapterPracticePage *chapterPage;
    MockExamPage *mockExamPage;
    ReviewPage *wrongPage;
    ReviewPage *favouritesPage;
    StatisticsPage *statisticsPage;
    QWidget *pnlStatus;
    QLabel *lblInfo; // APP_XINXI
    QLabel *sLabel1; // APP_LXFS
    QLabel *sLabel2; // APP_LJURL, opens on click
    QLabel *Label80; // "[软件升级]"

    NavButton *navButton(int number) const;

    // The steps of the first showing, without the handler guard: start-up runs them before the
    // window is shown, so that a bank failing on the way ends the program with no window at all.
    // Throws what a step throws.
    void PrepareFirstShowing();

public slots:
    void FormCreate();
    void FormShow();
    // Navigation, shared by the six entries.
    void Image1Click(int number);
    void sLabel2Click();
    void Label80Click();
    void HomeSyllabusClick();
    // "统计分析" on the home page: the statistics page with fresh figures.
    void HomeStatisticsClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFrame();
    void loadPictures();

    QString m_executablePath;
    bool m_shownOnce = false;
};
