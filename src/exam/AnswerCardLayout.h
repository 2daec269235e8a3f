#pragma once

#include <QRect>

#include <array>
#include <vector>

// Where the answer card puts its cells: seven to a row in each section's own panel, numbered on
// across the sections. A function of the section sizes only, so it is checked without a window.
struct CardCell {
    int section = 0; // 0 single, 1 multiple, 2 judgement, 3 fourth
    QRect square;    // in the section's cells panel
    QRect label;
};

struct CardLayout {
    std::vector<CardCell> cells;       // one per position
    std::array<int, 4> panelHeights{}; // cells panels, grown to hold their last label; 0: not on the card
};

// `counts`: questions per section (single, multiple, judgement, fourth). A section of no questions
// is not on the paper and has no panel (nor header) on the card.
CardLayout LayoutAnswerCard(const std::array<int, 4> &counts);
