#pragma once

#include <QtGlobal>
#include <random>
#include <vector>

// The random source of one paper: seeded once when the paper is drawn (from the platform's seed
// seam, so tests fix it) and used for every section of that paper.
class PaperRandom {
public:
    explicit PaperRandom(quint64 seed) : m_engine(seed) {}
    // A uniform integer in 0 … bound − 1; bound must be at least 1.
    int below(int bound);

private:
    std::mt19937_64 m_engine;
};

// Distinct positions in 0 … available − 1, handed out one at a time in random order (a lazy
// Fisher–Yates shuffle): every position is equally likely in every slot, and a section can keep
// drawing when a drawn row turns out unusable until the positions run out.
class PositionDraw {
public:
    PositionDraw(int available, PaperRandom &random);
    bool exhausted() const { return m_taken >= int(m_order.size()); }
    int remaining() const { return int(m_order.size()) - m_taken; }
    // The next position; call only while not exhausted().
    int next();

private:
    std::vector<int> m_order;
    int m_taken = 0;
    PaperRandom &m_random;
};

// `count` distinct positions drawn uniformly from 0 … available − 1 (count ≤ available).
std::vector<int> DrawDistinctPositions(int count, int available, PaperRandom &random);
