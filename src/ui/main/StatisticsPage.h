#pragma once

#include "StudyStatistics.h"

#include <QWidget>
#include <functional>
#include <vector>

class QChart;
class QChartView;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;
class ReviewPlanTab;

// The statistics page: where the learner stands in practice (the whole bank, by type, by chapter),
// the weakest sections with a one-click practice of their wrong or all questions, and the results
// of the handed-in mock exams against the pass line. Every figure of a chart is also written in the
// table or labels beside it.
class StatisticsPage : public QWidget {
    Q_OBJECT
public:
    explicit StatisticsPage(QWidget *parent = nullptr);

    // Reads the figures again and fills every tab (the main window calls it whenever it shows the
    // page, and the page after each practice it starts).
    void Refresh();

    QTabWidget *tabs;
    // 总体概况
    QLabel *lblOverview;
    QTableWidget *tblTypes;
    QChartView *chartTypes;
    // 章节掌握
    QChartView *chartChapters;
    QTableWidget *tblChapters;
    // 薄弱环节
    QLabel *lblWeakHint;
    QTableWidget *tblSections; // weakest first; its last column holds each row's practice buttons
    // 模考成绩
    QLabel *lblExamSummary;
    QChartView *chartExams;
    QLabel *lblNoExams;
    QTableWidget *tblExams;
    // 复习计划
    ReviewPlanTab *reviewPlan;

    // The sections in the order of tblSections.
    const std::vector<SectionTally> &rankedSections() const { return m_ranked; }
    // A row's "练错题" (scope 2) or "练全部" (scope 0) button.
    QPushButton *practiseButton(int row, int scope) const;

    // Opens the practice window; RunPractice unless a test puts a recorder here.
    std::function<void()> launchPractice;

public slots:
    // Practise a row's section: its wrong questions (scope 2) or all its questions (scope 0).
    void PractiseSectionClick(int row, int scope);

private:
    void practiseSection(SectionTally section, int scope);
    void buildOverviewTab();
    void buildChaptersTab();
    void buildWeakSectionsTab();
    void buildExamsTab();
    void fillOverview();
    void fillChapters();
    void fillSections();
    void fillExams();
    void drawExamChart();

    StudyStatistics m_stats;
    std::vector<SectionTally> m_ranked;
};
