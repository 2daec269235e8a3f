#include "Guide.h"

#include "AppTables.h"
#include "QuestionTypes.h"
#include "SqlDatabase.h"

namespace {
const char kSeenName[] = "guide_seen";

void ensureSettings(SqlDatabase &db) {
    EnsureAppTable(db, QStringLiteral("kjks_app_settings"));
}
} // namespace

QString GuideText(const ExamProfile &profile, int examMinutes) {
    QString text =
        QStringLiteral("欢迎使用！本程序帮助您备考初级会计职称《初级会计实务》。\n\n"
                       "我的首页：各部分的入口；“今日复习”列出今天该复习的错题；“学习进度”可以备份、恢复或重新开始。\n"
                       "考试大纲：大纲、报考指南、过关经验等学习资料（Ctrl+加号/减号或 Ctrl+滚轮放大缩小）。\n"
                       "章节练习：选择章节和题型练习，每题答完立即判断对错并给出解析。\n"
                       "模拟考场：按正式考试的题型、题量、分值和时长组卷，界面与无纸化考试相同。\n"
                       "错题强化、重点收藏：重做答错的题目和收藏的题目。\n"
                       "统计分析：正确率、薄弱环节、模考成绩和复习计划。\n\n");
    text += QStringLiteral("模拟考试（%1分钟）：\n").arg(examMinutes);
    for (QuestionType type : profile.presentSections()) {
        const ExamSection &s = profile.section(type);
        const QString name = type == QuestionType::Fourth ? s.typeName : QuestionTypeName(type);
        QString rule;
        if (profile.RuleFor(type) == ScoringRule::PartialCredit && type == QuestionType::Multiple)
            rule = QStringLiteral("，全部选对得满分，少选且所选都对每选对一项得0.5分，有错选不得分");
        else if (profile.RuleFor(type) == ScoringRule::PartialCredit)
            rule = QStringLiteral("，每小题全部选对得满分，少选且所选都对每选对一项得0.5分，有错选不得分");
        else
            rule = QStringLiteral("，答案与标准答案完全相同才得分");
        text += QStringLiteral("  %1 %2题，共%3分%4。\n").arg(name, s.countText, s.pointsText, rule);
    }
    text += QStringLiteral(
        "考试中可以标记题目、通过答题卡跳到任一题；时间到时自动交卷，交卷后的试卷不能再修改，"
        "可以“查看”答题情况或“重做”。\n\n"
        "按键：Ctrl+1～Ctrl+6 打开导航各项；Tab 移到下一个控件；Enter 或空格打开有焦点的项；"
        "练习和考试中按 A～F 选择选项，练习中 ←/→ 上一题、下一题，考试中答题卡上用方向键移动、Enter 跳到该题；"
        "主窗口中按 F1 显示按键。\n\n"
        "本说明可以随时在“我的首页”点“使用说明”再次打开。");
    return text;
}

bool GuideSeen(SqlDatabase &db) {
    ensureSettings(db);
    return !db.select(QStringLiteral("select value from kjks_app_settings where name = ?"),
                      {QVariant(QString::fromLatin1(kSeenName))})
                .empty();
}

void MarkGuideSeen(SqlDatabase &db) {
    ensureSettings(db);
    db.exec(QStringLiteral("insert or replace into kjks_app_settings (name, value) values (?, '1')"),
            {QVariant(QString::fromLatin1(kSeenName))});
}
