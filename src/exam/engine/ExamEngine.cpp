#include "ExamEngine.h"

#include "AnswerScore.h"
#include "BankSession.h"
#include "Dataset.h"
#include "LaunchParameters.h"
#include "NumberText.h"
#include "PaperDraw.h"
#include "PaperSql.h"
#include "PaperState.h"
#include "Platform.h"
#include "QuestionText.h"
#include "ResultPayload.h"
#include "ReviewStore.h"
#include "Transaction.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

const QString kMarked = QStringLiteral("1");
const QString kUnmarked = QStringLiteral("0");

bool containsPractice(const QString &title) {
    return title.contains(QStringLiteral("实务"));
}

// A sum as the score sheet shows it: empty when no row was scored.
QString sumText(const QVariant &value) {
    if (value.isNull()) return QString();
    bool ok = false;
    const double number = value.toString().toDouble(&ok);
    return ok ? FormatNumber(number) : value.toString();
}

// An empty or non-numeric sum is stored as 0.
double storedSum(const QString &text) {
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok ? number : 0;
}

QString defenText(const PaperRow &row) {
    return row.defen ? FormatNumber(*row.defen) : QString();
}

QString tooFewQuestions(const QString &typeName, int needed, int available) {
    return QStringLiteral("题库中可抽取的“%1”不足，无法生成试卷：试卷需要 %2 道，题库中只有 %3 道。")
        .arg(typeName, QString::number(needed), QString::number(available));
}

QString tooFewStems(const QString &typeName, int needed, int available) {
    return QStringLiteral("题库中可抽取的“%1”案例不足，无法生成试卷：试卷需要 %2 个案例，题库中只有 %3 个。")
        .arg(typeName, QString::number(needed), QString::number(available));
}

} // namespace

int ExamTimeForTitle(const QString &subjectTitle, std::optional<int> bankMinutes) {
    if (bankMinutes) return *bankMinutes * 60;
    return containsPractice(subjectTitle) ? 7200 : 5400;
}
int ExamSecondsFor(const ExamProfile &profile, const QString &subjectTitle) {
    const int full = ExamTimeForTitle(subjectTitle, profile.examMinutes);
    if (profile.examMinutes || profile.presentSections().size() == kQuestionTypes.size()) return full;
    const int points = std::clamp(profile.totalPoints(), 0, 100);
    return std::max(1, (full / 60 * points + 99) / 100) * 60;
}

ScoreSheet MakeScoreSheet(const ExamProfile &profile, const std::array<QString, 5> &sumTexts) {
    ScoreSheet sheet;
    sheet.cells.push_back(
        {QStringLiteral("题型"), QStringLiteral("题量"), QStringLiteral("总分"), QStringLiteral("得分")});
    for (QuestionType type : profile.presentSections()) {
        const ExamSection &section = profile.section(type);
        sheet.cells.push_back({section.typeName, section.countText, section.pointsText, sumTexts[IndexOf(type) + 1]});
    }
    sheet.cells.push_back({QStringLiteral("合计"), QString(), QString::number(profile.totalPoints()), sumTexts[0]});
    sheet.totalText = sumTexts[0];
    return sheet;
}

int SubQuestionsPerStem(const QString &subjectTitle) {
    return containsPractice(subjectTitle) ? 5 : 4;
}

PaperRow PaperRow::fromDataset(const Dataset &row) {
    PaperRow r;
    if (row.isEmpty()) return r;
    auto text = [&](const char *name) {
        const QString n = QString::fromLatin1(name);
        return row.hasField(n) ? row.asString(n) : QString();
    };
    auto integer = [&](const char *name) {
        const QString n = QString::fromLatin1(name);
        return row.hasField(n) ? row.asInteger(n) : 0;
    };
    r.id = integer("ID");
    r.xth = integer("xth");
    r.tixing = text("tixing");
    r.tiganId = integer("tigan_id");
    r.daan = text("daan");
    r.KSDA = text("KSDA");
    if (row.hasField(QStringLiteral("defen")) && !row.isNull(QStringLiteral("defen")))
        r.defen = row.asDouble(QStringLiteral("defen"));
    r.kaolv = text("kaolv");
    return r;
}

PaperProgress ProgressOf(const std::vector<PaperRow> &rows) {
    PaperProgress progress;
    for (const PaperRow &row : rows) {
        if (!row.answered() && row.tixing != OperationTypeName()) ++progress.unanswered;
        if (row.marked()) ++progress.marked;
    }
    return progress;
}

ExamEngine::ExamEngine(BankSession &data, const ExamProfile &profile, LaunchParameters &params)
    : m_data(data), m_profile(profile), m_params(params) {}

QString ExamEngine::PaperKey() const {
    return m_params.PaperKey;
}

double ExamEngine::FullPointsOf(const PaperRow &row) const {
    for (const ExamSection &section : m_profile.sections)
        if (row.tixing == section.typeName) return section.perQuestionScore;
    // A row under a name the profile no longer has: any points count, as all-or-nothing had it.
    return 0;
}

// A question leaves the wrong-question set only with all its points; a partly right multiple
// choice stays there to be practised. Under all-or-nothing this is any points at all, as before.
bool ExamEngine::GotFullPoints(const PaperRow &row) const {
    const double got = row.defen.value_or(0);
    return got != 0 && got >= FullPointsOf(row);
}

int ExamEngine::PaperNumber() const {
    const int number = StrToInt(m_params.PaperKey);
    // Paper 0 holds the practice's operation answer row: nothing of an exam may touch it.
    if (number <= 0) throw PaperError(QStringLiteral("没有打开的试卷。"));
    return number;
}

double ExamEngine::SectionPoints(QuestionType section) const {
    return m_profile.section(section).perQuestionScore;
}

int ExamEngine::SectionStart(QuestionType section) const {
    int start = 0;
    for (std::size_t s = 0; s < IndexOf(section); ++s)
        start += std::max(m_profile.sections[s].count, 0);
    return start;
}

QuestionType ExamEngine::SectionOf(int position) const {
    for (QuestionType s : {QuestionType::Fourth, QuestionType::Judgement, QuestionType::Multiple})
        if (position >= SectionStart(s)) return s;
    return QuestionType::Single;
}

void ExamEngine::FillNext(int questionId) {
    if (m_fillCounter > m_questionIds.size()) m_questionIds.resize(m_fillCounter);
    m_questionIds[m_fillCounter - 1] = QString::number(questionId);
    ++m_fillCounter;
}

void ExamEngine::StartPaper() {
    m_questionIds = QStringList();
    m_questionIds.resize(std::max(Total(), 0));
    m_fillCounter = 1;
    if (m_params.PaperKey == QStringLiteral("0"))
        CreatePaper();
    else
        ReopenPaper();
}

void ExamEngine::CreatePaper() {
    // A profile whose sections are all empty never loads; nothing is drawn from one either.
    if (Total() <= 0) throw PaperError(QStringLiteral("考试方案中没有题目，无法生成试卷。"));
    const QString keyBefore = m_params.PaperKey;
    const QStringList idsBefore = m_questionIds;
    const int counterBefore = m_fillCounter;
    try {
        ScopedTransaction unit(m_data.db);
        Dataset &sql = m_data.listQuery;
        sql.openSql(MaxPaperNumberSql());
        const int number = sql.firstValue().toInt() + 1; // NULL (no paper yet) reads as 0
        m_params.PaperKey = QString::number(number);

        sql.openSql(EmptyCatalogueSql());
        sql.append();
        sql.setValue(QStringLiteral("sjID"), number);
        sql.setValue(QStringLiteral("DTKSSJ"), platform().now());
        sql.post();

        if (!m_params.PaperDrawMode.isEmpty()) {
            PaperRandom random(platform().seedCounter());
            GenerateSections(random);
        }
        unit.commit();
    } catch (...) {
        m_params.PaperKey = keyBefore;
        m_questionIds = idsBefore;
        m_fillCounter = counterBefore;
        throw;
    }
}

void ExamEngine::GenerateSections(PaperRandom &random) {
    const int number = PaperNumber();
    const QString &paperSet = m_params.PaperSetValue;
    Dataset &list = m_data.listQuery;
    Dataset &fetch = m_data.rowQuery;
    // One appending query serves every item of the paper.
    Dataset items(&m_data.db);
    items.openSql(EmptyPaperItemsSql());

    auto addItem = [&](int questionId, const QString &daan, const QString &tixing) {
        items.append();
        items.setValue(QStringLiteral("xth"), m_fillCounter);
        items.setValue(QStringLiteral("tigan_id"), questionId);
        items.setValue(QStringLiteral("daan"), daan);
        items.setValue(QStringLiteral("sjID"), number);
        items.setValue(QStringLiteral("tixing"), tixing);
        items.post();
        FillNext(questionId);
    };

    // A learner who sits paper after paper meets questions the paper before did not have, while the
    // bank holds enough of them: those are drawn last.
    const PaperContents previous = PreviousPaperContents(number);

    // N distinct rows of the list, each fetched by id and written as one item.
    auto drawQuestions = [&](const ExamSection &section, const QString &listSql, QString (*fetchSql)(int)) {
        const int needed = section.count;
        if (needed <= 0) return;
        list.openSql(listSql);
        const int available = list.recordCount();
        if (available < needed) throw PaperError(tooFewQuestions(section.typeName, needed, available));
        auto take = [&](int questionId) {
            fetch.openSql(fetchSql(questionId));
            addItem(fetch.asInteger(QStringLiteral("tigan_id")), fetch.asString(QStringLiteral("daan")),
                    section.typeName);
        };
        PositionDraw draw(available, random);
        std::vector<int> seenBefore;
        int taken = 0;
        while (taken < needed && !draw.exhausted()) {
            list.first();
            list.moveBy(draw.next());
            const int id = list.firstValue().toInt();
            if (previous.questions.count(id)) {
                seenBefore.push_back(id);
                continue;
            }
            take(id);
            ++taken;
        }
        for (size_t i = 0; taken < needed && i < seenBefore.size(); ++i, ++taken)
            take(seenBefore[i]);
    };

    for (QuestionType s : {QuestionType::Single, QuestionType::Multiple, QuestionType::Judgement}) {
        const ExamSection &section = m_profile.section(s);
        drawQuestions(section, ObjectiveListSql(s, section.typeName, paperSet), &ObjectiveFetchSql);
    }

    const ExamSection &fourth = m_profile.sections[ExamProfile::Fourth];
    if (fourth.typeName == OperationTypeName()) {
        drawQuestions(fourth, PracticalListSql(), &OperationFetchSql);
    } else if (fourth.typeName == AnalysisTypeName()) {
        drawQuestions(fourth, PracticalListSql(), &CalculationFetchSql);
    } else if (fourth.typeName == CaseStemTypeName()) {
        const int perStem = SubQuestionsPerStem(m_subjectTitle);
        const int needed = fourth.count / perStem;
        if (needed <= 0) return;
        list.openSql(StemListSql(paperSet));
        Dataset &subQuestions = m_data.detailQuery;
        PositionDraw draw(list.recordCount(), random);
        int taken = 0;
        auto take = [&](int stemId) {
            subQuestions.openSql(StemSubQuestionsSql(stemId));
            // A stem without a usable sub-question has nothing to fill its numbers with.
            if (subQuestions.isEmpty()) return;
            for (int k = 0; k < perStem; ++k) {
                // Past the last sub-question the query stays on it: a short stem repeats its last one.
                addItem(subQuestions.asInteger(QStringLiteral("tigan_id")),
                        subQuestions.asString(QStringLiteral("daan")), fourth.typeName);
                subQuestions.next();
            }
            ++taken;
        };
        std::vector<int> seenBefore;
        while (taken < needed && !draw.exhausted()) {
            list.first();
            list.moveBy(draw.next());
            const int stemId = list.firstValue().toInt();
            if (previous.stems.count(stemId))
                seenBefore.push_back(stemId);
            else
                take(stemId);
        }
        for (size_t i = 0; taken < needed && i < seenBefore.size(); ++i)
            take(seenBefore[i]);
        if (taken < needed) throw PaperError(tooFewStems(fourth.typeName, needed, taken));
    }
}

ExamEngine::PaperContents ExamEngine::PreviousPaperContents(int paperNumber) {
    PaperContents contents;
    const auto rows = m_data.db.select(
        QStringLiteral("select s.tigan_id, s.tixing, k.zongtimian from shijuan s left join kjks_tigan k"
                       " on k.tigan_id = s.tigan_id where s.sjID = (select max(sjID) from kjks_SJML where sjID < ?)"),
        {QVariant(paperNumber)});
    for (const auto &row : rows) {
        if (row.size() < 3) continue;
        contents.questions.insert(row[0].toInt());
        bool ok = false;
        const int stem = row[2].toString().toInt(&ok);
        if (ok && row[1].toString() == CaseStemTypeName()) contents.stems.insert(stem);
    }
    return contents;
}

void ExamEngine::ReopenPaper() {
    const int number = PaperNumber();
    ScopedTransaction unit(m_data.db);
    Dataset &sql = m_data.listQuery;
    sql.openSql(CatalogueRowSql(number));
    if (sql.isEmpty()) throw PaperError(QStringLiteral("试卷 %1 不在题库中，无法打开。").arg(number));
    sql.edit();
    sql.setValue(QStringLiteral("DTKSSJ"), platform().now());
    sql.post();

    sql.openSql(ReopenItemsSql(number));
    for (; !sql.eof(); sql.next()) {
        FillNext(sql.asInteger(QStringLiteral("tigan_id")));
        sql.edit();
        sql.setValue(QStringLiteral("KSDA"), QStringLiteral(""));
        // The second attempt starts from nothing: an item left unanswered earns no old points.
        sql.setValue(QStringLiteral("defen"), QVariant());
        sql.post();
    }
    unit.commit();
}

PaperRow ExamEngine::ReadPaperRow(int position) {
    Dataset &sql = m_data.listQuery;
    sql.openSql(PaperItemSql(position + 1, PaperNumber()));
    return PaperRow::fromDataset(sql);
}

std::vector<PaperRow> ExamEngine::SectionRows(QuestionType section) {
    Dataset &sql = m_data.listQuery;
    sql.openSql(SectionItemsSql(m_profile.sections[size_t(section)].typeName, PaperNumber()));
    std::vector<PaperRow> rows;
    for (; !sql.eof(); sql.next())
        rows.push_back(PaperRow::fromDataset(sql));
    return rows;
}

PaperRow ExamEngine::StoreAnswer(int position, const QString &answer) {
    if (answer.isEmpty() || (NeedsTwoOptions(position) && answer.size() < 2)) return PaperRow();
    const int number = PaperNumber();
    const int xth = position + 1;
    Dataset &sql = m_data.listQuery;
    sql.openSql(AnswerItemSql(xth, number));
    if (sql.isEmpty()) return PaperRow(); // no item there: editing would append a stray row
    PaperRow row = PaperRow::fromDataset(sql);
    // Showing a stored answer again, or choosing the same option twice, changes nothing.
    if (row.KSDA == answer && row.defen) return row;

    // The answer and its points stand or fall together.
    ScopedTransaction unit(m_data.db);
    sql.edit();
    sql.setValue(QStringLiteral("KSDA"), answer);
    sql.post();
    row.KSDA = answer;

    const QuestionType section = SectionOf(position);
    sql.openSql(section == QuestionType::Single ? SingleScoreItemSql(xth, number) : ScoreItemSql(xth, number));
    const double points =
        AnswerPoints(answer, sql.asString(QStringLiteral("daan")), m_profile.RuleFor(section), SectionPoints(section));
    sql.edit();
    sql.setValue(QStringLiteral("defen"), points);
    sql.post();
    unit.commit();
    row.defen = points;
    return row;
}

bool ExamEngine::NeedsTwoOptions(int position) const {
    return m_profile.scoring == ScoringRule::PartialCredit && SectionOf(position) == QuestionType::Multiple;
}

PaperRow ExamEngine::ClearAnswer(int position) {
    Dataset &sql = m_data.listQuery;
    sql.openSql(AnswerItemSql(position + 1, PaperNumber()));
    if (sql.isEmpty()) return PaperRow();
    const PaperRow row = PaperRow::fromDataset(sql);
    if (!row.answered() && !row.defen) return row;
    sql.edit();
    sql.setValue(QStringLiteral("KSDA"), QString());
    sql.setValue(QStringLiteral("defen"), QVariant());
    sql.post();
    return PaperRow::fromDataset(sql);
}

PaperRow ExamEngine::SetMarked(int position, bool marked) {
    Dataset &sql = m_data.listQuery;
    sql.openSql(AnswerItemSql(position + 1, PaperNumber()));
    if (sql.isEmpty()) return PaperRow();
    const PaperRow row = PaperRow::fromDataset(sql);
    if (row.marked() == marked) return row;
    sql.edit();
    sql.setValue(QStringLiteral("kaolv"), marked ? kMarked : kUnmarked);
    sql.post();
    return PaperRow::fromDataset(sql);
}

HandInResult ExamEngine::HandIn() {
    const int number = PaperNumber();
    HandInResult result;
    ScopedTransaction unit(m_data.db);
    Dataset &sql = m_data.listQuery;

    // Operation questions get their points only now; nothing on screen answers them.
    sql.openSql(OperationItemsSql(number));
    const double operationPoints = SectionPoints(QuestionType::Fourth);
    for (; !sql.eof(); sql.next()) {
        const double points = AnswerPoints(sql.asString(QStringLiteral("KSDA")), sql.asString(QStringLiteral("daan")),
                                           ScoringRule::AllOrNothing, operationPoints);
        sql.edit();
        sql.setValue(QStringLiteral("defen"), points);
        sql.post();
    }

    sql.openSql(TotalSumSql(number));
    result.sumTexts[0] = sumText(sql.firstValue());
    // The sections are summed under the names the paper's items carry: the profile's.
    for (int s = 0; s < 4; ++s) {
        sql.openSql(SectionSumSql(number, m_profile.sections[size_t(s)].typeName));
        result.sumTexts[size_t(s) + 1] = sumText(sql.firstValue());
    }
    for (size_t i = 0; i < 5; ++i)
        result.stored[i] = storedSum(result.sumTexts[i]);

    sql.openSql(CatalogueRowSql(number));
    if (sql.isEmpty()) throw PaperError(QStringLiteral("试卷 %1 不在题库中，无法交卷。").arg(number));
    sql.edit();
    sql.setValue(QStringLiteral("JJSJ"), platform().now());
    const char *columns[] = {"defen", "DanDeFen", "DuoDeFen", "PanDeFen", "AnLiDeFen"};
    for (size_t i = 0; i < 5; ++i)
        sql.setValue(QString::fromLatin1(columns[i]), result.stored[i]);
    sql.post();

    result.sheet = MakeScoreSheet(m_profile, result.sumTexts);

    result.answerList = AnswerList();
    Dataset &question = m_data.rowQuery;
    // A case is practised and counted by its stem: it stays wrong while any of its sub-questions on
    // the paper missed points, as a case checked in practice does.
    std::map<int, bool> stemsRight;
    // Every answered question is a review; a case is reviewed by its stem, once, when any of its
    // sub-questions was answered.
    std::set<int> stemsAnswered;
    const QDateTime handedIn = platform().now();
    for (const PaperRow &row : result.answerList) {
        question.openSql(QuestionRowSql(row.tiganId));
        if (question.isEmpty()) continue; // no such question: editing would append a stray row
        const bool right = GotFullPoints(row);
        const bool subQuestion = row.tixing == CaseStemTypeName();
        if (subQuestion) {
            bool ok = false;
            const int stem = question.asString(QStringLiteral("zongtimian")).toInt(&ok);
            if (ok) {
                stemsRight.emplace(stem, true).first->second &= right;
                if (row.answered()) stemsAnswered.insert(stem);
            }
        }
        question.edit();
        question.setValue(QStringLiteral("DDCS"), right ? kUnmarked : kMarked);
        question.post();
        if (!subQuestion && row.answered()) RecordReview(m_data.db, {row.tiganId, false}, right, handedIn);
    }
    for (const auto &[stem, right] : stemsRight) {
        question.openSql(CaseStemRowSql(stem));
        if (question.isEmpty()) continue;
        question.edit();
        question.setValue(QStringLiteral("DDCS"), right ? kUnmarked : kMarked);
        question.post();
        if (stemsAnswered.count(stem)) RecordReview(m_data.db, {stem, true}, right, handedIn);
    }
    unit.commit();
    return result;
}

bool ExamEngine::HandedIn() {
    Dataset &sql = m_data.listQuery;
    sql.openSql(CatalogueRowSql(PaperNumber()));
    return !sql.isEmpty() &&
           PaperHandedIn(sql.asString(QStringLiteral("DTKSSJ")), sql.asString(QStringLiteral("JJSJ")));
}

QString ExamEngine::AnswerListSql() const {
    return ::AnswerListSql(PaperNumber());
}

std::vector<PaperRow> ExamEngine::AnswerList() {
    Dataset &sql = m_data.listQuery;
    sql.openSql(AnswerListSql());
    std::vector<PaperRow> rows;
    for (; !sql.eof(); sql.next())
        rows.push_back(PaperRow::fromDataset(sql));
    return rows;
}

QString ExamEngine::AnswerCellText(const PaperRow &row, const QString &value) {
    if (row.tixing == OperationTypeName()) return QStringLiteral("略");
    return value.left(50);
}

QString ExamEngine::AnswerListPayload(const PaperRow &row) {
    ResultPayload payload;
    payload.number = QString::number(row.xth);
    payload.type = row.tixing;
    const ExamSection &fourth = m_profile.sections[ExamProfile::Fourth];
    const QString fen = QStringLiteral("分");
    for (size_t s = 0; s < 3 && !payload.standardScore; ++s)
        if (row.tixing == m_profile.sections[s].typeName)
            payload.standardScore = FormatNumber(m_profile.sections[s].perQuestionScore) + fen;
    if (!payload.standardScore && row.tixing == fourth.typeName) {
        // A case question is worth its whole stem here: five sub-questions' points.
        if (fourth.typeName == CaseStemTypeName())
            payload.standardScore = FormatNumber(5 * fourth.perQuestionScore) + fen;
        else if (fourth.typeName == AnalysisTypeName())
            payload.standardScore = FormatNumber(fourth.perQuestionScore);
        else if (fourth.typeName == OperationTypeName())
            payload.standardScore = FormatNumber(fourth.perQuestionScore) + fen;
    }
    payload.standardAnswer = row.daan;
    payload.answer = row.KSDA;
    payload.score = defenText(row) + fen;
    payload.explanation = ExplanationOf(row.tiganId);
    payload.questionId = row.tiganId;
    return payload.text();
}

QString ExamEngine::ExplanationPayload(int position) {
    const PaperRow row = ReadPaperRow(position);
    const ExamSection &fourth = m_profile.sections[ExamProfile::Fourth];
    const QString suffix = fourth.typeName == AnalysisTypeName() ? QString() : QStringLiteral("分");
    ResultPayload payload;
    payload.number = QString::number(row.xth);
    payload.type = row.tixing;
    if (row.tixing == fourth.typeName) {
        payload.standardScore = FormatNumber(fourth.perQuestionScore) + suffix;
    } else {
        for (size_t s = 0; s < 3 && !payload.standardScore; ++s)
            if (row.tixing == m_profile.sections[s].typeName)
                payload.standardScore = FormatNumber(m_profile.sections[s].perQuestionScore) + suffix;
    }
    payload.standardAnswer = row.daan;
    payload.answer = row.KSDA;
    QString score = defenText(row);
    // A right operation answer shows the section's points even before a hand-in has scored it.
    if (row.tixing == OperationTypeName() && fourth.typeName == OperationTypeName() && row.daan == row.KSDA)
        score = FormatNumber(fourth.perQuestionScore);
    payload.score = score + suffix;
    payload.explanation = ExplanationOf(row.tiganId);
    payload.questionId = row.tiganId;
    return payload.text();
}

QString ExamEngine::ExplanationOf(int questionId) {
    Dataset &sql = m_data.detailQuery;
    sql.openSql(QuestionRowSql(questionId));
    const QString text = DecodeQuestionText(sql.asString(QStringLiteral("jiexi")));
    if (!text.isEmpty()) return text;
    const QString zhang = sql.asString(QStringLiteral("zhang"));
    const QString jie = sql.asString(QStringLiteral("jie"));
    sql.openSql(ExplanationChapterSql(zhang));
    const QString chapter = sql.firstValue().toString();
    sql.openSql(ExplanationSectionSql(zhang, jie));
    return chapter + QStringLiteral("\n\r") + sql.firstValue().toString();
}
