#include "BankRules.h"

#include "Gbk.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isFlag(const QString &v) {
    return v == QLatin1String("0") || v == QLatin1String("1");
}

QString letter(int index) {
    return QString(QChar(u'A' + index));
}

// The stem id a sub-question names, or 0 when `zongtimian` is not a positive integer.
int stemIdOf(const BankQuestion &q) {
    bool ok = false;
    const int id = q.zongtimian.toInt(&ok, 10);
    return ok && id > 0 ? id : 0;
}

bool isSubQuestion(const BankQuestion &q) {
    return !q.zongtimian.isEmpty();
}

class Collector {
public:
    explicit Collector(std::vector<BankProblem> &out) : m_out(out) {}
    void add(const QString &table, const QString &key, const QString &column, const QString &message, int option = -1) {
        m_out.push_back(BankProblem{table, key, column, option, message, false});
    }
    void addUnusable(const QString &table, const QString &key, const QString &column, const QString &message,
                     int option = -1) {
        m_out.push_back(BankProblem{table, key, column, option, message, true});
    }

private:
    std::vector<BankProblem> &m_out;
};

void checkProgress(Collector &c, const QString &table, const QString &key, const BankProgress &p) {
    const std::pair<const char *, const QString *> flags[] = {
        {"YDCS", &p.YDCS}, {"DDCS", &p.DDCS}, {"shoucang", &p.shoucang}};
    for (const auto &[name, value] : flags)
        if (!isFlag(*value))
            c.add(table, key, QString::fromLatin1(name), QStringLiteral("标记只能是 1 或 0，不能是“%1”").arg(*value));
    if (p.ZQCS < 0 || p.ZONGCS < 0) c.add(table, key, QStringLiteral("ZONGCS"), QStringLiteral("答题次数不能是负数"));
}

void checkText(Collector &c, const QString &table, const QString &key, const QString &column, const QString &text,
               int option = -1) {
    // An invisible character is named as such first: quoted, it would show as nothing.
    QString problem = InvisibleCharacterProblem(text);
    if (problem.isEmpty()) problem = GbkProblem(text);
    if (!problem.isEmpty()) c.addUnusable(table, key, column, problem, option);
}

void checkPicture(Collector &c, const QString &table, const QString &key, const QByteArray &picture) {
    if (!picture.isEmpty() && !IsReadableImage(picture))
        c.add(table, key, QStringLiteral("tmimage"), QStringLiteral("图片无法读取，题目会缺图：请换成 JPEG 图片"));
}

void checkSection(Collector &c, const QString &table, const QString &key, int zhang, int jie,
                  const QSet<QString> &codes) {
    const QString code = SectionCode(zhang, jie);
    if (code.isEmpty())
        c.add(table, key, QStringLiteral("zhang"),
              QStringLiteral("第 %1 章第 %2 节不成为节代码：章和节都是 0 到 99 的整数").arg(zhang).arg(jie));
    else if (!codes.contains(code))
        c.add(table, key, QStringLiteral("zhang"),
              QStringLiteral("第 %1 章第 %2 节（%3）不在章节目录中，章节练习里找不到这道题：在 bank.txt 中加上 "
                             "[kjks_zhangjie %3]，或改正 zhang 和 jie")
                  .arg(zhang)
                  .arg(jie)
                  .arg(code));
}

// How a letter answer should be written instead of `daan`: its letters in option order, each once.
QString orderedLetters(const QString &daan) {
    QString out;
    for (int i = 0; i < kMaxOptions; ++i)
        if (daan.contains(letter(i))) out += letter(i);
    return out;
}

QString letterProblem(QChar ch) {
    const ushort u = ch.unicode();
    if (u >= 0xFF21 && u <= 0xFF3A)
        return QStringLiteral("“%1”是全角字母：答案用半角大写字母，写 %2").arg(ch).arg(QChar(u - 0xFF21 + u'A'));
    if (u >= 0xFF41 && u <= 0xFF5A)
        return QStringLiteral("“%1”是全角字母：答案用半角大写字母，写 %2").arg(ch).arg(QChar(u - 0xFF41 + u'A'));
    if (u >= 'a' && u <= 'z')
        return QStringLiteral("“%1”是小写字母：答案用大写字母，写 %2").arg(ch).arg(QChar(u - 'a' + u'A'));
    return QStringLiteral("“%1”不是答案字母：答案用大写字母 A 到 Z，不加分隔符").arg(ch);
}

const QString &typeHint() {
    static const QString hint = QStringLiteral("写 单选题、多选题、判断题 或 实操题；案例小题写 不定项选择题，"
                                               "并用 zongtimian 写出案例编号");
    return hint;
}

} // namespace

QString CodePointName(uint code) {
    return QStringLiteral("U+") + QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

namespace {

// The rows and columns as a teacher knows them, not by the bank's table and column names.
QString rowName(const QString &table) {
    static const std::map<QString, QString> names = {{QStringLiteral("kjks_tigan"), QStringLiteral("题目")},
                                                     {QStringLiteral("zongtigan"), QStringLiteral("案例")},
                                                     {QStringLiteral("kjks_zhangjie"), QStringLiteral("章节")},
                                                     {QStringLiteral("kjks_type"), QStringLiteral("考试方案")},
                                                     {QStringLiteral("kjks_SJML"), QStringLiteral("模拟试卷")},
                                                     {QStringLiteral("shijuan"), QStringLiteral("答题记录")},
                                                     {QStringLiteral("sys_option"), QStringLiteral("设置")}};
    const auto it = names.find(table);
    return it == names.end() ? table : it->second;
}

QString columnName(const QString &table, const QString &column) {
    static const std::map<QString, QString> names = {{QStringLiteral("tixing"), QStringLiteral("题型")},
                                                     {QStringLiteral("timian"), QStringLiteral("题干")},
                                                     {QStringLiteral("option"), QStringLiteral("选项")},
                                                     {QStringLiteral("daan"), QStringLiteral("答案")},
                                                     {QStringLiteral("jiexi"), QStringLiteral("解析")},
                                                     {QStringLiteral("zhang"), QStringLiteral("章节")},
                                                     {QStringLiteral("jie"), QStringLiteral("节")},
                                                     {QStringLiteral("tmimage"), QStringLiteral("图片")},
                                                     {QStringLiteral("timian2"), QStringLiteral("图片下方的文字")},
                                                     {QStringLiteral("shijuan"), QStringLiteral("抽题范围")},
                                                     {QStringLiteral("flag_state"), QStringLiteral("停用标记")},
                                                     {QStringLiteral("YDCS"), QStringLiteral("已做标记")},
                                                     {QStringLiteral("DDCS"), QStringLiteral("做错标记")},
                                                     {QStringLiteral("shoucang"), QStringLiteral("收藏标记")},
                                                     {QStringLiteral("ZQCS"), QStringLiteral("答对次数")},
                                                     {QStringLiteral("ZONGCS"), QStringLiteral("答题次数")},
                                                     {QStringLiteral("DTKSSJ"), QStringLiteral("开考时间")},
                                                     {QStringLiteral("sjID"), QStringLiteral("所属试卷")},
                                                     {QStringLiteral("tigan_id"), QStringLiteral("题号")},
                                                     {QStringLiteral("kaolv"), QStringLiteral("标记")},
                                                     {QStringLiteral("mc"), QStringLiteral("名称")}};
    if (column == QLatin1String("zongtimian"))
        return table == QLatin1String("zongtigan") ? QStringLiteral("案例材料") : QStringLiteral("所属案例");
    if (table == QLatin1String("kjks_type")) return column; // the profile's columns are named in bank.txt as they are
    const auto it = names.find(column);
    return it == names.end() ? column : it->second;
}

} // namespace

namespace {
QString columnPlace(const BankProblem &p) {
    QString where = columnName(p.table, p.column);
    if (p.option >= 0 && p.option < kMaxOptions)
        where += QLatin1Char(' ') + letter(p.option);
    else if (p.option >= kMaxOptions)
        where += QStringLiteral(" %1").arg(p.option + 1);
    return where;
}
} // namespace

QString ProblemText(const BankProblem &p) {
    QString where = rowName(p.table);
    if (!p.key.isEmpty()) where += QLatin1Char(' ') + p.key;
    if (!p.column.isEmpty()) {
        const QString column = columnPlace(p);
        where += (column.at(0).unicode() < 128 ? QStringLiteral(" 的 ") : QStringLiteral(" 的")) + column;
    }
    return where + QStringLiteral("：") + p.message;
}

QString ProblemTextInRow(const BankProblem &p) {
    return p.column.isEmpty() ? p.message : columnPlace(p) + QStringLiteral("：") + p.message;
}

QString SectionCode(int zhang, int jie) {
    if (zhang < 0 || zhang > 99 || jie < 0 || jie > 99) return QString();
    return QStringLiteral("01%1%2").arg(zhang, 2, 10, QLatin1Char('0')).arg(jie, 2, 10, QLatin1Char('0'));
}

bool IsReadableImage(const QByteArray &bytes) {
    return !bytes.isEmpty() && !QImage::fromData(bytes).isNull();
}

QString GbkProblem(const QString &text) {
    bool ok = true;
    UnicodeToGbk(text, &ok);
    if (ok) return QString();
    for (int i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const QString ch = text.mid(i, pair ? 2 : 1);
        UnicodeToGbk(ch, &ok);
        if (!ok) {
            const uint code = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
            return QStringLiteral("字符“%1”（%2）不能用 GBK 保存：换成常用的汉字或标点").arg(ch, CodePointName(code));
        }
        if (pair) ++i;
    }
    return QStringLiteral("这段文字不能用 GBK 保存：换成常用的汉字或标点");
}

QString InvisibleCharacterProblem(const QString &text) {
    for (int i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        if (QChar::category(code) == QChar::Other_Format)
            return QStringLiteral("文字中有看不见的格式字符 %1（零宽字符、方向控制、标签字符之类）：学员看不到它，"
                                  "它却让文字与看到的不同。删掉它")
                .arg(CodePointName(code));
        if (pair) ++i;
    }
    return QString();
}

QString AnswerProblem(const QString &tixing, bool subQuestion, const QString &daan, int optionCount) {
    if (daan.isEmpty()) return QString(); // a missing answer is the caller's to name
    const bool single = !subQuestion && tixing == banktypes::single();
    const bool letters = single || subQuestion || tixing == banktypes::multiple();
    if (letters) {
        for (QChar ch : daan)
            if (ch.unicode() < u'A' || ch.unicode() > u'Z') return letterProblem(ch);
        if (single && daan.size() != 1) return QStringLiteral("单选题的答案是一个字母，不能是“%1”").arg(daan);
        for (QChar ch : daan)
            if (ch.unicode() - u'A' >= optionCount)
                return QStringLiteral("答案字母 %1 超出了 %2 个选项：加上选项，或改正答案").arg(ch).arg(optionCount);
        const QString ordered = orderedLetters(daan);
        if (ordered != daan) return QStringLiteral("答案字母按选项顺序写、不重复：写“%1”，不是“%2”").arg(ordered, daan);
        return QString();
    }
    if (!subQuestion && tixing == banktypes::judgement()) {
        static const QStringList allowed = {QStringLiteral("√"), QStringLiteral("×"), QStringLiteral("1"),
                                            QStringLiteral("0")};
        if (!allowed.contains(daan))
            return QStringLiteral("判断题的答案写 √（正确）或 ×（错误），不能是“%1”").arg(daan);
    }
    return QString();
}

std::map<int, std::vector<const BankQuestion *>> SubQuestionsByStem(const BankModel &m) {
    std::map<int, std::vector<const BankQuestion *>> subs;
    for (const BankQuestion &q : m.questions)
        if (isSubQuestion(q)) subs[stemIdOf(q)].push_back(&q);
    for (auto &[stem, list] : subs)
        std::sort(list.begin(), list.end(), [](const BankQuestion *a, const BankQuestion *b) { return a->id < b->id; });
    return subs;
}

QString StemAnswerOf(const std::vector<SubQuestionFacts> &subs) {
    QString answer;
    int offset = 0;
    for (const SubQuestionFacts &q : subs) {
        for (QChar c : q.daan) {
            const int i = c.unicode() - 'A';
            if (i >= 0 && i < 26) answer += QChar(u'A' + offset + i);
        }
        offset += q.options;
    }
    return answer;
}

QString StemAnswer(const std::vector<const BankQuestion *> &subQuestionsInIdOrder) {
    std::vector<SubQuestionFacts> facts;
    for (const BankQuestion *q : subQuestionsInIdOrder)
        facts.push_back(SubQuestionFacts{q->id, int(q->options.size()), q->daan, q->flag_state == 1});
    return StemAnswerOf(facts);
}

void BankTally::addQuestion(const BankQuestion &q) {
    if (isSubQuestion(q) && q.flag_state != 1) ++usableSubs[stemIdOf(q)];
    if (q.flag_state == 1 || q.daan.isEmpty()) return;
    if (q.shijuan == banktypes::randomPool()) ++drawable[q.tixing];
    if (q.tixing == banktypes::operation()) ++drawableOperations;
}

void BankTally::addStem(const BankStem &s) {
    stems.emplace_back(s.id, s.shijuan == banktypes::randomPool() && s.flag_state != 1);
}

namespace {
// 64 bits: among a million questions a false match is about one in thirty million.
quint64 textHash(const QString &text) {
    return (quint64(qHash(text, 0x9E3779B9u)) << 32) ^ quint64(qHash(text, 0x85EBCA6Bu));
}

const QString &tiganTable() {
    static const QString t = QStringLiteral("kjks_tigan");
    return t;
}
const QString &stemTable() {
    static const QString t = QStringLiteral("zongtigan");
    return t;
}

// A collector whose problems carry one rank.
class RankedCollector {
public:
    RankedCollector(std::vector<BankProblem> &out, int rank) : m_out(out), m_rank(rank) {}
    void addUnusable(const QString &table, const QString &key, const QString &column, const QString &message,
                     int option = -1) {
        m_out.push_back(BankProblem{table, key, column, option, message, true, m_rank});
    }
    void add(const QString &table, const QString &key, const QString &column, const QString &message) {
        m_out.push_back(BankProblem{table, key, column, -1, message, false, m_rank});
    }

private:
    std::vector<BankProblem> &m_out;
    int m_rank;
};
} // namespace

BankRuleChecker::BankRuleChecker(std::vector<BankProblem> &out, bool rowsInOrder)
    : m_out(out), m_inOrder(rowsInOrder) {}

void BankRuleChecker::chapters(const std::vector<BankChapter> &chapters) {
    // Chapter tree: the subject "01", chapters "01NN" below it, sections "01NNMM" below their chapter.
    // The main window shows only this tree, so a code outside it hides what hangs below.
    Collector c(m_out);
    const QString chapterTable = QStringLiteral("kjks_zhangjie");
    for (const BankChapter &ch : chapters)
        m_codes.insert(ch.daima);
    for (const BankChapter &ch : chapters) {
        const QString &d = ch.daima;
        bool digits = !d.isEmpty();
        for (QChar x : d)
            digits = digits && x >= u'0' && x <= u'9';
        if (!digits || (d.size() != 2 && d.size() != 4 && d.size() != 6))
            c.addUnusable(chapterTable, d, QString(), QStringLiteral("章节代码是 2、4 或 6 位数字"));
        else if (!d.startsWith(QLatin1String("01")))
            c.add(chapterTable, d, QString(), QStringLiteral("章节代码以科目代码 01 开头"));
        else if (d.size() > 2 && !m_codes.contains(d.left(d.size() - 2)))
            c.add(chapterTable, d, QString(),
                  QStringLiteral("上一级 %1 不在章节目录中：加上 [kjks_zhangjie %1]").arg(d.left(d.size() - 2)));
    }
}

void BankRuleChecker::knownStems(const std::vector<int> &stemIds) {
    for (int id : stemIds)
        m_stemIds.insert(id);
}

void BankRuleChecker::linkRules(const Link &q, int rank) {
    RankedCollector c(m_out, rank);
    const QString key = QString::number(q.id);
    if (!q.zongtimian.isEmpty()) {
        bool ok = false;
        const int parsed = q.zongtimian.toInt(&ok, 10);
        const int stem = ok && parsed > 0 ? parsed : 0;
        if (stem == 0)
            c.add(tiganTable(), key, QStringLiteral("zongtimian"),
                  QStringLiteral("“%1”不是案例编号：写案例 [zongtigan N] 的 N").arg(q.zongtimian));
        else if (!m_stemIds.contains(stem))
            c.add(tiganTable(), key, QStringLiteral("zongtimian"),
                  QStringLiteral("没有案例 %1：加上 [zongtigan %1]，或改正 zongtimian").arg(stem));
        else if (q.zongtimian != QString::number(stem))
            c.add(tiganTable(), key, QStringLiteral("zongtimian"),
                  QStringLiteral("案例编号写成了“%1”，程序按“%2”查找：写 %2").arg(q.zongtimian, QString::number(stem)));
        return;
    }
    const QString code = SectionCode(q.zhang, q.jie);
    if (code.isEmpty())
        c.add(tiganTable(), key, QStringLiteral("zhang"),
              QStringLiteral("第 %1 章第 %2 节不成为节代码：章和节都是 0 到 99 的整数").arg(q.zhang).arg(q.jie));
    else if (!m_codes.contains(code))
        c.add(tiganTable(), key, QStringLiteral("zhang"),
              QStringLiteral("第 %1 章第 %2 节（%3）不在章节目录中，章节练习里找不到这道题：在 bank.txt 中加上 "
                             "[kjks_zhangjie %3]，或改正 zhang 和 jie")
                  .arg(q.zhang)
                  .arg(q.jie)
                  .arg(code));
}

void BankRuleChecker::question(const BankQuestion &q) {
    static const QStringList ownTypes = {banktypes::single(), banktypes::multiple(), banktypes::judgement(),
                                         banktypes::operation()};
    m_tally.addQuestion(q);
    m_questionIds.push_back(q.id);
    const bool sub = isSubQuestion(q);
    const int options = int(q.options.size());
    if (sub) {
        m_subs[stemIdOf(q)].push_back(SubQuestionFacts{q.id, options, q.daan, q.flag_state == 1});
        m_subsSorted = false;
    }
    const QString key = QString::number(q.id);
    {
        RankedCollector c(m_out, 0);
        const QString &tigan = tiganTable();
        if (q.tixing.isEmpty())
            c.add(tigan, key, QStringLiteral("tixing"), QStringLiteral("缺少题型 tixing：") + typeHint());
        else if (!sub && !ownTypes.contains(q.tixing))
            c.add(tigan, key, QStringLiteral("tixing"), QStringLiteral("“%1”不是题型：").arg(q.tixing) + typeHint());
        else if (sub && ownTypes.contains(q.tixing))
            c.add(tigan, key, QStringLiteral("tixing"),
                  QStringLiteral("案例小题的题型不能是 %1（会被单独抽进试卷）：写 不定项选择题").arg(q.tixing));
        const bool choice = sub || q.tixing == banktypes::single() || q.tixing == banktypes::multiple();
        if (options > kMaxOptions)
            c.addUnusable(
                tigan, key, QStringLiteral("option"),
                QStringLiteral("选项最多 %1 个（A 到 Z），这里有 %2 个：删去多余的选项").arg(kMaxOptions).arg(options),
                kMaxOptions);
        if (choice && options < 2)
            c.add(tigan, key, QString(),
                  QStringLiteral("选择题至少要有两个选项（option:），这里有 %1 个").arg(options));
        if (q.daan.isEmpty())
            c.add(tigan, key, QStringLiteral("daan"),
                  QStringLiteral("缺少答案 daan：没有答案的题不会出现在练习和试卷中"));
        const QString answer = AnswerProblem(q.tixing, sub, q.daan, options);
        if (!answer.isEmpty()) c.add(tigan, key, QStringLiteral("daan"), answer);
    }
    const Link link{q.id, q.zhang, q.jie, sub ? q.zongtimian : QString()};
    if (m_inOrder)
        linkRules(link, 1);
    else
        m_links.push_back(link);
    std::vector<BankProblem> own;
    Collector c(own);
    const QString &tigan = tiganTable();
    // The same question twice (same type, same stem) is practised and drawn twice. Sub-questions are
    // read with their case ("（1）根据资料……" repeats from case to case), so the cases are compared.
    if (!sub && !q.timian.trimmed().isEmpty() && !q.stored.count(QStringLiteral("timian")))
        m_questionTexts.push_back(TextHash{textHash(q.tixing + QChar(0x1F) + q.timian.trimmed()), q.id});
    checkText(c, tigan, key, QStringLiteral("timian"), q.timian);
    checkText(c, tigan, key, QStringLiteral("jiexi"), q.jiexi);
    for (int i = 0; i < options; ++i)
        checkText(c, tigan, key, QStringLiteral("option"), q.options[size_t(i)].text, i);
    checkPicture(c, tigan, key, q.tmimage);
    checkProgress(c, tigan, key, q.progress);
    for (BankProblem &p : own) {
        p.rank = 2;
        m_out.push_back(std::move(p));
    }
}

void BankRuleChecker::duplicates(std::vector<TextHash> &texts, const QString &table, const QString &column, int rank) {
    // Each row after the first of its text names the first, in the order the rows came.
    std::stable_sort(texts.begin(), texts.end(), [](const TextHash &a, const TextHash &b) { return a.hash < b.hash; });
    const bool question = table == tiganTable();
    size_t first = 0;
    for (size_t i = 1; i < texts.size(); ++i) {
        if (texts[first].hash != texts[i].hash) {
            first = i;
            continue;
        }
        const int firstId = texts[first].id;
        BankProblem p{table, QString::number(texts[i].id), column, -1,
                      question ? QStringLiteral("与题目 %1 的题型和题干相同：删去重复的一道，或改写题干").arg(firstId)
                               : QStringLiteral("与案例 %1 的案例材料相同：删去重复的一个，或改写材料").arg(firstId)};
        p.rank = rank;
        p.sameAs = firstId;
        m_out.push_back(std::move(p));
    }
    texts.clear();
    texts.shrink_to_fit();
}

void BankRuleChecker::sortSubs() {
    if (m_subsSorted) return;
    for (auto &[stem, list] : m_subs)
        std::stable_sort(list.begin(), list.end(),
                         [](const SubQuestionFacts &a, const SubQuestionFacts &b) { return a.id < b.id; });
    m_subsSorted = true;
}

void BankRuleChecker::stemRules(const StemRow &s, int rank) {
    sortSubs();
    RankedCollector c(m_out, rank);
    const QString key = QString::number(s.id);
    const auto it = m_subs.find(s.id);
    if (it == m_subs.end()) {
        c.add(stemTable(), key, QString(),
              QStringLiteral("案例没有小题：小题写 zongtimian: %1 指向这个案例").arg(s.id));
    } else {
        // The case's answer letters run on across its sub-questions: past Z they name nothing.
        int options = 0;
        for (const SubQuestionFacts &q : it->second)
            options += q.options;
        if (options > kMaxOptions)
            c.addUnusable(stemTable(), key, QString(),
                          QStringLiteral("案例各小题共有 %1 个选项，超过 %2 个（案例答案用 A 到 Z 依次编号）：把小题"
                                         "分到两个案例中")
                              .arg(options)
                              .arg(kMaxOptions));
        const QString expected = StemAnswerOf(it->second);
        if (options <= kMaxOptions && !s.answerFromSubs && s.daan != expected)
            c.add(stemTable(), key, QStringLiteral("daan"),
                  QStringLiteral("案例答案是“%1”，各小题的答案合起来是“%2”：删去这一行 daan（由小题算出），"
                                 "或改正它")
                      .arg(s.daan, expected));
    }
    std::vector<BankProblem> section;
    Collector sc(section);
    checkSection(sc, stemTable(), key, s.zhang, s.jie, m_codes);
    for (BankProblem &p : section) {
        p.rank = rank;
        m_out.push_back(std::move(p));
    }
}

void BankRuleChecker::stem(const BankStem &s, bool answerFromSubQuestions) {
    m_tally.addStem(s);
    const StemRow row{s.id, s.zhang, s.jie, s.daan, answerFromSubQuestions};
    if (m_inOrder)
        stemRules(row, 0);
    else
        m_stemRows.push_back(row);
    std::vector<BankProblem> own;
    Collector c(own);
    const QString key = QString::number(s.id);
    if (!s.zongtimian.trimmed().isEmpty() && !s.stored.count(QStringLiteral("zongtimian")))
        m_stemTexts.push_back(TextHash{textHash(s.zongtimian.trimmed()), s.id});
    checkText(c, stemTable(), key, QStringLiteral("zongtimian"), s.zongtimian);
    checkText(c, stemTable(), key, QStringLiteral("jiexi"), s.jiexi);
    checkPicture(c, stemTable(), key, s.tmimage);
    checkProgress(c, stemTable(), key, s.progress);
    for (BankProblem &p : own) {
        p.rank = 1;
        m_out.push_back(std::move(p));
    }
}

void BankRuleChecker::finish(const std::vector<BankProfile> &profiles, const std::vector<BankPaper> &papers,
                             const std::vector<BankPaperItem> &items) {
    if (!m_inOrder) // every case has come by now
        for (const auto &[id, drawable] : m_tally.stems)
            m_stemIds.insert(id);
    for (const Link &l : m_links)
        linkRules(l, 1);
    m_links.clear();
    m_links.shrink_to_fit();
    for (const StemRow &s : m_stemRows)
        stemRules(s, 0);
    m_stemRows.clear();
    m_stemRows.shrink_to_fit();
    sortSubs();
    duplicates(m_questionTexts, tiganTable(), QStringLiteral("timian"), 2);
    duplicates(m_stemTexts, stemTable(), QStringLiteral("zongtimian"), 1);
    Collector c(m_out);

    // Exam profiles: every count and points column holds a decimal integer.
    for (const BankProfile &p : profiles)
        for (const auto &[column, value] : p.columns) {
            if (!column.endsWith(QLatin1String("ti")) && !column.endsWith(QLatin1String("fen"))) continue;
            bool ok = false;
            value.trimmed().toInt(&ok, 10);
            if (!ok)
                c.addUnusable(QStringLiteral("kjks_type"), QString::number(p.id), column,
                              QStringLiteral("“%1”不是整数").arg(value));
        }

    // The learner's own records: the program wrote them and copes with oddities, so only warnings.
    std::sort(m_questionIds.begin(), m_questionIds.end());
    QSet<int> paperIds;
    for (const BankPaper &p : papers) {
        paperIds.insert(p.sjID);
        if (!p.DTKSSJ.isEmpty() && !QDateTime::fromString(p.DTKSSJ, QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid() &&
            !QDateTime::fromString(p.DTKSSJ, Qt::ISODate).isValid())
            c.add(QStringLiteral("kjks_SJML"), QString::number(p.sjID), QStringLiteral("DTKSSJ"),
                  QStringLiteral("“%1”不是日期时间（yyyy-MM-dd HH:mm:ss），试卷列表会原样显示").arg(p.DTKSSJ));
    }
    for (const BankPaperItem &i : items) {
        const QString key = i.id > 0 ? QString::number(i.id) : QString();
        if (i.sjID != 0 && !paperIds.contains(i.sjID))
            c.add(QStringLiteral("shijuan"), key, QStringLiteral("sjID"), QStringLiteral("没有试卷 %1").arg(i.sjID));
        if (i.tigan_id != 0 && !std::binary_search(m_questionIds.begin(), m_questionIds.end(), i.tigan_id))
            c.add(QStringLiteral("shijuan"), key, QStringLiteral("tigan_id"),
                  QStringLiteral("没有题目 %1").arg(i.tigan_id));
        if (!i.kaolv.isEmpty() && !isFlag(i.kaolv))
            c.add(QStringLiteral("shijuan"), key, QStringLiteral("kaolv"),
                  QStringLiteral("标记只能是 1 或 0，不能是“%1”").arg(i.kaolv));
    }
}

std::vector<BankProblem> ValidateBankModel(const BankModel &m) {
    std::vector<BankProblem> out;
    BankRuleChecker rules(out, true);
    rules.chapters(m.chapters);
    std::vector<int> stemIds;
    for (const BankStem &s : m.stems)
        stemIds.push_back(s.id);
    rules.knownStems(stemIds);
    for (const BankQuestion &q : m.questions)
        rules.question(q);
    for (const BankStem &s : m.stems)
        rules.stem(s);
    rules.finish(m.profiles, m.papers, m.paperItems);
    return out;
}

int CaseSubQuestionsPerPaper(const BankModel &m) {
    const auto title = m.options.find(QStringLiteral("APP_TITLE"));
    return title != m.options.end() && title->second.contains(QStringLiteral("实务")) ? 5 : 4;
}

std::vector<BankProblem> ExamProfileProblems(const BankModel &m) {
    BankTally tally;
    for (const BankQuestion &q : m.questions)
        tally.addQuestion(q);
    for (const BankStem &s : m.stems)
        tally.addStem(s);
    return ExamProfileProblems(m, tally);
}

std::vector<BankProblem> ExamProfileProblems(const BankModel &m, const BankTally &tally) {
    std::vector<BankProblem> out;
    RankedCollector c(out, 3);
    const QString table = QStringLiteral("kjks_type");
    const BankProfile *profile = nullptr;
    for (const BankProfile &p : m.profiles)
        if (p.id == 1) profile = &p;
    if (!profile) {
        c.addUnusable(table, QStringLiteral("1"), QString(),
                      QStringLiteral("缺少考试方案 [kjks_type 1]：程序启动时读取它，写在 bank.txt 中"));
        return out;
    }
    const QString key = QStringLiteral("1");
    auto column = [&](const char *name) {
        const auto it = profile->columns.find(QString::fromLatin1(name));
        return it == profile->columns.end() ? QString() : it->second;
    };
    // A section's count and points as the program uses them: whole numbers, both above 0, or both 0
    // for a paper without that section. Returns the count to draw (0 when the section is empty or
    // unusable, which is then reported).
    int sections = 0;
    bool unread = false; // a count or points that is no number, or refused: "all at 0" is not known
    auto sectionCount = [&](const char *countName, const char *pointsName) {
        bool countOk = false;
        bool pointsOk = false;
        const int n = column(countName).trimmed().toInt(&countOk, 10);
        const int points = column(pointsName).trimmed().toInt(&pointsOk, 10);
        // ValidateBankModel names a value that is no number.
        if ((!countOk && !column(countName).isEmpty()) || (!pointsOk && !column(pointsName).isEmpty())) {
            unread = true;
            return 0;
        }
        auto refuse = [&](const char *name, const QString &why) {
            c.addUnusable(table, key, QString::fromLatin1(name),
                          QStringLiteral("%1 是“%2”：%3").arg(QString::fromLatin1(name), column(name), why));
            unread = true;
            return 0;
        };
        if (!countOk || n < 0)
            return refuse(countName, QStringLiteral("题数要是整数：大于 0，或 0 表示试卷没有这一部分"));
        if (!pointsOk || points < 0)
            return refuse(pointsName, QStringLiteral("分数要是整数：大于 0，或 0 表示试卷没有这一部分"));
        if (n == 0 && points > 0)
            return refuse(pointsName,
                          QStringLiteral("%1 是 0，这一部分没有题，分数也要是 0").arg(QString::fromLatin1(countName)));
        if (n > 0 && points == 0)
            return refuse(pointsName,
                          QStringLiteral("这一部分有 %1 道题却不得分：写它的分数，或把题数也写成 0").arg(n));
        if (n > 0) ++sections;
        return n;
    };
    const QString pool = banktypes::randomPool();
    const struct {
        const char *typeColumn;
        const char *countColumn;
        const char *pointsColumn;
        QString type;
    } objective[] = {{"danxuan", "danxuanti", "danxuanfen", banktypes::single()},
                     {"duoxuan", "duoxuanti", "duoxuanfen", banktypes::multiple()},
                     {"panduan", "panduanti", "panduanfen", banktypes::judgement()}};
    for (const auto &section : objective) {
        const QString type = column(section.typeColumn);
        if (type != section.type)
            c.addUnusable(table, key, QString::fromLatin1(section.typeColumn),
                          QStringLiteral("题型名是“%1”，评分要求正好是“%2”").arg(type, section.type));
        const int n = sectionCount(section.countColumn, section.pointsColumn);
        if (n <= 0) continue; // a paper without this section
        const auto counted = tally.drawable.find(type);
        const int eligible = counted == tally.drawable.end() ? 0 : counted->second;
        if (eligible < n)
            c.addUnusable(
                table, key, QString::fromLatin1(section.countColumn),
                QStringLiteral("一份试卷抽 %1 道%2，题库只有 %3 道可抽（有答案、flag_state 不为 1、shijuan 为 "
                               "%4）：补充题目，或减少题数")
                    .arg(n)
                    .arg(type)
                    .arg(eligible)
                    .arg(pool));
    }

    // The fourth type name also decides what practice offers as the fourth kind: it is checked
    // even when the paper has no fourth section.
    const QString fourth = column("shicaotype");
    const bool fourthKnown =
        fourth == banktypes::caseQuestion() || fourth == AnalysisTypeName() || fourth == OperationTypeName();
    if (!fourthKnown)
        c.addUnusable(table, key, QStringLiteral("shicaotype"),
                      QStringLiteral("第四部分的题型“%1”程序不认识：写 %2、%3 或 %4")
                          .arg(fourth, banktypes::caseQuestion(), AnalysisTypeName(), OperationTypeName()));
    const int n = sectionCount("shicaoti", "shicaofen");
    if (sections == 0 && !unread)
        c.addUnusable(table, key, QString(), QStringLiteral("四个部分的题数都是 0：试卷抽不出题，至少一部分要有题"));
    if (n <= 0) return out;
    if (fourth == banktypes::caseQuestion()) {
        const int perCase = CaseSubQuestionsPerPaper(m);
        const int cases = n / perCase;
        if (n % perCase != 0)
            c.addUnusable(table, key, QStringLiteral("shicaoti"),
                          QStringLiteral("%1 不是每个案例 %2 道小题的整数倍：试卷会空出 %3 个位置")
                              .arg(n)
                              .arg(perCase)
                              .arg(n % perCase));
        int eligible = 0;
        for (const auto &[id, drawable] : tally.stems) {
            if (!drawable) continue;
            ++eligible;
            const auto subs = tally.usableSubs.find(id);
            const int usable = subs == tally.usableSubs.end() ? 0 : subs->second;
            if (usable < perCase)
                c.add(QStringLiteral("zongtigan"), QString::number(id), QString(),
                      QStringLiteral("试卷中每个案例出 %1 道小题，这个案例只有 %2 道（flag_state 不为 1），试卷会重复"
                                     "它的最后一道：补足小题，或删去 shijuan 一行，只用于练习")
                          .arg(perCase)
                          .arg(usable));
        }
        if (eligible < cases)
            c.addUnusable(
                table, key, QStringLiteral("shicaoti"),
                QStringLiteral("一份试卷抽 %1 个案例，题库只有 %2 个可抽（flag_state 不为 1、shijuan 为 %3）："
                               "补充案例，或减少题数")
                    .arg(cases)
                    .arg(eligible)
                    .arg(pool));
    } else if (fourth == AnalysisTypeName() || fourth == OperationTypeName()) {
        const int eligible = tally.drawableOperations;
        if (eligible < n)
            c.addUnusable(table, key, QStringLiteral("shicaoti"),
                          QStringLiteral("一份试卷抽 %1 道%2，题库只有 %3 道可抽的实操题（有答案、flag_state 不为 1）："
                                         "补充题目，或减少题数")
                              .arg(n)
                              .arg(fourth)
                              .arg(eligible));
    }
    return out;
}

QString SourcePathProblem(const QString &path) {
    if (path.isEmpty()) return QStringLiteral("没有写文件名");
    const bool drive =
        path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).unicode() < 128 && path.at(0).isLetter();
    if (path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1Char('\\')) || drive)
        return QStringLiteral("“%1”是绝对路径：写题库文件夹里的相对路径，例如 pictures/图1.jpg").arg(path);
    for (const QString &part : path.split(QRegularExpression(QStringLiteral("[/\\\\]"))))
        if (part == QLatin1String(".."))
            return QStringLiteral("“%1”含有“..”，指向题库文件夹以外：把文件放进题库文件夹，写相对路径").arg(path);
    return QString();
}

bool ReadFileInsideFolder(const QString &root, const QString &relativePath, qint64 limit, QByteArray *bytes,
                          QString *why) {
    const QString pathProblem = SourcePathProblem(relativePath);
    if (!pathProblem.isEmpty()) {
        *why = pathProblem;
        return false;
    }
    const QFileInfo link(QDir(root).filePath(relativePath));
    const QString target = link.canonicalFilePath();
    if (target.isEmpty()) {
        *why = link.isSymLink() ? QStringLiteral("是一个指向不存在文件的链接") : QStringLiteral("找不到这个文件");
        return false;
    }
    // A link may point anywhere: only what lies inside the folder is read.
    const QString folder = QFileInfo(root).canonicalFilePath();
    if (folder.isEmpty() || !target.startsWith(folder + QLatin1Char('/'))) {
        *why = QStringLiteral("是指向题库文件夹以外（%1）的链接：把文件本身放进题库文件夹").arg(target);
        return false;
    }
    // Opened without waiting (a pipe would block) and checked on the open file, not on the name.
    const QByteArray native = QFile::encodeName(target);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *why = QStringLiteral("无法读取：%1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat info {};
    QString problem;
    if (::fstat(fd, &info) != 0)
        problem = QStringLiteral("无法读取：%1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    else if (!S_ISREG(info.st_mode))
        problem = QStringLiteral("不是普通文件（是文件夹、设备或管道），不能读取");
    else if (info.st_size > limit)
        problem = QStringLiteral("有 %1 字节，超过上限 %2 字节").arg(qint64(info.st_size)).arg(limit);
    QByteArray data;
    if (problem.isEmpty()) {
        // Never more than the limit, even when the file grows while it is read.
        data.resize(qsizetype(info.st_size) + 1);
        qint64 got = 0;
        while (got < data.size()) {
            const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                problem = QStringLiteral("无法读取：%1").arg(QString::fromLocal8Bit(std::strerror(errno)));
                break;
            }
            if (n == 0) break;
            got += n;
            if (got > limit) {
                problem = QStringLiteral("超过上限 %1 字节").arg(limit);
                break;
            }
        }
        data.truncate(qsizetype(got));
    }
    ::close(fd);
    if (!problem.isEmpty()) {
        *why = problem;
        return false;
    }
    *bytes = data;
    return true;
}
