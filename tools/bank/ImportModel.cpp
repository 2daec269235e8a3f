#include "ImportModel.h"

#include "BankCheck.h"
#include "BankRules.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <tuple>

int ImportProblems::fileOrder(const QString &file) {
    if (file.isEmpty()) return std::numeric_limits<int>::max();
    return m_files.emplace(file, int(m_files.size())).first->second;
}

void ImportProblems::noteFile(const QString &file) {
    fileOrder(file);
}

void ImportProblems::add(const QString &file, int line, const QString &what) {
    m_problems.push_back(Entry{fileOrder(file), line, QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(what)});
}

void ImportProblems::add(const QString &file, const QString &what) {
    m_problems.push_back(Entry{fileOrder(file), 0, file.isEmpty() ? what : file + QStringLiteral(": ") + what});
}

QStringList ImportProblems::lines() const {
    std::vector<const Entry *> sorted;
    for (const Entry &e : m_problems)
        sorted.push_back(&e);
    std::stable_sort(sorted.begin(), sorted.end(), [](const Entry *a, const Entry *b) {
        return std::make_pair(a->file, a->line) < std::make_pair(b->file, b->line);
    });
    QStringList out;
    for (const Entry *e : sorted)
        out << e->text;
    return out;
}

void SplitChapterPath(const QString &path, QString *chapter, QString *section) {
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    *chapter = (slash < 0 ? path : path.left(slash)).trimmed();
    *section = slash < 0 ? *chapter : path.mid(slash + 1).trimmed();
}

namespace {

QChar halfWidth(QChar c) {
    if (c >= QChar(0xFF01) && c <= QChar(0xFF5E)) return QChar(c.unicode() - 0xFEE0);
    return c;
}

QString judgementAnswer(const QString &written) {
    // Check and cross marks as word processors and Excel's symbol fonts write them, too.
    static const QStringList right = {QStringLiteral("√"),   QStringLiteral("✓"),    QStringLiteral("✔"),
                                      QStringLiteral("对"),  QStringLiteral("正确"), QStringLiteral("T"),
                                      QStringLiteral("TRUE")};
    static const QStringList wrong = {QStringLiteral("×"),    QStringLiteral("✗"),    QStringLiteral("✘"),
                                      QStringLiteral("错"),   QStringLiteral("错误"), QStringLiteral("F"),
                                      QStringLiteral("FALSE")};
    const QString a = written.trimmed().toUpper();
    if (a == QLatin1String("1") || a == QLatin1String("0")) return a; // a bank's own form, kept
    if (right.contains(a)) return QStringLiteral("√");
    if (wrong.contains(a)) return QStringLiteral("×");
    return QString();
}

QString kindName(ImportKind kind) {
    switch (kind) {
    case ImportKind::Single:
        return banktypes::single();
    case ImportKind::Multiple:
        return banktypes::multiple();
    case ImportKind::Judgement:
        return banktypes::judgement();
    case ImportKind::Operation:
        return banktypes::operation();
    case ImportKind::CaseSub:
        return banktypes::caseQuestion();
    case ImportKind::CaseStem:
        break;
    }
    return QStringLiteral("案例");
}

bool takesOptions(ImportKind kind) {
    return kind == ImportKind::Single || kind == ImportKind::Multiple || kind == ImportKind::CaseSub;
}

// The exam's sections as the import fills them: per-question points and the most questions.
struct SectionShape {
    const char *type;
    const char *count;
    const char *points;
    int most;
    int pointsEach;
};
const SectionShape kSections[] = {{"danxuan", "danxuanti", "danxuanfen", 20, 2},
                                  {"duoxuan", "duoxuanti", "duoxuanfen", 10, 2},
                                  {"panduan", "panduanti", "panduanfen", 10, 1},
                                  {"shicaotype", "shicaoti", "shicaofen", 3 * kImportCaseSize, 2}};

// The minutes of the full paper (100 points).
constexpr int kImportFullMinutes = 105;

} // namespace

QString NormaliseAnswer(ImportKind kind, const QString &answer, int optionCount, QString *error) {
    error->clear();
    if (answer.trimmed().isEmpty()) {
        *error = QStringLiteral("缺少答案");
        return QString();
    }
    if (kind == ImportKind::Operation) return answer;
    if (kind == ImportKind::Judgement) {
        const QString a = judgementAnswer(answer);
        if (a.isEmpty())
            *error = QStringLiteral("判断题的答案写 √ 或 ×（也可写 对/错），不是“%1”").arg(answer.trimmed());
        return a;
    }
    static const QString separators = QStringLiteral(" \t,，、;；");
    std::set<int> letters;
    for (QChar c : answer) {
        if (separators.contains(c)) continue;
        c = halfWidth(c).toUpper();
        const int i = c.unicode() - u'A';
        if (i < 0 || i >= 26) {
            *error = QStringLiteral("“%1”不是选项字母：答案写选项的字母，如 A 或 ABD").arg(c);
            return QString();
        }
        if (i >= optionCount) {
            *error = QStringLiteral("答案 %1 超出了选项：这道题只有 %2 个选项").arg(c).arg(optionCount);
            return QString();
        }
        letters.insert(i);
    }
    if (kind == ImportKind::Single && letters.size() != 1)
        *error = QStringLiteral("单选题只有一个答案，不是“%1”").arg(answer.trimmed());
    else if (kind == ImportKind::Multiple && letters.size() < 2)
        *error =
            QStringLiteral("多选题至少有两个正确答案（考试中少于两个选项无法作答），不是“%1”").arg(answer.trimmed());
    if (!error->isEmpty()) return QString();
    QString out;
    for (int i : letters)
        out += QChar(u'A' + i);
    return out;
}

BankModel AssembleImport(const std::vector<ImportedQuestion> &items, ImportProblems *problems, QStringList *warnings,
                         bool needsOwnExam) {
    BankModel m;
    m.options[QStringLiteral("APP_TITLE")] = QStringLiteral("初级会计实务考试练习系统");
    m.options[QStringLiteral("EXAM_MINUTES")] = QString::number(kImportFullMinutes);
    m.options[QStringLiteral("EXAM_SCORING")] = QStringLiteral("partial");
    const auto where = [](const ImportedQuestion &q) { return std::make_pair(q.file, q.line); };
    const auto rowName = [](const ImportedQuestion &q) { return QStringLiteral("%1:%2").arg(q.file).arg(q.line); };
    // What the assembly already refused, by row and column ("*": the whole row): the bank's own
    // rules are applied to every other row in the same run, without naming a refusal twice.
    std::set<std::tuple<QString, QString, QString>> refused;
    const QString tigan = QStringLiteral("kjks_tigan"), zongtigan = QStringLiteral("zongtigan");
    const auto refuse = [&](const ImportedQuestion &q, int id, std::initializer_list<const char *> columns) {
        for (const char *c : columns)
            refused.emplace(q.kind == ImportKind::CaseStem ? zongtigan : tigan, QString::number(id),
                            QString::fromLatin1(c));
    };

    // Ids: those given stay; the others follow the highest given one of their table, in file order.
    std::map<int, const ImportedQuestion *> givenQuestionIds, givenStemIds;
    for (const ImportedQuestion &q : items) {
        if (q.id <= 0) continue;
        auto &given = q.kind == ImportKind::CaseStem ? givenStemIds : givenQuestionIds;
        const auto [it, fresh] = given.emplace(q.id, &q);
        if (!fresh) {
            problems->add(q.file, q.line, QStringLiteral("编号 %1 已用于 %2").arg(q.id).arg(rowName(*it->second)));
            refuse(q, q.id, {"*"});
        }
    }
    int nextQuestionId = givenQuestionIds.empty() ? 1 : givenQuestionIds.rbegin()->first + 1;
    int nextStemId = givenStemIds.empty() ? 1 : givenStemIds.rbegin()->first + 1;
    std::vector<int> ids;
    for (const ImportedQuestion &q : items)
        ids.push_back(q.id > 0 ? q.id : q.kind == ImportKind::CaseStem ? nextStemId++ : nextQuestionId++);

    // Cases by their label.
    std::map<QString, size_t> stemByLabel;
    for (size_t i = 0; i < items.size(); ++i) {
        const ImportedQuestion &q = items[i];
        if (q.kind != ImportKind::CaseStem) continue;
        if (q.caseLabel.isEmpty()) {
            problems->add(q.file, q.line, QStringLiteral("案例行的“案例”列为空：写上案例的编号，其小题写同一编号"));
            continue;
        }
        const auto [it, fresh] = stemByLabel.emplace(q.caseLabel, i);
        if (!fresh)
            problems->add(q.file, q.line,
                          QStringLiteral("案例“%1”已在 %2 写过").arg(q.caseLabel, rowName(items[it->second])));
    }

    // Chapter tree in the order chapters and sections first appear.
    std::map<QString, int> chapterNumbers;
    std::map<std::pair<int, QString>, int> sectionNumbers;
    std::map<int, int> sectionsOfChapter;
    m.chapters.push_back(BankChapter{QStringLiteral("01"), QStringLiteral("初级会计实务")});
    std::map<size_t, std::pair<int, int>> placeOf; // item -> (zhang, jie)
    for (size_t i = 0; i < items.size(); ++i) {
        const ImportedQuestion &q = items[i];
        if (q.kind == ImportKind::CaseSub) continue;
        if (q.chapter.isEmpty()) {
            problems->add(q.file, q.line, QStringLiteral("缺少章节：写成“章名/节名”"));
            refuse(q, ids[i], {"zhang"});
            continue;
        }
        auto chapter = chapterNumbers.find(q.chapter);
        if (chapter == chapterNumbers.end()) {
            const int n = int(chapterNumbers.size()) + 1;
            if (n > 99) {
                problems->add(q.file, q.line, QStringLiteral("章超过 99 个，题库放不下“%1”").arg(q.chapter));
                refuse(q, ids[i], {"zhang"});
                continue;
            }
            chapter = chapterNumbers.emplace(q.chapter, n).first;
            m.chapters.push_back(BankChapter{SectionCode(n, 0).left(4), q.chapter});
        }
        const int zhang = chapter->second;
        auto section = sectionNumbers.find({zhang, q.section});
        if (section == sectionNumbers.end()) {
            const int n = ++sectionsOfChapter[zhang];
            if (n > 99) {
                problems->add(q.file, q.line, QStringLiteral("“%1”一章的节超过 99 个").arg(q.chapter));
                refuse(q, ids[i], {"zhang"});
                continue;
            }
            section = sectionNumbers.emplace(std::make_pair(zhang, q.section), n).first;
            m.chapters.push_back(BankChapter{SectionCode(zhang, n), q.section});
        }
        placeOf[i] = {zhang, section->second};
    }
    std::sort(m.chapters.begin(), m.chapters.end(),
              [](const BankChapter &a, const BankChapter &b) { return a.daima < b.daima; });

    std::map<std::pair<QString, QString>, std::pair<QString, int>> lineOfRow; // (table, key) -> where
    std::map<size_t, int> subCount;                                           // stem item -> sub-questions
    for (size_t i = 0; i < items.size(); ++i) {
        const ImportedQuestion &q = items[i];
        if (q.text.trimmed().isEmpty()) problems->add(q.file, q.line, QStringLiteral("题干为空"));
        const int optionCount = int(q.options.size());
        if (takesOptions(q.kind)) {
            if (optionCount < 2 || optionCount > 26) refuse(q, ids[i], {"", "option"});
            if (optionCount < 2)
                problems->add(q.file, q.line, QStringLiteral("选择题至少需要两个选项，这里有 %1 个").arg(optionCount));
            else if (optionCount > 26)
                problems->add(q.file, q.line,
                              QStringLiteral("选项最多 26 个（A 到 Z），这里有 %1 个").arg(optionCount));
        } else if (optionCount > 0) {
            problems->add(q.file, q.line, QStringLiteral("%1不用选项").arg(kindName(q.kind)));
        }
        if (q.kind == ImportKind::CaseStem) {
            BankStem s;
            s.id = ids[i];
            s.zongtimian = q.text;
            s.jiexi = q.explanation;
            s.shijuan = banktypes::randomPool();
            const auto place = placeOf.find(i);
            if (place != placeOf.end()) std::tie(s.zhang, s.jie) = place->second;
            m.stems.push_back(s);
            lineOfRow[{QStringLiteral("zongtigan"), QString::number(s.id)}] = where(q);
            continue;
        }
        BankQuestion b;
        b.id = ids[i];
        b.tixing = kindName(q.kind);
        b.timian = q.text;
        for (const QString &o : q.options)
            b.options.push_back(BankOption{o, false});
        b.jiexi = q.explanation;
        b.shijuan = banktypes::randomPool();
        QString error;
        b.daan = NormaliseAnswer(q.kind, q.answer, optionCount, &error);
        if (!error.isEmpty()) {
            problems->add(q.file, q.line, error);
            refuse(q, b.id, {"daan"});
        }
        if (q.kind == ImportKind::CaseSub) {
            const auto stem = stemByLabel.find(q.caseLabel);
            if (stem == stemByLabel.end()) refuse(q, b.id, {"tixing", "zhang"}); // read as a question of no case
            if (q.caseLabel.isEmpty()) {
                problems->add(q.file, q.line, QStringLiteral("不定项小题的“案例”列为空：写上它所属案例的编号"));
            } else if (stem == stemByLabel.end()) {
                problems->add(q.file, q.line,
                              QStringLiteral("没有案例“%1”：案例行的“案例”列要写同一编号").arg(q.caseLabel));
            } else {
                b.zongtimian = QString::number(ids[stem->second]);
                ++subCount[stem->second];
                const auto place = placeOf.find(stem->second);
                if (place != placeOf.end()) std::tie(b.zhang, b.jie) = place->second;
            }
        } else {
            const auto place = placeOf.find(i);
            if (place != placeOf.end()) std::tie(b.zhang, b.jie) = place->second;
        }
        m.questions.push_back(b);
        lineOfRow[{QStringLiteral("kjks_tigan"), QString::number(b.id)}] = where(q);
    }

    // Case answers from their sub-questions; a case too short for a mock paper is practised only.
    const auto subs = SubQuestionsByStem(m);
    int drawableCases = 0;
    for (BankStem &s : m.stems) {
        const auto it = subs.find(s.id);
        const auto &line = lineOfRow[{QStringLiteral("zongtigan"), QString::number(s.id)}];
        if (it == subs.end()) {
            problems->add(line.first, line.second, QStringLiteral("案例没有小题：小题的“案例”列写这个案例的编号"));
            refused.emplace(zongtigan, QString::number(s.id), QString());
            continue;
        }
        s.daan = StemAnswer(it->second);
        if (int(it->second.size()) < kImportCaseSize) {
            s.shijuan.clear();
            warnings->append(QStringLiteral("%1:%2: 案例只有 %3 道小题，模拟考试每个案例要 %4 道：它只用于练习")
                                 .arg(line.first)
                                 .arg(line.second)
                                 .arg(it->second.size())
                                 .arg(kImportCaseSize));
        } else {
            ++drawableCases;
        }
    }
    std::sort(m.questions.begin(), m.questions.end(),
              [](const BankQuestion &a, const BankQuestion &b) { return a.id < b.id; });
    std::sort(m.stems.begin(), m.stems.end(), [](const BankStem &a, const BankStem &b) { return a.id < b.id; });

    // Exam profile 1: the current exam's shape, each section cut to the questions there are; a
    // section the questions cannot fill is left off the paper (0 questions, 0 points).
    int available[4] = {0, 0, 0, drawableCases * kImportCaseSize};
    for (const BankQuestion &q : m.questions)
        for (int s = 0; s < 3; ++s)
            if (q.tixing == kindName(ImportKind(s))) ++available[s];
    BankProfile profile;
    profile.columns[QStringLiteral("kjks_type_name")] = QStringLiteral("初级会计实务");
    const QString typeNames[4] = {banktypes::single(), banktypes::multiple(), banktypes::judgement(),
                                  banktypes::caseQuestion()};
    int paperPoints = 0;
    for (int s = 0; s < 4; ++s) {
        const SectionShape &shape = kSections[s];
        const int count = std::min(shape.most, available[s]);
        paperPoints += count * shape.pointsEach;
        profile.columns[QString::fromLatin1(shape.type)] = typeNames[s];
        profile.columns[QString::fromLatin1(shape.count)] = QString::number(count);
        profile.columns[QString::fromLatin1(shape.points)] = QString::number(count * shape.pointsEach);
    }
    m.profiles.push_back(profile);
    // The time follows the points: the full paper's 100 points take its minutes, a smaller paper
    // its share of them in whole minutes.
    if (paperPoints > 0)
        m.options[QStringLiteral("EXAM_MINUTES")] =
            QString::number(std::max(1, (kImportFullMinutes * paperPoints + 99) / 100));

    // The bank's own rules, as `build --strict` applies them: whatever slipped through is refused
    // here, in the same run as the refusals above. A duplicate question is only pointed out: the
    // teacher may mean it.
    for (const BankProblem &p : ValidateBankModel(m)) {
        if (refused.count({p.table, p.key, QStringLiteral("*")}) || refused.count({p.table, p.key, p.column})) continue;
        const auto it = lineOfRow.find({p.table, p.key});
        if (p.sameAs > 0 && it != lineOfRow.end()) {
            const auto first = lineOfRow.find({p.table, QString::number(p.sameAs)});
            const QString place = first == lineOfRow.end()
                                      ? QString()
                                      : QStringLiteral("%1:%2").arg(first->second.first).arg(first->second.second);
            warnings->append(QStringLiteral("%1:%2: %3")
                                 .arg(it->second.first)
                                 .arg(it->second.second)
                                 .arg(p.table == zongtigan ? QStringLiteral("案例材料与 %1 的案例相同").arg(place)
                                                           : QStringLiteral("题型和题干与 %1 的题目相同").arg(place)));
        } else if (it != lineOfRow.end()) {
            problems->add(it->second.first, it->second.second, ProblemTextInRow(p));
        } else {
            problems->add(QString(), ProblemText(p));
        }
    }
    // Whether the exam's sections are filled follows from the rows: told once they are all sound.
    if (!problems->isEmpty() || !needsOwnExam) return m;
    if (paperPoints == 0)
        problems->add(QString(),
                      QStringLiteral("没有能出模拟试卷的题：至少要有单选题、多选题、判断题，或含 %1 道小题的案例"
                                     "（不定项选择题）之一")
                          .arg(kImportCaseSize));
    else
        for (const QString &p : CheckExamProfile(m))
            problems->add(QString(), p);
    return m;
}
