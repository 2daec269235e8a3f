#include "PaperDraw.h"

#include <gtest/gtest.h>
#include <set>

TEST(DrawDistinctPositions, DistinctPositionsWithinTheRows) {
    struct Case {
        int count, available;
    };
    for (const Case c : {Case{0, 5}, Case{1, 1}, Case{3, 3}, Case{24, 25}, Case{5, 100000}}) {
        for (quint64 seed = 0; seed < 20; ++seed) {
            PaperRandom random(seed);
            const std::vector<int> drawn = DrawDistinctPositions(c.count, c.available, random);
            const std::set<int> distinct(drawn.begin(), drawn.end());
            ASSERT_EQ(int(drawn.size()), c.count) << c.count << " of " << c.available;
            EXPECT_EQ(distinct.size(), drawn.size()) << c.count << " of " << c.available;
            if (distinct.empty()) continue;
            EXPECT_GE(*distinct.begin(), 0);
            EXPECT_LT(*distinct.rbegin(), c.available);
        }
    }
}

TEST(DrawDistinctPositions, OneGeneratorGivesEveryRowToEverySlot) {
    // Three rows, two slots: over a run of seeds each row lands in each slot, the last row and
    // position 0 in the first slot included.
    std::set<std::pair<int, int>> seen; // (slot, position)
    for (quint64 seed = 0; seed < 200; ++seed) {
        PaperRandom random(seed);
        const std::vector<int> drawn = DrawDistinctPositions(2, 3, random);
        for (int slot = 0; slot < 2; ++slot)
            seen.insert({slot, drawn[size_t(slot)]});
    }
    EXPECT_EQ(seen.size(), 6u);
}

TEST(PositionDraw, HandsOutEveryPositionOnceThenStops) {
    PaperRandom random(7);
    PositionDraw draw(4, random);
    std::set<int> positions;
    while (!draw.exhausted())
        positions.insert(draw.next());
    EXPECT_EQ(positions, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(draw.remaining(), 0);
}
