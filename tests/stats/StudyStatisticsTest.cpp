#include "StudyStatistics.h"

#include "ExamProfile.h"
#include "FixtureBank.h"

#include <gtest/gtest.h>

namespace {

class StudyStatisticsTest : public ::testing::Test {
protected:
    // Opens the bank, loads profile 1 and reads the figures.
    StudyStatistics load() {
        BankSession &form = bank.open();
        form.LoadExamProfile(QStringLiteral("1"));
        return LoadStudyStatistics(form.db, examProfile());
    }

    BankQuestion &practised(int id, const QString &tixing, int zhang, int jie, int attempts, int correct,
                            bool wrong = false, bool favourite = false) {
        BankQuestion &q = bank.addQuestion(id, tixing, zhang, jie, QStringLiteral("A"), 0);
        q.progress.YDCS = attempts > 0 || wrong ? QStringLiteral("1") : QStringLiteral("0");
        q.progress.ZONGCS = attempts;
        q.progress.ZQCS = correct;
        q.progress.DDCS = wrong ? QStringLiteral("1") : QStringLiteral("0");
        q.progress.shoucang = favourite ? QStringLiteral("1") : QStringLiteral("0");
        return q;
    }

    void paper(int sjID, const QString &started, const QString &handedIn, std::map<QString, double> scores,
               int flagState = 0) {
        bank.model.papers.push_back({sjID, started, handedIn, std::move(scores), flagState});
    }

    FixtureBank bank;
};

// The figures of a tally in one comparable line: questions, practised, attempts, correct, wrong,
// favourites.
std::vector<qint64> figures(const PracticeTally &t) {
    return {t.questions, t.practised, t.attempts, t.correct, t.wrong, t.favourites};
}

TEST_F(StudyStatisticsTest, AnEmptyBankHasFourEmptyTypesAndNoPapers) {
    const StudyStatistics s = load();
    EXPECT_EQ(figures(s.overall), (std::vector<qint64>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s.overall.practisedShare(), 0.0);
    EXPECT_FALSE(s.overall.accuracy());
    ASSERT_EQ(s.types.size(), 4u);
    EXPECT_EQ(s.types[3].typeName, QStringLiteral("不定项选择题"));
    EXPECT_TRUE(s.chapters.empty());
    EXPECT_TRUE(s.sections.empty());
    EXPECT_TRUE(s.exams.papers.empty());
    EXPECT_EQ(s.exams.notHandedIn, 0);
    EXPECT_FALSE(s.exams.recentMean());
    EXPECT_DOUBLE_EQ(s.exams.paperTotal, 17); // 4 + 2 + 1 + 10 points in the fixture's profile
}

TEST_F(StudyStatisticsTest, CountsWhatPracticeOffersByTypeChapterAndSection) {
    practised(1, QStringLiteral("单选题"), 1, 1, 4, 3, false, true);
    practised(2, QStringLiteral("单选题"), 1, 2, 2, 0, true);
    practised(3, QStringLiteral("单选题"), 1, 2, 0, 0);
    practised(4, QStringLiteral("多选题"), 1, 1, 5, 5);
    practised(5, QStringLiteral("判断题"), 2, 1, 1, 0, true);
    // A damaged row: more right than counted attempts, and a negative counter.
    practised(6, QStringLiteral("判断题"), 2, 1, 2, 7);
    practised(7, QStringLiteral("判断题"), 2, 1, -3, -1);
    // Not offered by practice: an empty standard answer, an operation question while the fourth
    // type is the case stem, and a type practice has no tab for.
    practised(8, QStringLiteral("单选题"), 1, 1, 9, 9).daan.clear();
    practised(9, QStringLiteral("实操题"), 1, 1, 9, 9);
    practised(10, QStringLiteral("计算分析题"), 1, 1, 9, 9);
    // A case stem counts once; its sub-questions (wrong after a mock exam) are part of it.
    BankStem &stem = bank.addStem(30, 2, 3, 5, 4);
    stem.progress = {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("0"), 1, 3};
    for (BankQuestion &q : bank.model.questions)
        if (q.zongtimian == QStringLiteral("30")) q.progress.DDCS = QStringLiteral("1");
    // A section the chapter tree does not know.
    bank.model.chapters.push_back({QStringLiteral("0102"), QStringLiteral("第二章 资产")});
    bank.model.chapters.push_back({QStringLiteral("010201"), QStringLiteral("第一节 货币资金")});

    const StudyStatistics s = load();
    EXPECT_EQ(figures(s.types[0].tally), (std::vector<qint64>{3, 2, 6, 3, 1, 1}));
    EXPECT_EQ(figures(s.types[1].tally), (std::vector<qint64>{1, 1, 5, 5, 0, 0}));
    EXPECT_EQ(figures(s.types[2].tally), (std::vector<qint64>{3, 2, 3, 2, 1, 0}));
    EXPECT_EQ(figures(s.types[3].tally), (std::vector<qint64>{1, 1, 3, 1, 1, 0}));
    EXPECT_EQ(figures(s.overall), (std::vector<qint64>{8, 6, 17, 11, 3, 1}));
    EXPECT_DOUBLE_EQ(*s.overall.accuracy(), 11.0 / 17.0);
    EXPECT_DOUBLE_EQ(s.overall.practisedShare(), 6.0 / 8.0);

    ASSERT_EQ(s.chapters.size(), 2u);
    EXPECT_EQ(s.chapters[0].name, QStringLiteral("第一章 会计概述"));
    EXPECT_EQ(figures(s.chapters[0].tally), (std::vector<qint64>{4, 3, 11, 8, 1, 1}));
    EXPECT_EQ(s.chapters[1].name, QStringLiteral("第二章 资产"));
    EXPECT_EQ(figures(s.chapters[1].tally), (std::vector<qint64>{4, 3, 6, 3, 2, 0}));

    ASSERT_EQ(s.sections.size(), 4u);
    auto where = [](const SectionTally &t) {
        return QStringLiteral("%1/%2 %3 %4 %5")
            .arg(t.zhang)
            .arg(t.jie)
            .arg(t.chapterName, t.sectionName, t.launchCode());
    };
    EXPECT_EQ(where(s.sections[0]), QStringLiteral("1/1 第一章 会计概述 第一节 会计概念 10101"));
    EXPECT_EQ(where(s.sections[1]), QStringLiteral("1/2 第一章 会计概述 第二节 会计基本假设 10102"));
    EXPECT_EQ(where(s.sections[2]), QStringLiteral("2/1 第二章 资产 第一节 货币资金 10201"));
    EXPECT_EQ(where(s.sections[3]), QStringLiteral("2/3 第二章 资产 第3节 10203"));
    EXPECT_EQ(figures(s.sections[3].tally), (std::vector<qint64>{1, 1, 3, 1, 1, 0}));
    // Per type within a section: 1/1 holds a single and a multiple question.
    EXPECT_EQ(figures(s.sections[0].byType[0]), (std::vector<qint64>{1, 1, 4, 3, 0, 1}));
    EXPECT_EQ(figures(s.sections[0].byType[1]), (std::vector<qint64>{1, 1, 5, 5, 0, 0}));
    EXPECT_EQ(s.sections[0].byType[2].questions + s.sections[0].byType[3].questions, 0);
    EXPECT_EQ(figures(s.sections[3].byType[3]), (std::vector<qint64>{1, 1, 3, 1, 1, 0}));
}

TEST_F(StudyStatisticsTest, AnotherFourthTypePractisesTheOperationQuestionsInsteadOfStems) {
    bank.model.profiles[0].columns[QStringLiteral("shicaotype")] = QStringLiteral("计算分析题");
    practised(1, QStringLiteral("实操题"), 1, 1, 2, 1, true);
    bank.addStem(30, 1, 1, 5, 4).progress.ZONGCS = 4;
    const StudyStatistics s = load();
    EXPECT_EQ(s.types[3].typeName, QStringLiteral("计算分析题"));
    EXPECT_EQ(figures(s.types[3].tally), (std::vector<qint64>{1, 1, 2, 1, 1, 0}));
    EXPECT_EQ(s.overall.questions, 1);
}

TEST_F(StudyStatisticsTest, HandedInPapersInOrderOfHandInWithDurationsPassLineAndRecentMean) {
    const auto scores = [](double total, double single) {
        return std::map<QString, double>{{QStringLiteral("DEFEN"), total},
                                         {QStringLiteral("DanDeFen"), single},
                                         {QStringLiteral("DuoDeFen"), 1},
                                         {QStringLiteral("PanDeFen"), 0.5}};
    };
    paper(11, QStringLiteral("2026-12-01 09:00:00"), QStringLiteral("2026-12-01 10:30:00"), scores(9, 4));
    // Handed in later than paper 13 although numbered before it.
    paper(12, QStringLiteral("2026-12-03 09:00:00"), QStringLiteral("2026-12-03 09:45:30"), scores(12, 2));
    paper(13, QStringLiteral("2026-12-02 20:00:00"), QStringLiteral("2026-12-02 21:59:59"), scores(15, 4));
    // Started again ("重做") after its hand-in and not handed in since: a redo in progress, like a
    // paper never handed in; its old result no longer counts.
    paper(14, QStringLiteral("2026-12-05 08:00:00"), QStringLiteral("2026-12-04 08:50:00"), scores(6, 0));
    // Never handed in, and a paper the answered-paper list hides.
    paper(15, QStringLiteral("2026-12-06 08:00:00"), QString(), {});
    paper(16, QStringLiteral("2026-12-06 09:00:00"), QStringLiteral("2026-12-06 10:00:00"), scores(17, 4), 1);

    const StudyStatistics s = load();
    std::vector<int> order, numbers;
    std::vector<QString> durations;
    for (const PaperResult &p : s.exams.papers) {
        order.push_back(p.sjID);
        numbers.push_back(p.number);
        durations.push_back(DurationText(p.durationSeconds));
    }
    EXPECT_EQ(order, (std::vector<int>{11, 13, 12}));
    EXPECT_EQ(numbers, (std::vector<int>{1, 3, 2})); // as the answered-paper list numbers them
    EXPECT_EQ(durations,
              (std::vector<QString>{QStringLiteral("1:30:00"), QStringLiteral("1:59:59"), QStringLiteral("0:45:30")}));
    EXPECT_EQ(s.exams.notHandedIn, 2);
    const PaperResult &p = s.exams.papers[1];
    EXPECT_EQ(std::vector<double>(p.sections, p.sections + 4), (std::vector<double>{4, 1, 0.5, 0})); // NULL reads 0
    EXPECT_DOUBLE_EQ(s.exams.passLine(), 17 * 0.6);
    EXPECT_DOUBLE_EQ(*s.exams.recentMean(2), (15 + 12) / 2.0);
    EXPECT_DOUBLE_EQ(*s.exams.recentMean(10), (9 + 15 + 12) / 3.0);
}

TEST_F(StudyStatisticsTest, ABankThatCannotBeWrittenIsStillCounted) {
    practised(1, QStringLiteral("单选题"), 1, 1, 2, 1);
    const QString path = bank.write();
    // Another connection holds the write lock: the indexes cannot be made, the figures still come.
    SqlDatabase writer;
    writer.open(path, QString::fromLatin1(kBankPassword));
    writer.exec(QStringLiteral("begin immediate"));
    BankSession form;
    form.OpenBank(path);
    form.LoadExamProfile(QStringLiteral("1"));
    EXPECT_EQ(LoadStudyStatistics(form.db, examProfile()).overall.attempts, 2);
    writer.exec(QStringLiteral("rollback"));
}

SectionTally section(int zhang, int jie, qint64 attempts, qint64 correct) {
    SectionTally s;
    s.zhang = zhang;
    s.jie = jie;
    s.tally.attempts = attempts;
    s.tally.correct = correct;
    return s;
}

TEST(WeakestFirst, RanksSectionsWithEnoughAttemptsByAccuracyAndLeavesTheRestInOrder) {
    const std::vector<SectionTally> in = {
        section(1, 1, 10, 9),  // 90 %
        section(1, 2, 9, 0),   // too few attempts to rank, however bad
        section(1, 3, 20, 10), // 50 %, more attempts than 2/1
        section(2, 1, 10, 5),  // 50 %
        section(2, 2, 30, 2),  // 6.7 %
        section(3, 1, 0, 0),   // never practised
        section(3, 2, 10, 5),  // 50 %, as many attempts as 2/1: section order
    };
    std::vector<QString> out;
    for (const SectionTally &s : WeakestFirst(in))
        out.push_back(QStringLiteral("%1/%2").arg(s.zhang).arg(s.jie));
    EXPECT_EQ(out, (std::vector<QString>{QStringLiteral("2/2"), QStringLiteral("1/3"), QStringLiteral("2/1"),
                                         QStringLiteral("3/2"), QStringLiteral("1/1"), QStringLiteral("1/2"),
                                         QStringLiteral("3/1")}));
}

TEST(StatisticsTexts, PercentAndDuration) {
    EXPECT_EQ(PercentText(std::nullopt), QStringLiteral("—"));
    EXPECT_EQ(PercentText(0.0), QStringLiteral("0.0%"));
    EXPECT_EQ(PercentText(2.0 / 3.0), QStringLiteral("66.7%"));
    EXPECT_EQ(PercentText(1.0), QStringLiteral("100.0%"));
    EXPECT_EQ(DurationText(59), QStringLiteral("0:00:59"));
    EXPECT_EQ(DurationText(qint64(61) * 3600), QStringLiteral("61:00:00")); // no wrap after 60 hours
    EXPECT_EQ(DurationText(std::nullopt), QStringLiteral("—"));
}

} // namespace

// 已练 is what the practice checks marked (YDCS), not what the attempt counters say: a question
// checked and left before its attempt was counted is practised, a counter without the mark is not.
TEST_F(StudyStatisticsTest, PractisedFollowsTheCheckedMarkNotTheAttemptCounter) {
    practised(1, QStringLiteral("单选题"), 1, 1, 0, 0).progress.YDCS = QStringLiteral("1");
    practised(2, QStringLiteral("单选题"), 1, 1, 3, 1).progress.YDCS = QStringLiteral("0");
    const StudyStatistics s = load();
    EXPECT_EQ(s.types[0].tally.practised, 1);
    EXPECT_EQ(s.overall.practised, 1);
}
