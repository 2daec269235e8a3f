#include "ChapterPracticePage.h"

#include "BankSession.h"
#include "ExamProfile.h"
#include "Fonts.h"
#include "HandlerGuard.h"
#include "LaunchParameters.h"
#include "MainQueries.h"
#include "NumberText.h"
#include "PracticeWindow.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kMargin = 16;
constexpr int kTreeWidth = 470;

QLabel *makeLabel(QWidget *parent, const QString &name, const QFont &font) {
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText); // chapter and subject names come from the bank
    l->setFont(font);
    // A long name from the bank is cut at the column, never widening the page.
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    l->setMinimumHeight(QFontMetrics(font).height() + 6);
    return l;
}

int depthOf(const QTreeWidgetItem *item) {
    int depth = 0;
    for (const QTreeWidgetItem *p = item->parent(); p; p = p->parent())
        ++depth;
    return depth;
}

} // namespace

ChapterPracticePage::ChapterPracticePage(QWidget *parent)
    : QWidget(parent), choicesGroup(new QGroupBox(QStringLiteral("  选题范围  "), this)),
      typeBoxes(choicesGroup, {QStringLiteral("typeBox1"), QStringLiteral("typeBox2"), QStringLiteral("typeBox3"),
                               QStringLiteral("typeBox4")}),
      launchPractice(&RunPractice) {
    // The tree on the left takes the height; the choices on the right keep theirs.
    auto *left = new QVBoxLayout;
    left->setSpacing(4);
    subjectLabel = makeLabel(this, QStringLiteral("subjectLabel"), PixelFont(QStringLiteral("微软雅黑"), 18, true));
    chooseChapterLabel =
        makeLabel(this, QStringLiteral("chooseChapterLabel"), PixelFont(QStringLiteral("微软雅黑"), 15));
    chooseChapterLabel->setText(QStringLiteral("【选择章节】"));
    chapterTree = new QTreeWidget(this);
    chapterTree->setObjectName(QStringLiteral("chapterTree"));
    chapterTree->setMinimumSize(kTreeWidth, 200);
    chapterTree->setHeaderHidden(true);
    chapterTree->setAccessibleName(QStringLiteral("章节目录"));
    chapterTree->setColumnCount(1);
    chapterTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    chapterTree->setSelectionMode(QAbstractItemView::SingleSelection);
    chapterTree->setFont(PixelFont(QStringLiteral("微软雅黑"), 14));
    chapterTree->setIndentation(18);
    connect(chapterTree, &QTreeWidget::itemClicked, this, &ChapterPracticePage::chooseNode);
    left->addWidget(subjectLabel);
    left->addWidget(chooseChapterLabel);
    left->addWidget(chapterTree, 1);

    // The chosen chapter, section and progress, above the choices.
    auto *right = new QVBoxLayout;
    right->setSpacing(2);
    auto *caption = makeLabel(this, QStringLiteral("chosenCaption"), PixelFont(QStringLiteral("微软雅黑"), 15));
    caption->setText(QStringLiteral("当前章节："));
    chapterLabel = makeLabel(this, QStringLiteral("chapterLabel"), PixelFont(QStringLiteral("微软雅黑"), 16, true));
    sectionLabel = makeLabel(this, QStringLiteral("sectionLabel"), PixelFont(QStringLiteral("微软雅黑"), 16, true));
    progressLabel = makeLabel(this, QStringLiteral("progressLabel"), PixelFont(QStringLiteral("微软雅黑"), 16));
    progressLabel->setStyleSheet(QStringLiteral("color: #c00000;"));
    for (QLabel *l : {chapterLabel, sectionLabel})
        l->setStyleSheet(QStringLiteral("color: #1f4e79;"));
    right->addWidget(caption);
    for (QLabel *l : {chapterLabel, sectionLabel, progressLabel}) {
        l->setIndent(16);
        right->addWidget(l);
    }
    right->addSpacing(6);

    choicesGroup->setObjectName(QStringLiteral("choicesGroup"));
    choicesGroup->setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
    auto *choices = new QGridLayout(choicesGroup);
    choices->setContentsMargins(28, 12, 16, 12);
    choices->setHorizontalSpacing(28);
    choices->setVerticalSpacing(6);
    const QString scopeCaptions[5] = {QStringLiteral("所有题目"), QStringLiteral("新题-未答过的题"),
                                      QStringLiteral("错题重做"), QStringLiteral("收藏的题目"),
                                      QStringLiteral("已做过的题目")};
    for (int i = 0; i < 5; ++i) {
        auto *r = new QRadioButton(scopeCaptions[i], choicesGroup);
        r->setObjectName(QStringLiteral("scopeButton%1").arg(i + 1));
        r->setMinimumHeight(28);
        connect(r, &QRadioButton::clicked, this, [this, i] { chooseScope(i); });
        choices->addWidget(r, i, 0);
        scopeButtons[size_t(i)] = r;
    }
    scopeButtons[0]->setChecked(true);
    auto *divider = new QFrame(choicesGroup);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    choices->addWidget(divider, 0, 1, 5, 1);
    for (int i = 0; i < 4; ++i) {
        typeBoxes.box(i)->setMinimumHeight(28);
        choices->addWidget(typeBoxes.box(i), i, 2);
    }
    choices->setColumnStretch(2, 1);
    right->addWidget(choicesGroup);
    right->addSpacing(12);

    startButton = new QPushButton(QStringLiteral("开始练习"), this);
    startButton->setObjectName(QStringLiteral("startButton"));
    startButton->setFont(PixelFont(QStringLiteral("微软雅黑"), 20, true));
    startButton->setFixedSize(200, 52);
    connect(startButton, &QPushButton::clicked, this, &ChapterPracticePage::startPractice);
    right->addWidget(startButton, 0, Qt::AlignHCenter);
    right->addStretch(1);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(kMargin, 8, kMargin, 12);
    row->setSpacing(24);
    row->addLayout(left, 1);
    row->addLayout(right, 1);
}

void ChapterPracticePage::ShowProfile() {
    subjectLabel->setText(examProfile().subjectName);
    typeBoxes.ShowProfile();
}

void ChapterPracticePage::BuildChapterTree(const std::vector<ChapterTreeRow> &rows) {
    chapterTree->clear();
    QTreeWidgetItem *top = nullptr;
    QTreeWidgetItem *chapter = nullptr;
    // A node without its parent level in the table stands at the top level.
    auto add = [&](QTreeWidgetItem *parent, const ChapterTreeRow &row) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(chapterTree);
        item->setText(0, row.name);
        item->setData(0, Qt::UserRole, row.number);
        return item;
    };
    for (const ChapterTreeRow &row : rows) {
        switch (row.code.size()) {
        case 2:
            top = add(nullptr, row);
            break;
        case 4:
            chapter = add(top, row);
            break;
        default:
            add(chapter, row);
            break;
        }
    }
    chapterTree->expandAll();
    if (chapterTree->topLevelItemCount() == 0) return;
    chapterLabel->setText(chapterTree->topLevelItem(0)->text(0));
    showProgress(QString(), QString());
}

void ChapterPracticePage::Enter() {
    // The scope is 0 and no chapter is chosen again on entry: the checked choice, the tree and the
    // labels must say so, or "开始练习" would practise another set than the one shown.
    scopeButtons[0]->setChecked(true);
    chapterTree->clearSelection();
    chapterTree->setCurrentItem(nullptr);
    if (chapterTree->topLevelItemCount() == 0) return;
    chapterLabel->setText(chapterTree->topLevelItem(0)->text(0));
    sectionLabel->clear();
    showProgress(QString(), QString());
}

// Counts over the whole bank (no chapter), a chapter, or a section of a chapter: the questions
// practice answers, so that "还剩" reaches 0 when everything is done.
void ChapterPracticePage::showProgress(const QString &chapter, const QString &section) {
    m_progressChapter = chapter;
    m_progressSection = section;
    BankSession &bank = *bankSession();
    const ChapterProgress p = CountChapterProgress(
        bank.rowQuery, bank.db, examProfile().section(QuestionType::Fourth).typeName, chapter, section);
    progressLabel->setText(ProgressText(p.done, p.remaining));
}

void ChapterPracticePage::chooseNode() {
    Guarded([&] {
        QTreeWidgetItem *node = chapterTree->currentItem();
        if (!node || !node->isSelected()) return;
        switch (depthOf(node)) {
        case 0:
            chapterLabel->setText(node->text(0));
            sectionLabel->clear();
            showProgress(QString(), QString());
            break;
        case 1:
            chapterLabel->setText(node->text(0));
            sectionLabel->clear();
            break;
        default:
            chapterLabel->setText(node->parent()->text(0));
            sectionLabel->setText(node->text(0));
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

void ChapterPracticePage::chooseScope(int scope) {
    Guarded([&] { launchParameters().PracticeScope = scope; });
}

void ChapterPracticePage::startPractice() {
    Guarded([&] {
        typeBoxes.StoreFlags();
        launchPractice();
        // What was just practised shows in the numbers at once.
        showProgress(m_progressChapter, m_progressSection);
    });
}
