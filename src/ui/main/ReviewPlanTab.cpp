#include "ReviewPlanTab.h"

#include "BankSession.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "Platform.h"
#include "ReviewStore.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDate>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kForecastDays = 30;

QString dayText(qint64 julianDay) {
    return QDate::fromJulianDay(julianDay).toString(QStringLiteral("M/d"));
}
} // namespace

ReviewPlanTab::ReviewPlanTab(QWidget *parent) : QWidget(parent) {
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    lblRetention = new QLabel(this);
    lblRetention->setObjectName(QStringLiteral("lblRetention"));
    lblRetention->setTextFormat(Qt::PlainText);
    lblRetention->setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
    auto *settingLabel = new QLabel(QStringLiteral("目标记忆保持率"), this);
    settingLabel->setFont(PixelFont(QStringLiteral("微软雅黑"), 14));
    spinRetention = new QDoubleSpinBox(this);
    spinRetention->setObjectName(QStringLiteral("spinRetention"));
    spinRetention->setRange(ReviewSettings::kMinRetention, ReviewSettings::kMaxRetention);
    spinRetention->setSingleStep(0.01);
    spinRetention->setDecimals(2);
    spinRetention->setKeyboardTracking(false);
    spinRetention->setToolTip(QStringLiteral("题目的回忆概率降到这个值时安排复习；越高复习越频繁。"));
    connect(spinRetention, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            [this](double value) { Guarded([&] { saveRetention(value); }); });
    top->addWidget(lblRetention, 1);
    top->addWidget(settingLabel);
    top->addWidget(spinRetention);
    layout->addLayout(top);

    auto *body = new QHBoxLayout;
    chartForecast = new QChartView(this);
    chartForecast->setObjectName(QStringLiteral("chartForecast"));
    tblForecast = new QTableWidget(0, 2, this);
    tblForecast->setObjectName(QStringLiteral("tblForecast"));
    tblForecast->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("到期题数")});
    tblForecast->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblForecast->setSelectionMode(QAbstractItemView::NoSelection);
    tblForecast->verticalHeader()->hide();
    tblForecast->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    body->addWidget(chartForecast, 3);
    body->addWidget(tblForecast, 1);
    layout->addLayout(body, 1);
}

void ReviewPlanTab::Refresh() {
    const ReviewOverview overview = LoadReviewOverview(bankSession()->db, ReviewDay(platform().now()), kForecastDays);
    lblRetention->setText(
        RetentionText(overview.measuredRetention(), overview.tally.dueReviews, overview.settings.desiredRetention));
    {
        const QSignalBlocker quiet(spinRetention);
        spinRetention->setValue(overview.settings.desiredRetention);
    }

    tblForecast->setRowCount(int(overview.forecast.size()));
    auto *set = new QBarSet(QStringLiteral("到期题数"));
    QStringList days;
    int most = 0;
    for (int i = 0; i < int(overview.forecast.size()); ++i) {
        const int count = overview.forecast[size_t(i)];
        const QString day = i == 0 ? QStringLiteral("今天") : dayText(overview.today + i);
        tblForecast->setItem(i, 0, new QTableWidgetItem(day));
        tblForecast->setItem(i, 1, new QTableWidgetItem(QString::number(count)));
        set->append(count);
        days << day;
        most = std::max(most, count);
    }
    auto *series = new QBarSeries;
    series->append(set);
    auto *chart = new QChart;
    chart->setTitle(QStringLiteral("未来 30 天每天到期的复习题"));
    chart->legend()->hide();
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(days);
    x->setLabelsAngle(-60);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto *y = new QValueAxis;
    y->setRange(0, std::max(1, most));
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    QChart *old = chartForecast->chart();
    chartForecast->setChart(chart);
    delete old;
}

void ReviewPlanTab::saveRetention(double retention) {
    SaveDesiredRetention(bankSession()->db, std::round(retention * 100) / 100);
    Refresh();
}
