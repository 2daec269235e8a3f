#include "BankRules.h"

#include "Gbk.h"

#include <QDateTime>
#include <QImage>
#include <QSet>
#include <algorithm>

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
            c.add(table, key, QString::fromLatin1(name), QStringLiteral("a flag holds 1 or 0, not '%1'").arg(*value));
    if (p.ZQCS < 0 || p.ZONGCS < 0)
        c.add(table, key, QStringLiteral("ZONGCS"), QStringLiteral("attempt counts cannot be negative"));
}

void checkText(Collector &c, const QString &table, const QString &key, const QString &column, const QString &text,
               int option = -1) {
    const QString problem = GbkProblem(text);
    if (!problem.isEmpty()) c.addUnusable(table, key, column, problem, option);
}

void checkPicture(Collector &c, const QString &table, const QString &key, const QByteArray &picture) {
    if (!picture.isEmpty() && !IsReadableImage(picture))
        c.add(table, key, QStringLiteral("tmimage"), QStringLiteral("the picture is not a readable image"));
}

void checkSection(Collector &c, const QString &table, const QString &key, int zhang, int jie,
                  const QSet<QString> &codes) {
    const QString code = SectionCode(zhang, jie);
    if (code.isEmpty())
        c.add(table, key, QStringLiteral("zhang"),
              QStringLiteral("chapter %1 and section %2 do not make a section code").arg(zhang).arg(jie));
    else if (!codes.contains(code))
        c.add(table, key, QStringLiteral("zhang"),
              QStringLiteral("section %1 (chapter %2, section %3) is not in the chapter tree")
                  .arg(code)
                  .arg(zhang)
                  .arg(jie));
}

} // namespace

QString ProblemText(const BankProblem &p) {
    QString where = p.table;
    if (!p.key.isEmpty()) where += QLatin1Char(' ') + p.key;
    if (!p.column.isEmpty()) {
        where += QLatin1Char(' ') + p.column;
        if (p.option >= 0) where += QLatin1Char(' ') + letter(p.option);
    }
    return where + QStringLiteral(": ") + p.message;
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
            return QStringLiteral("the character '%1' (U+%2) cannot be written in GBK")
                .arg(ch, QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0')));
        }
        if (pair) ++i;
    }
    return QStringLiteral("the text cannot be written in GBK");
}

QString AnswerProblem(const QString &tixing, bool subQuestion, const QString &daan, int optionCount) {
    if (daan.isEmpty()) return QString(); // never offered on its own: allowed
    const bool single = !subQuestion && tixing == banktypes::single();
    const bool letters = single || subQuestion || tixing == banktypes::multiple();
    if (letters) {
        if (single && daan.size() != 1)
            return QStringLiteral("a single-choice answer is one letter, not '%1'").arg(daan);
        int previous = -1;
        for (QChar ch : daan) {
            const int i = ch.unicode() - u'A';
            if (i < 0 || i >= 26) return QStringLiteral("'%1' is not an answer letter").arg(ch);
            if (i >= optionCount)
                return QStringLiteral("answer letter %1 is beyond the %2 options").arg(ch).arg(optionCount);
            if (i <= previous)
                return QStringLiteral("answer letters go in option order without repeats, not '%1'").arg(daan);
            previous = i;
        }
        return QString();
    }
    if (!subQuestion && tixing == banktypes::judgement()) {
        static const QStringList allowed = {QStringLiteral("√"), QStringLiteral("×"), QStringLiteral("1"),
                                            QStringLiteral("0")};
        if (!allowed.contains(daan)) return QStringLiteral("a true/false answer is √ or ×, not '%1'").arg(daan);
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

std::vector<BankProblem> ValidateBankModel(const BankModel &m) {
    std::vector<BankProblem> out;
    Collector c(out);
    const QString tigan = QStringLiteral("kjks_tigan");
    const QString stemTable = QStringLiteral("zongtigan");

    // Chapter tree: the subject "01", chapters "01NN" below it, sections "01NNMM" below their chapter.
    QSet<QString> codes;
    for (const BankChapter &ch : m.chapters)
        codes.insert(ch.daima);
    for (const BankChapter &ch : m.chapters) {
        const QString &d = ch.daima;
        bool digits = !d.isEmpty();
        for (QChar x : d)
            digits = digits && x >= u'0' && x <= u'9';
        if (!digits || d.size() > 9)
            c.addUnusable(QStringLiteral("kjks_zhangjie"), d, QString(), QStringLiteral("a code has 2, 4 or 6 digits"));
        else if (d.size() != 2 && d.size() != 4 && d.size() != 6)
            c.add(QStringLiteral("kjks_zhangjie"), d, QString(), QStringLiteral("a code has 2, 4 or 6 digits"));
        else if (!d.startsWith(QLatin1String("01")))
            c.add(QStringLiteral("kjks_zhangjie"), d, QString(), QStringLiteral("codes start with the subject 01"));
        else if (d.size() > 2 && !codes.contains(d.left(d.size() - 2)))
            c.add(QStringLiteral("kjks_zhangjie"), d, QString(),
                  QStringLiteral("its parent %1 is not in the chapter tree").arg(d.left(d.size() - 2)));
    }

    QSet<int> stemIds;
    for (const BankStem &s : m.stems)
        stemIds.insert(s.id);
    QSet<int> questionIds;
    for (const BankQuestion &q : m.questions)
        questionIds.insert(q.id);

    static const QStringList ownTypes = {banktypes::single(), banktypes::multiple(), banktypes::judgement(),
                                         banktypes::operation()};
    for (const BankQuestion &q : m.questions) {
        const QString key = QString::number(q.id);
        const bool sub = isSubQuestion(q);
        if (q.tixing.isEmpty())
            c.add(tigan, key, QStringLiteral("tixing"), QStringLiteral("the question type is missing"));
        else if (!sub && !ownTypes.contains(q.tixing))
            c.add(tigan, key, QStringLiteral("tixing"),
                  QStringLiteral("'%1' is not a question type (单选题, 多选题, 判断题, 实操题; case sub-questions "
                                 "name their stem)")
                      .arg(q.tixing));
        else if (sub && ownTypes.contains(q.tixing))
            c.add(tigan, key, QStringLiteral("tixing"),
                  QStringLiteral("a case sub-question must not carry the type %1: it would be drawn on its own")
                      .arg(q.tixing));
        const int options = int(q.options.size());
        const bool choice = sub || q.tixing == banktypes::single() || q.tixing == banktypes::multiple();
        if (options > 26)
            c.add(tigan, key, QString(), QStringLiteral("a question has at most 26 options, it has %1").arg(options));
        if (choice && options < 2)
            c.add(tigan, key, QString(),
                  QStringLiteral("a choice question needs at least two options, it has %1").arg(options));
        const QString answer = AnswerProblem(q.tixing, sub, q.daan, options);
        if (!answer.isEmpty()) c.add(tigan, key, QStringLiteral("daan"), answer);
        if (sub) {
            const int stem = stemIdOf(q);
            if (stem == 0)
                c.add(tigan, key, QStringLiteral("zongtimian"),
                      QStringLiteral("'%1' is not a case id").arg(q.zongtimian));
            else if (!stemIds.contains(stem))
                c.add(tigan, key, QStringLiteral("zongtimian"), QStringLiteral("there is no case %1").arg(stem));
            else if (q.zongtimian != QString::number(stem))
                c.add(tigan, key, QStringLiteral("zongtimian"),
                      QStringLiteral("the case id is written '%1'; the program looks for '%2'")
                          .arg(q.zongtimian, QString::number(stem)));
        } else {
            checkSection(c, tigan, key, q.zhang, q.jie, codes);
        }
        checkText(c, tigan, key, QStringLiteral("timian"), q.timian);
        checkText(c, tigan, key, QStringLiteral("jiexi"), q.jiexi);
        for (int i = 0; i < options; ++i)
            checkText(c, tigan, key, QStringLiteral("option"), q.options[size_t(i)].text, i);
        checkPicture(c, tigan, key, q.tmimage);
        checkProgress(c, tigan, key, q.progress);
    }

    const auto subs = SubQuestionsByStem(m);
    for (const BankStem &s : m.stems) {
        const QString key = QString::number(s.id);
        const auto it = subs.find(s.id);
        if (it == subs.end()) {
            c.add(stemTable, key, QString(), QStringLiteral("the case has no sub-questions"));
        } else {
            const QString expected = StemAnswer(it->second);
            if (s.daan != expected)
                c.add(stemTable, key, QStringLiteral("daan"),
                      QStringLiteral("the case answer is '%1', but its sub-questions give '%2'").arg(s.daan, expected));
        }
        checkSection(c, stemTable, key, s.zhang, s.jie, codes);
        checkText(c, stemTable, key, QStringLiteral("zongtimian"), s.zongtimian);
        checkText(c, stemTable, key, QStringLiteral("jiexi"), s.jiexi);
        checkPicture(c, stemTable, key, s.tmimage);
        checkProgress(c, stemTable, key, s.progress);
    }

    // Exam profiles: every count and points column holds a decimal integer.
    for (const BankProfile &p : m.profiles)
        for (const auto &[column, value] : p.columns) {
            if (!column.endsWith(QLatin1String("ti")) && !column.endsWith(QLatin1String("fen"))) continue;
            bool ok = false;
            value.trimmed().toInt(&ok, 10);
            if (!ok)
                c.addUnusable(QStringLiteral("kjks_type"), QString::number(p.id), column,
                              QStringLiteral("'%1' is not a whole number").arg(value));
        }

    QSet<int> paperIds;
    for (const BankPaper &p : m.papers) {
        paperIds.insert(p.sjID);
        if (!p.DTKSSJ.isEmpty() && !QDateTime::fromString(p.DTKSSJ, QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid() &&
            !QDateTime::fromString(p.DTKSSJ, Qt::ISODate).isValid())
            c.add(QStringLiteral("kjks_SJML"), QString::number(p.sjID), QStringLiteral("DTKSSJ"),
                  QStringLiteral("'%1' is not a date and time (yyyy-MM-dd HH:mm:ss); the paper list shows it as it is")
                      .arg(p.DTKSSJ));
    }
    for (const BankPaperItem &i : m.paperItems) {
        const QString key = i.id > 0 ? QString::number(i.id) : QString();
        if (i.sjID != 0 && !paperIds.contains(i.sjID))
            c.add(QStringLiteral("shijuan"), key, QStringLiteral("sjID"),
                  QStringLiteral("there is no paper %1").arg(i.sjID));
        if (i.tigan_id != 0 && !questionIds.contains(i.tigan_id))
            c.add(QStringLiteral("shijuan"), key, QStringLiteral("tigan_id"),
                  QStringLiteral("there is no question %1").arg(i.tigan_id));
        if (!i.kaolv.isEmpty() && !isFlag(i.kaolv))
            c.add(QStringLiteral("shijuan"), key, QStringLiteral("kaolv"),
                  QStringLiteral("a flag holds 1 or 0, not '%1'").arg(i.kaolv));
    }
    return out;
}
