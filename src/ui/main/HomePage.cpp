#include "HomePage.h"

#include "DailyReviewPanel.h"
#include "Fonts.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

HomePage::HomePage(QWidget *parent) : QWidget(parent) {
    auto *column = m_column = new QVBoxLayout(this);
    column->setContentsMargins(40, 16, 40, 12);
    column->setSpacing(0);
    auto *heading = new QLabel(QStringLiteral("软件考试说明"), this);
    heading->setFont(PixelFont(QStringLiteral("微软雅黑"), 20, true));
    // The heading, and the guide to reopen at any time.
    m_guideButton = new QPushButton(QStringLiteral("使用说明"), this);
    m_guideButton->setObjectName(QStringLiteral("guideButton"));
    m_guideButton->setFont(PixelFont(QStringLiteral("微软雅黑"), 15));
    m_guideButton->setCursor(Qt::PointingHandCursor);
    m_guideButton->setFixedSize(110, 34);
    connect(m_guideButton, &QPushButton::clicked, this, &HomePage::guideRequested);
    m_aboutButton = new QPushButton(QStringLiteral("关于"), this);
    m_aboutButton->setObjectName(QStringLiteral("aboutButton"));
    m_aboutButton->setFont(m_guideButton->font());
    m_aboutButton->setCursor(Qt::PointingHandCursor);
    m_aboutButton->setFixedSize(80, 34);
    m_aboutButton->setAccessibleName(QStringLiteral("关于本程序"));
    connect(m_aboutButton, &QPushButton::clicked, this, &HomePage::aboutRequested);
    auto *headingRow = new QHBoxLayout;
    headingRow->addWidget(heading);
    headingRow->addStretch(1);
    headingRow->addWidget(m_guideButton);
    headingRow->addSpacing(8);
    headingRow->addWidget(m_aboutButton);
    column->addLayout(headingRow);
    column->addSpacing(16);

    struct Row {
        const char16_t *button;
        const char16_t *text;
    } rows[] = {
        {u"考试大纲", u"阅读财政部初级会计职称考试大纲"},
        {u"章节练习", u"通过章节答题练习，掌握考试范围内的知识点；每学完一个章节，进入该\n章节做题练习。"},
        {u"全真模考",
         u"全真模拟正式考试，题型、题量、分值、知识点、难度、考试时长等与正\n式考试相同，检验是否做好考试准备。"},
        {u"统计分析", u"统计答题正确率，分析薄弱环节。"},
    };
    const QFont tf = PixelFont(QStringLiteral("新宋体"), 16);
    const QFont bf = PixelFont(QStringLiteral("微软雅黑"), 16, true);
    auto *grid = new QGridLayout;
    grid->setContentsMargins(20, 0, 0, 0);
    grid->setHorizontalSpacing(28);
    grid->setVerticalSpacing(22);
    int index = 0;
    for (const Row &r : rows) {
        auto *button = new QPushButton(QString::fromUtf16(r.button), this);
        button->setFont(bf);
        button->setCursor(Qt::PointingHandCursor);
        button->setFixedSize(140, 46);
        auto *text = new QLabel(QString::fromUtf16(r.text), this);
        text->setFont(tf);
        text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(button, index, 0);
        grid->addWidget(text, index, 1);
        m_buttons[index++] = button;
    }
    grid->setColumnStretch(1, 1);
    column->addLayout(grid);
    connect(m_buttons[0], &QPushButton::clicked, this, &HomePage::syllabusRequested);
    connect(m_buttons[1], &QPushButton::clicked, this, &HomePage::chapterPracticeRequested);
    connect(m_buttons[2], &QPushButton::clicked, this, &HomePage::mockExamRequested);
    connect(m_buttons[3], &QPushButton::clicked, this, &HomePage::statisticsRequested);

    // Below the four parts: the day's reviews.
    column->addSpacing(20);
    m_dailyReview = new DailyReviewPanel(DailyReviewPanel::Layout::Row, this);
    m_dailyReview->setFixedWidth(560);
    column->addWidget(m_dailyReview, 0, Qt::AlignLeft);
    column->addStretch(1);
    column->addSpacing(24);
    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    column->addWidget(rule);
    column->addSpacing(8);
    auto *motto = new QLabel(QStringLiteral("章节练习，务必多练；全真模考，检验水平。"), this);
    motto->setObjectName(QStringLiteral("motto"));
    motto->setFont(PixelFont(QStringLiteral("微软雅黑"), 16));
    column->addWidget(motto);
}

void HomePage::addPanel(QWidget *panel) {
    const int at = m_column->indexOf(m_dailyReview) + 1;
    m_column->insertSpacing(at, 8);
    m_column->insertWidget(at + 1, panel, 0, Qt::AlignLeft);
}
