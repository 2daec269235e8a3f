#pragma once

#include "AnswerCardLayout.h"

#include <QColor>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class ClickableLabel;
class QObject;
class QWidget;
class ShapeControl;

// The answer card's cells: a square (shape control, 1-px sky-blue outline) with its number label
// on top, one per position of the paper, on the four sections' cells panels. The colour of a
// square is the cell's state on screen. The cell of the question on display is the current one:
// it is filled with the current colour while it is neither answered nor marked, and framed in
// that colour whatever its state, so the learner always sees where they are.
class AnswerCard {
public:
    enum class State { NotVisited, NotDone, Current, Marked, Done };

    // Creates the cells; a click on a number label calls `onClick` with its position. Returns the
    // heights the cells panels need.
    std::array<int, 4> build(const std::array<QWidget *, 4> &panels, const std::array<int, 4> &counts,
                             const std::function<void(int)> &onClick);
    int size() const { return int(m_squares.size()); }

    // Sets a cell's state; Current makes it the current cell (as setCurrent).
    void set(int position, State state);
    // The state a cell shows: Current for the current cell while it is neither answered nor marked.
    State state(int position) const;
    // The question on display moves to a position; a cell once shown is no longer "not visited".
    void setCurrent(int position);
    int current() const { return m_current; }
    // No cell is current.
    void resetCurrent();
    // Number labels shown and above their squares.
    void raiseLabels();

    ShapeControl *square(int position) const { return m_squares.at(size_t(position)); }
    ClickableLabel *label(int position) const { return m_labels.at(size_t(position)); }
    // The fill colour a state paints.
    static QColor colourOf(State state);
    // What a screen reader says for a cell: "第12题，已做", "第3题，已标记，当前题".
    QString spokenName(int position) const;

private:
    std::vector<ShapeControl *> m_squares;
    std::vector<ClickableLabel *> m_labels;
    void paint(int position);

    std::vector<State> m_states; // NotVisited, NotDone, Marked or Done
    QObject *m_keys = nullptr;   // the arrows between cells
    int m_current = -1;
};
