#include "BankExport.h"

#include "BankReader.h"
#include "BankRules.h"
#include "BankSession.h"
#include "BankSourceSyntax.h"
#include "PartFiles.h"
#include "SqlDatabase.h"
#include "SqlError.h"
#include "WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>

using banksource::FormatValue;

namespace {

// A file of the export that could not be written: its cause is told against the export's folder.
class ExportWriteError : public KjksError {
public:
    using KjksError::KjksError;
};

QString number(double d) {
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

// A text column that the bank may hold as NULL is written only when it holds something (even "").
void optionalText(QString &out, const char *column, const QString &value) {
    if (!value.isNull()) out += FormatValue(QString::fromLatin1(column), value);
}

const char kKeptNote[] = "# 下面这段存储的文本无法解码：按题库中的原样保留\n";

// An encoded column: its plain text, or the stored form of a text that does not decode. `always`:
// written even when empty.
QString encodedText(const char *column, const QString &plain, const StoredTexts &stored, bool always) {
    const QString name = QString::fromLatin1(column);
    const auto it = stored.find(name);
    if (it != stored.end())
        return QString::fromUtf8(kKeptNote) + FormatValue(name + QStringLiteral("_stored"), it->second);
    return always || !plain.isEmpty() ? FormatValue(name, plain) : QString();
}

void progress(QString &out, const BankProgress &p) {
    if (p.YDCS != QLatin1String("0")) out += FormatValue(QStringLiteral("YDCS"), p.YDCS);
    if (p.DDCS != QLatin1String("0")) out += FormatValue(QStringLiteral("DDCS"), p.DDCS);
    if (p.shoucang != QLatin1String("0")) out += FormatValue(QStringLiteral("shoucang"), p.shoucang);
    if (p.ZQCS != 0) out += FormatValue(QStringLiteral("ZQCS"), QString::number(p.ZQCS));
    if (p.ZONGCS != 0) out += FormatValue(QStringLiteral("ZONGCS"), QString::number(p.ZONGCS));
}

// Writes the source row by row: each question goes to its chapter's file as it comes; a case's
// sub-questions, which follow their case, wait in a spool file until the case comes.
class Exporter : public BankRowVisitor {
public:
    Exporter(const QString &dir, std::function<QSet<int>()> stemIds, qint64 fileLimit)
        : m_dir(dir), m_stemIds(std::move(stemIds)), m_fileLimit(fileLimit) {}

    void head(const BankModel &head) override {
        m_head = head;
        writeFile(QStringLiteral("bank.txt"), bankText());
    }

    void question(BankQuestion &&q) override {
        ++m_questions;
        if (!m_stemsKnown) {
            m_stems = m_stemIds();
            m_stemsKnown = true;
        }
        bool ok = false;
        const int stem = q.zongtimian.toInt(&ok);
        if (!q.zongtimian.isEmpty() && ok && m_stems.contains(stem)) { // written after its stem
            if (!m_spool.isOpen() && !m_spool.open())
                throw KjksError(QStringLiteral("无法创建临时文件：%1").arg(m_spool.errorString()));
            const QByteArray text = questionText(q).toUtf8();
            m_spooled.push_back(Spooled{stem, q.id, m_spool.pos(), text.size()});
            if (m_spool.write(text) != text.size())
                throw KjksError(QStringLiteral("无法写入临时文件：%1").arg(m_spool.errorString()));
            return;
        }
        append(q.zhang, questionText(q));
    }

    void stem(BankStem &&s) override {
        ++m_stemCount;
        if (!m_spoolSorted) {
            std::stable_sort(m_spooled.begin(), m_spooled.end(), [](const Spooled &a, const Spooled &b) {
                return std::make_pair(a.stem, a.id) < std::make_pair(b.stem, b.id);
            });
            if (m_spool.isOpen() && !m_spool.flush())
                throw KjksError(QStringLiteral("无法写入临时文件：%1").arg(m_spool.errorString()));
            m_spoolSorted = true;
        }
        QString text = stemText(s);
        const auto first = std::lower_bound(m_spooled.begin(), m_spooled.end(), s.id,
                                            [](const Spooled &a, int stem) { return a.stem < stem; });
        for (auto it = first; it != m_spooled.end() && it->stem == s.id; ++it) {
            m_spool.seek(it->offset);
            const QByteArray bytes = m_spool.read(it->size);
            if (bytes.size() != it->size)
                throw KjksError(QStringLiteral("无法读取临时文件：%1").arg(m_spool.errorString()));
            text += QString::fromUtf8(bytes);
        }
        append(s.zhang, text);
    }

    void finish(const std::vector<BankPaper> &papers, const std::vector<BankPaperItem> &items) {
        for (auto &[name, f] : m_files)
            if (!f.file->flush())
                throw ExportWriteError(
                    QStringLiteral("%1: 无法写入：%2").arg(f.file->fileName(), f.file->errorString()));
        m_files.clear();
        if (needsPapers(papers, items)) writeFile(QStringLiteral("papers.txt"), papersText(papers, items));
    }

    qint64 questions() const { return m_questions; }
    qint64 stems() const { return m_stemCount; }

private:
    struct ChapterFile {
        QByteArray head; // the chapter's name as a comment
        std::unique_ptr<QFile> file;
        qint64 size = 0;
        int part = 0;
    };
    struct Spooled {
        int stem;
        int id;
        qint64 offset;
        qsizetype size;
    };

    QString bankText() const {
        QString out = QStringLiteral("# 显示选项、考试方案与章节目录。\n");
        if (!m_head.options.empty()) out += QLatin1Char('\n');
        for (const auto &[name, value] : m_head.options) {
            for (QChar c : name)
                if (banksource::IsBlank(c) || c == QLatin1Char(']') || banksource::IsControlCharacter(c))
                    throw KjksError(QStringLiteral("选项名“%1”不能写进题库源文件").arg(name));
            if (name.isEmpty()) throw KjksError(QStringLiteral("有一个选项没有名字"));
            out += QStringLiteral("[sys_option %1]\n").arg(name) + FormatValue(QStringLiteral("option_value"), value) +
                   QLatin1Char('\n');
        }
        const banksource::Table *profileTable = banksource::FindTable(u"kjks_type");
        for (const BankProfile &p : m_head.profiles) {
            out += QStringLiteral("[kjks_type %1]\n").arg(p.id);
            for (const banksource::Column &c : profileTable->columns) {
                const auto it = p.columns.find(c.name);
                if (it != p.columns.end()) out += FormatValue(c.name, it->second);
            }
            for (const auto &[column, value] : p.columns)
                if (!banksource::FindColumn(*profileTable, column)) out += FormatValue(column, value);
            out += QLatin1Char('\n');
        }
        for (const BankChapter &c : m_head.chapters) {
            if (c.daima.size() <= 4) out += QLatin1Char('\n');
            out += QStringLiteral("[kjks_zhangjie %1]\n").arg(c.daima) + FormatValue(QStringLiteral("mc"), c.mc);
        }
        return out;
    }

    // A chapter's file; one that would grow past the limit of a source file (which the build
    // refuses) goes on in chNN_2.txt, chNN_3.txt, ...
    void append(int zhang, const QString &text) {
        const bool numbered = zhang >= 0 && zhang <= 99;
        const QString stem = numbered ? QStringLiteral("questions/ch%1").arg(zhang, 2, 10, QLatin1Char('0'))
                                      : QStringLiteral("questions/other");
        const QByteArray bytes = text.toUtf8();
        auto it = m_files.find(stem);
        if (it == m_files.end()) {
            QString head;
            const QString code = numbered ? QStringLiteral("01%1").arg(zhang, 2, 10, QLatin1Char('0')) : QString();
            for (const BankChapter &c : m_head.chapters)
                if (c.daima == code && !c.mc.contains(QLatin1Char('\n')))
                    head = QStringLiteral("# ") + c.mc + QLatin1Char('\n');
            ChapterFile chapter;
            chapter.head = head.toUtf8();
            it = m_files.emplace(stem, std::move(chapter)).first;
            openPart(stem, it->second);
        } else if (it->second.size > it->second.head.size() && it->second.size + bytes.size() > m_fileLimit) {
            openPart(stem, it->second);
        }
        write(*it->second.file, bytes);
        it->second.size += bytes.size();
    }

    void openPart(const QString &stem, ChapterFile &f) {
        ++f.part;
        const QString name =
            f.part == 1 ? stem + QStringLiteral(".txt") : QStringLiteral("%1_%2.txt").arg(stem).arg(f.part);
        const QString path = QDir(m_dir).filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (f.file && !f.file->flush())
            throw ExportWriteError(QStringLiteral("%1: 无法写入：%2").arg(f.file->fileName(), f.file->errorString()));
        f.file = std::make_unique<QFile>(path);
        if (!f.file->open(QIODevice::WriteOnly))
            throw ExportWriteError(QStringLiteral("%1: 无法写入：%2").arg(path, f.file->errorString()));
        write(*f.file, f.head);
        f.size = f.head.size();
    }

    static void write(QFile &file, const QByteArray &bytes) {
        if (file.write(bytes) != bytes.size())
            throw ExportWriteError(QStringLiteral("%1: 无法写入：%2").arg(file.fileName(), file.errorString()));
    }

    QString picture(const char *table, int id, const QByteArray &bytes) {
        const QString name = QStringLiteral("pictures/%1_%2.jpg").arg(QString::fromLatin1(table)).arg(id);
        writeFile(name, bytes);
        return name;
    }

    QString questionText(const BankQuestion &q) {
        QString out = QStringLiteral("\n[kjks_tigan %1]\n").arg(q.id);
        out += FormatValue(QStringLiteral("tixing"), q.tixing);
        if (!q.zongtimian.isEmpty()) out += FormatValue(QStringLiteral("zongtimian"), q.zongtimian);
        if (q.zhang != 0 || q.zongtimian.isEmpty())
            out += FormatValue(QStringLiteral("zhang"), QString::number(q.zhang));
        if (q.jie != 0 || q.zongtimian.isEmpty()) out += FormatValue(QStringLiteral("jie"), QString::number(q.jie));
        optionalText(out, "shijuan", q.shijuan);
        if (q.flag_state != 0) out += FormatValue(QStringLiteral("flag_state"), QString::number(q.flag_state));
        out += encodedText("timian", q.timian, q.stored, true);
        if (!q.tmimage.isEmpty()) out += FormatValue(QStringLiteral("tmimage"), picture("tigan", q.id, q.tmimage));
        optionalText(out, "timian2", q.timian2);
        for (size_t i = 0; i < q.options.size(); ++i) {
            const BankOption &o = q.options[i];
            const QString column = o.withdrawn ? QStringLiteral("option_withdrawn") : QStringLiteral("option");
            const auto kept = q.stored.find(StoredOptionKey(int(i)));
            if (kept == q.stored.end())
                out += FormatValue(column, o.text);
            else
                out += QString::fromUtf8(kKeptNote) + FormatValue(column + QStringLiteral("_stored"), kept->second);
        }
        out += FormatValue(QStringLiteral("daan"), q.daan);
        out += encodedText("jiexi", q.jiexi, q.stored, false);
        progress(out, q.progress);
        return out;
    }

    QString stemText(const BankStem &s) {
        QString out = QStringLiteral("\n[zongtigan %1]\n").arg(s.id);
        out += FormatValue(QStringLiteral("zhang"), QString::number(s.zhang));
        out += FormatValue(QStringLiteral("jie"), QString::number(s.jie));
        optionalText(out, "shijuan", s.shijuan);
        if (s.flag_state != 0) out += FormatValue(QStringLiteral("flag_state"), QString::number(s.flag_state));
        out += encodedText("zongtimian", s.zongtimian, s.stored, true);
        if (!s.tmimage.isEmpty()) out += FormatValue(QStringLiteral("tmimage"), picture("zongtigan", s.id, s.tmimage));
        optionalText(out, "timian2", s.timian2);
        out += FormatValue(QStringLiteral("daan"), s.daan);
        out += encodedText("jiexi", s.jiexi, s.stored, false);
        progress(out, s.progress);
        return out;
    }

    // A fresh build adds the scratch row (sjID 0, xth 200, empty answer) by itself as item 1; anything
    // else in the paper tables has to be written out.
    static bool needsPapers(const std::vector<BankPaper> &papers, const std::vector<BankPaperItem> &items) {
        if (!papers.empty()) return true;
        if (items.size() != 1) return !items.empty();
        const BankPaperItem &i = items.front();
        const bool pristine = i.id == 1 && i.sjID == 0 && i.xth == 200 && i.tigan_id == 0 && !i.hasDefen &&
                              i.KSDA.isEmpty() && !i.KSDA.isNull() && i.tixing.isNull() && i.daan.isNull() &&
                              i.kaolv.isNull();
        return !pristine;
    }

    static QString papersText(const std::vector<BankPaper> &papers, const std::vector<BankPaperItem> &items) {
        QString out = QStringLiteral("# 已保存的模拟试卷及其题目。\n");
        for (const BankPaper &p : papers) {
            out += QStringLiteral("\n[kjks_SJML %1]\n").arg(p.sjID);
            if (!p.DTKSSJ.isEmpty()) out += FormatValue(QStringLiteral("DTKSSJ"), p.DTKSSJ);
            if (!p.JJSJ.isEmpty()) out += FormatValue(QStringLiteral("JJSJ"), p.JJSJ);
            for (const char *name : {"DEFEN", "DanDeFen", "DuoDeFen", "PanDeFen", "AnLiDeFen"}) {
                const auto it = p.scores.find(QString::fromLatin1(name));
                if (it != p.scores.end()) out += FormatValue(QString::fromLatin1(name), number(it->second));
            }
            if (p.flag_state != 0) out += FormatValue(QStringLiteral("flag_state"), QString::number(p.flag_state));
        }
        for (const BankPaperItem &i : items) {
            if (i.id <= 0) throw KjksError(QStringLiteral("没有编号的试卷题目不能写进题库源文件"));
            out += QStringLiteral("\n[shijuan %1]\n").arg(i.id);
            out += FormatValue(QStringLiteral("sjID"), QString::number(i.sjID));
            out += FormatValue(QStringLiteral("xth"), QString::number(i.xth));
            optionalText(out, "tixing", i.tixing);
            if (i.tigan_id != 0) out += FormatValue(QStringLiteral("tigan_id"), QString::number(i.tigan_id));
            optionalText(out, "daan", i.daan);
            optionalText(out, "KSDA", i.KSDA);
            if (i.hasDefen) out += FormatValue(QStringLiteral("defen"), number(i.defen));
            optionalText(out, "kaolv", i.kaolv);
        }
        return out;
    }

    void writeFile(const QString &name, const QString &text) { writeFile(name, text.toUtf8()); }
    void writeFile(const QString &name, const QByteArray &bytes) {
        const QString path = QDir(m_dir).filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
            throw ExportWriteError(QStringLiteral("%1: 无法写入：%2").arg(path, f.errorString()));
    }

    QString m_dir;
    std::function<QSet<int>()> m_stemIds;
    BankModel m_head;
    QSet<int> m_stems;
    bool m_stemsKnown = false;
    QTemporaryFile m_spool;
    std::vector<Spooled> m_spooled;
    bool m_spoolSorted = false;
    std::map<QString, ChapterFile> m_files; // questions/chNN, open while rows come
    qint64 m_fileLimit;
    qint64 m_questions = 0;
    qint64 m_stemCount = 0;
};

} // namespace

namespace {

// Writes into a new folder beside OUT_DIR, renamed to it at the end: a failed export leaves nothing behind.
template <typename Fill> void exportInto(const QString &outDir, Fill fill) {
    const QFileInfo target(outDir);
    if (target.exists()) {
        if (!target.isDir()) throw KjksError(QStringLiteral("%1: 已存在，且不是文件夹").arg(outDir));
        if (!QDir(outDir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
            throw KjksError(QStringLiteral("%1: 文件夹不是空的：导出到一个新的或空的文件夹").arg(outDir));
    }
    const QString parent = target.absolutePath();
    if (!QFileInfo(parent).isDir())
        throw WriteFailureError(WriteFailureMessage(WriteFailureCause::MissingFolder, target.absoluteFilePath(),
                                                    ProbeWriteFolder(parent), QString()));

    RemoveLeftoverParts(target.absoluteFilePath());
    QTemporaryDir temp(parent + QStringLiteral("/.") + target.fileName() + QStringLiteral(".partial-XXXXXX"));
    if (!temp.isValid()) {
        ThrowIfWriteFailure(target.absoluteFilePath(), KjksError(temp.errorString()));
        throw KjksError(QStringLiteral("%1: 无法创建文件夹：%2").arg(parent, temp.errorString()));
    }
    const PartInUse inUse(temp.path());
    try {
        fill(temp.path());
    } catch (const ExportWriteError &) {
        // Told while the unfinished export still takes its room: a full disk shows as full.
        RethrowTellingCause(target.absoluteFilePath(), [&] { temp.remove(); });
    }
    QFile::setPermissions(temp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    if (target.exists()) QDir().rmdir(outDir);
    if (!QDir().rename(temp.path(), target.absoluteFilePath()))
        throw KjksError(QStringLiteral("%1: 无法把导出的文件夹移到这里").arg(outDir));
    temp.setAutoRemove(false);
}

} // namespace

void ExportBankSource(const BankModel &model, const QString &outDir, qint64 fileLimit) {
    exportInto(outDir, [&](const QString &dir) {
        Exporter exporter(
            dir,
            [&] {
                QSet<int> ids;
                for (const BankStem &s : model.stems)
                    ids.insert(s.id);
                return ids;
            },
            fileLimit);
        exporter.head(model);
        for (const BankQuestion &q : model.questions)
            exporter.question(BankQuestion(q));
        for (const BankStem &s : model.stems)
            exporter.stem(BankStem(s));
        exporter.finish(model.papers, model.paperItems);
    });
}

ExportCounts ExportBank(const QString &bankPath, const QString &outDir, std::vector<BankProblem> *undecodable,
                        qint64 fileLimit) {
    SqlDatabase db;
    try {
        db.open(bankPath, QString::fromLatin1(kBankPassword));
    } catch (const KjksError &e) {
        throw KjksError(QStringLiteral("%1: 无法打开题库：%2").arg(bankPath, e.message()));
    }
    ExportCounts counts;
    exportInto(outDir, [&](const QString &dir) {
        // The case ids are read when the first question is: a bank without its tables fails on them first.
        Exporter exporter(
            dir,
            [&] {
                QSet<int> ids;
                for (const auto &row : db.select(QStringLiteral("select ID from zongtigan")))
                    ids.insert(row[0].isNull() ? 0 : int(row[0].toLongLong()));
                return ids;
            },
            fileLimit);
        const BankModel rest = ReadBankRows(db, undecodable, exporter);
        exporter.finish(rest.papers, rest.paperItems);
        counts = {exporter.questions(), exporter.stems()};
    });
    return counts;
}
