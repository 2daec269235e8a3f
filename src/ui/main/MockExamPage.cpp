#include "MockExamPage.h"

#include "ExamEngine.h"

#include "BankSession.h"
#include "ExamProfile.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "PaperState.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QString UnfinishedText() {
    return QStringLiteral("未交卷，点“查看”继续");
}

QLabel *label(const QString &text, QWidget *parent, int pixelSize = 16, bool bold = false) {
    auto *l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText); // the subject name comes from the bank
    QFont f(QStringLiteral("微软雅黑"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    l->setFont(f);
    l->setMinimumHeight(pixelSize + 12);
    return l;
}
} // namespace

MockExamPage::MockExamPage(QWidget *parent)
    : QWidget(parent), launchExam([](ExamWindow::Opening opening) { RunPaperlessExam(opening); }) {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(16, 8, 16, 8);
    row->setSpacing(18);
    row->addWidget(buildDescription());
    row->addLayout(buildPaperList(), 1);
}

QWidget *MockExamPage::buildDescription() {
    auto *desc = new QGroupBox(QStringLiteral("  考试说明  "), this);
    desc->setFixedWidth(470);
    auto *grid = new QGridLayout(desc);
    grid->setContentsMargins(24, 12, 20, 16);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->setColumnMinimumWidth(0, 88);
    auto addRow = [&](int r, const QString &caption, QLabel *value) {
        grid->addWidget(label(caption, desc), r, 0, Qt::AlignTop);
        if (value) grid->addWidget(value, r, 1);
    };
    paperPointsLabel = label(QStringLiteral("100分"), desc);
    paperPointsLabel->setObjectName(QStringLiteral("paperPointsLabel"));
    addRow(0, QStringLiteral("试卷："), paperPointsLabel);
    totalPointsLabel = label(QStringLiteral("100分"), desc);
    totalPointsLabel->setObjectName(QStringLiteral("totalPointsLabel"));
    addRow(1, QStringLiteral("总分："), totalPointsLabel);
    subjectLabel = label(QString(), desc, 16, true);
    subjectLabel->setObjectName(QStringLiteral("subjectLabel"));
    subjectLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addRow(2, QStringLiteral("考试科目："), subjectLabel);
    examTimeLabel = label(QStringLiteral("90分钟"), desc);
    examTimeLabel->setObjectName(QStringLiteral("examTimeLabel"));
    addRow(3, QStringLiteral("考试时间："), examTimeLabel);
    addRow(4, QStringLiteral("考试内容："), nullptr);
    contentTable = new QTableWidget(4, 3, desc);
    contentTable->setObjectName(QStringLiteral("contentTable"));
    contentTable->setFixedSize(330, 126);
    contentTable->horizontalHeader()->hide();
    contentTable->verticalHeader()->hide();
    contentTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    contentTable->setSelectionMode(QAbstractItemView::NoSelection);
    contentTable->setFocusPolicy(Qt::NoFocus);
    QFont cf(QStringLiteral("微软雅黑"));
    cf.setPixelSize(15);
    contentTable->setFont(cf);
    contentTable->setColumnWidth(0, 140);
    contentTable->setColumnWidth(1, 90);
    contentTable->setColumnWidth(2, 90);
    for (int r = 0; r < 4; ++r)
        contentTable->setRowHeight(r, 30);
    grid->addWidget(contentTable, 4, 1);

    enterButton = new QPushButton(QStringLiteral("进入考场"), desc);
    enterButton->setObjectName(QStringLiteral("enterButton"));
    QFont bf(QStringLiteral("微软雅黑"));
    bf.setPixelSize(22);
    bf.setBold(true);
    enterButton->setFont(bf);
    enterButton->setFixedSize(200, 56);
    connect(enterButton, &QPushButton::clicked, this, &MockExamPage::enterExam);
    grid->setRowMinimumHeight(5, 24);
    grid->addWidget(enterButton, 6, 1);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(1, 1);
    return desc;
}

QLayout *MockExamPage::buildPaperList() {
    auto *column = new QVBoxLayout;
    column->setSpacing(8);
    papersToggle = new QPushButton(QStringLiteral("已答试卷 ▽"), this);
    papersToggle->setObjectName(QStringLiteral("papersToggle"));
    papersToggle->setFixedSize(120, 28);
    connect(papersToggle, &QPushButton::clicked, this, &MockExamPage::togglePaperList);
    column->addWidget(papersToggle);

    papersGroup = new QGroupBox(QStringLiteral("已答试卷"), this);
    papersGroup->setObjectName(QStringLiteral("papersGroup"));
    paperList = new QTableWidget(0, 3, papersGroup);
    paperList->setObjectName(QStringLiteral("paperList"));
    paperList->setMinimumHeight(120);
    paperList->setAccessibleName(QStringLiteral("已答试卷列表"));
    paperList->setHorizontalHeaderLabels(
        {QStringLiteral("试卷号"), QStringLiteral("答卷时间"), QStringLiteral("分数")});
    paperList->setColumnWidth(0, 90);
    paperList->setColumnWidth(1, 137);
    paperList->horizontalHeader()->setStretchLastSection(true);
    paperList->verticalHeader()->hide();
    paperList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    paperList->setSelectionBehavior(QAbstractItemView::SelectRows);
    paperList->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(paperList, &QTableWidget::cellClicked, this, &MockExamPage::choosePaper);

    viewButton = new QPushButton(QStringLiteral("查看"), papersGroup);
    viewButton->setObjectName(QStringLiteral("viewButton"));
    redoButton = new QPushButton(QStringLiteral("重做"), papersGroup);
    redoButton->setObjectName(QStringLiteral("redoButton"));
    closeListButton = new QPushButton(QStringLiteral("返回"), papersGroup);
    closeListButton->setObjectName(QStringLiteral("closeListButton"));
    printButtons = new PaperPrintButtons([this] { return chosenPaper(); }, papersGroup);
    printButtons->setEnabled(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(printButtons);
    buttons->addStretch(1);
    for (QPushButton *b : {viewButton, redoButton, closeListButton}) {
        b->setFixedSize(80, 30);
        buttons->addWidget(b);
    }
    viewButton->setEnabled(false);
    redoButton->setEnabled(false);
    connect(viewButton, &QPushButton::clicked, this, &MockExamPage::viewPaper);
    connect(redoButton, &QPushButton::clicked, this, &MockExamPage::redoPaper);
    connect(closeListButton, &QPushButton::clicked, this, &MockExamPage::hidePaperList);
    auto *inside = new QVBoxLayout(papersGroup);
    inside->setContentsMargins(12, 12, 12, 12);
    inside->addWidget(paperList, 1);
    inside->addLayout(buttons);
    column->addWidget(papersGroup, 1);
    return column;
}

void MockExamPage::ShowProfile(const QString &appTitle) {
    const ExamProfile &p = examProfile();
    subjectLabel->setText(p.subjectName);
    // The exam window counts down the same time: the bank's minutes, else the title's default.
    examTimeLabel->setText(QString::number(ExamSecondsFor(p, appTitle) / 60) + QStringLiteral("分钟"));
    const QString points = QString::number(p.totalPoints()) + QStringLiteral("分");
    paperPointsLabel->setText(points);
    totalPointsLabel->setText(points);
    // The sections the paper has, one row each.
    const std::vector<QuestionType> present = p.presentSections();
    contentTable->clearContents();
    for (int r = 0; r < contentTable->rowCount(); ++r)
        contentTable->setRowHidden(r, r >= int(present.size()));
    for (int r = 0; r < int(present.size()); ++r) {
        const QuestionType type = present[size_t(r)];
        const ExamSection &section = p.section(type);
        const QString name = type == QuestionType::Fourth ? section.typeName : QuestionTypeName(type);
        contentTable->setItem(r, 0, new QTableWidgetItem(name));
        contentTable->setItem(r, 1, new QTableWidgetItem(section.countText + QStringLiteral("题")));
        contentTable->setItem(r, 2, new QTableWidgetItem(section.pointsText + QStringLiteral("分")));
    }
}

void MockExamPage::OpenPaperList() {
    m_papers.setConnection(&bankSession()->db);
    m_papers.close();
    m_papers.setSql(QStringLiteral("select * from kjks_SJML where flag_state = 0"));
    m_papers.open();
    fillPaperList();
}

void MockExamPage::fillPaperList() {
    paperList->setRowCount(0);
    std::vector<int> ids;
    for (m_papers.first(); !m_papers.eof(); m_papers.next())
        ids.push_back(m_papers.asInteger(QStringLiteral("sjID")));
    const std::vector<int> numbers = PaperDisplayNumbers(ids);
    int row = 0;
    for (m_papers.first(); !m_papers.eof(); m_papers.next(), ++row) {
        paperList->insertRow(row);
        auto *number = new QTableWidgetItem(QString::number(numbers[size_t(row)]));
        number->setTextAlignment(Qt::AlignCenter);
        paperList->setItem(row, 0, number);
        const QString started = m_papers.asString(QStringLiteral("DTKSSJ"));
        paperList->setItem(row, 1, new QTableWidgetItem(PaperTimeText(started)));
        // A paper never handed in, or whose redo was interrupted, has no score of its own yet.
        const bool handedIn = PaperHandedIn(started, m_papers.asString(QStringLiteral("JJSJ")));
        paperList->setItem(
            row, 2, new QTableWidgetItem(handedIn ? m_papers.asString(QStringLiteral("DEFEN")) : UnfinishedText()));
    }
    m_papers.first();
    // No cell chosen in the new list yet.
    viewButton->setEnabled(false);
    redoButton->setEnabled(false);
    printButtons->setEnabled(false);
}

void MockExamPage::enterExam() {
    Guarded([&] {
        LaunchParameters &launch = launchParameters();
        launch.PaperKey = QStringLiteral("0");
        launch.PaperDrawMode = QStringLiteral("shijuan");
        launch.PaperSetValue = QStringLiteral("随机");
        launchExam(ExamWindow::Opening::FromLaunch);
        OpenPaperList(); // the new paper with its score
    });
}

void MockExamPage::openSelectedPaper(ExamWindow::Opening opening) {
    Guarded([&] {
        const QString key = m_papers.active() ? m_papers.asString(QStringLiteral("sjID")) : QString();
        if (key.isEmpty()) return;
        launchParameters().PaperKey = key;
        launchExam(opening);
        // The paper's new time and score, not the ones it had when the list was opened.
        OpenPaperList();
    });
}

void MockExamPage::viewPaper() {
    openSelectedPaper(ExamWindow::Opening::View);
}

void MockExamPage::redoPaper() {
    openSelectedPaper(ExamWindow::Opening::FromLaunch);
}

void MockExamPage::togglePaperList() {
    Guarded([&] { papersGroup->setVisible(!papersGroup->isVisible()); });
}

void MockExamPage::hidePaperList() {
    Guarded([&] { papersGroup->setVisible(false); });
}

void MockExamPage::choosePaper(int row, int column) {
    Guarded([&] {
        if (m_papers.active() && row >= 0 && row < m_papers.recordCount()) {
            m_papers.first();
            m_papers.moveBy(row);
        }
        const bool enable = column == 1 || column == 2;
        viewButton->setEnabled(enable);
        redoButton->setEnabled(enable);
        printButtons->setEnabled(enable);
    });
}

PaperPrintButtons::Choice MockExamPage::chosenPaper() {
    // The buttons are enabled only after a cell of a row was chosen, which positioned the list there.
    if (!m_papers.active() || m_papers.isEmpty() || !printButtons->isEnabled()) return {};
    const QTableWidgetItem *shown = paperList->item(m_papers.recNo() - 1, 0);
    return {m_papers.asInteger(QStringLiteral("sjID")), shown ? shown->text().toInt() : 0};
}
