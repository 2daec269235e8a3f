#include "BankUpgrade.h"

#include "AnswerChecks.h"
#include "BankCopy.h"
#include "BankRows.h"
#include "BankSession.h"
#include "LearnerProgress.h"
#include "PaperState.h"
#include "ProgressCounts.h"
#include "QuestionTypes.h"
#include "SqlDatabase.h"
#include "SqlError.h"
#include "Transaction.h"

#include <QDir>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

namespace {

// What identifies a question's answer: its type and its answer, a true/false answer stored as 1/0
// taken in the form practice rewrites it to.
QString answerIdentity(const QString &tixing, const QString &daan) {
    QString answer = daan;
    if (tixing == QuestionTypeName(QuestionType::Judgement)) answer = JudgementAnswerForm(daan).value_or(daan);
    return tixing + QLatin1Char('\x1f') + answer;
}

struct QuestionRow {
    QString identity;
    std::vector<QVariant> progress;
};

// The statement that reads a question table's rows as (key, type, answer, progress values...), in
// key order, or the one row of a key.
QString questionRowsQuery(const ProgressTable &table, bool oneKey) {
    const bool typed = table.table == QStringLiteral("kjks_tigan");
    return QStringLiteral("select %1, %2, daan, %3 from %4 %5")
        .arg(table.key, typed ? QStringLiteral("tixing") : QStringLiteral("''"), ProgressColumnList(), table.table,
             oneKey ? QStringLiteral("where %1 = ?").arg(table.key) : QStringLiteral("order by %1").arg(table.key));
}

QuestionRow questionRow(const std::vector<QVariant> &row) {
    QuestionRow q;
    q.identity = answerIdentity(row[1].toString(), row[2].toString());
    q.progress.assign(row.begin() + 3, row.end());
    return q;
}

bool sameValues(const std::vector<QVariant> &a, const std::vector<QVariant> &b) {
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].isNull() != b[i].isNull() || a[i].toString() != b[i].toString()) return false;
    return true;
}

int indexOf(const QStringList &names, const QString &name) {
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

struct Carry {
    // Keys whose answer-bound progress does not carry (withdrawn or changed): questions and case stems.
    std::set<qint64> questionsNotCarried;
    std::set<qint64> stemsNotCarried;
    std::set<qint64> papersCarried;
};

void carryQuestions(SqlDatabase &old, SqlDatabase &fresh, SqlDatabase &out, UpgradeReport &report, Carry &carry) {
    const auto &columns = QuestionProgressColumns();
    for (const ProgressTable &table : QuestionProgressTables()) {
        const bool questions = table.table == QStringLiteral("kjks_tigan");
        QStringList sets;
        for (const ProgressColumn &c : columns)
            sets << c.name + QStringLiteral(" = ?");
        PreparedStatement update(out, QStringLiteral("update %1 set %2 where %3 = ?")
                                          .arg(table.table, sets.join(QStringLiteral(", ")), table.key));
        // OLD is read a row at a time and each row's key looked up in NEW, so a bank of any size is
        // carried in the memory of a few rows.
        PreparedStatement lookup(fresh, questionRowsQuery(table, true));
        PreparedStatement read(old, questionRowsQuery(table, false));
        read.forEachRow([&](const std::vector<QVariant> &stored) {
            const qint64 key = stored[0].toLongLong();
            const QuestionRow row = questionRow(stored);
            const auto found = lookup.select({QVariant(key)});
            const bool hasProgress = !IsFreshProgress(row.progress);
            std::set<qint64> &notCarried = questions ? carry.questionsNotCarried : carry.stemsNotCarried;
            if (found.empty()) {
                notCarried.insert(key);
                if (hasProgress) (questions ? report.withdrawn : report.withdrawnStems).push_back(int(key));
                return;
            }
            const QuestionRow match = questionRow(found.front());
            std::vector<QVariant> values = row.progress;
            if (match.identity != row.identity) {
                notCarried.insert(key);
                // The answer changed: what was counted against the old answer starts afresh.
                for (size_t i = 0; i < columns.size(); ++i)
                    if (columns[i].followsAnswer) values[i] = columns[i].fresh;
                if (hasProgress) (questions ? report.changed : report.changedStems).push_back(int(key));
            } else if (hasProgress) {
                ++report.questionsCarried;
            }
            if (sameValues(values, match.progress)) return;
            values.push_back(key);
            update.exec(values);
        });
    }
}

void carryPapers(SqlDatabase &old, SqlDatabase &out, UpgradeReport &report, Carry &carry) {
    const QString catalogue = PaperCatalogueTable();
    const QString items = PaperItemTable();
    // The new bank's own papers, if it has any, give way to the learner's.
    out.exec(QStringLiteral("delete from ") + items + QStringLiteral(" where sjID <> 0"));
    out.exec(QStringLiteral("delete from ") + catalogue);

    std::vector<QString> paperColumns;
    const auto papers =
        old.select(QStringLiteral("select * from ") + catalogue + QStringLiteral(" order by sjID"), {}, &paperColumns);
    std::vector<QString> itemColumns;
    const auto allItems = old.select(
        QStringLiteral("select * from ") + items + QStringLiteral(" where sjID <> 0 order by ID"), {}, &itemColumns);
    const QStringList paperNames(paperColumns.begin(), paperColumns.end());
    const QStringList itemNames(itemColumns.begin(), itemColumns.end());
    const int paperKey = indexOf(paperNames, QStringLiteral("sjID"));
    const int itemPaper = indexOf(itemNames, QStringLiteral("sjID"));
    const int itemQuestion = indexOf(itemNames, QStringLiteral("tigan_id"));
    if (paperKey < 0 || itemPaper < 0 || itemQuestion < 0)
        throw KjksError(QStringLiteral("旧题库的试卷表缺少试卷号或题号列。"));

    // The learner knows a paper by the number the answered-paper list shows.
    std::vector<int> ids;
    for (const auto &paper : papers)
        ids.push_back(paper[size_t(paperKey)].toInt());
    const std::vector<int> shown = PaperDisplayNumbers(ids);

    std::map<qint64, std::vector<const std::vector<QVariant> *>> itemsByPaper;
    for (const auto &item : allItems)
        itemsByPaper[item[size_t(itemPaper)].toLongLong()].push_back(&item);

    RowInserter paperCopier(out, catalogue, paperNames);
    // Items are numbered afresh in their old order: the practice answer row keeps its own number.
    RowInserter itemCopier(out, items, itemNames, {QStringLiteral("ID")});
    for (size_t p = 0; p < papers.size(); ++p) {
        const auto &paper = papers[p];
        const qint64 number = paper[size_t(paperKey)].toLongLong();
        const auto &its = itemsByPaper[number];
        bool whole = true;
        for (const auto *item : its)
            if (carry.questionsNotCarried.count((*item)[size_t(itemQuestion)].toLongLong())) whole = false;
        if (!whole) {
            report.papersDropped.push_back(shown[p]);
            continue;
        }
        paperCopier.insert(paper);
        for (const auto *item : its)
            itemCopier.insert(*item);
        carry.papersCarried.insert(number);
        ++report.papersCarried;
    }
}

void carryAppTables(SqlDatabase &old, SqlDatabase &out, UpgradeReport &report, const Carry &carry) {
    for (const QString &table : AppTables(out))
        out.exec(QStringLiteral("delete from ") + QuotedName(table));
    for (const QString &table : AppTables(old)) {
        // The table as this program defines it, or plain columns for one of a later version: never
        // the statements OLD keeps for it.
        MakeTableFor(old, out, table);
        qint64 dropped = 0;
        report.appRowsCarried += int(CopyTableRows(
            old, out, table,
            [&](const RowView &row) {
                // A row about a question whose answer changed or that was withdrawn, or about a
                // paper that was not carried, would speak of something that is no longer there.
                // The review tables name a question or a case stem by question_id and is_stem.
                const QVariant reviewed = row.value(QStringLiteral("question_id"));
                const QVariant stem = row.value(QStringLiteral("is_stem"));
                if (reviewed.isValid() && stem.isValid() &&
                    (stem.toInt() ? carry.stemsNotCarried : carry.questionsNotCarried).count(reviewed.toLongLong()))
                    return false;
                const QVariant question = row.value(QStringLiteral("tigan_id"));
                if (question.isValid() && carry.questionsNotCarried.count(question.toLongLong())) return false;
                const QVariant paper = row.value(QStringLiteral("sjID"));
                return !paper.isValid() || paper.isNull() || carry.papersCarried.count(paper.toLongLong());
            },
            // A row the program's table cannot take (a required value missing) stays behind.
            &dropped, RefusedRow::LeaveOut));
        report.appRowsDropped += int(dropped);
    }
}

// OUT holds only the program's own code: whatever triggers and views NEW's file brought are dropped,
// and the chapter tree's counts are made again by the program's definition.
void keepOnlyOwnSchema(SqlDatabase &out) {
    DropProgressCounts(out);
    for (const auto &row : out.select(QStringLiteral(
             "select type, name from sqlite_master where type in ('trigger', 'view') and name not like 'sqlite_%'")))
        out.exec(
            QStringLiteral("drop %1 if exists %2")
                .arg(row[0].toString() == QStringLiteral("view") ? QStringLiteral("view") : QStringLiteral("trigger"),
                     QuotedName(row[1].toString())));
}

QString openFailure(const QString &which, const QString &path, const std::exception &e) {
    return QStringLiteral("%1无法打开：%2（不是本程序的题库，或已损坏）\n详细信息：%3")
        .arg(which, QDir::toNativeSeparators(path), QString::fromUtf8(e.what()));
}

QString idList(const std::vector<int> &ids) {
    QStringList parts;
    for (int id : ids)
        parts << QString::number(id);
    return parts.join(QStringLiteral("、"));
}

} // namespace

UpgradeReport UpgradeBank(const QString &oldBank, const QString &newBank, const QString &outBank) {
    const QString key = QString::fromLatin1(kBankPassword);
    SqlDatabase old;
    SqlDatabase fresh;
    try {
        old.openReadOnly(oldBank, key, RequiredBankTables());
    } catch (const std::exception &e) {
        throw KjksError(openFailure(QStringLiteral("旧题库"), oldBank, e));
    }
    try {
        fresh.openReadOnly(newBank, key, RequiredBankTables());
    } catch (const std::exception &e) {
        throw KjksError(openFailure(QStringLiteral("新题库"), newBank, e));
    }
    const auto vet = [](SqlDatabase &db, const QString &which, const QString &path) {
        const QString refusal = ForeignBankRefusal(db, RequiredBankTables());
        if (!refusal.isEmpty())
            throw KjksError(QStringLiteral("%1不能使用：%2\n%3").arg(which, QDir::toNativeSeparators(path), refusal));
    };
    vet(old, QStringLiteral("旧题库"), oldBank);
    vet(fresh, QStringLiteral("新题库"), newBank);
    UpgradeReport report;
    try {
        WriteBankCopy(fresh, outBank, key, [&](SqlDatabase &out) {
            Carry carry;
            ScopedTransaction unit(out);
            carryQuestions(old, fresh, out, report, carry);
            carryPapers(old, out, report, carry);
            carryAppTables(old, out, report, carry);
            keepOnlyOwnSchema(out);
            RebuildProgressCounts(out);
            unit.commit();
        });
    } catch (const std::exception &e) {
        throw KjksError(QStringLiteral("升级失败，没有写出 %1；旧题库和新题库都没有改动。\n详细信息：%2")
                            .arg(QDir::toNativeSeparators(outBank), QString::fromUtf8(e.what())));
    }
    return report;
}

QStringList UpgradeReportLines(const UpgradeReport &r) {
    QStringList lines;
    lines << QStringLiteral("已转入 %1 道题目的学习进度、%2 套模拟试卷、%3 条程序记录。")
                 .arg(r.questionsCarried)
                 .arg(r.papersCarried)
                 .arg(r.appRowsCarried);
    if (!r.withdrawn.empty()) lines << QStringLiteral("新题库已删除的题目（进度无法转入）：") + idList(r.withdrawn);
    if (!r.withdrawnStems.empty())
        lines << QStringLiteral("新题库已删除的案例题（进度无法转入）：") + idList(r.withdrawnStems);
    if (!r.changed.empty())
        lines << QStringLiteral("答案已更改的题目（答题次数和错题记录已清零，收藏保留）：") + idList(r.changed);
    if (!r.changedStems.empty())
        lines << QStringLiteral("答案已更改的案例题（答题次数和错题记录已清零，收藏保留）：") + idList(r.changedStems);
    if (!r.papersDropped.empty())
        lines << QStringLiteral("含有已删除或已更改题目的模拟试卷未转入（按“已答试卷”中的试卷号）：") +
                     idList(r.papersDropped);
    if (r.appRowsDropped > 0)
        lines << QStringLiteral("涉及上述题目或试卷的程序记录未转入：%1 条").arg(r.appRowsDropped);
    return lines;
}

int upgradeCommand(const QStringList &args) {
    auto print = [](FILE *stream, const QString &text) {
        const QByteArray bytes = text.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    };
    if (args.size() != 3) {
        print(stderr, QStringLiteral("kjks-bank: upgrade takes OLD NEW OUT\nRun 'kjks-bank --help' for the commands."));
        return 2;
    }
    try {
        const UpgradeReport report = UpgradeBank(args[0], args[1], args[2]);
        print(stdout, QStringLiteral("%1：已写出升级后的题库。").arg(QDir::toNativeSeparators(args[2])));
        for (const QString &line : UpgradeReportLines(report))
            print(stdout, line);
        return 0;
    } catch (const KjksError &e) {
        print(stderr, QStringLiteral("kjks-bank: ") + e.message());
        return 1;
    }
}
