#include "ReviewPage.h"

#include "BankSession.h"
#include "DailyReviewPanel.h"
#include "ExamProfile.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "MainQueries.h"
#include "PracticeWindow.h"
#include "ReviewListModel.h"
#include "ReviewStore.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kMargin = 16;
constexpr int kCountWidth = 300;
constexpr int kTypeColumnWidth = 62;
constexpr int kQuestionColumnWidth = 434;
constexpr int kAnswerColumnWidth = 80; // beside "掌握" on the wrong-question page

struct PageTexts {
    const char16_t *countGroup;
    const char16_t *listGroup;
    const char16_t *button;
};

const PageTexts kWrongTexts = {u" 错题范围  ", u"错题详细", u"进入错题强化"};
const PageTexts kFavouriteTexts = {u" 收藏范围  ", u"收藏详细", u"进入收藏试题"};

const PageTexts &textsFor(ReviewPage::Kind kind) {
    return kind == ReviewPage::Kind::WrongQuestions ? kWrongTexts : kFavouriteTexts;
}

} // namespace

ReviewPage::ReviewPage(Kind kind, QWidget *parent)
    : QWidget(parent), countGroup(new QGroupBox(QString::fromUtf16(textsFor(kind).countGroup), this)),
      typeBoxes(countGroup, {QStringLiteral("typeBox1"), QStringLiteral("typeBox2"), QStringLiteral("typeBox3"),
                             QStringLiteral("typeBox4")}),
      launchPractice(&RunPractice), m_kind(kind), m_model(new ReviewListModel(this)) {
    const PageTexts &t = textsFor(kind);
    countGroup->setObjectName(QStringLiteral("countGroup"));
    countGroup->setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
    countGroup->setFixedWidth(kCountWidth);
    auto *counts = new QGridLayout(countGroup);
    counts->setContentsMargins(28, 12, 20, 16);
    counts->setVerticalSpacing(14);
    for (int i = 0; i < 4; ++i) {
        typeBoxes.box(i)->setMinimumHeight(28);
        auto *count = new QLabel(QStringLiteral("0"), countGroup);
        count->setObjectName(QStringLiteral("typeCount%1").arg(i + 1));
        count->setFont(PixelFont(QStringLiteral("微软雅黑"), 16, true));
        count->setStyleSheet(QStringLiteral("color: #c00000;"));
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *unit = new QLabel(QStringLiteral("题"), countGroup);
        counts->addWidget(typeBoxes.box(i), i, 0);
        counts->addWidget(count, i, 1);
        counts->addWidget(unit, i, 2);
        countLabels[size_t(i)] = count;
    }
    counts->setColumnStretch(0, 1);

    launchButton = new QPushButton(QString::fromUtf16(t.button), this);
    launchButton->setObjectName(QStringLiteral("launchButton"));
    launchButton->setFont(PixelFont(QStringLiteral("微软雅黑"), 20, true));
    launchButton->setFixedSize(220, 52);
    connect(launchButton, &QPushButton::clicked, this, &ReviewPage::launch);

    listGroup = new QGroupBox(QString::fromUtf16(t.listGroup), this);
    listGroup->setObjectName(QStringLiteral("listGroup"));
    listGroup->setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
    list = new QTableView(listGroup);
    list->setObjectName(QStringLiteral("list"));
    list->setFont(PixelFont(QStringLiteral("微软雅黑"), 14));
    list->setMinimumSize(400, 160);
    list->setAccessibleName(kind == Kind::WrongQuestions ? QStringLiteral("错题列表") : QStringLiteral("收藏列表"));
    list->setModel(m_model);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setWordWrap(false);
    list->setTextElideMode(Qt::ElideNone);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(26);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->horizontalHeader()->setStretchLastSection(true);
    auto *listLayout = new QVBoxLayout(listGroup);
    listLayout->setContentsMargins(12, 12, 12, 12);
    listLayout->addWidget(list);
    sizeColumns();

    // Counts and launcher on the left keep their size; the list takes the rest of the page.
    auto *left = new QVBoxLayout;
    left->addWidget(countGroup);
    left->addSpacing(28);
    left->addWidget(launchButton, 0, Qt::AlignHCenter);
    left->addStretch(1);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(kMargin, 8, kMargin, 8);
    row->setSpacing(16);
    row->addLayout(left);
    auto *right = new QVBoxLayout;
    right->setSpacing(6);
    right->addWidget(listGroup, 1);
    row->addLayout(right, 1);
    if (kind == Kind::WrongQuestions) addReviewControls(right);
}

// The day's reviews above the list, whose rows say which questions are mastered.
void ReviewPage::addReviewControls(QVBoxLayout *right) {
    dailyReview = new DailyReviewPanel(DailyReviewPanel::Layout::Row, this);
    dailyReview->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    right->insertWidget(0, dailyReview);
    m_model->setShowsMastery(true);
    onlyUnmastered = new QCheckBox(QStringLiteral("只看未掌握"), listGroup);
    onlyUnmastered->setObjectName(QStringLiteral("onlyUnmastered"));
    static_cast<QVBoxLayout *>(listGroup->layout())->insertWidget(0, onlyUnmastered, 0, Qt::AlignRight);
    connect(onlyUnmastered, &QCheckBox::toggled, this, [this](bool only) {
        Guarded([&] {
            m_model->setOnlyUnmastered(only);
            sizeColumns();
        });
    });
}

// A reset of the list's rows resets the header too, so the widths are applied after every reload.
void ReviewPage::sizeColumns() {
    list->setColumnWidth(ReviewListModel::TypeColumn, kTypeColumnWidth);
    list->setColumnWidth(ReviewListModel::QuestionColumn, kQuestionColumnWidth);
    if (dailyReview) list->setColumnWidth(ReviewListModel::AnswerColumn, kAnswerColumnWidth);
}

void ReviewPage::ShowProfile() {
    typeBoxes.ShowProfile();
}

void ReviewPage::Enter() {
    recount();
    m_list.setConnection(&bankSession()->db);
    m_list.openSql(ReviewListSql(m_kind));
    if (m_kind == Kind::WrongQuestions) {
        SqlDatabase &db = bankSession()->db;
        m_model->reload(m_list, MasteredWrongQuestionIds(db, ReadReviewSettings(db)));
        dailyReview->refresh();
    } else {
        m_model->reload(m_list);
    }
    sizeColumns();
}

void ReviewPage::recount() {
    Dataset &q = bankSession()->listQuery;
    const QString fourthTypeName = examProfile().section(QuestionType::Fourth).typeName;
    for (QuestionType type : kQuestionTypes) {
        q.openSql(ReviewCountSql(m_kind, type, fourthTypeName));
        countLabels[IndexOf(type)]->setText(q.firstValue().toString());
    }
}

void ReviewPage::launch() {
    Guarded([&] {
        launchParameters().PracticeScope = int(ReviewScope(m_kind));
        typeBoxes.StoreFlags();
        launchPractice();
    });
}
