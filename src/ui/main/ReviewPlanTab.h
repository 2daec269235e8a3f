#pragma once

#include <QWidget>

class QChartView;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;

// The statistics page's "复习计划" tab: the due questions per day for the next 30 days (chart and
// table), the measured retention of the due reviews against the desired one, and the desired
// retention as a setting (0.80–0.97).
class ReviewPlanTab : public QWidget {
    Q_OBJECT
public:
    explicit ReviewPlanTab(QWidget *parent = nullptr);

    // Reads the schedule again.
    void Refresh();

    QLabel *lblRetention;
    QDoubleSpinBox *spinRetention;
    QChartView *chartForecast;
    QTableWidget *tblForecast;

private:
    void saveRetention(double retention);
};
