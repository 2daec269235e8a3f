#include "PracticeSession.h"

#include "BankSession.h"
#include "ExamProfile.h"
#include "NumberText.h"
#include "Platform.h"
#include "PracticeQueries.h"
#include "QuestionReader.h"
#include "QuestionText.h"
#include "ReviewStore.h"
#include "SqlError.h"
#include "Transaction.h"

namespace {

QString pointsText(const QString &score) {
    return score + QStringLiteral("分");
}

double pointsOf(QuestionType type) {
    return examProfile().section(type).perQuestionScore;
}

// A case stem's payload shows the points of all its scored sub-questions together.
constexpr double kCaseStemScoreMultiple = 5;

} // namespace

PracticeSession::PracticeSession() {
    for (Dataset &set : m_sets)
        set.setConnection(bankSession() ? &bankSession()->db : nullptr);
}

bool PracticeSession::AnyQuestionFits(const LaunchParameters &launch) {
    const QString fourth = examProfile().section(QuestionType::Fourth).typeName;
    // One row answers it: the window reads the set itself when it opens.
    Dataset probe(bankSession() ? &bankSession()->db : nullptr);
    for (QuestionType type : kQuestionTypes) {
        if (!launch.PracticeTypeFlags[IndexOf(type)]) continue;
        try {
            probe.openSql(AnyPracticeQuestionSql(type, PracticeScopeOf(launch.PracticeScope), fourth));
        } catch (const std::exception &) {
            return true;
        }
        if (!probe.isEmpty()) return true;
    }
    return false;
}

bool PracticeSession::hasQuestions(QuestionType type) {
    Dataset &s = set(type);
    return s.active() && !s.isEmpty();
}

QString PracticeSession::fourthTypeName() const {
    return examProfile().section(QuestionType::Fourth).typeName;
}

FourthKind PracticeSession::fourthKind() const {
    return FourthKindOf(fourthTypeName());
}

void PracticeSession::open(QuestionType type, int scope, const QString &selectedChapterCode) {
    Dataset &s = set(type);
    if (PracticeScopeOf(scope) == PracticeScope::DueReviews) {
        // The day's due reviews in their own order; no chapter decides where they start.
        const bool stems = type == QuestionType::Fourth && fourthKind() == FourthKind::CaseStem;
        s.openRows(stems ? QStringLiteral("zongtigan") : QStringLiteral("kjks_tigan"),
                   DueRowIds(bankSession()->db, type, fourthTypeName(), ReviewDay(platform().now())),
                   QStringLiteral("due reviews of ") + QuestionTypeName(type));
        return;
    }
    s.openWindowed(PracticeSetSql(type, PracticeScopeOf(scope), fourthTypeName()));
    PositionAtChapter(s, selectedChapterCode);
}

PracticeSession::Header PracticeSession::header(QuestionType type, const QString &idColumn) {
    Dataset &row = set(type);
    Header h;
    h.number = row.asString(idColumn);
    h.stats = ReadStats(row);
    h.favourite = row.asString(QStringLiteral("shoucang")) == QStringLiteral("1");
    const QString zhang = row.asString(QStringLiteral("zhang"));
    if (zhang.isEmpty()) {
        // The header describes the question shown: no chapter, no names of the question before.
        m_chapterName.clear();
        m_sectionName.clear();
        h.chapterName = h.sectionName = QString();
        return h;
    }
    Dataset &lookup = bankSession()->listQuery;
    lookup.openSql(ChapterNameSql(zhang));
    m_chapterName = lookup.firstValue().toString();
    h.chapterName = m_chapterName;
    lookup.openSql(SectionNameSql(zhang, row.asString(QStringLiteral("jie"))));
    m_sectionName = lookup.firstValue().toString();
    h.sectionName = m_sectionName;
    return h;
}

std::optional<Question> PracticeSession::question(QuestionType type) {
    Dataset &row = set(type);
    switch (type) {
    case QuestionType::Single:
    case QuestionType::Multiple: {
        Question q = QuestionFromRow(type == QuestionType::Single ? QuestionKind::Single : QuestionKind::Multiple, row,
                                     QStringLiteral("timian"), row.asInteger(QStringLiteral("tigan_id")));
        ReadOptions(q, bankSession()->rowQuery, OptionsSql(q.id));
        return q;
    }
    case QuestionType::Judgement:
        return QuestionFromRow(QuestionKind::Judgement, row, QStringLiteral("timian"),
                               row.asInteger(QStringLiteral("tigan_id")));
    case QuestionType::Fourth:
        break;
    }
    const std::optional<QuestionKind> kind = FourthQuestionKind(fourthTypeName());
    if (!kind) return std::nullopt;
    if (*kind != QuestionKind::Case)
        return QuestionFromRow(*kind, row, QStringLiteral("timian"), row.asInteger(QStringLiteral("tigan_id")));
    Question stem = QuestionFromRow(*kind, row, QStringLiteral("zongtimian"), row.asInteger(QStringLiteral("id")));
    if (stem.unreadable) return stem;
    Dataset &subs = bankSession()->listQuery;
    subs.openSql(SubQuestionsForPresentationSql(stem.id));
    for (subs.first(); !subs.eof() && !stem.unreadable; subs.next())
        AddSubQuestion(stem, subs.asInteger(QStringLiteral("tigan_id")), subs.asString(QStringLiteral("timian")),
                       bankSession()->rowQuery, OptionsSql(subs.asInteger(QStringLiteral("tigan_id"))));
    return stem;
}

PracticeSession::Check PracticeSession::checkQuestion(QuestionType type, const QString &answer) {
    Dataset &row = set(type);
    m_pendingAnswer = answer;
    Check check;
    check.standardAnswer = row.asString(QStringLiteral("daan"));
    check.answer = answer;
    check.right = IsRightAnswer(check.standardAnswer, answer);
    // Under the bank's partial credit a multiple choice scores part of its points, yet only the
    // whole answer counts as right.
    check.score = pointsText(
        FormatNumber(AnswerPoints(answer, check.standardAnswer, examProfile().RuleFor(type), pointsOf(type))));
    const QuestionStats before = ReadStats(row);
    WriteStats(row, before, AfterCheck(before, check.right));
    return check;
}

void PracticeSession::checkCaseStem(const std::vector<SubQuestionBoxes> &boxes) {
    Dataset &row = set(QuestionType::Fourth);
    const QString answer = CaseStemAnswer(boxes);
    m_pendingAnswer = answer;
    const QuestionStats before = ReadStats(row);
    WriteStats(row, before, AfterCheck(before, IsRightAnswer(row.asString(QStringLiteral("daan")), answer)));
}

QString PracticeSession::scratchAnswer() {
    Dataset &scratch = bankSession()->rowQuery;
    scratch.openSql(ScratchRowSql());
    return scratch.asString(QStringLiteral("KSDA"));
}

std::optional<PracticeSession::Check> PracticeSession::checkOperation() {
    Dataset &row = set(QuestionType::Fourth);
    const QString answer = scratchAnswer();
    if (answer.isEmpty()) return std::nullopt;
    Dataset &lookup = bankSession()->listQuery;
    lookup.openSql(OperationAnswerSql(row.asInteger(QStringLiteral("tigan_id"))));
    Check check;
    check.standardAnswer = lookup.firstValue().toString();
    check.answer = answer;
    check.right = IsRightAnswer(check.standardAnswer, answer);
    check.score = pointsText(ScoreText(check.right, pointsOf(QuestionType::Fourth)));
    const QuestionStats before = ReadStats(row);
    WriteStats(row, before, AfterCheck(before, check.right));
    m_pendingAnswer = answer;
    return check;
}

ResultPayload PracticeSession::payload(const QString &number, const QString &type, std::optional<QString> standardScore,
                                       const QString &standardAnswer, const QString &answer, const QString &score,
                                       const QString &explanationSql, int questionId) {
    Dataset &lookup = bankSession()->listQuery;
    lookup.openSql(explanationSql);
    ResultPayload p;
    p.number = number;
    p.type = type;
    p.standardScore = std::move(standardScore);
    p.standardAnswer = standardAnswer;
    p.answer = answer;
    p.score = score;
    QString explanation;
    try {
        explanation = DecodeQuestionText(lookup.firstValue().toString());
    } catch (const TextDecodeError &) {
        throw KjksError(QStringLiteral("第 %1 题的解析文字无法解码。").arg(number));
    }
    p.explanation = ExplanationOrChapter(explanation, m_chapterName, m_sectionName);
    p.questionId = questionId;
    return p;
}

ResultPayload PracticeSession::questionPayload(QuestionType type, const Check &check) {
    Dataset &row = set(type);
    const int id = row.asInteger(QStringLiteral("tigan_id"));
    const QString typeText = row.asString(QStringLiteral("tixing"));
    return payload(row.asString(QStringLiteral("tigan_id")), typeText, StandardScoreText(typeText),
                   check.standardAnswer, check.answer, check.score, QuestionExplanationSql(id), id);
}

ResultPayload PracticeSession::operationPayload(const Check &check) {
    Dataset &row = set(QuestionType::Fourth);
    const int id = row.asInteger(QStringLiteral("tigan_id"));
    // The dialog shows "略" for both answers of an operation question; the learner's answer text
    // still tells the dialog a scored answer from one that scored nothing.
    const QString answer =
        check.score != pointsText(QStringLiteral("0")) ? QStringLiteral("略") : QStringLiteral("略.");
    return payload(row.asString(QStringLiteral("tigan_id")), OperationTypeName(),
                   StandardScoreText(OperationTypeName()), QStringLiteral("略"), answer, check.score,
                   QuestionExplanationSql(id), id);
}

ResultPayload PracticeSession::caseStemPayload(const std::vector<SubQuestionBoxes> &boxes) {
    Dataset &row = set(QuestionType::Fourth);
    const int id = row.asInteger(QStringLiteral("id"));
    Dataset &subs = bankSession()->listQuery;
    subs.openSql(SubQuestionsForScoringSql(id));
    const CaseStemScore score = ScoreCaseStem(ReadSubQuestions(subs), boxes, pointsOf(QuestionType::Fourth),
                                              examProfile().RuleFor(QuestionType::Fourth));
    return payload(row.asString(QStringLiteral("id")), CaseStemTypeName(),
                   StandardScoreText(CaseStemTypeName(), kCaseStemScoreMultiple), score.standardText, score.answerText,
                   pointsText(FormatNumber(score.points)), StemExplanationSql(id), id);
}

bool PracticeSession::commitAndMove(QuestionType type, Move move) {
    Dataset &row = set(type);
    if (!row.active() || row.isEmpty()) return false;
    // Only a question answered during this visit counts an attempt.
    QString answer = m_pendingAnswer;
    m_pendingAnswer.clear();
    if (!answer.isEmpty()) {
        if (type == QuestionType::Fourth && fourthKind() == FourthKind::Operation) answer = scratchAnswer();
        const bool right = IsRightAnswer(row.asString(QStringLiteral("daan")), answer);
        // The counted attempt is the question's review: both are kept, or neither.
        ScopedTransaction unit(bankSession()->db);
        const QuestionStats before = ReadStats(row);
        WriteStats(row, before, AfterAttempt(before, right));
        RecordReview(bankSession()->db, reviewItem(type), right, platform().now());
        unit.commit();
    }
    switch (move) {
    case Move::Next:
        return row.next();
    case Move::Previous:
        return row.prior();
    case Move::Stay:
        break;
    }
    return true;
}

ReviewItem PracticeSession::reviewItem(QuestionType type) {
    Dataset &row = set(type);
    if (type == QuestionType::Fourth && fourthKind() == FourthKind::CaseStem)
        return {row.asInteger(QStringLiteral("id")), true};
    return {row.asInteger(QStringLiteral("tigan_id")), false};
}

void PracticeSession::setFavourite(QuestionType type, bool favourite) {
    Dataset &row = set(type);
    row.edit();
    row.setValue(QStringLiteral("shoucang"), favourite ? QStringLiteral("1") : QStringLiteral("0"));
    row.post();
}

void PracticeSession::normaliseJudgementAnswer() {
    Dataset &row = set(QuestionType::Judgement);
    const std::optional<QString> form = JudgementAnswerForm(row.asString(QStringLiteral("daan")));
    if (!form) return;
    row.edit();
    row.setValue(QStringLiteral("daan"), *form);
    row.post();
}

void PracticeSession::clearOperationScratch() {
    Dataset &scratch = bankSession()->rowQuery;
    scratch.openSql(ScratchRowSql());
    if (scratch.isEmpty()) {
        scratch.append();
        scratch.setValue(QStringLiteral("sjID"), 0);
        scratch.setValue(QStringLiteral("xth"), 200);
    } else {
        if (scratch.asString(QStringLiteral("KSDA")).isEmpty()) return; // nothing to clear: no write
        scratch.edit();
    }
    scratch.setValue(QStringLiteral("KSDA"), QString());
    scratch.post();
}
