#include "BankExport.h"

#include "BankRules.h"
#include "BankSourceSyntax.h"
#include "SqlError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <map>

using banksource::FormatValue;

namespace {

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

class Exporter {
public:
    Exporter(const BankModel &m, const QString &dir) : m_model(m), m_dir(dir) {}

    void run() {
        writeFile(QStringLiteral("bank.txt"), bankText());
        std::map<QString, QString> files; // questions/chNN.txt -> text
        const auto subs = SubQuestionsByStem(m_model);
        std::map<int, const BankStem *> stems;
        for (const BankStem &s : m_model.stems)
            stems[s.id] = &s;
        for (const BankQuestion &q : m_model.questions) {
            bool ok = false;
            const int stem = q.zongtimian.toInt(&ok);
            if (!q.zongtimian.isEmpty() && ok && stems.count(stem)) continue; // written after its stem
            QString &f = fileFor(files, q.zhang);
            f += questionText(q);
        }
        for (const BankStem &s : m_model.stems) {
            QString &f = fileFor(files, s.zhang);
            f += stemText(s);
            const auto it = subs.find(s.id);
            if (it != subs.end())
                for (const BankQuestion *q : it->second)
                    f += questionText(*q);
        }
        for (const auto &[name, text] : files)
            writeFile(name, text);
        if (needsPapers()) writeFile(QStringLiteral("papers.txt"), papersText());
    }

private:
    QString bankText() const {
        QString out = QStringLiteral("# 显示选项、考试方案与章节目录。\n");
        if (!m_model.options.empty()) out += QLatin1Char('\n');
        for (const auto &[name, value] : m_model.options) {
            for (QChar c : name)
                if (banksource::IsBlank(c) || c == QLatin1Char(']') || banksource::IsControlCharacter(c))
                    throw KjksError(QStringLiteral("选项名“%1”不能写进题库源文件").arg(name));
            if (name.isEmpty()) throw KjksError(QStringLiteral("有一个选项没有名字"));
            out += QStringLiteral("[sys_option %1]\n").arg(name) + FormatValue(QStringLiteral("option_value"), value) +
                   QLatin1Char('\n');
        }
        const banksource::Table *profileTable = banksource::FindTable(u"kjks_type");
        for (const BankProfile &p : m_model.profiles) {
            out += QStringLiteral("[kjks_type %1]\n").arg(p.id);
            for (const banksource::Column &c : profileTable->columns) {
                const auto it = p.columns.find(c.name);
                if (it != p.columns.end()) out += FormatValue(c.name, it->second);
            }
            for (const auto &[column, value] : p.columns)
                if (!banksource::FindColumn(*profileTable, column)) out += FormatValue(column, value);
            out += QLatin1Char('\n');
        }
        for (const BankChapter &c : m_model.chapters) {
            if (c.daima.size() <= 4) out += QLatin1Char('\n');
            out += QStringLiteral("[kjks_zhangjie %1]\n").arg(c.daima) + FormatValue(QStringLiteral("mc"), c.mc);
        }
        return out;
    }

    QString &fileFor(std::map<QString, QString> &files, int zhang) const {
        const bool numbered = zhang >= 0 && zhang <= 99;
        const QString name = numbered ? QStringLiteral("questions/ch%1.txt").arg(zhang, 2, 10, QLatin1Char('0'))
                                      : QStringLiteral("questions/other.txt");
        auto it = files.find(name);
        if (it == files.end()) {
            QString head;
            const QString code = numbered ? QStringLiteral("01%1").arg(zhang, 2, 10, QLatin1Char('0')) : QString();
            for (const BankChapter &c : m_model.chapters)
                if (c.daima == code && !c.mc.contains(QLatin1Char('\n')))
                    head = QStringLiteral("# ") + c.mc + QLatin1Char('\n');
            it = files.emplace(name, head).first;
        }
        return it->second;
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
    bool needsPapers() const {
        if (!m_model.papers.empty()) return true;
        if (m_model.paperItems.size() != 1) return !m_model.paperItems.empty();
        const BankPaperItem &i = m_model.paperItems.front();
        const bool pristine = i.id == 1 && i.sjID == 0 && i.xth == 200 && i.tigan_id == 0 && !i.hasDefen &&
                              i.KSDA.isEmpty() && !i.KSDA.isNull() && i.tixing.isNull() && i.daan.isNull() &&
                              i.kaolv.isNull();
        return !pristine;
    }

    QString papersText() const {
        QString out = QStringLiteral("# 已保存的模拟试卷及其题目。\n");
        for (const BankPaper &p : m_model.papers) {
            out += QStringLiteral("\n[kjks_SJML %1]\n").arg(p.sjID);
            if (!p.DTKSSJ.isEmpty()) out += FormatValue(QStringLiteral("DTKSSJ"), p.DTKSSJ);
            if (!p.JJSJ.isEmpty()) out += FormatValue(QStringLiteral("JJSJ"), p.JJSJ);
            for (const char *name : {"DEFEN", "DanDeFen", "DuoDeFen", "PanDeFen", "AnLiDeFen"}) {
                const auto it = p.scores.find(QString::fromLatin1(name));
                if (it != p.scores.end()) out += FormatValue(QString::fromLatin1(name), number(it->second));
            }
            if (p.flag_state != 0) out += FormatValue(QStringLiteral("flag_state"), QString::number(p.flag_state));
        }
        for (const BankPaperItem &i : m_model.paperItems) {
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
            throw KjksError(QStringLiteral("%1: 无法写入：%2").arg(path, f.errorString()));
    }

    const BankModel &m_model;
    QString m_dir;
};

} // namespace

void ExportBankSource(const BankModel &model, const QString &outDir) {
    const QFileInfo target(outDir);
    if (target.exists()) {
        if (!target.isDir()) throw KjksError(QStringLiteral("%1: 已存在，且不是文件夹").arg(outDir));
        if (!QDir(outDir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
            throw KjksError(QStringLiteral("%1: 文件夹不是空的：导出到一个新的或空的文件夹").arg(outDir));
    }
    const QString parent = target.absolutePath();
    if (!QFileInfo(parent).isDir()) throw KjksError(QStringLiteral("%1: 没有这个文件夹").arg(parent));

    // Written beside the target and renamed at the end: a failed export leaves nothing behind.
    QTemporaryDir temp(parent + QStringLiteral("/.") + target.fileName() + QStringLiteral(".partial-XXXXXX"));
    if (!temp.isValid()) throw KjksError(QStringLiteral("%1: 无法创建文件夹：%2").arg(parent, temp.errorString()));
    Exporter(model, temp.path()).run();
    QFile::setPermissions(temp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    if (target.exists()) QDir().rmdir(outDir);
    if (!QDir().rename(temp.path(), target.absoluteFilePath()))
        throw KjksError(QStringLiteral("%1: 无法把导出的文件夹移到这里").arg(outDir));
    temp.setAutoRemove(false);
}
