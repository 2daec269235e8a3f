// The exam window on banks without some of the exam's sections: the card, the questions, the
// hand-in and the review show the sections the paper has.

#include "ExamWindowFixture.h"

namespace {

struct SectionSet {
    const char *name;
    bool present[4]; // single, multiple, judgement, fourth
    int questions;
};

const SectionSet kSets[] = {
    {"single_choice_only", {true, false, false, false}, 2},
    {"no_cases", {true, true, true, false}, 4},
    {"no_single_choice", {false, true, true, true}, 7},
};

const char *const kStrips[4] = {"singleHeader", "multipleHeader", "judgementHeader", "fourthHeaderPanel"};
const char *const kCells[4] = {"singleCells", "multipleCells", "judgementCells", "fourthCells"};

} // namespace

class ExamSectionSetsTest : public ExamWindowTest, public ::testing::WithParamInterface<SectionSet> {};

TEST_P(ExamSectionSetsTest, CardQuestionsHandInAndReviewShowTheSectionsThePaperHas) {
    const SectionSet &set = GetParam();
    const char *const columns[4][2] = {{"danxuanti", "danxuanfen"},
                                       {"duoxuanti", "duoxuanfen"},
                                       {"panduanti", "panduanfen"},
                                       {"shicaoti", "shicaofen"}};
    for (int s = 0; s < 4; ++s)
        if (!set.present[s]) {
            setProfile(columns[s][0], QStringLiteral("0"));
            setProfile(columns[s][1], QStringLiteral("0"));
        }
    if (set.present[0])
        for (int id : {11, 12, 13})
            bank.addQuestion(id, QStringLiteral("单选题"), 1, 1, QStringLiteral("A"));
    if (set.present[1])
        for (int id : {21, 22})
            bank.addQuestion(id, QStringLiteral("多选题"), 1, 1, QStringLiteral("AD"));
    if (set.present[2])
        for (int id : {31, 32})
            bank.addQuestion(id, QStringLiteral("判断题"), 1, 2, QStringLiteral("×"), 0);
    if (set.present[3]) bank.addStem(7, 1, 2);
    open();
    ASSERT_TRUE(platform.boxes.empty()) << platform.boxes[0].text.toStdString();

    // The card: a header strip and cells panel per present section, stacked from the top without gaps.
    ASSERT_EQ(w().card().size(), set.questions);
    int top = 0;
    for (int s = 0; s < 4; ++s) {
        SCOPED_TRACE(kStrips[s]);
        auto *strip = w().findChild<QWidget *>(QString::fromLatin1(kStrips[s]));
        auto *cells = w().findChild<QWidget *>(QString::fromLatin1(kCells[s]));
        ASSERT_TRUE(strip && cells);
        EXPECT_EQ(strip->isVisible(), set.present[s]);
        EXPECT_EQ(cells->isVisible(), set.present[s]);
        if (!set.present[s]) continue;
        EXPECT_EQ(strip->y(), top);
        EXPECT_EQ(cells->y(), strip->y() + strip->height());
        top = cells->y() + cells->height();
    }
    // Question 1 is on screen and current, from the first present section.
    EXPECT_EQ(w().card().state(0), State::Current);
    EXPECT_TRUE(w().view().stemBox->toPlainText().startsWith(QStringLiteral("1、")))
        << w().view().stemBox->toPlainText().toStdString();

    // Every question gets an answer through its cell; the last question is reached.
    for (int p = 0; p < set.questions; ++p) {
        cell(p);
        EXPECT_EQ(w().currentPosition(), p);
        option(0);
    }
    clickWidget(w().handInArea);
    ASSERT_EQ(w().state(), ExamWindow::ExamState::HandedIn);

    // The score sheet: headings, a row per present section, the total.
    int present = 0;
    for (bool p : set.present)
        present += p ? 1 : 0;
    ASSERT_EQ(w().scoreSheetGrid->rowCount(), present + 2);
    EXPECT_EQ(w().scoreSheetGrid->item(present + 1, 0)->text(), QStringLiteral("合计"));
    EXPECT_EQ(w().scoreSheetGrid->item(present + 1, 3)->text(), w().totalScoreLabel->text());
    // The review: the answer list holds the paper, and its last row opens its result.
    ASSERT_EQ(w().answerListGrid->rowCount(), set.questions);
    emit w().answerListGrid->cellClicked(set.questions - 1, 0);
    EXPECT_EQ(w().currentPosition(), set.questions - 1);
    ASSERT_NE(resultDialog(), nullptr);
    EXPECT_EQ(resultDialog()->windowTitle(), QStringLiteral("评分(第%1题)").arg(set.questions));
}

INSTANTIATE_TEST_SUITE_P(Table, ExamSectionSetsTest, ::testing::ValuesIn(kSets),
                         [](const ::testing::TestParamInfo<SectionSet> &info) { return std::string(info.param.name); });
