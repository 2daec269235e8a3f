#include "BankCheck.h"

#include "AnswerScore.h"
#include "BankReader.h"
#include "BankRules.h"
#include "BankSession.h"
#include "SqlDatabase.h"
#include "SqlError.h"

QStringList CheckExamProfile(const BankModel &m) {
    QStringList out;
    for (const BankProblem &p : ExamProfileProblems(m))
        out << (p.unusable ? QString() : kCheckWarning()) + ProblemText(p);
    return out;
}

QStringList CheckExamOptions(const BankModel &m) {
    QStringList out;
    auto option = [&](const QString &key) -> std::optional<QString> {
        const auto it = m.options.find(key);
        if (it == m.options.end()) return std::nullopt;
        return it->second;
    };
    const auto minutes = option(ExamMinutesOptionKey());
    if (minutes && !ExamMinutesOf(*minutes))
        out << QStringLiteral("%1设置 %2：“%3”不是 1 到 600 的整数分钟数，考试按标题定的时长（120 或 90 "
                              "分钟）进行")
                   .arg(kCheckWarning(), ExamMinutesOptionKey(), *minutes);
    const auto scoring = option(ExamScoringOptionKey());
    if (scoring && !ScoringRuleOf(*scoring))
        out << QStringLiteral("%1设置 %2：“%3”既不是 all_or_nothing 也不是 partial，答案按全对才得分评分")
                   .arg(kCheckWarning(), ExamScoringOptionKey(), *scoring);
    return out;
}

QString kCheckWarning() {
    return QStringLiteral("警告：");
}

QStringList CheckBank(const QString &bankPath) {
    SqlDatabase db;
    try {
        db.open(bankPath, QString::fromLatin1(kBankPassword));
    } catch (const KjksError &e) {
        return {QStringLiteral("%1: 无法打开题库：%2").arg(bankPath, e.message())};
    }
    QStringList out;
    // Every page of the file: the program reads only what a window needs, so a damaged page can lie
    // unnoticed until a learner reaches it.
    try {
        for (const auto &row : db.select(QStringLiteral("PRAGMA integrity_check")))
            if (row.empty() || row[0].toString() != QLatin1String("ok"))
                out << QStringLiteral("题库文件已损坏：") + (row.empty() ? QString() : row[0].toString());
    } catch (const KjksError &e) {
        out << QStringLiteral("题库文件已损坏：") + e.message();
    }
    // Row by row: the rules of each row at once, and of the whole bank only compact facts.
    class Checker : public BankRowVisitor {
    public:
        Checker(std::vector<BankProblem> &out, SqlDatabase &db) : rules(out, true), m_db(db) {}
        void head(const BankModel &head) override { rules.chapters(head.chapters); }
        void question(BankQuestion &&q) override {
            if (!m_stemsKnown) { // the case ids are read when the questions are: a failure names its table then
                std::vector<int> ids;
                for (const auto &row : m_db.select(QStringLiteral("select ID from zongtigan")))
                    ids.push_back(row[0].isNull() ? 0 : int(row[0].toLongLong()));
                rules.knownStems(ids);
                m_stemsKnown = true;
            }
            rules.question(q);
        }
        void stem(BankStem &&s) override { rules.stem(s); }
        BankRuleChecker rules;

    private:
        SqlDatabase &m_db;
        bool m_stemsKnown = false;
    };
    std::vector<BankProblem> problems;
    std::vector<BankProblem> ruleProblems;
    BankModel m;
    try {
        Checker checker(ruleProblems, db);
        m = ReadBankRows(db, &problems, checker);
        checker.rules.finish(m.profiles, m.papers, m.paperItems);
        problems.insert(problems.end(), std::make_move_iterator(ruleProblems.begin()),
                        std::make_move_iterator(ruleProblems.end()));
        ruleProblems.clear();
        // What the program copes with (the learner's own records) is a warning; the rest fails the check.
        for (const BankProblem &p : problems)
            out << (p.unusable ? QString() : kCheckWarning()) + ProblemText(p);
        bool scratch = false;
        for (const BankPaperItem &i : m.paperItems)
            scratch = scratch || (i.sjID == 0 && i.xth == 200);
        if (!scratch) out << QStringLiteral("答题记录：缺少练习用的答题行（试卷 0 的第 200 行，sjID 0、xth 200）");
        for (const BankProblem &p : ExamProfileProblems(m, checker.rules.tally()))
            out << (p.unusable ? QString() : kCheckWarning()) + ProblemText(p);
    } catch (const KjksError &e) {
        return out << e.message().split(QLatin1Char('\n')); // fields past their limits, one a line
    }
    out << CheckExamOptions(m);
    return out;
}
