#include "AnswerCard.h"

#include "ClickableLabel.h"
#include "ExamGeometry.h"
#include "ShapeControl.h"

#include <algorithm>

#include <QCoreApplication>
#include <QKeyEvent>

using namespace ExamGeometry;

namespace {

// The card by keyboard: the arrows move the focus to the cell before or after.
class CardKeys : public QObject {
public:
    CardKeys(std::vector<ClickableLabel *> &labels, QObject *parent) : QObject(parent), m_labels(labels) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        const int step = (key == Qt::Key_Right || key == Qt::Key_Down) ? 1
                         : (key == Qt::Key_Left || key == Qt::Key_Up)  ? -1
                                                                       : 0;
        if (step == 0) return false;
        const auto at = std::find(m_labels.begin(), m_labels.end(), watched);
        if (at == m_labels.end()) return false;
        const long next = long(at - m_labels.begin()) + step;
        if (next >= 0 && next < long(m_labels.size())) m_labels[size_t(next)]->setFocus(Qt::OtherFocusReason);
        return true;
    }

private:
    std::vector<ClickableLabel *> &m_labels;
};

QString stateWords(AnswerCard::State state) {
    switch (state) {
    case AnswerCard::State::NotVisited:
        return QStringLiteral("未看");
    case AnswerCard::State::NotDone:
    case AnswerCard::State::Current:
        return QStringLiteral("未做");
    case AnswerCard::State::Marked:
        return QStringLiteral("已标记");
    case AnswerCard::State::Done:
        return QStringLiteral("已做");
    }
    return QString();
}

} // namespace

QString AnswerCard::spokenName(int position) const {
    QString name = QStringLiteral("第%1题，").arg(position + 1) + stateWords(m_states.at(size_t(position)));
    if (position == m_current) name += QStringLiteral("，当前题");
    return name;
}

QColor AnswerCard::colourOf(State state) {
    switch (state) {
    case State::NotVisited:
        return NotVisitedColour();
    case State::NotDone:
        return NotDoneColour();
    case State::Current:
        return CurrentColour();
    case State::Marked:
        return MarkedColour();
    case State::Done:
        return DoneColour();
    }
    return NotDoneColour();
}

std::array<int, 4> AnswerCard::build(const std::array<QWidget *, 4> &panels, const std::array<int, 4> &counts,
                                     const std::function<void(int)> &onClick) {
    const CardLayout layout = LayoutAnswerCard(counts);
    QFont numberFont = panels[0]->font();
    numberFont.setPointSize(LabelFontPt);
    numberFont.setBold(true);
    for (size_t p = 0; p < layout.cells.size(); ++p) {
        const CardCell &cell = layout.cells[p];
        QWidget *panel = panels[size_t(cell.section)];
        auto *square = new ShapeControl(panel);
        square->setObjectName(QStringLiteral("cellSquare") + QString::number(p));
        square->setGeometry(cell.square);
        square->setShape(ShapeControl::gstRectangle);
        square->setSurfaceType(ShapeControl::stBrushOpaque);
        square->setOutlineColor(ShapeColor(CellOutline()));
        square->setOutlineWidth(1);
        square->setBackColor(ShapeColor(NotVisitedColour()));
        square->show();
        square->raise();

        auto *label = new ClickableLabel(QString::number(p + 1), panel);
        label->setObjectName(QStringLiteral("cellLabel") + QString::number(p));
        label->setGeometry(cell.label);
        label->setFont(numberFont);
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
        label->setFocusPolicy(p == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        label->setAccessibleName(QStringLiteral("第%1题，未看").arg(p + 1));
        if (!m_keys) m_keys = new CardKeys(m_labels, panel->window());
        label->installEventFilter(m_keys);
        label->show();
        label->raise();
        const int position = int(p);
        QObject::connect(label, &ClickableLabel::clicked, label, [onClick, position] { onClick(position); });

        m_squares.push_back(square);
        m_labels.push_back(label);
        m_states.push_back(State::NotVisited);
    }
    return layout.panelHeights;
}

void AnswerCard::set(int position, State state) {
    if (position < 0 || position >= size()) return;
    if (state == State::Current) {
        setCurrent(position);
        return;
    }
    m_states[size_t(position)] = state;
    paint(position);
}

AnswerCard::State AnswerCard::state(int position) const {
    const State own = m_states.at(size_t(position));
    if (position == m_current && (own == State::NotVisited || own == State::NotDone)) return State::Current;
    return own;
}

void AnswerCard::setCurrent(int position) {
    const int before = m_current;
    m_current = (position >= 0 && position < size()) ? position : -1;
    if (before >= 0) paint(before);
    if (m_current < 0) return;
    if (m_states[size_t(m_current)] == State::NotVisited) m_states[size_t(m_current)] = State::NotDone;
    paint(m_current);
}

void AnswerCard::resetCurrent() {
    setCurrent(-1);
}

void AnswerCard::paint(int position) {
    const State shown = state(position);
    ShapeControl *square = m_squares[size_t(position)];
    square->setBackColor(ShapeColor(colourOf(shown)));
    const bool current = position == m_current;
    square->setOutlineColor(ShapeColor(current ? CurrentColour() : CellOutline()));
    square->setOutlineWidth(current ? 3 : 1);
    // White numbers stay readable on the dark current colour.
    QPalette palette = m_labels[size_t(position)]->palette();
    palette.setColor(QPalette::WindowText, shown == State::Current ? QColor(Qt::white) : QColor(Qt::black));
    m_labels[size_t(position)]->setPalette(palette);
    m_labels[size_t(position)]->setAccessibleName(spokenName(position));
    // The card is one Tab stop, at the current question (the first before there is one); the
    // arrows reach the other cells.
    const bool stop = position == m_current || (m_current < 0 && position == 0);
    m_labels[size_t(position)]->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
}

void AnswerCard::raiseLabels() {
    for (ClickableLabel *l : m_labels) {
        l->show();
        l->raise();
    }
}
