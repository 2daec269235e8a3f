#include "ReviewPage.h"

#include "DailyReviewPanel.h"
#include "DataFormP.h"
#include "ExamProfile.h"
#include "Fonts.h"
#include "FrmZJTestP.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "MainQueries.h"
#include "ReviewListModel.h"
#include "ReviewStore.h"

#include "MainWindowGeometry.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace {

// Page geometry inside the 1013 x 475 page area: counts and launcher left, the list right.
constexpr int kMargin = 16;
constexpr int kCountWidth = 300;
constexpr int kCountHeight = 226;
constexpr int kCountRow = 42;
constexpr int kListLeft = kMargin + kCountWidth + 16;
constexpr int kListWidth = MainGeometry::kWidth - kListLeft - kMargin;
constexpr int kListHeight = MainGeometry::kPageHeight - 2 * 8;
constexpr int kTypeColumnWidth = 62;
constexpr int kQuestionColumnWidth = 434;
constexpr int kAnswerColumnWidth = 80; // beside "掌握" on the wrong-question page

struct PageTexts {
    const char16_t *countGroup;
    const char *countGroupName;
    std::array<const char *, 4> boxNames;
    std::array<const char *, 4> countNames;
    const char16_t *listGroup;
    const char *listGroupName;
    const char *gridName;
    const char16_t *button;
    const char *buttonName;
};

const PageTexts kWrongTexts = {u" 错题范围  ",
                               "sGroupBox2",
                               {"sCheckBox5", "sCheckBox6", "sCheckBox7", "sCheckBox8"},
                               {"Label31", "Label32", "Label33", "Label34"},
                               u"错题详细",
                               "sGroupBox3",
                               "DBGrid2",
                               u"进入错题强化",
                               "sBitBtn4"};
const PageTexts kFavouriteTexts = {u" 收藏范围  ",
                                   "sGroupBox4",
                                   {"sCheckBox9", "sCheckBox10", "sCheckBox11", "sCheckBox12"},
                                   {"Label35", "Label36", "Label37", "Label38"},
                                   u"收藏详细",
                                   "sGroupBox5",
                                   "DBGrid3",
                                   u"进入收藏试题",
                                   "sBitBtn5"};

const PageTexts &textsFor(ReviewPage::Kind kind) {
    return kind == ReviewPage::Kind::WrongQuestions ? kWrongTexts : kFavouriteTexts;
}

QString name(const char *latin1) {
    return QString::fromLatin1(latin1);
}

std::array<QString, 4> names(const std::array<const char *, 4> &latin1) {
    return {name(latin1[0]), name(latin1[1]), name(latin1[2]), name(latin1[3])};
}

} // namespace

ReviewPage::ReviewPage(Kind kind, QWidget *parent)
    : QWidget(parent), countGroup(new QGroupBox(QString::fromUtf16(textsFor(kind).countGroup), this)),
      typeBoxes(countGroup, names(textsFor(kind).boxNames)), launchPractice(&RunPractice), m_kind(kind),
      m_model(new ReviewListModel(this)) {
    const PageTexts &t = textsFor(kind);
    countGroup->setObjectName(name(t.countGroupName));
    countGroup->setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
    countGroup->setGeometry(kMargin, 8, kCountWidth, kCountHeight);
    for (int i = 0; i < 4; ++i) {
        const int top = 38 + i * kCountRow;
        typeBoxes.box(i)->setGeometry(28, top, 160, 28);
        auto *count = new QLabel(QStringLiteral("0"), countGroup);
        count->setObjectName(name(t.countNames[size_t(i)]));
        count->setFont(PixelFont(QStringLiteral("微软雅黑"), 16, true));
        count->setStyleSheet(QStringLiteral("color: #c00000;"));
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        count->setGeometry(190, top, 56, 28);
        auto *unit = new QLabel(QStringLiteral("题"), countGroup);
        unit->setGeometry(252, top, 24, 28);
        countLabels[size_t(i)] = count;
    }

    launchButton = new QPushButton(QString::fromUtf16(t.button), this);
    launchButton->setObjectName(name(t.buttonName));
    launchButton->setFont(PixelFont(QStringLiteral("微软雅黑"), 20, true));
    launchButton->setGeometry(kMargin + (kCountWidth - 220) / 2, 8 + kCountHeight + 28, 220, 52);
    connect(launchButton, &QPushButton::clicked, this, &ReviewPage::LaunchClick);

    listGroup = new QGroupBox(QString::fromUtf16(t.listGroup), this);
    listGroup->setObjectName(name(t.listGroupName));
    listGroup->setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
    listGroup->setGeometry(kListLeft, 8, kListWidth, kListHeight);
    DBGrid = new QTableView(listGroup);
    DBGrid->setObjectName(name(t.gridName));
    DBGrid->setFont(PixelFont(QStringLiteral("微软雅黑"), 14));
    DBGrid->setGeometry(12, 30, kListWidth - 24, kListHeight - 42);
    DBGrid->setModel(m_model);
    DBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid->setWordWrap(false);
    DBGrid->setTextElideMode(Qt::ElideNone);
    DBGrid->verticalHeader()->hide();
    DBGrid->verticalHeader()->setDefaultSectionSize(26);
    DBGrid->horizontalHeader()->setHighlightSections(false);
    DBGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    DBGrid->horizontalHeader()->setStretchLastSection(true);
    sizeColumns();
    if (kind == Kind::WrongQuestions) addReviewControls();
}

void ReviewPage::addReviewControls() {
    const int top = 8 + kCountHeight + 28 + 52 + 16;
    dailyReview = new DailyReviewPanel(DailyReviewPanel::Layout::Column, this);
    dailyReview->setGeometry(kMargin, top, kCountWidth, MainGeometry::kPageHeight - top - 8);
    m_model->setShowsMastery(true);
    onlyUnmastered = new QCheckBox(QStringLiteral("只看未掌握"), listGroup);
    onlyUnmastered->setObjectName(QStringLiteral("chkOnlyUnmastered"));
    onlyUnmastered->setGeometry(kListWidth - 130, 1, 120, 28);
    connect(onlyUnmastered, &QCheckBox::toggled, this, [this](bool only) {
        Guarded([&] {
            m_model->setOnlyUnmastered(only);
            sizeColumns();
        });
    });
}

// A reset of the list's rows resets the header too, so the widths are applied after every reload.
void ReviewPage::sizeColumns() {
    DBGrid->setColumnWidth(ReviewListModel::TypeColumn, kTypeColumnWidth);
    DBGrid->setColumnWidth(ReviewListModel::QuestionColumn, kQuestionColumnWidth);
    if (dailyReview) DBGrid->setColumnWidth(ReviewListModel::AnswerColumn, kAnswerColumnWidth);
}

void ReviewPage::ShowProfile() {
    typeBoxes.ShowProfile();
}

void ReviewPage::Enter() {
    recount();
    m_list.setConnection(&dataForm()->ADOMain);
    m_list.openSql(ReviewListSql(m_kind));
    if (m_kind == Kind::WrongQuestions) {
        SqlDatabase &db = dataForm()->ADOMain;
        m_model->reload(m_list, MasteredWrongQuestionIds(db, ReadReviewSettings(db)));
        dailyReview->refresh();
    } else {
        m_model->reload(m_list);
    }
    sizeColumns();
}

void ReviewPage::recount() {
    Dataset &q = dataForm()->ADOSql;
    const QString fourthTypeName = examProfile().section(QuestionType::Fourth).typeName;
    for (QuestionType type : kQuestionTypes) {
        q.openSql(ReviewCountSql(m_kind, type, fourthTypeName));
        countLabels[IndexOf(type)]->setText(q.firstValue().toString());
    }
}

void ReviewPage::LaunchClick() {
    Guarded([&] {
        launchParameters().PracticeScope = int(ReviewScope(m_kind));
        typeBoxes.StoreFlags();
        launchPractice();
    });
}
