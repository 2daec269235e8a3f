#include "AnswerCardLayout.h"

#include "ExamGeometry.h"

using namespace ExamGeometry;

CardLayout LayoutAnswerCard(const std::array<int, 4> &counts) {
    CardLayout layout;
    layout.panelHeights = {CellsPanelHeight, CellsPanelHeight, CellsPanelHeight, FourthCellsPanelHeight};
    // Square and label tops per row: the multiple-choice squares sit 3 px lower than the others,
    // and the fourth section's rows are 30 px apart.
    const int rowPitch[4] = {25, 25, 25, 30};
    const int squareOffset[4] = {3, 6, 3, 3};
    const int labelOffset = 6;
    for (int section = 0; section < 4; ++section) {
        for (int i = 0; i < counts[size_t(section)]; ++i) {
            const int c = i % CellsPerRow;
            const int r = i / CellsPerRow;
            CardCell cell;
            cell.section = section;
            cell.square = QRect(CellPitchX * c + 7, rowPitch[section] * r + squareOffset[section], CellSize, CellSize);
            cell.label = QRect(CellPitchX * c + 9, rowPitch[section] * r + labelOffset, LabelSize, LabelSize);
            layout.cells.push_back(cell);
        }
        if (counts[size_t(section)] <= 0) {
            layout.panelHeights[size_t(section)] = 0;
        } else {
            const QRect &last = layout.cells.back().label;
            const int needed = last.top() + last.height();
            int &height = layout.panelHeights[size_t(section)];
            if (height < needed) height = needed + CellsPanelBottomGap;
        }
    }
    return layout;
}
