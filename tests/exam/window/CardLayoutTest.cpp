#include "AnswerCardLayout.h"

#include <gtest/gtest.h>

// 24 single, 14 multiple, 10 judgement, 15 fourth: the sample-sized paper.
TEST(CardLayout, RowsOfSevenPerSectionNumberedOnAcrossSections) {
    const CardLayout card = LayoutAnswerCard({24, 14, 10, 15});
    ASSERT_EQ(card.cells.size(), 63u);
    struct Case {
        int position;
        int section;
        QRect square;
        QRect label;
    } cases[] = {
        {0, 0, {7, 3, 24, 24}, {9, 6, 20, 20}},      // first cell
        {6, 0, {181, 3, 24, 24}, {183, 6, 20, 20}},  // seventh: last of the row
        {7, 0, {7, 28, 24, 24}, {9, 31, 20, 20}},    // a new row
        {23, 0, {65, 78, 24, 24}, {67, 81, 20, 20}}, // 24th: row 3 of 7, 7, 7, 3
        {24, 1, {7, 6, 24, 24}, {9, 6, 20, 20}},     // number 25 starts its own panel, 3 px lower
        {38, 2, {7, 3, 24, 24}, {9, 6, 20, 20}},     // judgement
        {48, 3, {7, 3, 24, 24}, {9, 6, 20, 20}},     // fourth
        {62, 3, {7, 63, 24, 24}, {9, 66, 20, 20}},   // fourth rows 30 px apart
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(card.cells[size_t(c.position)].section, c.section);
        EXPECT_EQ(card.cells[size_t(c.position)].square, c.square);
        EXPECT_EQ(card.cells[size_t(c.position)].label, c.label);
    }
    // The single panel grows to its last label + 10; the others keep their heights.
    EXPECT_EQ(card.panelHeights, (std::array<int, 4>{111, 85, 85, 112}));
}

TEST(CardLayout, ASectionOfNoQuestionsHasNoPanelAndTheNumbersRunOn) {
    const struct {
        std::array<int, 4> counts;
        std::array<int, 4> heights;
        std::vector<int> firstCellSection; // section of each section's first position, in order
    } cases[] = {
        {{3, 0, 0, 0}, {85, 0, 0, 0}, {0}},
        {{24, 14, 10, 0}, {111, 85, 85, 0}, {0, 1, 2}},
        {{0, 14, 10, 15}, {0, 85, 85, 112}, {1, 2, 3}},
        {{0, 0, 0, 15}, {0, 0, 0, 112}, {3}},
    };
    for (const auto &c : cases) {
        const CardLayout card = LayoutAnswerCard(c.counts);
        EXPECT_EQ(card.panelHeights, c.heights);
        int total = 0;
        for (int n : c.counts)
            total += n;
        ASSERT_EQ(int(card.cells.size()), total);
        // Each present section starts its own panel at the top-left cell, numbered on from the last.
        size_t position = 0;
        for (int section : c.firstCellSection) {
            EXPECT_EQ(card.cells[position].section, section);
            EXPECT_EQ(card.cells[position].label.topLeft(), QPoint(9, 6));
            position += size_t(c.counts[size_t(section)]);
        }
    }
}
