#include "DocumentsPage.h"
#include "FixtureBank.h"
#include "Gbk.h"
#include "HomePage.h"
#include "LaunchParameters.h"
#include "MainWindow.h"
#include "NavButton.h"
#include "RecordingPlatform.h"
#include "TestApp.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

// An RTF document as a word processor writes Chinese: a bold heading in \u escapes, then a line.
QByteArray RtfDocument(const QString &heading, const QString &line) {
    auto escaped = [](const QString &text) {
        QByteArray out;
        for (QChar c : text) {
            if (c.unicode() < 0x80)
                out += char(c.unicode());
            else
                out += "\\u" + QByteArray::number(qint16(c.unicode())) + '?';
        }
        return out;
    };
    return "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\uc1\\pard\\f0\\fs24{\\b " +
           escaped(heading) + "}\\par " + escaped(line) + "\\par}";
}

class DocumentsPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetProcessState();
    }

    void writeDoc(const QString &name, const QByteArray &bytes) {
        QDir(bank.dir()).mkpath(QStringLiteral("doc"));
        QFile f(bank.dir() + QStringLiteral("doc/") + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void writeAllDocs() {
        for (const char16_t *name : {u"考试大纲", u"报考指南", u"过关经验", u"考试文库", u"考试资讯"}) {
            const QString n = QString::fromUtf16(name);
            writeDoc(n + QStringLiteral(".rtf"), RtfDocument(n, n + QStringLiteral("正文")));
        }
    }
    // A page of its own, with the bank open and the program folder set as the first showing sets it.
    std::unique_ptr<DocumentsPage> openPage() {
        bank.open();
        launchParameters().AppDir = bank.dir();
        return std::make_unique<DocumentsPage>();
    }
    static QString shown(const DocumentsPage &page) { return page.viewer->toPlainText(); }
    static std::vector<QPushButton *> buttons(const DocumentsPage &page) {
        return {page.syllabusButton, page.guideButton, page.experienceButton, page.libraryButton, page.newsButton};
    }

    RecordingPlatform platform;
    FixtureBank bank;
};

TEST_F(DocumentsPageTest, LayoutIsFiveButtonsBesideAReadOnlyViewer) {
    auto page = openPage();
    page->resize(1013, 475);
    page->show();
    const QStringList captions = {QStringLiteral("考试大纲"), QStringLiteral("报考指南"), QStringLiteral("过关经验"),
                                  QStringLiteral("考试文库"), QStringLiteral("考试资讯")};
    const auto bs = buttons(*page);
    for (size_t i = 0; i < bs.size(); ++i) {
        EXPECT_EQ(bs[i]->text(), captions[int(i)]);
        EXPECT_EQ(bs[i]->size(), QSize(153, 57));
        if (i > 0) {
            EXPECT_GT(bs[i]->y(), bs[i - 1]->y());
        }
    }
    EXPECT_TRUE(page->viewer->isReadOnly());
    EXPECT_EQ(page->viewer->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_GT(page->viewer->x(), page->syllabusButton->geometry().right());
    EXPECT_GE(page->viewer->geometry().right(), 1013 - 8);
    EXPECT_GE(page->viewer->height(), 475 - 8);
}

TEST_F(DocumentsPageTest, NavigationLoadsTheSyllabusOnlyIntoAnEmptyViewer) {
    writeAllDocs();
    bank.open();
    MainWindow form(bank.dir() + QStringLiteral("kjks"));
    form.showFirstTime();
    DocumentsPage &page = *form.documentsPage();

    // The home page's button only shows the page: nothing is loaded before the first visit.
    QTest::mouseClick(form.homePage->syllabusButton(), Qt::LeftButton);
    EXPECT_EQ(form.pages->currentIndex(), int(MainWindow::DocumentsPageIndex));
    EXPECT_EQ(shown(page), QString());

    QTest::mouseClick(form.navButton(2), Qt::LeftButton);
    EXPECT_EQ(shown(page), QStringLiteral("考试大纲\n考试大纲正文\n"));

    // Another document stays when the learner leaves and comes back through the navigation.
    QTest::mouseClick(page.experienceButton, Qt::LeftButton);
    EXPECT_EQ(shown(page), QStringLiteral("过关经验\n过关经验正文\n"));
    QTest::mouseClick(form.navButton(1), Qt::LeftButton);
    QTest::mouseClick(form.navButton(2), Qt::LeftButton);
    EXPECT_EQ(form.pages->currentIndex(), int(MainWindow::DocumentsPageIndex));
    EXPECT_EQ(shown(page), QStringLiteral("过关经验\n过关经验正文\n"));

    // Each button replaces what is shown.
    const QStringList names = {QStringLiteral("考试大纲"), QStringLiteral("报考指南"), QStringLiteral("过关经验"),
                               QStringLiteral("考试文库"), QStringLiteral("考试资讯")};
    const auto bs = buttons(page);
    for (size_t i = 0; i < bs.size(); ++i) {
        QTest::mouseClick(bs[i], Qt::LeftButton);
        EXPECT_EQ(shown(page), names[int(i)] + QLatin1Char('\n') + names[int(i)] + QStringLiteral("正文\n"));
    }
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
}

TEST_F(DocumentsPageTest, MissingFilesLeaveTheViewerEmptyWithoutAMessage) {
    struct Case {
        const char *name;
        const char16_t *agadaDoc;
        bool docFolder;
        bool syllabusOnly; // the guides are present and still load
    } cases[] = {
        {"AGADA_DOC empty names the folder itself", u"", true, true},
        {"AGADA_DOC names a missing file", u"大纲2025.rtf", true, true},
        {"no doc folder", u"考试大纲.rtf", false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FixtureBank caseBank;
        caseBank.model.options[QStringLiteral("AGADA_DOC")] = QString::fromUtf16(c.agadaDoc);
        if (c.docFolder) {
            QDir(caseBank.dir()).mkpath(QStringLiteral("doc"));
            QFile f(caseBank.dir() + QStringLiteral("doc/报考指南.rtf"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(RtfDocument(QStringLiteral("报考指南"), QStringLiteral("正文")));
        }
        caseBank.open();
        launchParameters().AppDir = caseBank.dir();
        DocumentsPage page;

        page.EnterFromNavigation();
        EXPECT_EQ(shown(page), QString());
        // A button clears what was shown before it looks for its file.
        page.viewer->setPlainText(QStringLiteral("旧内容"));
        QTest::mouseClick(page.syllabusButton, Qt::LeftButton);
        EXPECT_EQ(shown(page), QString());
        if (c.syllabusOnly) {
            QTest::mouseClick(page.guideButton, Qt::LeftButton);
            EXPECT_EQ(shown(page), QStringLiteral("报考指南\n正文\n"));
        } else {
            for (QPushButton *b : buttons(page)) {
                page.viewer->setPlainText(QStringLiteral("旧内容"));
                QTest::mouseClick(b, Qt::LeftButton);
                EXPECT_EQ(shown(page), QString()) << qPrintable(b->text());
            }
        }
        EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
    }
}

TEST_F(DocumentsPageTest, RtfShowsAsRichTextAndOtherFilesAsPlainText) {
    struct Case {
        const char *name;
        QByteArray bytes;
        QString text;
        bool boldStart;
    };
    const QString chinese = QStringLiteral("会计要素{\\b 不是格式}");
    const Case cases[] = {
        {"RTF", RtfDocument(QStringLiteral("考试大纲"), QStringLiteral("第一章")), QStringLiteral("考试大纲\n第一章\n"),
         true},
        {"UTF-8 text with RTF-like braces", chinese.toUtf8(), chinese, false},
        {"GBK text", UnicodeToGbk(chinese), chinese, false},
        {"UTF-8 text with a byte order mark", "\xEF\xBB\xBF" + chinese.toUtf8(), chinese, false},
        {"UTF-16 text from Notepad",
         QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char *>(chinese.utf16()), chinese.size() * 2),
         chinese, false},
    };
    auto page = openPage();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeDoc(QStringLiteral("考试文库.rtf"), c.bytes);
        QTest::mouseClick(page->libraryButton, Qt::LeftButton);
        EXPECT_EQ(shown(*page), c.text);
        QTextCursor cursor(page->viewer->document());
        cursor.movePosition(QTextCursor::NextCharacter);
        EXPECT_EQ(cursor.charFormat().fontWeight() >= QFont::Bold, c.boldStart);
    }
    EXPECT_TRUE(platform.boxes.empty()) << qPrintable(platform.texts().join(QLatin1Char('|')));
}

TEST_F(DocumentsPageTest, UnreadableFileEndsWithTheErrorBoxAndThePageStaysUsable) {
    writeAllDocs();
    // A file that exists but whose reading fails (also for a privileged user).
    const QString broken = bank.dir() + QStringLiteral("doc/过关经验.rtf");
    QFile::remove(broken);
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), broken));
    auto page = openPage();

    QTest::mouseClick(page->experienceButton, Qt::LeftButton);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].kind, PlatformServices::BoxKind::Error);
    EXPECT_TRUE(platform.boxes[0].text.contains(QStringLiteral("过关经验.rtf"))) << qPrintable(platform.boxes[0].text);
    EXPECT_EQ(shown(*page), QString());

    QTest::mouseClick(page->guideButton, Qt::LeftButton);
    EXPECT_EQ(shown(*page), QStringLiteral("报考指南\n报考指南正文\n"));
    EXPECT_EQ(platform.boxes.size(), 1u);
}

} // namespace
