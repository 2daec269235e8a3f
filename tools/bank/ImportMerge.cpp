#include "ImportMerge.h"

#include "AnswerChecks.h"
#include "BankCopy.h"
#include "BankReader.h"
#include "BankRules.h"
#include "BankSession.h"
#include "BankWriter.h"
#include "PaperState.h"
#include "QuestionText.h"
#include "SqlDatabase.h"
#include "SqlError.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <map>
#include <optional>

namespace {

QString bankKey() {
    return QString::fromLatin1(kBankPassword);
}

QString native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

QString quoted(const QString &name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QVariant textOrNull(const QString &s) {
    return s.isEmpty() ? QVariant() : QVariant(s);
}

QString idList(const std::vector<int> &ids) {
    QStringList parts;
    for (int id : ids)
        parts << QString::number(id);
    return parts.join(QStringLiteral("、"));
}

// How a question without an id is recognised in the bank: its type and its text, blanks around it
// aside (a case: its material).
QString textKey(const QString &tixing, const QString &text) {
    return tixing + QLatin1Char('\x1f') + text.trimmed();
}

// What the learner's counters were counted against: the type and the answer, a true/false answer of
// 1/0 taken in the √/× form practice gives it (as `upgrade` compares them).
QString answerIdentity(const QString &tixing, const QString &daan) {
    QString answer = daan;
    if (tixing == QuestionTypeName(QuestionType::Judgement)) answer = JudgementAnswerForm(daan).value_or(daan);
    return tixing + QLatin1Char('\x1f') + answer;
}

int stemOf(const BankQuestion &q) {
    bool ok = false;
    const int id = q.zongtimian.trimmed().toInt(&ok, 10);
    return ok && id > 0 ? id : 0;
}

QString encoded(const QString &plain) {
    bool ok = true;
    const QString stored = EncodeQuestionText(plain, &ok);
    if (!ok) throw KjksError(QStringLiteral("文字中有 GBK 无法保存的字符：") + plain.left(40));
    return stored;
}

// One pass over the bank: its size, its highest ids, the counts its exam is drawn from, and whole
// rows only of the questions and cases the file may name, so a large bank is never held whole.
struct BankRows : BankRowVisitor {
    std::set<int> wantedQuestionIds, wantedStemIds;
    std::set<QString> wantedQuestionKeys, wantedStemKeys;

    std::map<int, BankQuestion> questions;
    std::map<int, BankStem> stems;
    std::map<QString, std::vector<int>> questionsByKey, stemsByKey; // ids in id order
    int maxQuestionId = 0, maxStemId = 0;
    int questionCount = 0, stemCount = 0;
    BankTally tally;

    void question(BankQuestion &&q) override {
        ++questionCount;
        maxQuestionId = std::max(maxQuestionId, q.id);
        tally.addQuestion(q);
        // A text that does not decode is matched by id only.
        const bool readable = q.stored.find(QStringLiteral("timian")) == q.stored.end();
        const QString key = textKey(q.tixing, q.timian);
        const bool byText = readable && wantedQuestionKeys.count(key);
        if (byText) questionsByKey[key].push_back(q.id);
        if (byText || wantedQuestionIds.count(q.id)) questions.emplace(q.id, std::move(q));
    }
    void stem(BankStem &&s) override {
        ++stemCount;
        maxStemId = std::max(maxStemId, s.id);
        tally.addStem(s);
        const bool readable = s.stored.find(QStringLiteral("zongtimian")) == s.stored.end();
        const QString key = textKey(QString(), s.zongtimian);
        const bool byText = readable && wantedStemKeys.count(key);
        if (byText) stemsByKey[key].push_back(s.id);
        if (byText || wantedStemIds.count(s.id)) stems.emplace(s.id, std::move(s));
    }
};

// The bank's chapter tree by names, growing by the chapters and sections the file names that it lacks.
class ChapterTree {
public:
    explicit ChapterTree(const std::vector<BankChapter> &rows) {
        for (const BankChapter &c : rows) {
            const QString &d = c.daima;
            bool ok1 = false, ok2 = true;
            if (!d.startsWith(QLatin1String("01")) || (d.size() != 4 && d.size() != 6)) continue;
            const int chapter = d.mid(2, 2).toInt(&ok1, 10);
            const int section = d.size() == 6 ? d.mid(4, 2).toInt(&ok2, 10) : 0;
            if (!ok1 || !ok2) continue;
            m_lastChapter = std::max(m_lastChapter, chapter);
            // The import drops the blanks around a name: so does the comparison. The first of two
            // alike names wins.
            if (section == 0) {
                m_chapters.emplace(c.mc.trimmed(), chapter);
            } else {
                m_sections.emplace(std::make_pair(chapter, c.mc.trimmed()), section);
                m_lastSection[chapter] = std::max(m_lastSection[chapter], section);
            }
        }
    }

    std::pair<int, int> place(const QString &chapterName, const QString &sectionName) {
        auto chapter = m_chapters.find(chapterName);
        if (chapter == m_chapters.end()) {
            if (m_lastChapter >= 99)
                throw KjksError(QStringLiteral("题库已有 99 章，放不下新的一章“%1”；没有导入").arg(chapterName));
            chapter = m_chapters.emplace(chapterName, ++m_lastChapter).first;
            added.push_back(BankChapter{SectionCode(chapter->second, 0).left(4), chapterName});
            addedNames << chapterName;
        }
        const int zhang = chapter->second;
        auto section = m_sections.find({zhang, sectionName});
        if (section == m_sections.end()) {
            int &last = m_lastSection[zhang];
            if (last >= 99)
                throw KjksError(
                    QStringLiteral("“%1”一章已有 99 节，放不下“%2”；没有导入").arg(chapterName, sectionName));
            section = m_sections.emplace(std::make_pair(zhang, sectionName), ++last).first;
            added.push_back(BankChapter{SectionCode(zhang, section->second), sectionName});
            addedNames << chapterName + QLatin1Char('/') + sectionName;
        }
        return {zhang, section->second};
    }

    std::vector<BankChapter> added;
    QStringList addedNames;

private:
    std::map<QString, int> m_chapters;
    std::map<std::pair<int, QString>, int> m_sections;
    std::map<int, int> m_lastSection;
    int m_lastChapter = 0;
};

// A row of the file, where it goes in the bank, and the bank's row it replaces (none: added).
struct PlannedQuestion {
    BankQuestion row; // the file's content with the bank's id, place and case
    const BankQuestion *bank = nullptr;
};
struct PlannedStem {
    BankStem row;
    const BankStem *bank = nullptr;
};

bool sameOptions(const BankQuestion &a, const BankQuestion &b) {
    if (a.options.size() != b.options.size()) return false;
    for (size_t i = 0; i < a.options.size(); ++i)
        if (a.options[i].text != b.options[i].text) return false;
    return true;
}

bool sameContent(const BankQuestion &file, const BankQuestion &bank) {
    return bank.stored.empty() && file.tixing == bank.tixing && file.timian == bank.timian && sameOptions(file, bank) &&
           file.daan == bank.daan && file.jiexi == bank.jiexi && file.zhang == bank.zhang && file.jie == bank.jie &&
           stemOf(file) == stemOf(bank);
}

bool sameContent(const BankStem &file, const BankStem &bank) {
    return bank.stored.empty() && file.zongtimian == bank.zongtimian && file.jiexi == bank.jiexi &&
           file.zhang == bank.zhang && file.jie == bank.jie;
}

// The statements that put the plan into the bank.
class MergeWriter {
public:
    explicit MergeWriter(SqlDatabase &db) : m_db(db) {}

    void chapters(const std::vector<BankChapter> &rows) {
        for (const BankChapter &c : rows)
            m_db.exec(QStringLiteral("insert into kjks_zhangjie (daima, mc) values (?, ?)"), {c.daima, c.mc});
    }

    void updateQuestion(const BankQuestion &row, const BankQuestion &bank, bool answerChanged) {
        m_db.exec(
            QStringLiteral("update kjks_tigan set tixing = ?, timian = ?, daan = ?, jiexi = ?, zhang = ?, jie = ?,"
                           " zongtimian = ? where tigan_id = ?"),
            {row.tixing, encoded(row.timian), row.daan, encoded(row.jiexi), row.zhang, row.jie,
             textOrNull(row.zongtimian), row.id});
        if (!sameOptions(row, bank) || !bank.stored.empty()) {
            // Options the exam hides stay hidden at their place.
            m_db.exec(QStringLiteral("delete from kjks_xuanxiang where tigan_ID = ?"), {row.id});
            for (size_t i = 0; i < row.options.size(); ++i) {
                const bool hidden = i < bank.options.size() && bank.options[i].withdrawn;
                insertOption(row.id, row.options[i].text, hidden);
            }
        }
        if (answerChanged) resetAnswerProgress(QStringLiteral("kjks_tigan"), QStringLiteral("tigan_id"), row.id);
    }

    void insertQuestion(const BankQuestion &row) {
        std::vector<QVariant> values = {row.id,
                                        row.tixing,
                                        encoded(row.timian),
                                        row.daan,
                                        encoded(row.jiexi),
                                        row.zhang,
                                        row.jie,
                                        textOrNull(row.zongtimian),
                                        textOrNull(row.shijuan)};
        for (const ProgressColumn &c : QuestionProgressColumns())
            values.push_back(c.fresh);
        m_db.exec(
            QStringLiteral("insert into kjks_tigan (tigan_id, tixing, timian, daan, jiexi, zhang, jie, zongtimian,"
                           " shijuan, flag_state, %1) values (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, ?, ?, ?)")
                .arg(ProgressColumnList()),
            values);
        for (const BankOption &o : row.options)
            insertOption(row.id, o.text, false);
    }

    void updateStem(const BankStem &row) {
        m_db.exec(QStringLiteral("update zongtigan set zongtimian = ?, jiexi = ?, zhang = ?, jie = ? where ID = ?"),
                  {encoded(row.zongtimian), encoded(row.jiexi), row.zhang, row.jie, row.id});
    }

    void insertStem(const BankStem &row) {
        std::vector<QVariant> values = {row.id,  encoded(row.zongtimian), encoded(row.jiexi), row.zhang,
                                        row.jie, textOrNull(row.shijuan)};
        for (const ProgressColumn &c : QuestionProgressColumns())
            values.push_back(c.fresh);
        m_db.exec(QStringLiteral("insert into zongtigan (ID, zongtimian, daan, jiexi, zhang, jie, shijuan, flag_state,"
                                 " %1) values (?, ?, '', ?, ?, ?, ?, 0, ?, ?, ?, ?, ?)")
                      .arg(ProgressColumnList()),
                  values);
    }

    // Computes the answers of the cases `stemIds` from their sub-questions as they now are; a case
    // of the bank (not in `added`) whose answer changed has its counters start afresh. Returns those.
    std::vector<int> restateStemAnswers(const std::set<int> &stemIds, const std::set<int> &added) {
        // One pass finds the sub-questions of every case concerned: the case column has no index.
        std::map<int, std::vector<SubQuestionFacts>> subs;
        PreparedStatement options(m_db, QStringLiteral("select count(*) from kjks_xuanxiang where tigan_ID = ?"));
        for (const auto &r : m_db.select(QStringLiteral("select tigan_id, zongtimian, daan, flag_state from kjks_tigan"
                                                        " where zongtimian <> '' order by tigan_id"))) {
            BankQuestion q;
            q.zongtimian = r[1].toString();
            const int stem = stemOf(q);
            if (!stemIds.count(stem)) continue;
            subs[stem].push_back(SubQuestionFacts{r[0].toInt(), options.select({r[0]}).at(0).at(0).toInt(),
                                                  r[2].toString(), r[3].toInt() == 1});
        }
        std::vector<int> changed;
        for (int id : stemIds) {
            const auto current = m_db.select(QStringLiteral("select daan from zongtigan where ID = ?"), {id});
            if (current.empty()) continue;
            const QString answer = StemAnswerOf(subs[id]);
            if (answer == current[0][0].toString()) continue;
            m_db.exec(QStringLiteral("update zongtigan set daan = ? where ID = ?"), {answer, id});
            if (added.count(id)) continue;
            resetAnswerProgress(QStringLiteral("zongtigan"), QStringLiteral("ID"), id);
            changed.push_back(id);
        }
        return changed;
    }

    // Papers holding a question whose answer changed go whole: their scores were counted against the
    // old answer, and half a paper cannot be reopened (as `upgrade` decides). Returns their shown numbers.
    std::vector<int> dropPapers(const std::vector<int> &changed, std::set<qint64> *dropped) {
        for (int id : changed)
            for (const auto &r : m_db.select(QStringLiteral("select distinct sjID from shijuan where sjID <> 0 and"
                                                            " tigan_id = ?"),
                                             {id}))
                dropped->insert(r[0].toLongLong());
        std::vector<int> ids;
        for (const auto &r : m_db.select(QStringLiteral("select sjID from kjks_SJML order by sjID")))
            ids.push_back(r[0].toInt());
        const std::vector<int> shown = PaperDisplayNumbers(ids);
        std::vector<int> numbers;
        for (size_t i = 0; i < ids.size(); ++i)
            if (dropped->count(ids[i])) numbers.push_back(shown[i]);
        for (qint64 paper : *dropped) {
            m_db.exec(QStringLiteral("delete from shijuan where sjID = ?"), {paper});
            m_db.exec(QStringLiteral("delete from kjks_SJML where sjID = ?"), {paper});
        }
        return numbers;
    }

    // Rows of the program's own tables about a question or case whose answer changed, or about a
    // dropped paper, would speak of what is no longer there.
    int dropAppRows(const std::vector<int> &changed, const std::vector<int> &changedStems,
                    const std::set<qint64> &papers) {
        int dropped = 0;
        for (const QString &table : AppTables(m_db)) {
            QStringList columns;
            for (const auto &r : m_db.select(QStringLiteral("PRAGMA table_info(") + quoted(table) + QLatin1Char(')')))
                columns << r[1].toString().toLower();
            const auto remove = [&](const QString &where, const QVariant &value) {
                m_db.exec(QStringLiteral("delete from ") + quoted(table) + QStringLiteral(" where ") + where, {value});
                dropped += m_db.select(QStringLiteral("select changes()"))[0][0].toInt();
            };
            const bool reviewed =
                columns.contains(QStringLiteral("question_id")) && columns.contains(QStringLiteral("is_stem"));
            for (int id : changed) {
                if (columns.contains(QStringLiteral("tigan_id"))) remove(QStringLiteral("tigan_id = ?"), id);
                if (reviewed) remove(QStringLiteral("is_stem = 0 and question_id = ?"), id);
            }
            if (reviewed)
                for (int id : changedStems)
                    remove(QStringLiteral("is_stem = 1 and question_id = ?"), id);
            if (columns.contains(QStringLiteral("sjid")))
                for (qint64 paper : papers)
                    remove(QStringLiteral("sjID = ?"), paper);
        }
        return dropped;
    }

    void profileColumn(int profileId, const QString &column, const QString &value) {
        m_db.exec(QStringLiteral("update kjks_type set %1 = ? where kjks_type_id = ?").arg(column), {value, profileId});
    }

private:
    void insertOption(int questionId, const QString &text, bool hidden) {
        m_db.exec(QStringLiteral("insert into kjks_xuanxiang (tigan_ID, timian, flag_state) values (?, ?, ?)"),
                  {questionId, encoded(text), hidden ? 1 : 0});
    }

    // The counters and the wrong flag start afresh; the favourite stays (docs/progress.md).
    void resetAnswerProgress(const QString &table, const QString &key, int id) {
        QStringList sets;
        std::vector<QVariant> values;
        for (const ProgressColumn &c : QuestionProgressColumns())
            if (c.followsAnswer) {
                sets << c.name + QStringLiteral(" = ?");
                values.push_back(c.fresh);
            }
        values.push_back(id);
        m_db.exec(QStringLiteral("update %1 set %2 where %3 = ?").arg(table, sets.join(QStringLiteral(", ")), key),
                  values);
    }

    SqlDatabase &m_db;
};

// The counts the exam draws from, as the bank now stands (no texts read).
BankTally tallyOf(SqlDatabase &db) {
    BankTally tally;
    for (const auto &r :
         db.select(QStringLiteral("select tigan_id, tixing, daan, flag_state, zongtimian, shijuan from kjks_tigan"))) {
        BankQuestion q;
        q.id = r[0].toInt();
        q.tixing = r[1].toString();
        q.daan = r[2].toString();
        q.flag_state = r[3].toInt();
        q.zongtimian = r[4].toString();
        q.shijuan = r[5].toString();
        tally.addQuestion(q);
    }
    for (const auto &r : db.select(QStringLiteral("select ID, shijuan, flag_state from zongtigan"))) {
        BankStem s;
        s.id = r[0].toInt();
        s.shijuan = r[1].toString();
        s.flag_state = r[2].toInt();
        tally.addStem(s);
    }
    return tally;
}

QStringList profileProblems(const BankModel &head, const BankTally &tally) {
    QStringList lines;
    for (const BankProblem &p : ExamProfileProblems(head, tally))
        lines << ProblemText(p);
    return lines;
}

bool within(const QStringList &problems, const QStringList &before) {
    return std::all_of(problems.begin(), problems.end(), [&](const QString &p) { return before.contains(p); });
}

// Profile 1 with each section cut down to the questions the bank can draw for it, the points per
// question kept. What was cut goes to *changes.
bool cutProfile(BankProfile &profile, const BankModel &head, const BankTally &tally, QStringList *changes) {
    const auto value = [&](const char *column) {
        const auto it = profile.columns.find(QString::fromLatin1(column));
        return it == profile.columns.end() ? QString() : it->second;
    };
    const auto cut = [&](const char *countColumn, const char *pointsColumn, const QString &name, int available,
                         int step) {
        bool ok = false;
        const int count = value(countColumn).trimmed().toInt(&ok, 10);
        if (!ok || count <= available) return;
        const int fewer = available / step * step;
        const int points = value(pointsColumn).trimmed().toInt();
        const int fewerPoints = points % count == 0 ? fewer * (points / count) : int(qint64(points) * fewer / count);
        profile.columns[QString::fromLatin1(countColumn)] = QString::number(fewer);
        profile.columns[QString::fromLatin1(pointsColumn)] = QString::number(fewerPoints);
        *changes << QStringLiteral("%1 %2 道 %3 分 → %4 道 %5 分")
                        .arg(name)
                        .arg(count)
                        .arg(points)
                        .arg(fewer)
                        .arg(fewerPoints);
    };
    const auto drawable = [&](const QString &type) {
        const auto it = tally.drawable.find(type);
        return it == tally.drawable.end() ? 0 : it->second;
    };
    const int before = changes->size();
    cut("danxuanti", "danxuanfen", banktypes::single(), drawable(banktypes::single()), 1);
    cut("duoxuanti", "duoxuanfen", banktypes::multiple(), drawable(banktypes::multiple()), 1);
    cut("panduanti", "panduanfen", banktypes::judgement(), drawable(banktypes::judgement()), 1);
    const QString fourth = value("shicaotype");
    if (fourth == banktypes::caseQuestion()) {
        const int perCase = CaseSubQuestionsPerPaper(head);
        int cases = 0;
        for (const auto &[id, inPool] : tally.stems) {
            const auto subs = tally.usableSubs.find(id);
            if (inPool && subs != tally.usableSubs.end() && subs->second >= perCase) ++cases;
        }
        cut("shicaoti", "shicaofen", fourth, cases * perCase, perCase);
    } else {
        cut("shicaoti", "shicaofen", fourth, tally.drawableOperations, 1);
    }
    return changes->size() > before;
}

// The engine's own transaction rather than a savepoint: rolled back, it leaves the bank's file
// byte for byte as it was (a released savepoint writes the pages it touched back again).
class BankTransaction {
public:
    explicit BankTransaction(SqlDatabase &db) : m_db(db) { m_db.exec(QStringLiteral("begin immediate")); }
    ~BankTransaction() {
        if (m_done) return;
        try {
            m_db.exec(QStringLiteral("rollback"));
        } catch (...) {
        }
    }
    BankTransaction(const BankTransaction &) = delete;
    BankTransaction &operator=(const BankTransaction &) = delete;
    void commit() {
        m_db.exec(QStringLiteral("commit"));
        m_done = true;
    }

private:
    SqlDatabase &m_db;
    bool m_done = false;
};

QString uniqueBackupPath(const QString &bankPath, const QString &purpose, const QDateTime &now) {
    const QString folder = BackupFolder(bankPath);
    const QString name = BackupFileName(bankPath, purpose, now);
    QString path = folder + QLatin1Char('/') + name;
    // Two imports in one second keep both copies: the first is the bank before either.
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder + QLatin1Char('/') + QFileInfo(name).completeBaseName() + QStringLiteral("-%1.dbf").arg(n);
    return path;
}

void openBank(SqlDatabase &db, const QString &path, bool readOnly) {
    try {
        if (readOnly)
            db.openReadOnly(path, bankKey(), RequiredBankTables());
        else
            db.open(path, bankKey(), RequiredBankTables());
    } catch (const std::exception &e) {
        throw KjksError(QStringLiteral("题库无法打开：%1（不是本程序的题库，或已损坏）；没有导入\n详细信息：%2")
                            .arg(native(path), QString::fromUtf8(e.what())));
    }
}

} // namespace

MergeReport MergeIntoBank(const BankModel &imported, const GivenIds &given, const QString &bankPath,
                          const QDateTime &now) {
    SqlDatabase db;
    openBank(db, bankPath, false);
    MergeReport report;

    // ---- what the file names, then one pass over the bank ----
    BankRows bank;
    bank.wantedQuestionIds = given.questions;
    bank.wantedStemIds = given.stems;
    for (const BankQuestion &q : imported.questions)
        if (!given.questions.count(q.id)) bank.wantedQuestionKeys.insert(textKey(q.tixing, q.timian));
    for (const BankStem &s : imported.stems)
        if (!given.stems.count(s.id)) bank.wantedStemKeys.insert(textKey(QString(), s.zongtimian));
    std::vector<BankProblem> unreadable; // such texts are matched by id and replaced
    BankModel head;
    try {
        head = ReadBankRows(db, &unreadable, bank);
    } catch (const KjksError &e) {
        throw KjksError(QStringLiteral("题库 %1 读不出来，没有导入：%2").arg(native(bankPath), e.message()));
    }

    // ---- cases: by the id the file gave, else by their material ----
    std::set<int> claimedStems;
    std::vector<PlannedStem> stems(imported.stems.size());
    for (size_t i = 0; i < imported.stems.size(); ++i) {
        const int id = imported.stems[i].id;
        const auto it = bank.stems.find(id);
        if (given.stems.count(id) && it != bank.stems.end()) {
            stems[i].bank = &it->second;
            claimedStems.insert(id);
        }
    }
    for (size_t i = 0; i < imported.stems.size(); ++i) {
        const BankStem &s = imported.stems[i];
        if (given.stems.count(s.id)) continue;
        for (int candidate : bank.stemsByKey[textKey(QString(), s.zongtimian)])
            if (claimedStems.insert(candidate).second) {
                stems[i].bank = &bank.stems.at(candidate);
                break;
            }
    }
    int nextStemId = std::max(bank.maxStemId, given.stems.empty() ? 0 : *given.stems.rbegin()) + 1;
    std::map<int, size_t> stemOfFileId; // the file's case id -> its plan
    std::map<QString, QString> names;   // the file's chapter codes -> names
    for (const BankChapter &c : imported.chapters)
        names[c.daima] = c.mc;
    ChapterTree tree(head.chapters);
    const auto placeOf = [&](int zhang, int jie) {
        const QString code = SectionCode(zhang, jie);
        return tree.place(names[code.left(4)], names[code]);
    };
    for (size_t i = 0; i < imported.stems.size(); ++i) {
        const BankStem &s = imported.stems[i];
        PlannedStem &p = stems[i];
        p.row = s;
        p.row.id = p.bank ? p.bank->id : given.stems.count(s.id) ? s.id : nextStemId++;
        std::tie(p.row.zhang, p.row.jie) = placeOf(s.zhang, s.jie);
        stemOfFileId[s.id] = i;
        if (p.bank) report.casesFound.insert(s.id);
    }

    // ---- questions: by the id the file gave, else by type and text (a sub-question within its case) ----
    std::set<int> claimed;
    std::vector<PlannedQuestion> questions(imported.questions.size());
    for (size_t i = 0; i < imported.questions.size(); ++i) {
        const int id = imported.questions[i].id;
        const auto it = bank.questions.find(id);
        if (given.questions.count(id) && it != bank.questions.end()) {
            questions[i].bank = &it->second;
            claimed.insert(id);
        }
    }
    const auto stemPlanOf = [&](const BankQuestion &q) -> const PlannedStem * {
        const auto it = stemOfFileId.find(stemOf(q));
        return it == stemOfFileId.end() ? nullptr : &stems[it->second];
    };
    for (size_t i = 0; i < imported.questions.size(); ++i) {
        const BankQuestion &q = imported.questions[i];
        if (given.questions.count(q.id)) continue;
        const PlannedStem *stem = stemPlanOf(q);
        if (stem && !stem->bank) continue; // a new case's sub-questions are new
        for (int candidate : bank.questionsByKey[textKey(q.tixing, q.timian)]) {
            const BankQuestion &b = bank.questions.at(candidate);
            if (stemOf(b) != (stem ? stem->row.id : 0) || claimed.count(candidate)) continue;
            claimed.insert(candidate);
            questions[i].bank = &b;
            break;
        }
    }
    int nextQuestionId = std::max(bank.maxQuestionId, given.questions.empty() ? 0 : *given.questions.rbegin()) + 1;
    for (size_t i = 0; i < imported.questions.size(); ++i) {
        const BankQuestion &q = imported.questions[i];
        PlannedQuestion &p = questions[i];
        p.row = q;
        p.row.id = p.bank ? p.bank->id : given.questions.count(q.id) ? q.id : nextQuestionId++;
        const PlannedStem *stem = stemPlanOf(q);
        if (!stem) {
            std::tie(p.row.zhang, p.row.jie) = placeOf(q.zhang, q.jie);
            continue;
        }
        p.row.zongtimian = QString::number(stem->row.id);
        // A sub-question sits where its case sits; one the bank placed otherwise stays there while its
        // case does not move.
        const bool caseStays = stem->bank && stem->bank->zhang == stem->row.zhang && stem->bank->jie == stem->row.jie;
        if (p.bank && caseStays && stemOf(*p.bank) == stem->row.id)
            std::tie(p.row.zhang, p.row.jie) = std::make_pair(p.bank->zhang, p.bank->jie);
        else
            std::tie(p.row.zhang, p.row.jie) = std::make_pair(stem->row.zhang, stem->row.jie);
    }
    report.untouched = bank.questionCount - int(claimed.size());
    report.stemsUntouched = bank.stemCount - int(claimedStems.size());
    report.chaptersAdded = tree.addedNames;

    // ---- the bank as it was, then the change in one transaction ----
    report.backupPath = uniqueBackupPath(bankPath, QStringLiteral("导入前"), now);
    try {
        WriteBankCopy(db, report.backupPath, bankKey());
    } catch (const std::exception &e) {
        throw KjksError(QStringLiteral("无法备份题库，没有导入：%1\n详细信息：%2")
                            .arg(native(report.backupPath), QString::fromUtf8(e.what())));
    }
    try {
        BankTransaction unit(db);
        MergeWriter write(db);
        write.chapters(tree.added);
        std::set<int> restated; // cases whose answer is computed again
        for (const PlannedStem &p : stems) {
            if (!p.bank) {
                write.insertStem(p.row);
                ++report.stemsAdded;
            } else if (!sameContent(p.row, *p.bank)) {
                write.updateStem(p.row);
                ++report.stemsUpdated;
            } else {
                ++report.stemsUnchanged;
            }
            restated.insert(p.row.id);
        }
        for (const PlannedQuestion &p : questions) {
            if (!p.bank) {
                write.insertQuestion(p.row);
                ++report.added;
                continue;
            }
            if (sameContent(p.row, *p.bank)) {
                ++report.unchanged;
                continue;
            }
            const bool answerChanged =
                answerIdentity(p.row.tixing, p.row.daan) != answerIdentity(p.bank->tixing, p.bank->daan);
            write.updateQuestion(p.row, *p.bank, answerChanged);
            if (answerChanged) report.changed.push_back(p.row.id);
            if (stemOf(*p.bank) > 0) restated.insert(stemOf(*p.bank)); // a case it left
            ++report.updated;
        }
        std::set<int> newStems;
        for (const PlannedStem &p : stems)
            if (!p.bank) newStems.insert(p.row.id);
        report.changedStems = write.restateStemAnswers(restated, newStems);
        // A case counted as unchanged whose answer moved with its sub-questions was updated after all.
        for (int id : report.changedStems)
            for (const PlannedStem &p : stems)
                if (p.row.id == id && p.bank && sameContent(p.row, *p.bank)) {
                    --report.stemsUnchanged;
                    ++report.stemsUpdated;
                }
        std::sort(report.changed.begin(), report.changed.end());
        std::set<qint64> droppedPapers;
        report.papersDropped = write.dropPapers(report.changed, &droppedPapers);
        report.appRowsDropped = write.dropAppRows(report.changed, report.changedStems, droppedPapers);

        // The bank's exam profile stays while the bank can still draw its papers.
        const QStringList before = profileProblems(head, bank.tally);
        const BankTally after = tallyOf(db);
        if (!within(profileProblems(head, after), before)) {
            BankModel cut = head;
            QStringList changes;
            for (BankProfile &p : cut.profiles)
                if (p.id == 1) cutProfile(p, head, after, &changes);
            const QStringList left = profileProblems(cut, after);
            if (changes.isEmpty() || !within(left, before))
                throw KjksError(QStringLiteral("导入后模拟考试抽不出完整的试卷：\n") + left.join(QLatin1Char('\n')));
            for (const BankProfile &p : cut.profiles)
                if (p.id == 1)
                    for (const auto &[column, value] : p.columns)
                        write.profileColumn(1, quoted(column), value);
            report.profileLines << QStringLiteral("考试方案按题库现有的题目减少了题数：") +
                                       changes.join(QStringLiteral("；"));
        } else if (!before.isEmpty()) {
            report.profileLines << QStringLiteral("提示：题库的考试方案导入前就抽不出完整的试卷（kjks-bank check "
                                                  "列出原因），没有改动它");
        }
        unit.commit();
    } catch (const std::exception &e) {
        throw KjksError(QStringLiteral("导入失败，题库没有改动（导入前的副本：%1）。\n详细信息：%2")
                            .arg(native(report.backupPath), QString::fromUtf8(e.what())));
    }
    return report;
}

QStringList MergeReportLines(const MergeReport &r) {
    QStringList lines;
    lines << QStringLiteral("导入前的题库已备份到：%1").arg(native(r.backupPath));
    lines << QStringLiteral("题目：更新 %1 道，新增 %2 道，内容相同未改动 %3 道；题库中文件没有的 %4 道题保持原样。")
                 .arg(r.updated)
                 .arg(r.added)
                 .arg(r.unchanged)
                 .arg(r.untouched);
    lines << QStringLiteral("案例：更新 %1 个，新增 %2 个，内容相同未改动 %3 个；题库中文件没有的 %4 个案例保持原样。")
                 .arg(r.stemsUpdated)
                 .arg(r.stemsAdded)
                 .arg(r.stemsUnchanged)
                 .arg(r.stemsUntouched);
    if (!r.chaptersAdded.isEmpty()) lines << QStringLiteral("新增章节：") + r.chaptersAdded.join(QStringLiteral("、"));
    if (r.changed.empty() && r.changedStems.empty()) lines << QStringLiteral("学习进度全部保留。");
    if (!r.changed.empty())
        lines << QStringLiteral("答案已更改的题目（答题次数和错题记录已清零，收藏保留）：") + idList(r.changed);
    if (!r.changedStems.empty())
        lines << QStringLiteral("答案已更改的案例（答题次数和错题记录已清零，收藏保留）：") + idList(r.changedStems);
    if (!r.papersDropped.empty())
        lines << QStringLiteral("含有答案已更改题目的模拟试卷已删除（按“已答试卷”中的试卷号）：") +
                     idList(r.papersDropped);
    if (r.appRowsDropped > 0)
        lines << QStringLiteral("涉及这些题目或试卷的程序记录已删除：%1 条").arg(r.appRowsDropped);
    lines << r.profileLines;
    return lines;
}

ReplaceReport ReplaceBank(const BankModel &imported, const QString &bankPath, const QDateTime &now) {
    ReplaceReport report;
    {
        SqlDatabase old;
        openBank(old, bankPath, true);
        try {
            report.dropped = SummariseProgress(old);
        } catch (const std::exception &e) {
            throw KjksError(QStringLiteral("题库 %1 读不出来，没有替换。\n详细信息：%2")
                                .arg(native(bankPath), QString::fromUtf8(e.what())));
        }
        report.backupPath = uniqueBackupPath(bankPath, QStringLiteral("替换前"), now);
        try {
            WriteBankCopy(old, report.backupPath, bankKey());
        } catch (const std::exception &e) {
            throw KjksError(QStringLiteral("无法备份题库，没有替换：%1\n详细信息：%2")
                                .arg(native(report.backupPath), QString::fromUtf8(e.what())));
        }
    }
    try {
        WriteBank(imported, bankPath);
    } catch (const std::exception &e) {
        throw KjksError(QStringLiteral("替换失败，题库没有改动。\n详细信息：%1").arg(QString::fromUtf8(e.what())));
    }
    return report;
}

QStringList ReplaceReportLines(const ReplaceReport &r) {
    QStringList lines;
    lines << QStringLiteral("替换前的题库已备份到：%1").arg(native(r.backupPath));
    const ProgressSummary &s = r.dropped;
    if (s.empty()) {
        lines << QStringLiteral("原题库没有学习进度。");
    } else {
        lines << QStringLiteral("原题库的学习进度没有带到新题库（都在备份中）：");
        lines << QStringLiteral("  · 做过的题：%1 道").arg(s.answered);
        lines << QStringLiteral("  · 错题：%1 道").arg(s.wrong);
        lines << QStringLiteral("  · 收藏：%1 道").arg(s.favourites);
        lines << QStringLiteral("  · 模拟考试试卷：%1 套").arg(s.papers);
        lines << QStringLiteral("  · 程序记录的其他进度：%1 条").arg(s.appRows);
    }
    return lines;
}
