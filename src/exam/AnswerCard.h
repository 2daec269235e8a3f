#pragma once

#include "AnswerCardLayout.h"

#include <QColor>

#include <array>
#include <functional>
#include <vector>

class ClickableLabel;
class QWidget;
class TzrShape;

// The answer card's cells: a square (shape control, 1-px sky-blue outline) with its number label
// on top, one per position of the paper, on the four sections' cells panels. The colour of a
// square is the cell's state on screen.
class AnswerCard {
public:
    enum class State { NotVisited, NotDone, Current, Marked, Done };

    // Creates the cells; a click on a number label calls `onClick` with its position. Returns the
    // heights the cells panels need.
    std::array<int, 4> build(const std::array<QWidget *, 4> &panels, const std::array<int, 4> &counts,
                             const std::function<void(int)> &onClick);
    int size() const { return int(m_squares.size()); }

    void set(int position, State state);
    State state(int position) const { return m_states.at(size_t(position)); }
    // Every cell in the current colour becomes white (not done).
    void resetCurrent();
    // Number labels shown and above their squares.
    void raiseLabels();

    TzrShape *square(int position) const { return m_squares.at(size_t(position)); }
    ClickableLabel *label(int position) const { return m_labels.at(size_t(position)); }
    // The fill colour a state paints.
    static QColor colourOf(State state, const QWidget *context);

private:
    std::vector<TzrShape *> m_squares;
    std::vector<ClickableLabel *> m_labels;
    std::vector<State> m_states;
};
