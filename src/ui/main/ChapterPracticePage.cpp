#include "ChapterPracticePage.h"

#include "BankSession.h"
#include "ExamProfile.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "MainQueries.h"
#include "NumberText.h"
#include "PracticeWindow.h"
#include "SqlError.h"

#include "MainWindowGeometry.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace {

// Page geometry inside the 1013 x 475 page area: the tree on the left, the choices on the right.
constexpr int kMargin = 16;
constexpr int kTreeWidth = 470;
constexpr int kTreeTop = 76;
constexpr int kTreeHeight = 383;
constexpr int kRightLeft = kMargin + kTreeWidth + 24;
constexpr int kRightWidth = MainGeometry::kWidth - kRightLeft - kMargin;
constexpr int kGroupTop = 150;
constexpr int kGroupHeight = 222;
constexpr int kChoiceRow = 34;

QLabel *makeLabel(QWidget *parent, const QString &name, const QFont &font, const QRect &geometry) {
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText); // chapter and subject names come from the bank
    l->setFont(font);
    l->setGeometry(geometry);
    return l;
}

// The value of `total` of a count statement on the data module's second shared query.
int countTotal(const QString &sql) {
    Dataset &q = bankSession()->rowQuery;
    q.openSql(sql);
    return q.asInteger(QStringLiteral("total"));
}

int depthOf(const QTreeWidgetItem *item) {
    int depth = 0;
    for (const QTreeWidgetItem *p = item->parent(); p; p = p->parent())
        ++depth;
    return depth;
}

} // namespace

ChapterPracticePage::ChapterPracticePage(QWidget *parent)
    : QWidget(parent), sGroupBox1(new QGroupBox(QStringLiteral("  选题范围  "), this)),
      typeBoxes(sGroupBox1, {QStringLiteral("sCheckBox1"), QStringLiteral("sCheckBox2"), QStringLiteral("sCheckBox3"),
                             QStringLiteral("sCheckBox4")}),
      launchPractice(&RunPractice) {
    Label30 = makeLabel(this, QStringLiteral("Label30"), PixelFont(QStringLiteral("微软雅黑"), 18, true),
                        QRect(kMargin, 8, kTreeWidth, 32));
    Label29 = makeLabel(this, QStringLiteral("Label29"), PixelFont(QStringLiteral("微软雅黑"), 15),
                        QRect(kMargin, 44, kTreeWidth, 26));
    Label29->setText(QStringLiteral("【选择章节】"));

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setGeometry(kMargin, kTreeTop, kTreeWidth, kTreeHeight);
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setFont(PixelFont(QStringLiteral("微软雅黑"), 14));
    TreeView1->setIndentation(18);
    connect(TreeView1, &QTreeWidget::itemClicked, this, &ChapterPracticePage::TreeView1Click);

    // The chosen chapter, section and progress, above the choices.
    auto *caption = makeLabel(this, QStringLiteral("lblChosen"), PixelFont(QStringLiteral("微软雅黑"), 15),
                              QRect(kRightLeft, 12, kRightWidth, 26));
    caption->setText(QStringLiteral("当前章节："));
    sLabel3 = makeLabel(this, QStringLiteral("sLabel3"), PixelFont(QStringLiteral("微软雅黑"), 16, true),
                        QRect(kRightLeft + 16, 42, kRightWidth - 16, 28));
    sLabel4 = makeLabel(this, QStringLiteral("sLabel4"), PixelFont(QStringLiteral("微软雅黑"), 16, true),
                        QRect(kRightLeft + 16, 72, kRightWidth - 16, 28));
    sLabel5 = makeLabel(this, QStringLiteral("sLabel5"), PixelFont(QStringLiteral("微软雅黑"), 16),
                        QRect(kRightLeft + 16, 108, kRightWidth - 16, 28));
    sLabel5->setStyleSheet(QStringLiteral("color: #c00000;"));
    for (QLabel *l : {sLabel3, sLabel4})
        l->setStyleSheet(QStringLiteral("color: #1f4e79;"));

    sGroupBox1->setObjectName(QStringLiteral("sGroupBox1"));
    sGroupBox1->setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
    sGroupBox1->setGeometry(kRightLeft, kGroupTop, kRightWidth, kGroupHeight);
    const QString scopeCaptions[5] = {QStringLiteral("所有题目"), QStringLiteral("新题-未答过的题"),
                                      QStringLiteral("错题重做"), QStringLiteral("收藏的题目"),
                                      QStringLiteral("已做过的题目")};
    for (int i = 0; i < 5; ++i) {
        auto *r = new QRadioButton(scopeCaptions[i], sGroupBox1);
        r->setObjectName(QStringLiteral("sRadioButton%1").arg(i + 1));
        r->setGeometry(28, 34 + i * kChoiceRow, 200, 28);
        connect(r, &QRadioButton::clicked, this, [this, i] { ScopeClick(i); });
        scopeButtons[size_t(i)] = r;
    }
    scopeButtons[0]->setChecked(true);
    auto *divider = new QFrame(sGroupBox1);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    divider->setGeometry(246, 36, 2, kGroupHeight - 52);
    for (int i = 0; i < 4; ++i)
        typeBoxes.box(i)->setGeometry(276, 34 + i * kChoiceRow, 190, 28);

    sBitBtn2 = new QPushButton(QStringLiteral("开始练习"), this);
    sBitBtn2->setObjectName(QStringLiteral("sBitBtn2"));
    sBitBtn2->setFont(PixelFont(QStringLiteral("微软雅黑"), 20, true));
    sBitBtn2->setGeometry(kRightLeft + (kRightWidth - 200) / 2, kGroupTop + kGroupHeight + 22, 200, 52);
    connect(sBitBtn2, &QPushButton::clicked, this, &ChapterPracticePage::sBitBtn2Click);
}

void ChapterPracticePage::ShowProfile() {
    Label30->setText(examProfile().subjectName);
    typeBoxes.ShowProfile();
}

void ChapterPracticePage::BuildChapterTree() {
    TreeView1->clear();
    Dataset &q = bankSession()->listQuery;
    q.openSql(ChapterTreeSql());
    QTreeWidgetItem *top = nullptr;
    QTreeWidgetItem *chapter = nullptr;
    // A node without its parent level in the table stands at the top level.
    auto add = [&](QTreeWidgetItem *parent, const QString &daima, const QString &name) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TreeView1);
        item->setText(0, name);
        item->setData(0, Qt::UserRole, StrToInt(daima));
        return item;
    };
    for (q.first(); !q.eof(); q.next()) {
        const QString daima = q.asString(QStringLiteral("daima"));
        const QString mc = q.asString(QStringLiteral("mc"));
        switch (daima.size()) {
        case 2:
            top = add(nullptr, daima, mc);
            break;
        case 4:
            chapter = add(top, daima, mc);
            break;
        case 6:
            add(chapter, daima, mc);
            break;
        default:
            break;
        }
    }
    TreeView1->expandAll();
    if (TreeView1->topLevelItemCount() == 0)
        throw KjksError(QStringLiteral("The chapter table kjks_zhangjie holds no chapters"));
    sLabel3->setText(TreeView1->topLevelItem(0)->text(0));
    showProgress(QString(), QString());
}

void ChapterPracticePage::Enter() {
    // The scope is 0 and no chapter is chosen again on entry: the checked choice, the tree and the
    // labels must say so, or "开始练习" would practise another set than the one shown.
    scopeButtons[0]->setChecked(true);
    TreeView1->clearSelection();
    TreeView1->setCurrentItem(nullptr);
    if (TreeView1->topLevelItemCount() == 0) return;
    sLabel3->setText(TreeView1->topLevelItem(0)->text(0));
    sLabel4->clear();
    showProgress(QString(), QString());
}

// Counts over the whole bank (no chapter), a chapter, or a section of a chapter: the questions
// practice answers, so that "还剩" reaches 0 when everything is done.
void ChapterPracticePage::showProgress(const QString &chapter, const QString &section) {
    m_progressChapter = chapter;
    m_progressSection = section;
    const QString fourth = examProfile().section(QuestionType::Fourth).typeName;
    const bool stems = FourthKindOf(fourth) == FourthKind::CaseStem;
    auto count = [&](bool unansweredOnly) {
        int n = countTotal(ProgressCountSql(fourth, unansweredOnly, chapter, section));
        if (stems) n += countTotal(StemProgressCountSql(unansweredOnly, chapter, section));
        return n;
    };
    const int total = count(false);
    const int remaining = count(true);
    sLabel5->setText(ProgressText(total - remaining, remaining));
}

void ChapterPracticePage::TreeView1Click() {
    Guarded([&] {
        QTreeWidgetItem *node = TreeView1->currentItem();
        if (!node || !node->isSelected()) return;
        switch (depthOf(node)) {
        case 0:
            sLabel3->setText(node->text(0));
            sLabel4->clear();
            showProgress(QString(), QString());
            break;
        case 1:
            sLabel3->setText(node->text(0));
            sLabel4->clear();
            break;
        default:
            sLabel3->setText(node->parent()->text(0));
            sLabel4->setText(node->text(0));
            break;
        }
        // The code as the decimal text of daima's value: "1", "101" or "10102". The chapter and
        // section numbers are its two-digit pieces, pasted into the counts as they stand.
        const QString code = QString::number(node->data(0, Qt::UserRole).toInt());
        launchParameters().SelectedChapterCode = code;
        if (code.size() == 3)
            showProgress(code.mid(1, 2), QString());
        else if (code.size() == 5)
            showProgress(code.mid(1, 2), code.mid(3, 2));
    });
}

void ChapterPracticePage::ScopeClick(int scope) {
    Guarded([&] { launchParameters().PracticeScope = scope; });
}

void ChapterPracticePage::sBitBtn2Click() {
    Guarded([&] {
        typeBoxes.StoreFlags();
        launchPractice();
        // What was just practised shows in the numbers at once.
        showProgress(m_progressChapter, m_progressSection);
    });
}
