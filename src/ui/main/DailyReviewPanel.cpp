#include "DailyReviewPanel.h"

#include "BankSession.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "Platform.h"
#include "PracticeWindow.h"
#include "ReviewStore.h"
#include "SqlDatabase.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

DailyReviewPanel::DailyReviewPanel(Layout layout, QWidget *parent)
    : QGroupBox(QStringLiteral("今日复习"), parent), countsLabel(new QLabel(this)),
      startButton(new QPushButton(QStringLiteral("开始复习"), this)), launchPractice(&RunPractice) {
    setObjectName(QStringLiteral("grpDailyReview"));
    setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
    countsLabel->setObjectName(QStringLiteral("lblDueCounts"));
    countsLabel->setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
    startButton->setObjectName(QStringLiteral("btnStartReview"));
    startButton->setFont(PixelFont(QStringLiteral("微软雅黑"), 16, true));
    startButton->setCursor(Qt::PointingHandCursor);
    startButton->setFixedSize(140, 40);
    auto *box = new QBoxLayout(layout == Layout::Row ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this);
    box->setContentsMargins(14, 8, 14, 8);
    box->addWidget(countsLabel, 1);
    box->addWidget(startButton, 0, Qt::AlignLeft | Qt::AlignVCenter);
    connect(startButton, &QPushButton::clicked, this, &DailyReviewPanel::startClick);
}

void DailyReviewPanel::refresh() {
    if (!bankSession() || !bankSession()->db.isOpen()) return;
    countsLabel->setText(DueCountsText(CountDue(bankSession()->db, ReviewDay(platform().now()))));
}

void DailyReviewPanel::showEvent(QShowEvent *event) {
    QGroupBox::showEvent(event);
    Guarded([&] { refresh(); });
}

void DailyReviewPanel::startClick() {
    Guarded([&] {
        LaunchParameters &launch = launchParameters();
        launch.PracticeScope = int(PracticeScope::DueReviews);
        launch.PracticeTypeFlags = {true, true, true, true};
        launch.SelectedChapterCode.clear();
        launchPractice();
        refresh();
    });
}
