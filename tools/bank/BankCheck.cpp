#include "BankCheck.h"

#include "AnswerScore.h"

#include "BankReader.h"
#include "BankRules.h"
#include "BankSession.h"
#include "SqlDatabase.h"
#include "SqlError.h"

#include <map>

namespace {

// A section of N questions draws N distinct rows of its list, so it needs N eligible rows.
int rowsNeeded(int count) {
    return count <= 0 ? 0 : count;
}

QString profileProblem(const QString &column, const QString &message) {
    return QStringLiteral("kjks_type 1 %1: %2").arg(column, message);
}

} // namespace

QStringList CheckExamProfile(const BankModel &m) {
    QStringList out;
    const BankProfile *profile = nullptr;
    for (const BankProfile &p : m.profiles)
        if (p.id == 1) profile = &p;
    if (!profile) return {QStringLiteral("kjks_type 1: the exam profile 1 is missing")};
    auto column = [&](const char *name) {
        const auto it = profile->columns.find(QString::fromLatin1(name));
        return it == profile->columns.end() ? QString() : it->second;
    };
    auto count = [&](const char *name, int *n) {
        bool ok = false;
        *n = column(name).trimmed().toInt(&ok, 10);
        if (!ok)
            out << profileProblem(QString::fromLatin1(name),
                                  QStringLiteral("'%1' is not a whole number").arg(column(name)));
        return ok;
    };

    const QString pool = banktypes::randomPool();
    const struct {
        const char *typeColumn;
        const char *countColumn;
        QString type;
    } objective[] = {{"danxuan", "danxuanti", banktypes::single()},
                     {"duoxuan", "duoxuanti", banktypes::multiple()},
                     {"panduan", "panduanti", banktypes::judgement()}};
    for (const auto &section : objective) {
        const QString type = column(section.typeColumn);
        if (type != section.type)
            out << profileProblem(
                QString::fromLatin1(section.typeColumn),
                QStringLiteral("the type name is '%1'; scoring needs exactly %2").arg(type, section.type));
        int n = 0;
        if (!count(section.countColumn, &n)) continue;
        int eligible = 0;
        for (const BankQuestion &q : m.questions)
            if (q.flag_state != 1 && !q.daan.isEmpty() && q.tixing == type && q.shijuan == pool) ++eligible;
        if (eligible < rowsNeeded(n))
            out << profileProblem(QString::fromLatin1(section.countColumn),
                                  QStringLiteral("a paper draws %1 %2, which needs at least %3 questions of that type "
                                                 "with an answer, flag_state not 1 and shijuan %4; the bank has %5")
                                      .arg(n)
                                      .arg(type)
                                      .arg(rowsNeeded(n))
                                      .arg(pool)
                                      .arg(eligible));
    }

    const QString fourth = column("shicaotype");
    int n = 0;
    if (!count("shicaoti", &n)) return out;
    if (fourth == banktypes::caseQuestion()) {
        const auto title = m.options.find(QStringLiteral("APP_TITLE"));
        const int perCase = title != m.options.end() && title->second.contains(QStringLiteral("实务")) ? 5 : 4;
        const int cases = n / perCase;
        if (n % perCase != 0)
            out << profileProblem(QStringLiteral("shicaoti"),
                                  QStringLiteral("%1 is not a multiple of the %2 sub-questions a case gives: a paper "
                                                 "would leave %3 places empty")
                                      .arg(n)
                                      .arg(perCase)
                                      .arg(n % perCase));
        std::map<int, int> usableSubs;
        for (const BankQuestion &q : m.questions)
            if (!q.zongtimian.isEmpty() && q.flag_state != 1) ++usableSubs[q.zongtimian.toInt()];
        int eligible = 0;
        for (const BankStem &s : m.stems) {
            if (s.shijuan != pool || s.flag_state == 1) continue;
            ++eligible;
            if (cases > 0 && usableSubs[s.id] < perCase)
                out << QStringLiteral("zongtigan %1: a case in a paper gives %2 sub-questions, this one has %3 "
                                      "(flag_state not 1)")
                           .arg(s.id)
                           .arg(perCase)
                           .arg(usableSubs[s.id]);
        }
        if (eligible < rowsNeeded(cases))
            out << profileProblem(
                QStringLiteral("shicaoti"),
                QStringLiteral("a paper draws %1 cases, which needs at least %2 cases with flag_state "
                               "not 1 and shijuan %3; the bank has %4")
                    .arg(cases)
                    .arg(rowsNeeded(cases))
                    .arg(pool)
                    .arg(eligible));
    } else if (fourth == AnalysisTypeName() || fourth == OperationTypeName()) {
        int eligible = 0;
        for (const BankQuestion &q : m.questions)
            if (q.flag_state != 1 && !q.daan.isEmpty() && q.tixing == banktypes::operation()) ++eligible;
        if (eligible < rowsNeeded(n))
            out << profileProblem(QStringLiteral("shicaoti"),
                                  QStringLiteral("a paper draws %1 %2, which needs at least %3 实操题 rows with an "
                                                 "answer and flag_state not 1; the bank has %4")
                                      .arg(n)
                                      .arg(fourth)
                                      .arg(rowsNeeded(n))
                                      .arg(eligible));
    }
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
        out << QStringLiteral("%1sys_option %2: '%3' is not a whole number of minutes from 1 to 600; the exam keeps "
                              "the time the title gives (120 or 90 minutes)")
                   .arg(kCheckWarning(), ExamMinutesOptionKey(), *minutes);
    const auto scoring = option(ExamScoringOptionKey());
    if (scoring && !ScoringRuleOf(*scoring))
        out << QStringLiteral("%1sys_option %2: '%3' is neither all_or_nothing nor partial; answers are scored all "
                              "or nothing")
                   .arg(kCheckWarning(), ExamScoringOptionKey(), *scoring);
    return out;
}

QString kCheckWarning() {
    return QStringLiteral("warning: ");
}

QStringList CheckBank(const QString &bankPath) {
    SqlDatabase db;
    try {
        db.open(bankPath, QString::fromLatin1(kBankPassword));
    } catch (const KjksError &e) {
        return {QStringLiteral("%1: cannot open the bank: %2").arg(bankPath, e.message())};
    }
    QStringList out;
    // Every page of the file: the program reads only what a window needs, so a damaged page can lie
    // unnoticed until a learner reaches it.
    try {
        for (const auto &row : db.select(QStringLiteral("PRAGMA integrity_check")))
            if (row.empty() || row[0].toString() != QLatin1String("ok"))
                out << QStringLiteral("the file is damaged: ") + (row.empty() ? QString() : row[0].toString());
    } catch (const KjksError &e) {
        out << QStringLiteral("the file is damaged: ") + e.message();
    }
    std::vector<BankProblem> problems;
    BankModel m;
    try {
        m = ReadBank(db, &problems);
    } catch (const KjksError &e) {
        return out << e.message();
    }
    for (const BankProblem &p : ValidateBankModel(m))
        problems.push_back(p);
    for (const BankProblem &p : problems)
        out << ProblemText(p);
    bool scratch = false;
    for (const BankPaperItem &i : m.paperItems)
        scratch = scratch || (i.sjID == 0 && i.xth == 200);
    if (!scratch) out << QStringLiteral("shijuan: the practice answer row (sjID 0, xth 200) is missing");
    out << CheckExamProfile(m);
    out << CheckExamOptions(m);
    return out;
}
