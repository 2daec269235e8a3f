#include "BankWriter.h"

#include "BankSchema.h"
#include "BankSession.h"
#include "PartFiles.h"
#include "ProgressCounts.h"
#include "QueryIndexes.h"
#include "QuestionText.h"
#include "SqlDatabase.h"
#include "SqlError.h"
#include "WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <fcntl.h>
#include <map>
#include <memory>
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
    RowInserter(SqlDatabase &db, const QString &target) : m_db(db.handle()), m_target(target) {}
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
    [[noreturn]] void fail() const {
        const SqlError error(QString::fromUtf8(sqlite3_errmsg(m_db)), sqlite3_extended_errcode(m_db));
        ThrowIfWriteFailure(m_target, error);
        throw error;
    }

    sqlite3 *m_db;
    QString m_target;
    std::map<QString, sqlite3_stmt *> m_statements;
};

// Flushes a closed file to the disk, so that the rename never publishes a bank still in the cache.
void syncFile(const QString &path, const QString &target) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (fd >= 0) ::close(fd);
        const KjksError failure(QStringLiteral("无法把新题库写入磁盘：") + QDir::toNativeSeparators(path));
        ThrowIfWriteFailure(target, failure);
        throw failure;
    }
    ::close(fd);
}

} // namespace

struct BankFileWriter::State {
    QString path;
    QString tempPath;
    SqlDatabase db;
    std::unique_ptr<PartInUse> inUse;
    std::unique_ptr<RowInserter> insert;
    bool stageOptions = false;
    bool hasScratch = false;
    bool committed = false;

    void removeTemp() {
        QFile::remove(tempPath);
        QFile::remove(tempPath + QStringLiteral("-wal"));
        QFile::remove(tempPath + QStringLiteral("-shm"));
    }
};

BankFileWriter::BankFileWriter(const QString &path, bool questionsInIdOrder) : d(std::make_unique<State>()) {
    d->path = path;
    d->stageOptions = !questionsInIdOrder;
    const QFileInfo target(path);
    if (!target.absoluteDir().exists()) {
        const WriteFolderState folder = ProbeWriteFolder(target.absolutePath());
        throw WriteFailureError(WriteFailureMessage(WriteFailureCause::MissingFolder, path, folder, QString()));
    }
    RemoveLeftoverParts(target.absoluteFilePath());
    {
        QTemporaryFile probe(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                             QStringLiteral(".XXXXXX.part"));
        if (!probe.open()) {
            const KjksError failure(probe.errorString());
            ThrowIfWriteFailure(path, failure);
            throw KjksError(QStringLiteral("无法在文件夹 %1 中写入：%2")
                                .arg(QDir::toNativeSeparators(target.absolutePath()), probe.errorString()));
        }
        d->tempPath = probe.fileName();
        d->inUse = std::make_unique<PartInUse>(d->tempPath);
    } // the empty probe is removed; SQLCipher creates the file itself
    try {
        d->db.create(d->tempPath, QString::fromLatin1(kBankPassword));
        // A new file that is thrown away on any failure needs no journal while it is filled; it is
        // made durable once, before the rename.
        d->db.select(QStringLiteral("PRAGMA journal_mode = OFF"));
        d->db.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        // Sorts (the indexes, the staged options) spill to files, not to memory, however large the bank.
        d->db.exec(QStringLiteral("PRAGMA temp_store = FILE"));
        CreateBankSchema(d->db);
        if (d->stageOptions)
            d->db.exec(
                QStringLiteral("create temp table staged_option (tigan_id INTEGER, position INTEGER, timian TEXT,"
                               " flag_state INTEGER, primary key (tigan_id, position)) without rowid"));
        d->db.exec(QStringLiteral("begin"));
        d->insert = std::make_unique<RowInserter>(d->db, path);
    } catch (...) {
        d->insert.reset();
        d->db.close();
        RethrowTellingCause(path, [&] { d->removeTemp(); });
    }
}

BankFileWriter::~BankFileWriter() {
    if (d->committed) return;
    d->insert.reset();
    d->db.close();
    d->removeTemp();
}

void BankFileWriter::head(const BankModel &m) {
    RowInserter &insert = *d->insert;
    for (const auto &[name, value] : m.options)
        insert(QStringLiteral("insert into sys_option (option_name, option_value) values (?, ?)"),
               {name.toUpper(), value});
    for (const BankProfile &p : m.profiles) {
        insert(QStringLiteral("insert into kjks_type (kjks_type_id) values (?)"), {p.id});
        for (const auto &[col, value] : p.columns)
            insert(QStringLiteral("update kjks_type set \"%1\" = ? where kjks_type_id = ?").arg(col), {value, p.id});
    }
    for (const BankChapter &c : m.chapters)
        insert(QStringLiteral("insert into kjks_zhangjie (daima, mc) values (?, ?)"), {c.daima, c.mc});
}

void BankFileWriter::question(const BankQuestion &q) {
    RowInserter &insert = *d->insert;
    const QString where = QStringLiteral("question %1").arg(q.id);
    insert(QStringLiteral("insert into kjks_tigan (tigan_id, tixing, timian, timian2, tmimage, daan, jiexi,"
                          " zhang, jie, YDCS, DDCS, shoucang, ZQCS, ZONGCS, flag_state, zongtimian, shijuan)"
                          " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
           {q.id, q.tixing, storedOr(q.stored, QStringLiteral("timian"), q.timian, where), textOrNull(q.timian2),
            blobOrNull(q.tmimage), q.daan, storedOr(q.stored, QStringLiteral("jiexi"), q.jiexi, where), q.zhang, q.jie,
            q.progress.YDCS, q.progress.DDCS, q.progress.shoucang, q.progress.ZQCS, q.progress.ZONGCS, q.flag_state,
            textOrNull(q.zongtimian), textOrNull(q.shijuan)});
    for (size_t i = 0; i < q.options.size(); ++i) {
        const BankOption &o = q.options[i];
        const QString text = storedOr(q.stored, StoredOptionKey(int(i)), o.text, where);
        // Option ids follow the question ids: options of questions that come in another order wait.
        if (d->stageOptions)
            insert(QStringLiteral("insert into staged_option (tigan_id, position, timian, flag_state)"
                                  " values (?, ?, ?, ?)"),
                   {q.id, int(i), text, o.withdrawn ? 1 : 0});
        else
            insert(QStringLiteral("insert into kjks_xuanxiang (tigan_ID, timian, flag_state) values (?, ?, ?)"),
                   {q.id, text, o.withdrawn ? 1 : 0});
    }
}

void BankFileWriter::stem(const BankStem &s) {
    const QString where = QStringLiteral("case %1").arg(s.id);
    (*d->insert)(QStringLiteral("insert into zongtigan (ID, zongtimian, timian2, tmimage, daan, jiexi, zhang, jie,"
                                " YDCS, DDCS, shoucang, ZQCS, ZONGCS, shijuan, flag_state)"
                                " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 {s.id, storedOr(s.stored, QStringLiteral("zongtimian"), s.zongtimian, where), textOrNull(s.timian2),
                  blobOrNull(s.tmimage), s.daan, storedOr(s.stored, QStringLiteral("jiexi"), s.jiexi, where), s.zhang,
                  s.jie, s.progress.YDCS, s.progress.DDCS, s.progress.shoucang, s.progress.ZQCS, s.progress.ZONGCS,
                  textOrNull(s.shijuan), s.flag_state});
}

void BankFileWriter::stemAnswer(int id, const QString &daan) {
    (*d->insert)(QStringLiteral("update zongtigan set daan = ? where ID = ?"), {daan, id});
}

void BankFileWriter::papers(const std::vector<BankPaper> &papers, const std::vector<BankPaperItem> &items) {
    RowInserter &insert = *d->insert;
    for (const BankPaper &p : papers) {
        auto score = [&](const char *name) -> QVariant {
            const auto it = p.scores.find(QString::fromLatin1(name));
            return it == p.scores.end() ? QVariant() : QVariant(it->second);
        };
        insert(QStringLiteral("insert into kjks_SJML (sjID, DTKSSJ, JJSJ, DEFEN, DanDeFen, DuoDeFen, PanDeFen,"
                              " AnLiDeFen, flag_state) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
               {p.sjID, textOrNull(p.DTKSSJ.isEmpty() ? QString() : p.DTKSSJ),
                textOrNull(p.JJSJ.isEmpty() ? QString() : p.JJSJ), score("DEFEN"), score("DanDeFen"), score("DuoDeFen"),
                score("PanDeFen"), score("AnLiDeFen"), p.flag_state});
    }
    for (const BankPaperItem &i : items) {
        d->hasScratch = d->hasScratch || (i.sjID == 0 && i.xth == 200);
        insert(QStringLiteral("insert into shijuan (ID, sjID, xth, tixing, tigan_id, daan, KSDA, defen, kaolv)"
                              " values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
               {i.id > 0 ? QVariant(i.id) : QVariant(), i.sjID, i.xth, textOrNull(i.tixing),
                i.tigan_id != 0 ? QVariant(i.tigan_id) : QVariant(), textOrNull(i.daan), textOrNull(i.KSDA),
                i.hasDefen ? QVariant(i.defen) : QVariant(), textOrNull(i.kaolv)});
    }
}

void BankFileWriter::commit(bool addScratchRow) {
    if (addScratchRow && !d->hasScratch)
        (*d->insert)(QStringLiteral("insert into shijuan (sjID, xth, KSDA) values (0, 200, '')"), {});
    d->insert.reset(); // statements finalized before the commit
    try {
        if (d->stageOptions)
            d->db.exec(QStringLiteral("insert into kjks_xuanxiang (tigan_ID, timian, flag_state) select tigan_id,"
                                      " timian, flag_state from staged_option order by tigan_id, position"));
        d->db.exec(QStringLiteral("commit"));
        if (d->stageOptions) d->db.exec(QStringLiteral("drop table staged_option"));
        // Built once over the filled tables, faster than kept up row by row; the chapter tree's
        // counts too, so that no learner waits for them at the bank's first opening.
        CreateQueryIndexes(d->db);
        RebuildProgressCounts(d->db);
        d->db.select(QStringLiteral("PRAGMA journal_mode = WAL"));
        d->db.close();
        syncFile(d->tempPath, d->path);
    } catch (...) {
        d->db.close();
        d->committed = true; // nothing left to remove
        RethrowTellingCause(d->path, [&] { d->removeTemp(); });
    }
    d->committed = true;
    const QString &path = d->path;
    QFile::remove(d->tempPath + QStringLiteral("-wal"));
    QFile::remove(d->tempPath + QStringLiteral("-shm"));
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    // rename() replaces the old bank in one step: a reader sees the old or the new file, never half.
    if (std::rename(QFile::encodeName(d->tempPath).constData(), QFile::encodeName(path).constData()) != 0) {
        d->removeTemp();
        const KjksError failure(QStringLiteral("无法把新题库放到 %1（改名失败）").arg(QDir::toNativeSeparators(path)));
        ThrowIfWriteFailure(path, failure);
        throw failure;
    }
}

void WriteBank(const BankModel &model, const QString &path) {
    BankFileWriter writer(path, true);
    writer.head(model);
    for (const BankQuestion &q : model.questions)
        writer.question(q);
    for (const BankStem &s : model.stems)
        writer.stem(s);
    writer.papers(model.papers, model.paperItems);
    writer.commit(model.addScratchRow);
}
