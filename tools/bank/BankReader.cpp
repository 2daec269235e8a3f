#include "BankReader.h"

#include "BankSession.h"
#include "BankSourceSyntax.h"
#include "Gbk.h"
#include "QuestionText.h"
#include "SqlDatabase.h"
#include "SqlError.h"

#include <algorithm>
#include <sqlite3.h>

namespace {

QString text(const QVariant &v) {
    if (v.isNull()) return QString();
    const QString s = v.toString();
    return s.isEmpty() ? banksource::EmptyText() : s;
}

bool isHexDigit(QChar c) {
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

int integer(const QVariant &v) {
    return v.isNull() ? 0 : int(v.toLongLong());
}

QString flag(const QVariant &v) {
    return v.isNull() ? QStringLiteral("0") : text(v);
}

class Decoder {
public:
    explicit Decoder(std::vector<BankProblem> *problems) : m_problems(problems) {}

    // `keep` receives the stored form of a text that fails the strict check, so that it is written
    // back unchanged.
    QString operator()(const QVariant &stored, const char *table, int key, const char *column, int option,
                       QString *keep) {
        const QString value = stored.isNull() ? QString() : stored.toString();
        if (!m_problems) {
            try {
                return DecodeQuestionText(value);
            } catch (const KjksError &e) {
                throw KjksError(QStringLiteral("%1 %2 %3: %4")
                                    .arg(QString::fromLatin1(table))
                                    .arg(key)
                                    .arg(QString::fromLatin1(column), e.message()));
            }
        }
        QString problem;
        QString plain;
        for (QChar c : value)
            if (!isHexDigit(c)) {
                problem = QStringLiteral("存储的文本含有“%1”，不是十六进制数字").arg(c);
                break;
            }
        if (problem.isEmpty() && value.size() % 2 != 0) problem = QStringLiteral("存储的文本有奇数个数字");
        if (problem.isEmpty()) {
            try {
                plain = DecodeQuestionText(value);
                const QByteArray bytes = HexToBytes(value);
                if (plain.contains(QChar(0xFFFD))) {
                    problem = QStringLiteral("解密后的字节不是 GBK 文字");
                } else if (bytes.size() >= 8) {
                    qint64 length = 0;
                    for (int i = 7; i >= 0; --i)
                        length = length << 8 | quint8(bytes[i]);
                    const qint64 actual = UnicodeToGbk(plain).size();
                    if (length != actual)
                        problem = QStringLiteral("长度字段是 %1 字节，文本有 %2 字节").arg(length).arg(actual);
                }
            } catch (const KjksError &e) {
                problem = e.message();
            }
        }
        if (problem.isEmpty()) return plain;
        *keep = value.isNull() ? banksource::EmptyText() : value;
        m_problems->push_back(BankProblem{QString::fromLatin1(table), QString::number(key), QString::fromLatin1(column),
                                          option, problem, true});
        return QString();
    }

private:
    std::vector<BankProblem> *m_problems;
};

// A table the program reads, the column that names its rows in messages, and its encoded columns.
struct ScannedTable {
    const char *table;
    const char *reportedAs;
    const char *key;
    std::vector<const char *> encoded;
};

} // namespace

std::vector<BankProblem> OversizeFields(SqlDatabase &db) {
    static const ScannedTable tables[] = {
        {"sys_option", "sys_option", "substr(option_name, 1, 40)", {}},
        {"kjks_type", "kjks_type", "kjks_type_id", {}},
        {"kjks_zhangjie", "kjks_zhangjie", "substr(daima, 1, 40)", {}},
        {"kjks_tigan", "kjks_tigan", "tigan_id", {"timian", "jiexi"}},
        {"kjks_xuanxiang", "kjks_tigan", "tigan_ID", {"timian"}},
        {"zongtigan", "zongtigan", "ID", {"zongtimian", "jiexi"}},
        {"kjks_SJML", "kjks_SJML", "sjID", {}},
        {"shijuan", "shijuan", "ID", {}},
    };
    std::vector<BankProblem> out;
    for (const ScannedTable &t : tables) {
        const QString table = QString::fromLatin1(t.table);
        std::vector<QString> columns;
        for (const auto &r : db.select(QStringLiteral("pragma table_info(\"%1\")").arg(table)))
            columns.push_back(r[1].toString());
        QStringList lengths, over;
        std::vector<qint64> limits;
        for (const QString &c : columns) {
            bool encoded = false;
            for (const char *e : t.encoded)
                encoded = encoded || c.compare(QLatin1String(e), Qt::CaseInsensitive) == 0;
            const qint64 limit = c.compare(QLatin1String("tmimage"), Qt::CaseInsensitive) == 0 ? kMaxPictureBytes
                                 : encoded                                                     ? kMaxStoredTextChars
                                                                                               : kMaxTextChars;
            lengths << QStringLiteral("length(\"%1\") as l%2").arg(c).arg(lengths.size());
            over << QStringLiteral("l%1 > %2").arg(over.size()).arg(limit);
            limits.push_back(limit);
        }
        if (columns.empty()) continue;
        // Lengths only: the engine never hands an oversized value to the tool. The inner query's
        // limit keeps the engine from computing a length twice (each loads the whole value).
        const auto rows = db.select(QStringLiteral("select * from (select %1, %2 from \"%3\" limit -1) where %4")
                                        .arg(QString::fromLatin1(t.key), lengths.join(QStringLiteral(", ")), table,
                                             over.join(QStringLiteral(" or "))));
        for (const auto &r : rows)
            for (size_t c = 0; c < columns.size(); ++c) {
                const qint64 length = r[c + 1].toLongLong();
                if (length <= limits[c]) continue;
                const bool picture = limits[c] == kMaxPictureBytes;
                out.push_back(BankProblem{
                    QString::fromLatin1(t.reportedAs), r[0].toString(),
                    table == QLatin1String("kjks_xuanxiang") ? QStringLiteral("option") : columns[c], -1,
                    QStringLiteral("有 %1 %2，超过上限 %3 %2：本工具不会写出这样的题库，请向题库的提供者要一份正常的"
                                   "题库")
                        .arg(length)
                        .arg(picture ? QStringLiteral("字节") : QStringLiteral("个字符"))
                        .arg(limits[c]),
                    true});
            }
    }
    return out;
}

namespace {

// One query read row by row: a large table never lies in memory whole.
class RowCursor {
public:
    RowCursor(SqlDatabase &db, const QString &sql) : m_db(db.handle()) {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK) fail();
    }
    ~RowCursor() { sqlite3_finalize(m_stmt); }
    RowCursor(const RowCursor &) = delete;
    RowCursor &operator=(const RowCursor &) = delete;

    bool next() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail();
        return false;
    }
    QVariant operator[](int column) const { return columnValue(m_stmt, column); }

private:
    [[noreturn]] void fail() const { throw SqlError(QString::fromUtf8(sqlite3_errmsg(m_db)), sqlite3_errcode(m_db)); }

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

// Collects the rows into a model.
class ModelBuilder : public BankRowVisitor {
public:
    explicit ModelBuilder(BankModel &m) : m_model(m) {}
    void question(BankQuestion &&q) override { m_model.questions.push_back(std::move(q)); }
    void stem(BankStem &&s) override { m_model.stems.push_back(std::move(s)); }

private:
    BankModel &m_model;
};

} // namespace

BankModel ReadBankRows(SqlDatabase &db, std::vector<BankProblem> *textProblems, BankRowVisitor &visitor) {
    // A field past its limit is refused before any row is read: reading it would take many times
    // its size in memory.
    const std::vector<BankProblem> oversize = OversizeFields(db);
    if (!oversize.empty()) {
        QStringList lines;
        for (const BankProblem &p : oversize)
            lines << ProblemText(p);
        throw KjksError(lines.join(QLatin1Char('\n')));
    }
    BankModel m;
    m.addScratchRow = false; // the model mirrors the bank: its items are all there is
    Decoder decode(textProblems);

    for (const auto &r :
         db.select(QStringLiteral("select option_name, option_value from sys_option order by option_id")))
        m.options[text(r[0]).toUpper()] = text(r[1]).isNull() ? banksource::EmptyText() : text(r[1]);

    std::vector<QString> names;
    for (const auto &r : db.select(QStringLiteral("select * from kjks_type order by kjks_type_id"), {}, &names)) {
        BankProfile p;
        for (size_t c = 0; c < names.size(); ++c) {
            if (names[c].compare(QLatin1String("kjks_type_id"), Qt::CaseInsensitive) == 0)
                p.id = integer(r[c]);
            else if (!r[c].isNull())
                p.columns[names[c]] = text(r[c]);
        }
        m.profiles.push_back(std::move(p));
    }

    for (const auto &r : db.select(QStringLiteral("select daima, mc from kjks_zhangjie order by daima")))
        m.chapters.push_back(BankChapter{text(r[0]), text(r[1])});
    visitor.head(m);

    {
        // Each question with its options, both read in question order (the options by their index);
        // the options' unreadable texts are reported after the questions', in the options' own order.
        std::vector<BankProblem> optionProblemList;
        std::vector<std::pair<qint64, size_t>> optionProblemOrder; // xuanxiang_id, index
        Decoder decodeOption(textProblems ? &optionProblemList : nullptr);
        RowCursor r(db,
                    QStringLiteral(
                        "select tigan_id, tixing, timian, timian2, tmimage, daan, jiexi, zhang, jie, YDCS, DDCS,"
                        " shoucang, ZQCS, ZONGCS, flag_state, zongtimian, shijuan from kjks_tigan order by tigan_id"));
        RowCursor o(db, QStringLiteral("select tigan_ID, timian, flag_state, xuanxiang_id from kjks_xuanxiang"
                                       " order by tigan_ID, xuanxiang_id"));
        bool option = o.next();
        while (r.next()) {
            BankQuestion q;
            q.id = integer(r[0]);
            q.tixing = text(r[1]);
            QString kept;
            q.timian = decode(r[2], "kjks_tigan", q.id, "timian", -1, &kept);
            if (!kept.isNull()) q.stored[QStringLiteral("timian")] = kept;
            q.timian2 = text(r[3]);
            const QVariant picture = r[4];
            q.tmimage = picture.isNull() ? QByteArray() : picture.toByteArray();
            q.daan = text(r[5]);
            kept = QString();
            q.jiexi = decode(r[6], "kjks_tigan", q.id, "jiexi", -1, &kept);
            if (!kept.isNull()) q.stored[QStringLiteral("jiexi")] = kept;
            q.zhang = integer(r[7]);
            q.jie = integer(r[8]);
            q.progress = BankProgress{flag(r[9]), flag(r[10]), flag(r[11]), integer(r[12]), integer(r[13])};
            q.flag_state = integer(r[14]);
            q.zongtimian = text(r[15]);
            q.shijuan = text(r[16]);
            // Options of no question have no place in a source: passed over.
            while (option && integer(o[0]) < q.id)
                option = o.next();
            while (option && integer(o[0]) == q.id) {
                const int index = int(q.options.size());
                const size_t before = optionProblemList.size();
                kept = QString();
                const QString plain = decodeOption(o[1], "kjks_tigan", q.id, "option", index, &kept);
                if (optionProblemList.size() > before) optionProblemOrder.emplace_back(o[3].toLongLong(), before);
                if (!kept.isNull()) q.stored[StoredOptionKey(index)] = kept;
                q.options.push_back(BankOption{plain, integer(o[2]) == 1});
                option = o.next();
            }
            visitor.question(std::move(q));
        }
        std::stable_sort(optionProblemOrder.begin(), optionProblemOrder.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (const auto &[id, index] : optionProblemOrder)
            textProblems->push_back(std::move(optionProblemList[index]));
    }

    {
        RowCursor r(db,
                    QStringLiteral(
                        "select ID, zongtimian, timian2, tmimage, daan, jiexi, zhang, jie, YDCS, DDCS, shoucang, ZQCS,"
                        " ZONGCS, shijuan, flag_state from zongtigan order by ID"));
        while (r.next()) {
            BankStem s;
            s.id = integer(r[0]);
            QString kept;
            s.zongtimian = decode(r[1], "zongtigan", s.id, "zongtimian", -1, &kept);
            if (!kept.isNull()) s.stored[QStringLiteral("zongtimian")] = kept;
            s.timian2 = text(r[2]);
            const QVariant picture = r[3];
            s.tmimage = picture.isNull() ? QByteArray() : picture.toByteArray();
            s.daan = text(r[4]);
            kept = QString();
            s.jiexi = decode(r[5], "zongtigan", s.id, "jiexi", -1, &kept);
            if (!kept.isNull()) s.stored[QStringLiteral("jiexi")] = kept;
            s.zhang = integer(r[6]);
            s.jie = integer(r[7]);
            s.progress = BankProgress{flag(r[8]), flag(r[9]), flag(r[10]), integer(r[11]), integer(r[12])};
            s.shijuan = text(r[13]);
            s.flag_state = integer(r[14]);
            visitor.stem(std::move(s));
        }
    }
    static const char *const scoreNames[] = {"DEFEN", "DanDeFen", "DuoDeFen", "PanDeFen", "AnLiDeFen"};
    for (const auto &r : db.select(QStringLiteral("select sjID, DTKSSJ, JJSJ, DEFEN, DanDeFen, DuoDeFen, PanDeFen,"
                                                  " AnLiDeFen, flag_state from kjks_SJML order by sjID"))) {
        BankPaper p;
        p.sjID = integer(r[0]);
        p.DTKSSJ = text(r[1]);
        p.JJSJ = text(r[2]);
        for (int i = 0; i < 5; ++i)
            if (!r[size_t(3 + i)].isNull()) p.scores[QString::fromLatin1(scoreNames[i])] = r[size_t(3 + i)].toDouble();
        p.flag_state = integer(r[8]);
        m.papers.push_back(std::move(p));
    }

    for (const auto &r : db.select(QStringLiteral(
             "select ID, sjID, xth, tixing, tigan_id, daan, KSDA, defen, kaolv from shijuan order by ID"))) {
        BankPaperItem i;
        i.id = integer(r[0]);
        i.sjID = integer(r[1]);
        i.xth = integer(r[2]);
        i.tixing = text(r[3]);
        i.tigan_id = integer(r[4]);
        i.daan = text(r[5]);
        i.KSDA = text(r[6]);
        i.hasDefen = !r[7].isNull();
        i.defen = r[7].toDouble();
        i.kaolv = text(r[8]);
        m.paperItems.push_back(std::move(i));
    }
    return m;
}

BankModel ReadBank(SqlDatabase &db, std::vector<BankProblem> *textProblems) {
    BankModel rows;
    ModelBuilder builder(rows);
    BankModel m = ReadBankRows(db, textProblems, builder);
    m.questions = std::move(rows.questions);
    m.stems = std::move(rows.stems);
    return m;
}

BankModel ReadBank(const QString &bankPath, std::vector<BankProblem> *textProblems) {
    SqlDatabase db;
    try {
        db.open(bankPath, QString::fromLatin1(kBankPassword));
    } catch (const KjksError &e) {
        throw KjksError(QStringLiteral("%1: 无法打开题库：%2").arg(bankPath, e.message()));
    }
    return ReadBank(db, textProblems);
}
