#include "ExamWindowFixture.h"
#include "WidgetPlacement.h"

// From a 1024-pixel screen to a large one, the remaining time and "交卷" stay on screen and apart,
// and the question gets the room.
TEST_F(ExamWindowTest, TheTimeAndHandInStayOnScreenAtEverySize) {
    open();
    const QSize sizes[] = {QSize(1000, 660), QSize(1167, 665), QSize(1920, 1040)};
    int optionWidth = 0;
    for (const QSize &size : sizes) {
        SCOPED_TRACE(size.width());
        w().resize(size);
        QCoreApplication::processEvents();
        const QRect window = w().rect();
        const QRect time = InWindow(w().countdownLabel), handIn = InWindow(w().handInArea);
        EXPECT_TRUE(window.contains(time)) << time.x();
        EXPECT_TRUE(window.contains(handIn)) << handIn.x();
        EXPECT_FALSE(time.intersects(handIn));
        for (QWidget *button : {static_cast<QWidget *>(w().previousButton), static_cast<QWidget *>(w().nextButton),
                                static_cast<QWidget *>(w().calculatorButton), static_cast<QWidget *>(w().markBox)})
            EXPECT_TRUE(window.contains(InWindow(button))) << button->objectName().toStdString();
        const int width = w().optionButtons().front()->width();
        EXPECT_GT(width, optionWidth); // wider windows give the options more room
        optionWidth = width;
    }
}
