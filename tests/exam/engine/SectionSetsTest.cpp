// Papers of the sections a bank has: a profile section of 0 questions is no section of the paper.

#include "EngineFixture.h"

#include <QSet>

namespace {

struct SectionSet {
    const char *name;
    bool single, multiple, judgement, fourth;
};

// Only single choice, no cases, no single choice, only cases, and the full paper.
const SectionSet kSets[] = {
    {"single choice only", true, false, false, false}, {"no cases", true, true, true, false},
    {"no single choice", false, true, true, true},     {"cases only", false, false, false, true},
    {"every section", true, true, true, true},
};

} // namespace

class SectionSetsTest : public EngineTest, public ::testing::WithParamInterface<SectionSet> {
protected:
    // The bank holds questions of the present sections only; the others are 0 questions, 0 points.
    void makeBank(const SectionSet &set) {
        const struct {
            bool present;
            const char *count;
            const char *points;
        } columns[] = {{set.single, "danxuanti", "danxuanfen"},
                       {set.multiple, "duoxuanti", "duoxuanfen"},
                       {set.judgement, "panduanti", "panduanfen"},
                       {set.fourth, "shicaoti", "shicaofen"}};
        for (const auto &c : columns)
            if (!c.present) {
                setProfile(c.count, QStringLiteral("0"));
                setProfile(c.points, QStringLiteral("0"));
            }
        if (set.single)
            for (int id : {11, 12, 13})
                bank.addQuestion(id, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
        if (set.multiple)
            for (int id : {21, 22})
                bank.addQuestion(id, QStringLiteral("多选题"), 1, 1, QStringLiteral("AB"));
        if (set.judgement)
            for (int id : {31, 32})
                bank.addQuestion(id, QStringLiteral("判断题"), 1, 2, QStringLiteral("√"), 0);
        if (set.fourth) {
            bank.addStem(7, 1, 2);
            bank.addStem(8, 1, 2);
        }
    }
};

TEST_P(SectionSetsTest, APaperHoldsTheSectionsTheBankHasAndIsAnsweredScoredAndReviewed) {
    const SectionSet &set = GetParam();
    // The fixture profile: 2 single (4 points), 1 multiple (2), 1 judgement (1), 5 case sub-questions (10).
    const struct {
        QString type;
        int count;
        int points;
    } full[] = {{QStringLiteral("单选题"), 2, 4},
                {QStringLiteral("多选题"), 1, 2},
                {QStringLiteral("判断题"), 1, 1},
                {QStringLiteral("不定项选择题"), 5, 10}};
    makeBank(set);
    open();
    const bool present[] = {set.single, set.multiple, set.judgement, set.fourth};
    QStringList types;
    int points = 0;
    std::vector<std::array<QString, 4>> sheet{
        {QStringLiteral("题型"), QStringLiteral("题量"), QStringLiteral("总分"), QStringLiteral("得分")}};
    for (int s = 0; s < 4; ++s) {
        if (!present[s]) continue;
        for (int k = 0; k < full[s].count; ++k)
            types << full[s].type;
        points += full[s].points;
        sheet.push_back({full[s].type, QString::number(full[s].count), QString::number(full[s].points),
                         QString::number(full[s].points)});
    }
    sheet.push_back({QStringLiteral("合计"), QString(), QString::number(points), QString::number(points)});

    // Drawn: the present sections in the exam's order, numbered on from 1.
    startNewPaper();
    ASSERT_EQ(engine->Total(), int(types.size()));
    ASSERT_EQ(engine->PaperQuestionIds().size(), types.size());
    const std::vector<PaperRow> drawn = engine->AnswerList();
    ASSERT_EQ(drawn.size(), size_t(types.size()));
    for (int p = 0; p < types.size(); ++p) {
        EXPECT_EQ(drawn[size_t(p)].xth, p + 1);
        EXPECT_EQ(drawn[size_t(p)].tixing, types[p]);
        EXPECT_EQ(examProfile().section(engine->SectionOf(p)).typeName, types[p]) << p;
    }

    // Every question answered right, handed in: a score-sheet row per present section, and the
    // total's full points those sections' points.
    for (int p = 0; p < types.size(); ++p)
        EXPECT_EQ(engine->StoreAnswer(p, drawn[size_t(p)].daan).xth, p + 1) << p;
    const HandInResult result = engine->HandIn();
    EXPECT_EQ(result.sheet.cells, sheet);
    EXPECT_EQ(result.sheet.totalText, QString::number(points));
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(result.stored[size_t(s) + 1], present[s] ? full[s].points : 0) << s;
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from kjks_tigan where DDCS = '1'")).toInt(), 0);

    // Reviewed: every row of the answer list and every position explains itself.
    for (const PaperRow &row : result.answerList)
        EXPECT_TRUE(engine->AnswerListPayload(row).contains(row.tixing)) << row.xth;
    for (int p = 0; p < types.size(); ++p)
        EXPECT_TRUE(engine->ExplanationPayload(p).contains(types[p])) << p;

    // The time: the title's 120 minutes for the full paper, its points' share for the others.
    const int minutes = set.single && set.multiple && set.judgement && set.fourth ? 120 : (120 * points + 99) / 100;
    EXPECT_EQ(ExamSecondsFor(examProfile(), engine->SubjectTitle()), minutes * 60);
}

INSTANTIATE_TEST_SUITE_P(Table, SectionSetsTest, ::testing::ValuesIn(kSets),
                         [](const ::testing::TestParamInfo<SectionSet> &info) {
                             std::string n = info.param.name;
                             for (char &c : n)
                                 if (c == ' ') c = '_';
                             return n;
                         });

TEST_F(SectionSetsTest, TheBanksMinutesStandAndAnEmptyProfileDrawsNothing) {
    makeBank(kSets[0]);
    bank.model.options[QStringLiteral("EXAM_MINUTES")] = QStringLiteral("30");
    open();
    EXPECT_EQ(ExamSecondsFor(examProfile(), engine->SubjectTitle()), 30 * 60);

    // A profile that lost all its sections after it was read: no paper, nothing kept.
    for (ExamSection &section : examProfile().sections)
        section.count = 0;
    examProfile().totalCount = 0;
    EXPECT_THROW(startNewPaper(), PaperError);
    EXPECT_EQ(launchParameters().PaperKey, QStringLiteral("0"));
    EXPECT_EQ(count(QStringLiteral("kjks_SJML")), 0);
}
