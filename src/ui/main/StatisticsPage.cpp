#include "StatisticsPage.h"

#include "BankSession.h"
#include "ExamProfile.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "PracticeWindow.h"
#include "ReviewPlanTab.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargin = 8;

QFont uiFont(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("微软雅黑"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QLabel *plainLabel(QWidget *parent, const QString &name, int pixelSize) {
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setFont(uiFont(pixelSize));
    l->setWordWrap(true);
    return l;
}

// A read-only table with the given column headings; the first `stretch` column takes the spare width.
QTableWidget *makeTable(QWidget *parent, const QString &name, const QStringList &headings, int stretch = -1) {
    auto *t = new QTableWidget(0, int(headings.size()), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headings);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    t->setFont(uiFont(13));
    t->horizontalHeader()->setFont(uiFont(13, true));
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (stretch >= 0) t->horizontalHeader()->setSectionResizeMode(stretch, QHeaderView::Stretch);
    t->verticalHeader()->setDefaultSectionSize(26);
    return t;
}

// Cells hold plain text (a QTableWidgetItem never interprets markup); the first `textColumns`
// are names, aligned left, the figures after them centred.
void setRow(QTableWidget *t, int row, const QStringList &cells, int textColumns = 1) {
    for (int c = 0; c < int(cells.size()); ++c) {
        auto *item = new QTableWidgetItem(cells[c]);
        item->setTextAlignment(c < textColumns ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)
                                               : Qt::Alignment(Qt::AlignCenter));
        t->setItem(row, c, item);
    }
}

QString share(const PracticeTally &t) {
    return t.questions > 0 ? PercentText(t.practisedShare()) : QStringLiteral("—");
}

// Bank texts reach a chart's legend and axis labels, which are drawn as markup: escape them.
QString chartText(const QString &text) {
    return text.toHtmlEscaped();
}

void styleChart(QChart *chart) {
    chart->setFont(uiFont(12));
    chart->legend()->setFont(uiFont(12));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
}

QValueAxis *valueAxis(const QString &title, double max, const QString &format) {
    auto *a = new QValueAxis;
    a->setRange(0, max);
    a->setLabelFormat(format);
    a->setTitleText(title);
    a->setTitleFont(uiFont(12));
    a->setLabelsFont(uiFont(11));
    return a;
}

// Practised share and accuracy side by side per group, in per cent; a group never attempted has no
// accuracy bar (its table row says "—").
QChart *shareAndAccuracyChart(const QString &axisTitle, const QStringList &categories,
                              const std::vector<const PracticeTally *> &tallies) {
    auto *practised = new QBarSet(QStringLiteral("已练比例"));
    auto *accuracy = new QBarSet(QStringLiteral("正确率"));
    for (const PracticeTally *t : tallies) {
        *practised << t->practisedShare() * 100.0;
        *accuracy << t->accuracy().value_or(0.0) * 100.0;
    }
    auto *series = new QBarSeries;
    series->append(practised);
    series->append(accuracy);
    auto *chart = new QChart;
    styleChart(chart);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(categories);
    x->setLabelsFont(uiFont(11));
    x->setTitleText(axisTitle);
    x->setTitleFont(uiFont(12));
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto *y = valueAxis(QStringLiteral("百分比"), 100, QStringLiteral("%.0f"));
    y->setTickCount(6);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    return chart;
}

// Replaces the chart shown by `view` (the view does not delete the chart it gives up).
void showChart(QChartView *view, QChart *chart) {
    QChart *old = view->chart();
    view->setChart(chart);
    delete old;
}

} // namespace

// 总体概况: the whole bank, then by type.
void StatisticsPage::buildOverviewTab() {
    auto *overview = new QWidget;
    auto *ov = new QVBoxLayout(overview);
    lblOverview = plainLabel(overview, QStringLiteral("lblOverview"), 16);
    tblTypes = makeTable(overview, QStringLiteral("tblTypes"),
                         {QStringLiteral("题型"), QStringLiteral("题目数"), QStringLiteral("已练"),
                          QStringLiteral("已练比例"), QStringLiteral("作答次数"), QStringLiteral("答对次数"),
                          QStringLiteral("正确率"), QStringLiteral("错题"), QStringLiteral("收藏")},
                         0);
    tblTypes->setSelectionMode(QAbstractItemView::NoSelection);
    auto *typeHint = plainLabel(overview, QStringLiteral("lblTypeHint"), 13);
    typeHint->setText(QStringLiteral("已练：至少答过一次的题目；作答次数、答对次数：练习中离开题目时计入的作答；"
                                     "错题：最近一次作答错误的题目。案例题按整道大题计。"));
    typeHint->setStyleSheet(QStringLiteral("color: #555555;"));
    for (int c = 0; c < tblTypes->columnCount(); ++c)
        tblTypes->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
    tblTypes->setFixedHeight(28 + 5 * 26 + 4);
    tblTypes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    chartTypes = new QChartView(overview);
    chartTypes->setObjectName(QStringLiteral("chartTypes"));
    chartTypes->setRenderHint(QPainter::Antialiasing);
    lblOverview->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblOverview->setContentsMargins(8, 0, 8, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(lblOverview, 4);
    top->addWidget(chartTypes, 6);
    ov->addLayout(top, 1);
    ov->addWidget(tblTypes);
    ov->addWidget(typeHint);
    tabs->addTab(overview, QStringLiteral("总体概况"));
}

// 章节掌握: the chart by chapter and its figures beside it.
void StatisticsPage::buildChaptersTab() {
    auto *chapters = new QWidget;
    auto *ch = new QHBoxLayout(chapters);
    chartChapters = new QChartView(chapters);
    chartChapters->setObjectName(QStringLiteral("chartChapters"));
    chartChapters->setRenderHint(QPainter::Antialiasing);
    tblChapters = makeTable(chapters, QStringLiteral("tblChapters"),
                            {QStringLiteral("章节"), QStringLiteral("题目数"), QStringLiteral("已练比例"),
                             QStringLiteral("正确率"), QStringLiteral("作答次数")},
                            0);
    tblChapters->setSelectionMode(QAbstractItemView::NoSelection);
    ch->addWidget(chartChapters, 11);
    ch->addWidget(tblChapters, 9);
    tabs->addTab(chapters, QStringLiteral("章节掌握"));
}

// 薄弱环节: the sections, weakest first, and practice on one of them.
void StatisticsPage::buildWeakSectionsTab() {
    auto *weak = new QWidget;
    auto *wk = new QVBoxLayout(weak);
    lblWeakHint = plainLabel(weak, QStringLiteral("lblWeakHint"), 14);
    lblWeakHint->setText(QStringLiteral("按正确率从低到高排列，作答不足%1次的小节排在后面。"
                                        "点“练错题”练习该节的错题，点“练全部”练习该节的全部题目。")
                             .arg(kEnoughAttempts));
    tblSections = makeTable(weak, QStringLiteral("tblSections"),
                            {QStringLiteral("章"), QStringLiteral("节"), QStringLiteral("题目数"),
                             QStringLiteral("已练比例"), QStringLiteral("作答次数"), QStringLiteral("正确率"),
                             QStringLiteral("错题"), QStringLiteral("说明"), QStringLiteral("练习")},
                            1);
    tblSections->verticalHeader()->setDefaultSectionSize(32);
    wk->addWidget(lblWeakHint);
    wk->addWidget(tblSections, 1);
    tabs->addTab(weak, QStringLiteral("薄弱环节"));
}

// 模考成绩: the papers' scores over time against the pass line, and their figures.
void StatisticsPage::buildExamsTab() {
    auto *exams = new QWidget;
    auto *ex = new QVBoxLayout(exams);
    lblExamSummary = plainLabel(exams, QStringLiteral("lblExamSummary"), 14);
    chartExams = new QChartView(exams);
    chartExams->setObjectName(QStringLiteral("chartExams"));
    chartExams->setRenderHint(QPainter::Antialiasing);
    lblNoExams = plainLabel(exams, QStringLiteral("lblNoExams"), 15);
    lblNoExams->setAlignment(Qt::AlignCenter);
    lblNoExams->setText(QStringLiteral("还没有交卷的模拟考试。在“模拟考场”进入考场，交卷后这里会显示每次的得分。"));
    tblExams = makeTable(exams, QStringLiteral("tblExams"), {}, -1);
    tblExams->setSelectionMode(QAbstractItemView::NoSelection);
    ex->addWidget(lblExamSummary);
    ex->addWidget(chartExams, 5);
    ex->addWidget(lblNoExams, 5);
    ex->addWidget(tblExams, 2);
    tabs->addTab(exams, QStringLiteral("模考成绩"));
}

StatisticsPage::StatisticsPage(QWidget *parent) : QWidget(parent), launchPractice(&RunPractice) {
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabStatistics"));
    tabs->setFont(uiFont(14));
    outer->addWidget(tabs);

    buildOverviewTab();
    buildChaptersTab();
    buildWeakSectionsTab();
    buildExamsTab();
    reviewPlan = new ReviewPlanTab;
    tabs->addTab(reviewPlan, QStringLiteral("复习计划"));

    // What a screen reader says for each part.
    tabs->setAccessibleName(QStringLiteral("统计分析"));
    const std::pair<QWidget *, const char16_t *> names[] = {
        {tblTypes, u"各题型统计表"},        {chartTypes, u"各题型练习比例和正确率图"},
        {chartChapters, u"各章掌握程度图"}, {tblChapters, u"各章统计表"},
        {tblSections, u"薄弱环节表"},       {chartExams, u"模考成绩图"},
        {tblExams, u"模考成绩表"}};
    for (const auto &[widget, name] : names)
        widget->setAccessibleName(QString::fromUtf16(name));
}

void StatisticsPage::Refresh() {
    // The first opening on a large bank makes the statistics indexes (seconds, once per bank).
    struct WaitCursor {
        WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
        ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    } wait;
    m_stats = LoadStudyStatistics(bankSession()->db, examProfile());
    fillOverview();
    fillChapters();
    fillSections();
    fillExams();
    reviewPlan->Refresh();
}

void StatisticsPage::fillOverview() {
    const PracticeTally &o = m_stats.overall;
    lblOverview->setText(
        QStringLiteral("可练习的题目共 %1 道\n已练习 %2 道（%3）\n\n累计作答 %4 次\n答对 %5 次，正确率 %6\n\n"
                       "当前错题 %7 道，收藏 %8 道")
            .arg(o.questions)
            .arg(o.practised)
            .arg(share(o))
            .arg(o.attempts)
            .arg(o.correct)
            .arg(PercentText(o.accuracy()))
            .arg(o.wrong)
            .arg(o.favourites));
    tblTypes->setRowCount(int(m_stats.types.size()) + 1);
    auto row = [](const QString &name, const PracticeTally &t) {
        return QStringList{name,
                           QString::number(t.questions),
                           QString::number(t.practised),
                           share(t),
                           QString::number(t.attempts),
                           QString::number(t.correct),
                           PercentText(t.accuracy()),
                           QString::number(t.wrong),
                           QString::number(t.favourites)};
    };
    int r = 0;
    for (const TypeTally &t : m_stats.types)
        setRow(tblTypes, r++, row(t.typeName, t.tally));
    setRow(tblTypes, r, row(QStringLiteral("合计"), o));
    QStringList names;
    std::vector<const PracticeTally *> tallies;
    for (const TypeTally &t : m_stats.types) {
        names << chartText(t.typeName);
        tallies.push_back(&t.tally);
    }
    QChart *chart = shareAndAccuracyChart(QString(), names, tallies);
    chart->legend()->setAlignment(Qt::AlignRight);
    showChart(chartTypes, chart);
    for (int c = 0; c < tblTypes->columnCount(); ++c) {
        QFont f = tblTypes->item(r, c)->font();
        f.setBold(true);
        tblTypes->item(r, c)->setFont(f);
    }
}

void StatisticsPage::fillChapters() {
    tblChapters->setRowCount(int(m_stats.chapters.size()));
    QStringList categories;
    std::vector<const PracticeTally *> tallies;
    int r = 0;
    for (const ChapterTally &c : m_stats.chapters) {
        setRow(tblChapters, r++,
               {c.name, QString::number(c.tally.questions), share(c.tally), PercentText(c.tally.accuracy()),
                QString::number(c.tally.attempts)});
        categories << QString::number(c.zhang);
        tallies.push_back(&c.tally);
    }
    QChart *chart = shareAndAccuracyChart(QStringLiteral("章"), categories, tallies);
    chart->setTitle(QStringLiteral("各章已练比例与正确率（%）"));
    chart->setTitleFont(uiFont(14, true));
    showChart(chartChapters, chart);
}

void StatisticsPage::fillSections() {
    m_ranked = WeakestFirst(m_stats.sections);
    tblSections->setRowCount(int(m_ranked.size()));
    const QColor unranked(QStringLiteral("#888888"));
    for (int r = 0; r < int(m_ranked.size()); ++r) {
        const SectionTally &s = m_ranked[size_t(r)];
        const bool ranked = HasEnoughAttempts(s.tally);
        setRow(tblSections, r,
               {s.chapterName, s.sectionName, QString::number(s.tally.questions), share(s.tally),
                QString::number(s.tally.attempts), PercentText(s.tally.accuracy()), QString::number(s.tally.wrong),
                ranked ? QString() : QStringLiteral("作答不足%1次").arg(kEnoughAttempts)},
               2);
        if (!ranked)
            for (int c = 0; c < tblSections->columnCount() - 1; ++c)
                tblSections->item(r, c)->setForeground(unranked);
        // One click starts practice on the section: its wrong questions (when it has any) or all.
        auto *cell = new QWidget;
        auto *row = new QHBoxLayout(cell);
        row->setContentsMargins(4, 2, 4, 2);
        row->setSpacing(4);
        const struct {
            const char16_t *caption;
            const char *name;
            int scope;
            bool enabled;
        } buttons[] = {{u"练错题", "btnPractiseWrong", 2, s.tally.wrong > 0},
                       {u"练全部", "btnPractiseAll", 0, s.tally.questions > 0}};
        for (const auto &b : buttons) {
            auto *button = new QPushButton(QString::fromUtf16(b.caption), cell);
            button->setObjectName(QString::fromLatin1(b.name));
            button->setFont(uiFont(13));
            button->setEnabled(b.enabled);
            button->setCursor(Qt::PointingHandCursor);
            const int scope = b.scope;
            connect(button, &QPushButton::clicked, this, [this, r, scope] { PractiseSectionClick(r, scope); });
            row->addWidget(button);
        }
        tblSections->setCellWidget(r, tblSections->columnCount() - 1, cell);
    }
}

QPushButton *StatisticsPage::practiseButton(int row, int scope) const {
    QWidget *cell = tblSections->cellWidget(row, tblSections->columnCount() - 1);
    if (!cell) return nullptr;
    return cell->findChild<QPushButton *>(scope == 2 ? QStringLiteral("btnPractiseWrong")
                                                     : QStringLiteral("btnPractiseAll"));
}

void StatisticsPage::fillExams() {
    const PaperSummary &e = m_stats.exams;
    const auto &papers = e.papers;
    QString summary = QStringLiteral("已交卷 %1 份").arg(papers.size());
    if (e.notHandedIn > 0) summary += QStringLiteral("（另有 %1 份未交卷）").arg(e.notHandedIn);
    summary += QStringLiteral("；及格线 %1 分（试卷总分 %2 分的 60%）")
                   .arg(FormatNumber(e.passLine()), FormatNumber(e.paperTotal));
    if (const auto mean = e.recentMean()) {
        const int n = std::min(3, int(papers.size()));
        const QString recent[] = {QStringLiteral("最近一次"), QStringLiteral("最近两次平均"),
                                  QStringLiteral("最近三次平均")};
        summary += QStringLiteral("；%1 %2 分，%3及格线。")
                       .arg(recent[n - 1], FormatNumber(std::round(*mean * 10) / 10),
                            *mean >= e.passLine() ? QStringLiteral("达到") : QStringLiteral("低于"));
    } else {
        summary += QStringLiteral("。");
    }
    lblExamSummary->setText(summary);

    const ExamProfile &profile = examProfile();
    QStringList headings = {QStringLiteral("试卷号"), QStringLiteral("交卷时间"), QStringLiteral("用时"),
                            QStringLiteral("总分")};
    // The sections the paper has: one without 多选题 gets no column of zeros for it.
    const std::vector<QuestionType> present = profile.presentSections();
    for (QuestionType type : present)
        headings << profile.section(type).typeName;
    tblExams->clear();
    tblExams->setColumnCount(int(headings.size()));
    tblExams->setHorizontalHeaderLabels(headings);
    tblExams->setRowCount(int(papers.size()));
    for (int c = 0; c < tblExams->columnCount(); ++c)
        tblExams->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
    // Newest first in the table; the chart runs from the oldest.
    for (int i = 0; i < int(papers.size()); ++i) {
        const PaperResult &p = papers[size_t(i)];
        QStringList cells = {QString::number(p.number), p.handedIn.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                             DurationText(p.durationSeconds), FormatNumber(p.total)};
        for (QuestionType type : present)
            cells << FormatNumber(p.sections[IndexOf(type)]);
        setRow(tblExams, int(papers.size()) - 1 - i, cells);
    }

    chartExams->setVisible(!papers.empty());
    lblNoExams->setVisible(papers.empty());
    drawExamChart();
}

// The papers' scores from the oldest, by section, against the pass line.
void StatisticsPage::drawExamChart() {
    const PaperSummary &e = m_stats.exams;
    const auto &papers = e.papers;
    const ExamProfile &profile = examProfile();
    auto *chart = new QChart;
    styleChart(chart);
    chart->legend()->setAlignment(Qt::AlignRight);
    const int n = int(papers.size());
    double top = e.paperTotal;
    auto *total = new QLineSeries;
    total->setName(QStringLiteral("总分"));
    QPen pen(QColor(QStringLiteral("#1f4e79")));
    pen.setWidth(3);
    total->setPen(pen);
    std::vector<QLineSeries *> lines = {total};
    const std::vector<QuestionType> present = profile.presentSections();
    for (QuestionType type : present) {
        auto *line = new QLineSeries;
        line->setName(chartText(profile.section(type).typeName));
        lines.push_back(line);
    }
    for (int i = 0; i < n; ++i) {
        const PaperResult &p = papers[size_t(i)];
        total->append(i + 1, p.total);
        top = std::max(top, p.total);
        for (size_t k = 0; k < present.size(); ++k)
            lines[k + 1]->append(i + 1, p.sections[IndexOf(present[k])]);
    }
    auto *pass = new QLineSeries;
    pass->setName(QStringLiteral("及格线 %1 分").arg(FormatNumber(e.passLine())));
    QPen passPen(QColor(QStringLiteral("#c00000")));
    passPen.setWidth(2);
    passPen.setStyle(Qt::DashLine);
    pass->setPen(passPen);
    pass->append(0.5, e.passLine());
    pass->append(std::max(n, 1) + 0.5, e.passLine());
    lines.push_back(pass);
    auto *x = valueAxis(QStringLiteral("第几次模考（按交卷时间）"), std::max(n, 1) + 0.5, QStringLiteral("%.0f"));
    x->setMin(0.5);
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(1);
    x->setTickInterval(std::max(1, n / 10));
    auto *y = valueAxis(QStringLiteral("分数"), top > 0 ? top : 1.0, QStringLiteral("%.0f"));
    y->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries *line : lines) {
        if (line != pass) line->setPointsVisible(true);
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }
    showChart(chartExams, chart);
}

void StatisticsPage::PractiseSectionClick(int row, int scope) {
    Guarded([&] {
        if (row < 0 || row >= int(m_ranked.size())) return;
        practiseSection(m_ranked[size_t(row)], scope);
    });
}

// Practice through the usual launch: the scope and the section to start at.
// The chapter page's scope and chosen chapter are given back afterwards, so its choices and the
// review pages' launches stay as the learner left them. The figures are read again when the
// practice window has closed (the row's buttons are replaced then; Qt deletes them later).
void StatisticsPage::practiseSection(SectionTally section, int scope) {
    LaunchParameters &lp = launchParameters();
    struct Restore {
        LaunchParameters &lp;
        int scope;
        QString chapter;
        ~Restore() {
            lp.PracticeScope = scope;
            lp.SelectedChapterCode = chapter;
        }
    } restore{lp, lp.PracticeScope, lp.SelectedChapterCode};
    lp.PracticeScope = scope;
    lp.SelectedChapterCode = section.launchCode();
    // Only the types that hold such questions in the section: another type's set would start at a
    // later section and show none of this one.
    for (size_t i = 0; i < 4; ++i)
        lp.PracticeTypeFlags[i] = scope == 2 ? section.byType[i].wrong > 0 : section.byType[i].questions > 0;
    launchPractice();
    Refresh();
}
