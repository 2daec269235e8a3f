#include "MockExamPage.h"

#include "ExamEngine.h"

#include "DataFormP.h"
#include "ExamProfile.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "PaperState.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace {
QString UnfinishedText() {
    return QStringLiteral("未交卷，点“查看”继续");
}

QLabel *label(const QString &text, QWidget *parent, int x, int y, int w, int pixelSize = 16, bool bold = false) {
    auto *l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText); // the subject name comes from the bank
    QFont f(QStringLiteral("微软雅黑"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    l->setFont(f);
    l->setGeometry(x, y, w, pixelSize + 12);
    return l;
}
} // namespace

MockExamPage::MockExamPage(QWidget *parent)
    : QWidget(parent), launchExam([](TFrmChapterTest_NewAH::Opening opening) { RunPaperlessExam(opening); }) {
    auto *desc = new QGroupBox(QStringLiteral("  考试说明  "), this);
    desc->setGeometry(16, 8, 470, 440);
    label(QStringLiteral("试卷："), desc, 24, 32, 90);
    label(QStringLiteral("100分"), desc, 120, 32, 200);
    label(QStringLiteral("总分："), desc, 24, 68, 90);
    label(QStringLiteral("100分"), desc, 120, 68, 200);
    label(QStringLiteral("考试科目："), desc, 24, 104, 96);
    Label40 = label(QString(), desc, 120, 104, 330, 16, true);
    Label40->setObjectName(QStringLiteral("Label40"));
    label(QStringLiteral("考试时间："), desc, 24, 140, 96);
    lblExamTime = label(QStringLiteral("90分钟"), desc, 120, 140, 200);
    lblExamTime->setObjectName(QStringLiteral("lblExamTime"));
    label(QStringLiteral("考试内容："), desc, 24, 176, 96);
    tblContent = new QTableWidget(4, 3, desc);
    tblContent->setObjectName(QStringLiteral("tblContent"));
    tblContent->setGeometry(120, 180, 330, 126);
    tblContent->horizontalHeader()->hide();
    tblContent->verticalHeader()->hide();
    tblContent->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblContent->setSelectionMode(QAbstractItemView::NoSelection);
    tblContent->setFocusPolicy(Qt::NoFocus);
    QFont cf(QStringLiteral("微软雅黑"));
    cf.setPixelSize(15);
    tblContent->setFont(cf);
    tblContent->setColumnWidth(0, 140);
    tblContent->setColumnWidth(1, 90);
    tblContent->setColumnWidth(2, 90);
    for (int r = 0; r < 4; ++r)
        tblContent->setRowHeight(r, 30);

    sBitBtn3 = new QPushButton(QStringLiteral("进入考场"), desc);
    sBitBtn3->setObjectName(QStringLiteral("sBitBtn3"));
    QFont bf(QStringLiteral("微软雅黑"));
    bf.setPixelSize(22);
    bf.setBold(true);
    sBitBtn3->setFont(bf);
    sBitBtn3->setGeometry(120, 340, 200, 56);
    connect(sBitBtn3, &QPushButton::clicked, this, &MockExamPage::sBitBtn3Click);

    Button4 = new QPushButton(QStringLiteral("已答试卷 ▽"), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->setGeometry(504, 8, 120, 28);
    connect(Button4, &QPushButton::clicked, this, &MockExamPage::Button4Click);

    grpPapers = new QGroupBox(QStringLiteral("已答试卷"), this);
    grpPapers->setObjectName(QStringLiteral("grpPapers"));
    grpPapers->setGeometry(504, 44, 480, 404);
    DBGrid1 = new QTableWidget(0, 3, grpPapers);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(12, 24, 456, 324);
    DBGrid1->setHorizontalHeaderLabels({QStringLiteral("试卷号"), QStringLiteral("答卷时间"), QStringLiteral("分数")});
    DBGrid1->setColumnWidth(0, 90);
    DBGrid1->setColumnWidth(1, 137);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(DBGrid1, &QTableWidget::cellClicked, this, &MockExamPage::DBGrid1CellClick);

    Button7 = new QPushButton(QStringLiteral("查看"), grpPapers);
    Button7->setObjectName(QStringLiteral("Button7"));
    Button8 = new QPushButton(QStringLiteral("重做"), grpPapers);
    Button8->setObjectName(QStringLiteral("Button8"));
    Button9 = new QPushButton(QStringLiteral("返回"), grpPapers);
    Button9->setObjectName(QStringLiteral("Button9"));
    Button7->setGeometry(196, 360, 80, 30);
    Button8->setGeometry(286, 360, 80, 30);
    Button9->setGeometry(376, 360, 80, 30);
    Button7->setEnabled(false);
    Button8->setEnabled(false);
    printButtons = new PaperPrintButtons([this] { return chosenPaper(); }, grpPapers);
    printButtons->move(12, 360);
    printButtons->setEnabled(false);
    connect(Button7, &QPushButton::clicked, this, &MockExamPage::Button7Click);
    connect(Button8, &QPushButton::clicked, this, &MockExamPage::Button8Click);
    connect(Button9, &QPushButton::clicked, this, &MockExamPage::Button9Click);
}

void MockExamPage::ShowProfile(const QString &appTitle) {
    const ExamProfile &p = examProfile();
    Label40->setText(p.subjectName);
    // The exam window counts down the same time: the bank's minutes, else the title's default.
    lblExamTime->setText(QString::number(ExamTimeForTitle(appTitle, p.examMinutes) / 60) + QStringLiteral("分钟"));
    const QString names[4] = {QuestionTypeName(QuestionType::Single), QuestionTypeName(QuestionType::Multiple),
                              QuestionTypeName(QuestionType::Judgement), p.sections[3].typeName};
    for (int r = 0; r < 4; ++r) {
        tblContent->setItem(r, 0, new QTableWidgetItem(names[r]));
        tblContent->setItem(r, 1, new QTableWidgetItem(p.sections[size_t(r)].countText + QStringLiteral("题")));
        tblContent->setItem(r, 2, new QTableWidgetItem(p.sections[size_t(r)].pointsText + QStringLiteral("分")));
    }
}

void MockExamPage::OpenPaperList() {
    m_papers.setConnection(&dataForm()->ADOMain);
    m_papers.close();
    m_papers.setSql(QStringLiteral("select * from kjks_SJML where flag_state = 0"));
    m_papers.open();
    fillPaperList();
}

void MockExamPage::fillPaperList() {
    DBGrid1->setRowCount(0);
    std::vector<int> ids;
    for (m_papers.first(); !m_papers.eof(); m_papers.next())
        ids.push_back(m_papers.asInteger(QStringLiteral("sjID")));
    const std::vector<int> numbers = PaperDisplayNumbers(ids);
    int row = 0;
    for (m_papers.first(); !m_papers.eof(); m_papers.next(), ++row) {
        DBGrid1->insertRow(row);
        auto *number = new QTableWidgetItem(QString::number(numbers[size_t(row)]));
        number->setTextAlignment(Qt::AlignCenter);
        DBGrid1->setItem(row, 0, number);
        const QString started = m_papers.asString(QStringLiteral("DTKSSJ"));
        DBGrid1->setItem(row, 1, new QTableWidgetItem(PaperTimeText(started)));
        // A paper never handed in, or whose redo was interrupted, has no score of its own yet.
        const bool handedIn = PaperHandedIn(started, m_papers.asString(QStringLiteral("JJSJ")));
        DBGrid1->setItem(
            row, 2, new QTableWidgetItem(handedIn ? m_papers.asString(QStringLiteral("DEFEN")) : UnfinishedText()));
    }
    m_papers.first();
    // No cell chosen in the new list yet.
    Button7->setEnabled(false);
    Button8->setEnabled(false);
    printButtons->setEnabled(false);
}

void MockExamPage::sBitBtn3Click() {
    Guarded([&] {
        LaunchParameters &launch = launchParameters();
        launch.PaperKey = QStringLiteral("0");
        launch.PaperDrawMode = QStringLiteral("shijuan");
        launch.PaperSetValue = QStringLiteral("随机");
        launchExam(TFrmChapterTest_NewAH::Opening::FromLaunch);
        OpenPaperList(); // the new paper with its score
    });
}

void MockExamPage::openSelectedPaper(TFrmChapterTest_NewAH::Opening opening) {
    Guarded([&] {
        const QString key = m_papers.active() ? m_papers.asString(QStringLiteral("sjID")) : QString();
        if (key.isEmpty()) return;
        launchParameters().PaperKey = key;
        launchExam(opening);
        // The paper's new time and score, not the ones it had when the list was opened.
        OpenPaperList();
    });
}

void MockExamPage::Button7Click() {
    openSelectedPaper(TFrmChapterTest_NewAH::Opening::View);
}

void MockExamPage::Button8Click() {
    openSelectedPaper(TFrmChapterTest_NewAH::Opening::FromLaunch);
}

void MockExamPage::Button4Click() {
    Guarded([&] { grpPapers->setVisible(!grpPapers->isVisible()); });
}

void MockExamPage::Button9Click() {
    Guarded([&] { grpPapers->setVisible(false); });
}

void MockExamPage::DBGrid1CellClick(int row, int column) {
    Guarded([&] {
        if (m_papers.active() && row >= 0 && row < m_papers.recordCount()) {
            m_papers.first();
            m_papers.moveBy(row);
        }
        const bool enable = column == 1 || column == 2;
        Button7->setEnabled(enable);
        Button8->setEnabled(enable);
        printButtons->setEnabled(enable);
    });
}

PaperPrintButtons::Choice MockExamPage::chosenPaper() {
    // The buttons are enabled only after a cell of a row was chosen, which positioned the list there.
    if (!m_papers.active() || m_papers.isEmpty() || !printButtons->isEnabled()) return {};
    const QTableWidgetItem *shown = DBGrid1->item(m_papers.recNo() - 1, 0);
    return {m_papers.asInteger(QStringLiteral("sjID")), shown ? shown->text().toInt() : 0};
}
