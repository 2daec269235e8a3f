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

TEST(CardLayout, EmptySectionsKeepTheirPanels) {
    const CardLayout card = LayoutAnswerCard({3, 0, 0, 0});
    EXPECT_EQ(card.cells.size(), 3u);
    EXPECT_EQ(card.panelHeights, (std::array<int, 4>{85, 85, 85, 112}));
}
