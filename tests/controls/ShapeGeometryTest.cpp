#include "ShapeGeometry.h"

#include <gtest/gtest.h>

#include <climits>

using namespace ShapeGeometry;

TEST(ShapeGeometry, MulDivRoundsHalvesAwayFromZero) {
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {1, 1, 2, 1},
        {-1, 1, 2, -1},
        {1, -1, 2, -1},
        {3, 1, 4, 1},
        {1, 1, 4, 0},
        {63, 100, 255, 25},
        {63, -100, 255, -25},
        {128, 1, 256, 1},
        {5, 7, 0, -1},
        {INT_MAX, 2, 2, INT_MAX},
        {200000, 300000, 1000000, 60000},
    };
    for (const Case &c : cases)
        EXPECT_EQ(mulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
}

TEST(ShapeGeometry, FigureAndShadowBoxesForEveryOrientation) {
    struct Case {
        ShapeControl::TShadowOrient orient;
        ShapeControl::TGPShapeType shape;
        int outlineWidth;
        Box figure;
        Box shadow;
    };
    // A 30 x 40 control with a shadow depth of 5.
    const Case cases[] = {
        {ShapeControl::soNone, ShapeControl::gstRectangle, 1, {0, 0, 30, 40}, {}},
        {ShapeControl::soNone, ShapeControl::gstRectangle, 0, {0, 0, 31, 41}, {}},
        {ShapeControl::soNone, ShapeControl::gstEllipse, 3, {1, 1, 28, 38}, {}},
        {ShapeControl::soLowerRight, ShapeControl::gstRectangle, 1, {0, 0, 25, 35}, {5, 5, 30, 40}},
        {ShapeControl::soUpperRight, ShapeControl::gstRectangle, 1, {0, 5, 25, 40}, {5, 0, 30, 35}},
        {ShapeControl::soUpperLeft, ShapeControl::gstRectangle, 1, {5, 5, 30, 40}, {0, 0, 25, 35}},
        {ShapeControl::soLowerLeft, ShapeControl::gstRectangle, 1, {5, 0, 30, 35}, {0, 5, 25, 40}},
        {ShapeControl::soLowerRight, ShapeControl::gstStar, 4, {2, 2, 22, 32}, {7, 7, 27, 37}},
        // The diamond's shadow only moves sideways.
        {ShapeControl::soLowerRight, ShapeControl::gstDiamond, 1, {0, 0, 25, 40}, {5, 0, 30, 40}},
        {ShapeControl::soUpperRight, ShapeControl::gstDiamond, 1, {0, 0, 25, 40}, {5, 0, 30, 40}},
        {ShapeControl::soUpperLeft, ShapeControl::gstDiamond, 1, {5, 0, 30, 40}, {0, 0, 25, 40}},
        {ShapeControl::soLowerLeft, ShapeControl::gstDiamond, 1, {5, 0, 30, 40}, {0, 0, 25, 40}},
    };
    for (const Case &c : cases) {
        const FigureBoxes boxes = figureBoxes(30, 40, c.outlineWidth, 5, c.orient, c.shape);
        SCOPED_TRACE(testing::Message() << "orient " << c.orient << " shape " << c.shape << " outline "
                                        << c.outlineWidth);
        EXPECT_TRUE(boxes.figure == c.figure);
        EXPECT_EQ(boxes.hasShadow, c.orient != ShapeControl::soNone);
        if (boxes.hasShadow) {
            EXPECT_TRUE(boxes.shadow == c.shadow);
        }
    }
}

TEST(ShapeGeometry, RoundDiameterTruncatesThePercentageOfTheLongerSide) {
    EXPECT_EQ(roundDiameter(30, 30, 25), 7); // 7.5
    EXPECT_EQ(roundDiameter(40, 30, 25), 10);
    EXPECT_EQ(roundDiameter(30, 41, 25), 10); // 10.25
    EXPECT_EQ(roundDiameter(30, 39, 50), 19); // 19.5
    EXPECT_EQ(roundDiameter(30, 30, 0), 0);
}

TEST(ShapeGeometry, StarPointsGoClockwiseFromTheStartingAngleWithHalvesToEven) {
    // 18 x 18: centre (9, 9), outer radius 5, inner radius 2.5 at 50 %.
    const QPolygon star = starPoints({0, 0, 18, 18}, 4, 90, 50);
    const QPolygon expected{QPoint(9, 4), QPoint(12, 9), QPoint(9, 14), QPoint(6, 9)};
    EXPECT_EQ(star, expected); // 11.5 gives 12 and 6.5 gives 6

    // Starting angle 0 puts point 0 on the right; the next one is below (screen y grows down).
    const QPolygon square = starPoints({10, 20, 40, 50}, 4, 0, 0);
    const QPolygon corners{QPoint(36, 35), QPoint(25, 46), QPoint(14, 35), QPoint(25, 24)};
    EXPECT_EQ(square, corners);

    // A centre at an odd coordinate rounds 20.5 and 9.5 to the even neighbours 20 and 10.
    const QPolygon odd = starPoints({0, 0, 30, 30}, 4, 90, 50);
    EXPECT_EQ(odd[1], QPoint(20, 15));
    EXPECT_EQ(odd[3], QPoint(10, 15));
}

TEST(ShapeGeometry, StippleMasksAreAnchoredAtTheOrigin) {
    for (int y = -8; y < 16; ++y)
        for (int x = -8; x < 16; ++x) {
            const bool even = ((x + y) % 2) == 0;
            EXPECT_EQ(stippleBit(Stipple::Percent50, x, y), even) << x << "," << y;
            EXPECT_EQ(stippleBit(Stipple::Percent25, x, y), x % 2 == 0 && y % 2 == 0) << x << "," << y;
        }
}
