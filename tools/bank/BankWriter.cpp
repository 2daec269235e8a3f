#include "BankWriter.h"

#include "BankSchema.h"
#include "BankSession.h"
#include "QueryIndexes.h"
#include "QuestionText.h"
#include "SqlDatabase.h"
#include "SqlError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <fcntl.h>
#include <map>
#include <sqlite3.h>
#include <unistd.h>

namespace {

QVariant textOrNull(const QString &s) {
    return s.isNull() ? QVariant() : QVariant(s);
}
QVariant blobOrNull(const QByteArray &b) {
    return b.isEmpty() ? QVariant() : QVariant(b);
}

QString encoded(const QString &plain, const QString &what) {
    bool ok = true;
    const QString stored = EncodeQuestionText(plain, &ok);
    if (!ok) throw KjksError(what + QStringLiteral(": a character cannot be written in GBK"));
    return stored;
}

// A text kept in its stored form goes in as it is; any other is enciphered.
QString storedOr(const StoredTexts &stored, const QString &column, const QString &plain, const QString &what) {
    const auto it = stored.find(column);
    return it != stored.end() ? it->second : encoded(plain, what);
}

// Runs the many row inserts of a bank with each statement prepared once: preparing costs more than
// inserting a row. Values bind as SqlDatabase binds them (an invalid QVariant is NULL).
class RowInserter {
public:
    explicit RowInserter(SqlDatabase &db) : m_db(db.handle()) {}
    ~RowInserter() {
        for (auto &[sql, stmt] : m_statements)
            sqlite3_finalize(stmt);
    }
    RowInserter(const RowInserter &) = delete;
    RowInserter &operator=(const RowInserter &) = delete;

    void operator()(const QString &sql, const std::vector<QVariant> &values) {
        sqlite3_stmt *&stmt = m_statements[sql];
        if (!stmt) {
            const QByteArray text = sql.toUtf8();
            if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) fail();
        }
        sqlite3_reset(stmt);
        int i = 1;
        for (const QVariant &v : values)
            if (bindValue(stmt, i++, v) != SQLITE_OK) fail();
        if (sqlite3_step(stmt) != SQLITE_DONE) fail();
    }

private:
    [[noreturn]] void fail() const { throw SqlError(QString::fromUtf8(sqlite3_errmsg(m_db))); }

    sqlite3 *m_db;
    std::map<QString, sqlite3_stmt *> m_statements;
};

// Flushes a closed file to the disk, so that the rename never publishes a bank still in the cache.
void syncFile(const QString &path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (fd >= 0) ::close(fd);
        throw KjksError(QStringLiteral("cannot flush the new bank to the disk: ") + path);
    }
    ::close(fd);
}

} // namespace

void InsertBankRows(SqlDatabase &db, const BankModel &m) {
    db.exec(QStringLiteral("begin"));
    try {
        {
            RowInserter insert(db);
            for (const auto &[name, value] : m.options)
                insert(QStringLiteral("insert into sys_option (option_name, option_value) values (?, ?)"),
                       {name.toUpper(), value});
            for (const BankProfile &p : m.profiles) {
                insert(QStringLiteral("insert into kjks_type (kjks_type_id) values (?)"), {p.id});
                for (const auto &[col, value] : p.columns)
                    insert(QStringLiteral("update kjks_type set \"%1\" = ? where kjks_type_id = ?").arg(col),
                           {value, p.id});
            }
            for (const BankChapter &c : m.chapters)
                insert(QStringLiteral("insert into kjks_zhangjie (daima, mc) values (?, ?)"), {c.daima, c.mc});
            for (const BankQuestion &q : m.questions) {
                const QString where = QStringLiteral("question %1").arg(q.id);
                insert(
                    QStringLiteral("insert into kjks_tigan (tigan_id, tixing, timian, timian2, tmimage, daan, jiexi,"
                                   " zhang, jie, YDCS, DDCS, shoucang, ZQCS, ZONGCS, flag_state, zongtimian, shijuan)"
                                   " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {q.id, q.tixing, storedOr(q.stored, QStringLiteral("timian"), q.timian, where),
                     textOrNull(q.timian2), blobOrNull(q.tmimage), q.daan,
                     storedOr(q.stored, QStringLiteral("jiexi"), q.jiexi, where), q.zhang, q.jie, q.progress.YDCS,
                     q.progress.DDCS, q.progress.shoucang, q.progress.ZQCS, q.progress.ZONGCS, q.flag_state,
                     textOrNull(q.zongtimian), textOrNull(q.shijuan)});
                for (size_t i = 0; i < q.options.size(); ++i) {
                    const BankOption &o = q.options[i];
                    const QString option = StoredOptionKey(int(i));
                    insert(QStringLiteral("insert into kjks_xuanxiang (tigan_ID, timian, flag_state) values (?, ?, ?)"),
                           {q.id, storedOr(q.stored, option, o.text, where), o.withdrawn ? 1 : 0});
                }
            }
            for (const BankStem &s : m.stems) {
                const QString where = QStringLiteral("case %1").arg(s.id);
                insert(
                    QStringLiteral("insert into zongtigan (ID, zongtimian, timian2, tmimage, daan, jiexi, zhang, jie,"
                                   " YDCS, DDCS, shoucang, ZQCS, ZONGCS, shijuan, flag_state)"
                                   " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {s.id, storedOr(s.stored, QStringLiteral("zongtimian"), s.zongtimian, where), textOrNull(s.timian2),
                     blobOrNull(s.tmimage), s.daan, storedOr(s.stored, QStringLiteral("jiexi"), s.jiexi, where),
                     s.zhang, s.jie, s.progress.YDCS, s.progress.DDCS, s.progress.shoucang, s.progress.ZQCS,
                     s.progress.ZONGCS, textOrNull(s.shijuan), s.flag_state});
            }
            for (const BankPaper &p : m.papers) {
                auto score = [&](const char *name) -> QVariant {
                    const auto it = p.scores.find(QString::fromLatin1(name));
                    return it == p.scores.end() ? QVariant() : QVariant(it->second);
                };
                insert(QStringLiteral("insert into kjks_SJML (sjID, DTKSSJ, JJSJ, DEFEN, DanDeFen, DuoDeFen, PanDeFen,"
                                      " AnLiDeFen, flag_state) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                       {p.sjID, textOrNull(p.DTKSSJ.isEmpty() ? QString() : p.DTKSSJ),
                        textOrNull(p.JJSJ.isEmpty() ? QString() : p.JJSJ), score("DEFEN"), score("DanDeFen"),
                        score("DuoDeFen"), score("PanDeFen"), score("AnLiDeFen"), p.flag_state});
            }
            bool hasScratch = false;
            for (const BankPaperItem &i : m.paperItems) {
                hasScratch = hasScratch || (i.sjID == 0 && i.xth == 200);
                insert(QStringLiteral("insert into shijuan (ID, sjID, xth, tixing, tigan_id, daan, KSDA, defen, kaolv)"
                                      " values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                       {i.id > 0 ? QVariant(i.id) : QVariant(), i.sjID, i.xth, textOrNull(i.tixing),
                        i.tigan_id != 0 ? QVariant(i.tigan_id) : QVariant(), textOrNull(i.daan), textOrNull(i.KSDA),
                        i.hasDefen ? QVariant(i.defen) : QVariant(), textOrNull(i.kaolv)});
            }
            if (m.addScratchRow && !hasScratch)
                insert(QStringLiteral("insert into shijuan (sjID, xth, KSDA) values (0, 200, '')"), {});
        } // statements finalized before the commit
        db.exec(QStringLiteral("commit"));
    } catch (...) {
        try {
            db.exec(QStringLiteral("rollback"));
        } catch (...) {
        }
        throw;
    }
}

void WriteBank(const BankModel &model, const QString &path) {
    const QFileInfo target(path);
    if (!target.absoluteDir().exists())
        throw KjksError(QStringLiteral("folder does not exist: ") + target.absolutePath());
    QString tempPath;
    {
        QTemporaryFile probe(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                             QStringLiteral(".XXXXXX"));
        if (!probe.open()) throw KjksError(QStringLiteral("cannot write in ") + target.absolutePath());
        tempPath = probe.fileName();
    } // the empty probe is removed; SQLCipher creates the file itself
    auto removeTemp = [&] {
        QFile::remove(tempPath);
        QFile::remove(tempPath + QStringLiteral("-wal"));
        QFile::remove(tempPath + QStringLiteral("-shm"));
    };
    try {
        SqlDatabase db;
        db.create(tempPath, QString::fromLatin1(kBankPassword));
        // A new file that is thrown away on any failure needs no journal while it is filled; it is
        // made durable once, before the rename.
        db.select(QStringLiteral("PRAGMA journal_mode = OFF"));
        db.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        CreateBankSchema(db);
        InsertBankRows(db, model);
        // Built once over the filled tables, faster than kept up row by row.
        CreateQueryIndexes(db);
        db.select(QStringLiteral("PRAGMA journal_mode = WAL"));
        db.close();
        syncFile(tempPath);
    } catch (...) {
        removeTemp();
        throw;
    }
    QFile::remove(tempPath + QStringLiteral("-wal"));
    QFile::remove(tempPath + QStringLiteral("-shm"));
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    // rename() replaces the old bank in one step: a reader sees the old or the new file, never half.
    if (std::rename(QFile::encodeName(tempPath).constData(), QFile::encodeName(path).constData()) != 0) {
        removeTemp();
        throw KjksError(QStringLiteral("cannot rename the new bank to ") + path);
    }
}
