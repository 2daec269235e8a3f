#include "PracticeFixture.h"
#include "WidgetPlacement.h"

#include <QTabBar>
#include <QTabWidget>

namespace {

// From a 1024-pixel screen to a large one, the four type tabs and the bottom bar's buttons stay in
// sight, and a wider window gives the question more room.
TEST_F(PracticeTest, TabsAndButtonsStayInSightAtEverySize) {
    bank.addQuestion(1, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    bank.addQuestion(2, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB"));
    bank.addQuestion(3, QStringLiteral("判断题"), 1, 1, QStringLiteral("√"), 0);
    bank.addStem(7, 1, 1);
    open();
    const QSize sizes[] = {QSize(1000, 660), QSize(1182, 704), QSize(1920, 1040)};
    int optionWidth = 0;
    for (const QSize &size : sizes) {
        SCOPED_TRACE(size.width());
        w().resize(size);
        QCoreApplication::processEvents();
        const QRect window = w().rect();
        QTabBar *tabs = w().typeTabs->tabBar();
        ASSERT_EQ(tabs->count(), 4);
        for (int t = 0; t < tabs->count(); ++t)
            EXPECT_TRUE(window.contains(QRect(tabs->mapTo(&w(), tabs->tabRect(t).topLeft()), tabs->tabRect(t).size())))
                << "tab " << t;
        for (QWidget *button : {static_cast<QWidget *>(w().previousButton), static_cast<QWidget *>(w().nextButton),
                                static_cast<QWidget *>(w().explainButton), static_cast<QWidget *>(w().closeButton)})
            EXPECT_TRUE(window.contains(InWindow(button))) << button->objectName().toStdString();
        const int width = w().optionButtons(type(0)).front()->width();
        EXPECT_GT(width, optionWidth);
        optionWidth = width;
    }
}

} // namespace
