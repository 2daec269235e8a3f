#include "BankSource.h"

#include "BankRules.h"
#include "BankSourceSyntax.h"
#include "BankWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <limits>
#include <tuple>
#include <unordered_map>

using namespace banksource;

namespace {

// Past this many, the message stops listing; the count still tells how many there were.
constexpr int kListedProblems = 200;

struct ValueLine {
    QString column; // canonical name
    QString value;
    int line = 0;
    bool escaped = false;
};

struct Record {
    const Table *table = nullptr;
    QString key; // canonical: integer as decimal, option name upper-case, chapter code as written
    QString file;
    int line = 0;
    std::vector<ValueLine> values;
    bool discard = false; // its header was refused: its lines are still checked, the row is not kept
};

// Where a row's pieces were written, to put the rules' findings at the author's line.
struct Location {
    QString file;
    int header = 0;
    std::map<QString, int> columns;
    std::vector<int> options;
};

QString joinProblems(const QStringList &problems) {
    QStringList shown = problems.mid(0, kListedProblems);
    if (problems.size() > kListedProblems)
        shown << QStringLiteral("……另有 %1 个问题").arg(problems.size() - kListedProblems);
    return shown.join(QLatin1Char('\n'));
}

QString controlProblem(QStringView text, qsizetype at) {
    return QStringLiteral("值中有控制字符 %1：删去它；换行、制表符写成转义形式 column:: \"……\\n……\"")
        .arg(CodePointName(text[at].unicode()));
}

QString tooLong() {
    return QStringLiteral("值超过 %1 个字符的上限：把它缩短，或分成几道题").arg(kMaxTextChars);
}

bool parseInt(const QString &text, int *out) {
    bool ok = false;
    const qlonglong v = TrimBlanks(text).toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    *out = int(v);
    return true;
}

} // namespace

BankSourceError::BankSourceError(const QStringList &problems, int errors)
    : KjksError(joinProblems(problems)), m_problems(problems), m_errors(errors < 0 ? int(problems.size()) : errors) {}

QString SourceWarningPrefix() {
    return QStringLiteral("警告：");
}

struct Problem {
    int file = -1; // order in which the file was read; -1 for problems of no file
    int line = 0;
    QString text;
    int rank = 0; // a rule's place among its row's rules (BankProblem::rank); the source's own mistakes 0
    bool warning = false;
};

// Where a question or case was written: enough to place the rules that wait for the whole source.
struct RowPlace {
    int file = 0;
    int header = 0;
    int zhang = 0;      // 0: not written
    int zongtimian = 0; // a question's case, a case's material
    int daan = 0;
    int timian = 0;
};

struct BankSourceReader::State {
    QDir dir;
    std::vector<Problem> problems;
    std::vector<Problem> warnings;
    bool strict = false; // what the program copes with is refused too
    std::map<QString, int> fileOrder;
    std::vector<QString> fileNames; // by order
    // The small tables, and the questions and cases when no one takes them row by row.
    BankModel model;
    BankRowVisitor *rows = nullptr;
    std::vector<BankProblem> ruleProblems;
    BankRuleChecker rules{ruleProblems, false};
    // Rows of the small tables, where each column was written.
    std::map<std::pair<QString, QString>, Location> locations; // (table, key)
    // Questions and cases, compactly: a large source has a million of them.
    std::unordered_map<int, RowPlace> questionPlaces, stemPlaces;
    std::vector<int> stemsWithoutAnswer; // their answer follows from their sub-questions
    qint64 questionCount = 0, stemCount = 0;

    std::unique_ptr<Record> record; // the record being read; null outside one or after a bad header
    bool skipping = false;          // inside a record whose header was wrong: its lines are not read
    bool valueOpen = false;         // the last value line may be continued
    bool escapedLast = false;       // the last value line was an escaped value: nothing continues it
    bool valueBad = false;          // the last value line was wrong: its continuation lines say nothing new

    int fileIndex(const QString &file) {
        const auto [it, added] = fileOrder.emplace(file, int(fileOrder.size()));
        if (added) fileNames.push_back(file);
        return it->second;
    }
    void problem(const QString &file, int line, const QString &what, bool warning = false, int rank = 0) {
        const int order = fileIndex(file);
        keep(Problem{order, line, QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(what), rank, warning});
    }
    void keep(Problem &&p) {
        p.warning = p.warning && !strict;
        (p.warning ? warnings : problems).push_back(std::move(p));
    }
    // The rules' findings so far, each at its author's line.
    void placeRuleProblems(const Location *current, const QString &currentTable, const QString &currentKey);

    void readLine(const QString &file, int number, QStringView line);
    void startRecord(const QString &file, int number, QStringView line);
    void closeRecord();
    void addColumn(const QString &file, int number, QStringView line);

    bool integerValue(const Record &r, const ValueLine &v, int *out) {
        if (parseInt(v.value, out)) return true;
        problem(r.file, v.line, QStringLiteral("%1: “%2”不是整数").arg(v.column, v.value));
        return false;
    }
    QByteArray picture(const Record &r, const ValueLine &v);
    void storedText(const Record &r, const ValueLine &v, StoredTexts *stored);
    void keepQuestion(BankQuestion &&q, const Location &loc);
    void keepStem(BankStem &&s, const Location &loc, bool answerGiven);
    void closeQuestion(const Record &r);
    void closeStem(const Record &r);
    void closePaper(const Record &r);
    void closePaperItem(const Record &r);
};

void BankSourceReader::State::readLine(const QString &file, int number, QStringView line) {
    const QStringView trimmed = TrimBlanks(line);
    if (trimmed.isEmpty() || trimmed.front() == QLatin1Char('#')) return; // blank or comment
    if (IsBlank(line.front())) {
        if (skipping || valueBad) return;
        if (escapedLast) {
            problem(file, number, QStringLiteral("转义形式的值不能在下一行接着写：在引号里用 \\n 表示换行"));
            return;
        }
        if (!record || !valueOpen) {
            problem(file, number,
                    QStringLiteral("以空格或制表符开头的行是上一个值的续行，但前面没有值：删去行首的空白"));
            return;
        }
        const qsizetype control = FirstControlCharacter(trimmed);
        if (control >= 0) {
            problem(file, number, controlProblem(trimmed, control));
            valueBad = true;
            return;
        }
        ValueLine &v = record->values.back();
        if (v.value.size() + 1 + trimmed.size() > kMaxTextChars) {
            problem(file, number, tooLong());
            valueBad = true;
            return;
        }
        v.value += QLatin1Char('\n');
        v.value += trimmed;
        return;
    }
    valueOpen = false;
    valueBad = false;
    escapedLast = false;
    if (line.front() == QLatin1Char('[')) {
        startRecord(file, number, trimmed);
        return;
    }
    if (skipping) return;
    const int before = int(problems.size());
    addColumn(file, number, line);
    valueBad = int(problems.size()) > before;
}

void BankSourceReader::State::startRecord(const QString &file, int number, QStringView line) {
    closeRecord();
    skipping = true;
    if (line.back() != QLatin1Char(']')) {
        problem(file, number, QStringLiteral("记录头写作 [表名 编号]，例如 [kjks_tigan 1001]"));
        return;
    }
    const QStringView inner = TrimBlanks(line.mid(1, line.size() - 2));
    qsizetype gap = 0;
    while (gap < inner.size() && !IsBlank(inner[gap]))
        ++gap;
    const QStringView tableName = inner.left(gap);
    const QStringView key = TrimBlanks(inner.mid(gap));
    if (tableName.isEmpty() || key.isEmpty()) {
        problem(file, number, QStringLiteral("记录头写作 [表名 编号]，例如 [kjks_tigan 1001]"));
        return;
    }
    const Table *table = FindTable(tableName);
    if (!table) {
        QStringList names;
        for (const Table &t : Tables())
            names << t.name;
        problem(
            file, number,
            QStringLiteral("没有“%1”这个表（可用：%2）").arg(tableName.toString(), names.join(QStringLiteral("、"))));
        return;
    }
    // From here the table is known: a refused key leaves a record whose lines are checked all the
    // same, so that one run names every mistake.
    const auto discarded = [&] {
        record = std::make_unique<Record>();
        record->table = table;
        record->file = file;
        record->line = number;
        record->discard = true;
        skipping = false;
    };
    QString canonical;
    switch (table->key) {
    case KeyKind::Integer: {
        int id = 0;
        if (!parseInt(key.toString(), &id) || id <= 0) {
            problem(file, number,
                    QStringLiteral("%1 的编号是大于 0 的整数，不能是“%2”").arg(table->name, key.toString()));
            discarded();
            return;
        }
        canonical = QString::number(id);
        break;
    }
    case KeyKind::Name:
        for (QChar c : key)
            if (IsBlank(c) || IsControlCharacter(c)) {
                problem(file, number, QStringLiteral("选项名是一个词，不能是“%1”").arg(key.toString()));
                discarded();
                return;
            }
        canonical = key.toString().toUpper();
        break;
    case KeyKind::ChapterCode: {
        bool digits = true;
        for (QChar c : key)
            digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!digits || (key.size() != 2 && key.size() != 4 && key.size() != 6)) {
            problem(file, number, QStringLiteral("章节代码是 2、4 或 6 位数字，不能是“%1”").arg(key.toString()));
            discarded();
            return;
        }
        canonical = key.toString();
        break;
    }
    }
    const auto where = std::make_pair(table->name, canonical);
    const bool question = table->name == QLatin1String("kjks_tigan");
    if (question || table->name == QLatin1String("zongtigan")) {
        auto &places = question ? questionPlaces : stemPlaces;
        const auto [first, added] = places.emplace(canonical.toInt(), RowPlace{fileIndex(file), number});
        if (!added) {
            problem(file, number,
                    QStringLiteral("[%1 %2] 重复了，第一次写在 %3:%4：给它换一个编号")
                        .arg(table->name, canonical, fileNames[size_t(first->second.file)])
                        .arg(first->second.header));
            discarded();
            return;
        }
    } else {
        const auto first = locations.find(where);
        if (first != locations.end()) {
            problem(file, number,
                    QStringLiteral("[%1 %2] 重复了，第一次写在 %3:%4：给它换一个编号")
                        .arg(table->name, canonical, first->second.file)
                        .arg(first->second.header));
            discarded();
            return;
        }
        Location &loc = locations[where];
        loc.file = file;
        loc.header = number;
    }
    record = std::make_unique<Record>();
    record->table = table;
    record->key = canonical;
    record->file = file;
    record->line = number;
    skipping = false;
}

void BankSourceReader::State::addColumn(const QString &file, int number, QStringView line) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        const bool fullWidth = line.contains(QChar(0xFF1A));
        problem(file, number,
                fullWidth ? QStringLiteral("列名后面用英文冒号“:”，不是中文冒号“：”")
                          : QStringLiteral("这一行应当是 [表名 编号] 或 列名: 值"));
        return;
    }
    const QStringView name = TrimBlanks(line.left(colon));
    bool identifier = !name.isEmpty();
    for (QChar c : name)
        identifier = identifier && (c == QLatin1Char('_') || (c.unicode() < 128 && c.isLetterOrNumber()));
    if (!identifier) {
        problem(file, number, QStringLiteral("这一行应当是 [表名 编号] 或 列名: 值"));
        return;
    }
    if (!record) {
        problem(file, number, QStringLiteral("“%1:”前面没有 [表名 编号] 记录头").arg(name.toString()));
        return;
    }
    const Column *column = FindColumn(*record->table, name);
    if (!column) {
        problem(file, number, QStringLiteral("%2 没有“%1”这一列").arg(name.toString(), record->table->name));
        return;
    }
    if (!column->repeatable)
        for (const ValueLine &v : record->values)
            if (v.column == column->name) {
                problem(file, number, QStringLiteral("%1 写了两次（第一次在第 %2 行）").arg(column->name).arg(v.line));
                return;
            }
    QStringView rest = line.mid(colon + 1);
    ValueLine v;
    v.column = column->name;
    v.line = number;
    if (!rest.isEmpty() && rest.front() == QLatin1Char(':')) {
        QString error;
        if (!UnescapeValue(TrimBlanks(rest.mid(1)), &v.value, &error)) {
            problem(file, number, error);
            return;
        }
        if (v.value.size() > kMaxTextChars) {
            problem(file, number, tooLong());
            return;
        }
        v.escaped = true;
        escapedLast = true;
    } else {
        rest = TrimBlanks(rest);
        const qsizetype control = FirstControlCharacter(rest);
        if (control >= 0) {
            problem(file, number, controlProblem(rest, control));
            return;
        }
        if (rest.size() > kMaxTextChars) {
            problem(file, number, tooLong());
            return;
        }
        v.value = rest.isEmpty() ? EmptyText() : rest.toString();
        valueOpen = true;
    }
    record->values.push_back(std::move(v));
}

QByteArray BankSourceReader::State::picture(const Record &r, const ValueLine &v) {
    if (v.value.isEmpty()) return QByteArray();
    // Only a regular file inside the folder: the folder may come from anyone, and a link or a path
    // leading out of it would copy any file of this machine into the bank.
    QByteArray bytes;
    QString why;
    if (!ReadFileInsideFolder(dir.path(), v.value, kMaxPictureBytes, &bytes, &why))
        problem(r.file, v.line, QStringLiteral("图片“%1”：%2").arg(v.value, why));
    else if (bytes.isEmpty())
        problem(r.file, v.line, QStringLiteral("图片“%1”是空文件").arg(v.value));
    return bytes;
}

void BankSourceReader::State::storedText(const Record &r, const ValueLine &v, StoredTexts *stored) {
    const QString column = v.column.left(v.column.size() - int(qstrlen("_stored")));
    for (const ValueLine &other : r.values)
        if (other.column == column) {
            problem(r.file, v.line,
                    QStringLiteral("%1 既写了文字（第 %2 行）又写了存储形式：只保留一种").arg(column).arg(other.line));
            return;
        }
    (*stored)[column] = v.value.isNull() ? EmptyText() : v.value;
}

void BankSourceReader::State::placeRuleProblems(const Location *current, const QString &currentTable,
                                                const QString &currentKey) {
    for (const BankProblem &p : ruleProblems) {
        const Location *loc = nullptr;
        int line = 0, file = -1;
        if (current && p.table == currentTable && p.key == currentKey) {
            loc = current;
        } else if (p.table == QLatin1String("kjks_tigan") || p.table == QLatin1String("zongtigan")) {
            auto &places = p.table == QLatin1String("kjks_tigan") ? questionPlaces : stemPlaces;
            const auto it = places.find(p.key.toInt());
            if (it != places.end()) {
                const RowPlace &place = it->second;
                file = place.file;
                line = p.column == QLatin1String("zhang")        ? place.zhang
                       : p.column == QLatin1String("zongtimian") ? place.zongtimian
                       : p.column == QLatin1String("daan")       ? place.daan
                       : p.column == QLatin1String("timian")     ? place.timian
                                                                 : 0;
                if (line == 0) line = place.header;
            }
        } else {
            const auto it = locations.find({p.table, p.key});
            if (it != locations.end()) loc = &it->second;
        }
        if (loc) {
            file = fileIndex(loc->file);
            line = loc->header;
            if (p.column == QLatin1String("option") && p.option >= 0 && p.option < int(loc->options.size())) {
                line = loc->options[size_t(p.option)];
            } else if (!p.column.isEmpty()) {
                const auto c = loc->columns.find(p.column);
                if (c != loc->columns.end()) line = c->second;
            }
        }
        if (file < 0) {
            keep(Problem{-1, 0, ProblemText(p), p.rank, !p.unusable});
            continue;
        }
        QString message = p.message;
        if (p.sameAs > 0) { // a duplicate names where the first was written
            const auto &places = p.table == QLatin1String("zongtigan") ? stemPlaces : questionPlaces;
            const auto first = places.find(p.sameAs);
            if (first != places.end())
                message += QStringLiteral("（%1 写在 %2:%3）")
                               .arg(p.sameAs)
                               .arg(fileNames[size_t(first->second.file)])
                               .arg(first->second.header);
        }
        problem(fileNames[size_t(file)], line, message, !p.unusable, p.rank);
    }
    ruleProblems.clear();
}

void BankSourceReader::State::keepQuestion(BankQuestion &&q, const Location &loc) {
    ++questionCount;
    RowPlace &place = questionPlaces[q.id];
    auto columnLine = [&](const char *column) {
        const auto it = loc.columns.find(QString::fromLatin1(column));
        return it == loc.columns.end() ? 0 : it->second;
    };
    place.zhang = columnLine("zhang");
    place.zongtimian = columnLine("zongtimian");
    place.timian = columnLine("timian");
    rules.question(q);
    placeRuleProblems(&loc, QStringLiteral("kjks_tigan"), QString::number(q.id));
    if (!rows)
        model.questions.push_back(std::move(q));
    else if (problems.empty()) // a faulty source is not written: its rows need not be
        rows->question(std::move(q));
}

void BankSourceReader::State::keepStem(BankStem &&s, const Location &loc, bool answerGiven) {
    ++stemCount;
    RowPlace &place = stemPlaces[s.id];
    auto columnLine = [&](const char *column) {
        const auto it = loc.columns.find(QString::fromLatin1(column));
        return it == loc.columns.end() ? 0 : it->second;
    };
    place.zhang = columnLine("zhang");
    place.zongtimian = columnLine("zongtimian");
    place.daan = columnLine("daan");
    if (!answerGiven) stemsWithoutAnswer.push_back(s.id);
    rules.stem(s, !answerGiven);
    placeRuleProblems(&loc, QStringLiteral("zongtigan"), QString::number(s.id));
    if (!rows)
        model.stems.push_back(std::move(s));
    else if (problems.empty())
        rows->stem(std::move(s));
}

void BankSourceReader::State::closeQuestion(const Record &r) {
    BankQuestion q;
    q.id = r.key.toInt();
    Location loc{r.file, r.line, {}, {}};
    for (const ValueLine &v : r.values) {
        const QString &c = v.column;
        loc.columns.emplace(c, v.line);
        int n = 0;
        if (c == QLatin1String("tixing"))
            q.tixing = v.value;
        else if (c == QLatin1String("timian"))
            q.timian = v.value;
        else if (c == QLatin1String("option") || c == QLatin1String("option_withdrawn")) {
            q.options.push_back(BankOption{v.value, c == QLatin1String("option_withdrawn")});
            loc.options.push_back(v.line);
        } else if (c == QLatin1String("option_stored") || c == QLatin1String("option_withdrawn_stored")) {
            q.stored[StoredOptionKey(int(q.options.size()))] = v.value.isNull() ? EmptyText() : v.value;
            q.options.push_back(BankOption{QString(), c == QLatin1String("option_withdrawn_stored")});
            loc.options.push_back(v.line);
        } else if (c == QLatin1String("timian_stored") || c == QLatin1String("jiexi_stored")) {
            storedText(r, v, &q.stored);
        } else if (c == QLatin1String("daan"))
            q.daan = v.value;
        else if (c == QLatin1String("jiexi"))
            q.jiexi = v.value;
        else if (c == QLatin1String("zhang")) {
            if (integerValue(r, v, &n)) q.zhang = n;
        } else if (c == QLatin1String("jie")) {
            if (integerValue(r, v, &n)) q.jie = n;
        } else if (c == QLatin1String("tmimage"))
            q.tmimage = picture(r, v);
        else if (c == QLatin1String("timian2"))
            q.timian2 = v.value;
        else if (c == QLatin1String("zongtimian")) {
            if (integerValue(r, v, &n)) q.zongtimian = QString::number(n);
        } else if (c == QLatin1String("shijuan"))
            q.shijuan = v.value;
        else if (c == QLatin1String("flag_state")) {
            if (integerValue(r, v, &n)) q.flag_state = n;
        } else if (c == QLatin1String("YDCS"))
            q.progress.YDCS = v.value;
        else if (c == QLatin1String("DDCS"))
            q.progress.DDCS = v.value;
        else if (c == QLatin1String("shoucang"))
            q.progress.shoucang = v.value;
        else if (c == QLatin1String("ZQCS")) {
            if (integerValue(r, v, &n)) q.progress.ZQCS = n;
        } else if (c == QLatin1String("ZONGCS")) {
            if (integerValue(r, v, &n)) q.progress.ZONGCS = n;
        }
    }
    keepQuestion(std::move(q), loc);
}

void BankSourceReader::State::closeStem(const Record &r) {
    BankStem s;
    s.id = r.key.toInt();
    Location loc{r.file, r.line, {}, {}};
    bool answerGiven = false;
    for (const ValueLine &v : r.values) {
        const QString &c = v.column;
        loc.columns.emplace(c, v.line);
        int n = 0;
        if (c == QLatin1String("zongtimian"))
            s.zongtimian = v.value;
        else if (c == QLatin1String("jiexi"))
            s.jiexi = v.value;
        else if (c == QLatin1String("zongtimian_stored") || c == QLatin1String("jiexi_stored"))
            storedText(r, v, &s.stored);
        else if (c == QLatin1String("daan")) {
            s.daan = v.value;
            answerGiven = true;
        } else if (c == QLatin1String("zhang")) {
            if (integerValue(r, v, &n)) s.zhang = n;
        } else if (c == QLatin1String("jie")) {
            if (integerValue(r, v, &n)) s.jie = n;
        } else if (c == QLatin1String("tmimage"))
            s.tmimage = picture(r, v);
        else if (c == QLatin1String("timian2"))
            s.timian2 = v.value;
        else if (c == QLatin1String("shijuan"))
            s.shijuan = v.value;
        else if (c == QLatin1String("flag_state")) {
            if (integerValue(r, v, &n)) s.flag_state = n;
        } else if (c == QLatin1String("YDCS"))
            s.progress.YDCS = v.value;
        else if (c == QLatin1String("DDCS"))
            s.progress.DDCS = v.value;
        else if (c == QLatin1String("shoucang"))
            s.progress.shoucang = v.value;
        else if (c == QLatin1String("ZQCS")) {
            if (integerValue(r, v, &n)) s.progress.ZQCS = n;
        } else if (c == QLatin1String("ZONGCS")) {
            if (integerValue(r, v, &n)) s.progress.ZONGCS = n;
        }
    }
    keepStem(std::move(s), loc, answerGiven);
}

void BankSourceReader::State::closePaper(const Record &r) {
    BankPaper p;
    p.sjID = r.key.toInt();
    Location &loc = locations[{r.table->name, r.key}];
    for (const ValueLine &v : r.values) {
        loc.columns.emplace(v.column, v.line);
        int n = 0;
        if (v.column == QLatin1String("DTKSSJ"))
            p.DTKSSJ = v.value;
        else if (v.column == QLatin1String("JJSJ"))
            p.JJSJ = v.value;
        else if (v.column == QLatin1String("flag_state")) {
            if (integerValue(r, v, &n)) p.flag_state = n;
        } else {
            bool ok = false;
            const double d = TrimBlanks(v.value).toDouble(&ok);
            if (ok && std::isfinite(d))
                p.scores[v.column] = d;
            else
                problem(r.file, v.line, QStringLiteral("%1: “%2”不是数字").arg(v.column, v.value));
        }
    }
    model.papers.push_back(std::move(p));
}

void BankSourceReader::State::closePaperItem(const Record &r) {
    BankPaperItem i;
    i.id = r.key.toInt();
    Location &loc = locations[{r.table->name, r.key}];
    for (const ValueLine &v : r.values) {
        loc.columns.emplace(v.column, v.line);
        int n = 0;
        if (v.column == QLatin1String("sjID")) {
            if (integerValue(r, v, &n)) i.sjID = n;
        } else if (v.column == QLatin1String("xth")) {
            if (integerValue(r, v, &n)) i.xth = n;
        } else if (v.column == QLatin1String("tigan_id")) {
            if (integerValue(r, v, &n)) i.tigan_id = n;
        } else if (v.column == QLatin1String("tixing"))
            i.tixing = v.value;
        else if (v.column == QLatin1String("daan"))
            i.daan = v.value;
        else if (v.column == QLatin1String("KSDA"))
            i.KSDA = v.value;
        else if (v.column == QLatin1String("kaolv"))
            i.kaolv = v.value;
        else if (v.column == QLatin1String("defen")) {
            bool ok = false;
            const double d = TrimBlanks(v.value).toDouble(&ok);
            if (ok && std::isfinite(d)) {
                i.hasDefen = true;
                i.defen = d;
            } else {
                problem(r.file, v.line, QStringLiteral("defen: “%1”不是数字").arg(v.value));
            }
        }
    }
    model.paperItems.push_back(std::move(i));
}

void BankSourceReader::State::closeRecord() {
    valueOpen = false;
    escapedLast = false;
    if (!record) return;
    const std::unique_ptr<Record> r = std::move(record);
    if (r->discard) return;
    const QString &t = r->table->name;
    if (t == QLatin1String("kjks_tigan")) {
        closeQuestion(*r);
    } else if (t == QLatin1String("zongtigan")) {
        closeStem(*r);
    } else if (t == QLatin1String("kjks_SJML")) {
        closePaper(*r);
    } else if (t == QLatin1String("shijuan")) {
        closePaperItem(*r);
    } else {
        Location &loc = locations[{t, r->key}];
        std::map<QString, QString> columns;
        for (const ValueLine &v : r->values) {
            loc.columns.emplace(v.column, v.line);
            QString value = v.value;
            const Column *column = FindColumn(*r->table, v.column);
            int n = 0;
            if (column->kind == ValueKind::Integer) {
                if (!integerValue(*r, v, &n)) continue;
                value = QString::number(n);
            }
            columns[v.column] = value;
        }
        if (t == QLatin1String("sys_option")) {
            model.options[r->key] =
                columns.count(QStringLiteral("option_value")) ? columns[QStringLiteral("option_value")] : EmptyText();
        } else if (t == QLatin1String("kjks_zhangjie")) {
            model.chapters.push_back(BankChapter{r->key, columns[QStringLiteral("mc")]});
        } else if (t == QLatin1String("kjks_type")) {
            model.profiles.push_back(BankProfile{r->key.toInt(), columns});
        }
    }
}

BankSourceReader::BankSourceReader(const QString &sourceDir, BankRowVisitor *rows) : d(std::make_unique<State>()) {
    d->dir = QDir(sourceDir);
    d->rows = rows;
}

BankSourceReader::~BankSourceReader() = default;

void BankSourceReader::addProblem(const QString &problem) {
    d->problems.push_back(Problem{-1, 0, problem});
}

void BankSourceReader::addFileProblem(const QString &label, const QString &problem) {
    d->problems.push_back(Problem{d->fileIndex(label), 0, QStringLiteral("%1: %2").arg(label, problem)});
}

void BankSourceReader::setStrict(bool strict) {
    d->strict = strict;
}

namespace {

// Calls `line(number, bytes)` for every line of `bytes` (without its line end) until it returns false.
template <typename F> void forEachLine(QByteArrayView rest, F line) {
    int number = 0;
    while (!rest.isEmpty() || number == 0) {
        ++number;
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView text = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (text.endsWith('\r')) text.chop(1);
        if (!line(number, text) || end < 0) return;
    }
}

// A line longer than this holds a value past its limit whatever its characters (UTF-8 takes at
// most four bytes for one): it is refused before it is decoded.
constexpr qsizetype kMaxLineBytes = qsizetype(4) * kMaxTextChars + 64;

} // namespace

void BankSourceReader::addFile(const QString &label, const QByteArray &bytes) {
    d->fileIndex(label);
    d->closeRecord();
    d->skipping = false;
    QByteArrayView all(bytes);
    if (all.startsWith("\xEF\xBB\xBF")) all = all.sliced(3); // a byte-order mark some editors write

    // A file saved in another encoding (GBK, as Chinese Windows saves by default) gets one message,
    // not one for every line.
    int firstBad = 0;
    forEachLine(all, [&](int number, QByteArrayView line) {
        if (line.size() > kMaxLineBytes) return true;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = decoder.decode(line); // decodes only when made a QString
        if (decoder.hasError()) firstBad = number;
        return !decoder.hasError();
    });
    if (firstBad > 0) {
        d->problem(label, firstBad,
                   QStringLiteral("文件不是 UTF-8 编码（从这一行起），请另存为 UTF-8：在记事本中“另存为”，编码选"
                                  "“UTF-8”"));
        return;
    }

    forEachLine(all, [&](int number, QByteArrayView line) {
        if (line.size() > kMaxLineBytes) {
            d->problem(label, number, tooLong());
            d->valueOpen = false;
            d->escapedLast = false;
            d->valueBad = true;
            return true;
        }
        const QString text = QString::fromUtf8(line);
        if (!text.isEmpty()) d->readLine(label, number, text);
        return true;
    });
    d->closeRecord();
    d->skipping = false;
}

BankModel BankSourceReader::finish() {
    d->closeRecord();
    BankModel &m = d->model;

    // Keys decide the order, never the files: option ids and every unordered read follow the ids.
    std::sort(m.chapters.begin(), m.chapters.end(),
              [](const BankChapter &a, const BankChapter &b) { return a.daima < b.daima; });
    std::sort(m.profiles.begin(), m.profiles.end(),
              [](const BankProfile &a, const BankProfile &b) { return a.id < b.id; });
    std::sort(m.questions.begin(), m.questions.end(),
              [](const BankQuestion &a, const BankQuestion &b) { return a.id < b.id; });
    std::sort(m.stems.begin(), m.stems.end(), [](const BankStem &a, const BankStem &b) { return a.id < b.id; });
    std::sort(m.papers.begin(), m.papers.end(), [](const BankPaper &a, const BankPaper &b) { return a.sjID < b.sjID; });
    std::sort(m.paperItems.begin(), m.paperItems.end(),
              [](const BankPaperItem &a, const BankPaperItem &b) { return a.id < b.id; });

    // The rules that need the whole source (the chapter tree first: every row's section is checked
    // against it), then the exam profile the program loads at start and draws papers by.
    d->rules.chapters(m.chapters);
    d->rules.finish(m.profiles, m.papers, m.paperItems);
    for (BankProblem &p : ExamProfileProblems(m, d->rules.tally()))
        d->ruleProblems.push_back(std::move(p));
    d->placeRuleProblems(nullptr, QString(), QString());

    // A stem's answer follows from its sub-questions; a written one must agree (the rules check it).
    const auto &subs = d->rules.subQuestions();
    m_stemAnswers.clear();
    for (int id : d->stemsWithoutAnswer) {
        const auto it = subs.find(id);
        m_stemAnswers.emplace_back(id, it == subs.end() ? EmptyText() : StemAnswerOf(it->second));
    }
    if (!d->rows) {
        std::sort(m_stemAnswers.begin(), m_stemAnswers.end());
        for (BankStem &s : m.stems) {
            const auto it =
                std::lower_bound(m_stemAnswers.begin(), m_stemAnswers.end(), std::make_pair(s.id, QString()));
            if (it != m_stemAnswers.end() && it->first == s.id) s.daan = it->second;
        }
    }
    m_questionCount = d->questionCount;
    m_stemCount = d->stemCount;

    // In reading order: file by file, line by line, as an author fixes them; a refused build lists
    // the warnings among the errors, so that one run shows everything.
    const auto inOrder = [](std::vector<Problem> &list) {
        std::stable_sort(list.begin(), list.end(), [](const Problem &a, const Problem &b) {
            return std::make_tuple(a.file, a.line, a.rank) < std::make_tuple(b.file, b.line, b.rank);
        });
    };
    inOrder(d->warnings);
    for (const Problem &p : d->warnings)
        m_warnings << p.text;
    if (d->problems.empty()) return m;
    const int errors = int(d->problems.size());
    d->problems.insert(d->problems.end(), d->warnings.begin(), d->warnings.end());
    inOrder(d->problems);
    QStringList all;
    for (const Problem &p : d->problems)
        all << (p.warning ? SourceWarningPrefix() + p.text : p.text);
    throw BankSourceError(all, errors);
}

namespace {

// Every *.txt of the folder in reading order, fed to `reader`.
void readSourceFolder(const QString &sourceDir, BankSourceReader &reader) {
    const QDir dir(sourceDir);
    if (!QFileInfo(sourceDir).isDir()) throw BankSourceError({QStringLiteral("%1: 没有这个文件夹").arg(sourceDir)});
    const QFileInfo bankTxt(dir.filePath(QStringLiteral("bank.txt")));
    if (!bankTxt.exists() && !bankTxt.isSymLink())
        throw BankSourceError(
            {QStringLiteral("%1: 缺少这个文件（显示选项、考试方案和章节目录写在里面）").arg(bankTxt.filePath())});

    // Every *.txt, also those that are no regular file (a pipe, a device, a link leading out): they
    // are named, never read.
    const auto filters = QDir::Files | QDir::System;
    QStringList files;
    files << QStringLiteral("bank.txt");
    for (const QString &f : dir.entryList({QStringLiteral("*.txt")}, filters, QDir::Name))
        if (f != QLatin1String("bank.txt")) files << f;
    const QDir questions(dir.filePath(QStringLiteral("questions")));
    if (QFileInfo(questions.path()).isDir())
        for (const QString &f : questions.entryList({QStringLiteral("*.txt")}, filters, QDir::Name))
            files << QStringLiteral("questions/") + f;

    for (const QString &f : files) {
        QByteArray bytes;
        QString why;
        if (!ReadFileInsideFolder(sourceDir, f, kMaxSourceFileBytes, &bytes, &why)) {
            reader.addFileProblem(dir.filePath(f), why);
            continue;
        }
        reader.addFile(dir.filePath(f), bytes);
    }
}

} // namespace

BankModel ReadBankSource(const QString &sourceDir, QStringList *warnings, bool strict) {
    BankSourceReader reader(sourceDir);
    reader.setStrict(strict);
    readSourceFolder(sourceDir, reader);
    BankModel model = reader.finish();
    if (warnings) *warnings = reader.warnings();
    return model;
}

namespace {

// Questions go into the new file as they are read (in the files' order: the options wait for
// theirs). A failure to write is told after the source's own mistakes, as when the source was read
// first and written after.
class SourceWriter : public BankRowVisitor {
public:
    explicit SourceWriter(const QString &path) : m_path(path) {}
    void guarded(const std::function<void(BankFileWriter &)> &write) {
        if (m_failure) return;
        try {
            if (!m_file) m_file = std::make_unique<BankFileWriter>(m_path, false);
            write(*m_file);
        } catch (const KjksError &) {
            m_failure = std::current_exception();
            m_file.reset();
        }
    }
    void question(BankQuestion &&q) override {
        guarded([&](BankFileWriter &f) { f.question(q); });
    }
    void stem(BankStem &&s) override {
        guarded([&](BankFileWriter &f) { f.stem(s); });
    }
    void rethrowFailure() const {
        if (m_failure) std::rethrow_exception(m_failure);
    }

private:
    QString m_path;
    std::unique_ptr<BankFileWriter> m_file;
    std::exception_ptr m_failure;
};

} // namespace

BuiltBank BuildBank(const QString &sourceDir, const QString &bankPath, QStringList *warnings, bool strict) {
    // The file replaces BANK only when the whole source is sound.
    SourceWriter writer(bankPath);
    BankSourceReader reader(sourceDir, &writer);
    reader.setStrict(strict);
    readSourceFolder(sourceDir, reader);
    const BankModel small = reader.finish();
    if (warnings) *warnings = reader.warnings();
    writer.guarded([&](BankFileWriter &f) {
        f.head(small);
        for (const auto &[id, daan] : reader.stemAnswers())
            f.stemAnswer(id, daan);
        f.papers(small.papers, small.paperItems);
        f.commit(small.addScratchRow);
    });
    writer.rethrowFailure();
    return BuiltBank{reader.questionCount(), reader.stemCount(), qint64(small.chapters.size())};
}
