#include "PaperDraw.h"

#include <algorithm>
#include <numeric>
#include <utility>

int PaperRandom::below(int bound) {
    // Rejection keeps every value equally likely (no modulo bias).
    const quint64 range = quint64(bound);
    const quint64 limit = std::mt19937_64::max() - std::mt19937_64::max() % range;
    quint64 value;
    do {
        value = m_engine();
    } while (value >= limit);
    return int(value % range);
}

PositionDraw::PositionDraw(int available, PaperRandom &random)
    : m_order(size_t(std::max(available, 0))), m_random(random) {
    std::iota(m_order.begin(), m_order.end(), 0);
}

int PositionDraw::next() {
    const int pick = m_taken + m_random.below(remaining());
    std::swap(m_order[size_t(m_taken)], m_order[size_t(pick)]);
    return m_order[size_t(m_taken++)];
}

std::vector<int> DrawDistinctPositions(int count, int available, PaperRandom &random) {
    PositionDraw draw(available, random);
    std::vector<int> positions;
    for (int i = 0; i < count && !draw.exhausted(); ++i)
        positions.push_back(draw.next());
    return positions;
}
