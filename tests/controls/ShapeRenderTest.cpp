#include "ShapeStage.h"

#include <QPainter>

#include <vector>

namespace {

struct Probe {
    int x;
    int y;
    QRgb expected;
};

void expectPixels(ShapeStage &stage, const QImage &image, const std::vector<Probe> &probes) {
    for (const Probe &p : probes)
        EXPECT_EQ(rgbText(stage.at(image, p.x, p.y)), rgbText(p.expected)) << "at (" << p.x << ", " << p.y << ")";
}

// No outline and no outline width: the figure box reaches one pixel past the control, so a
// surface that clips to it covers every pixel of the control.
void clearOutline(ShapeControl *shape) {
    shape->setOutlineStyle(ShapeControl::psClear);
    shape->setOutlineWidth(0);
}

const QRgb ShadowRgb = qRgb(0x40, 0x80, 0x20);

} // namespace

TEST(ShapeRender, NewControlIsAWhiteRectangleWithABlackOutline) {
    ShapeStage stage(QSize(25, 25), QPoint(5, 5), QSize(40, 40));
    ASSERT_EQ(stage.shape->size(), QSize(25, 25));
    const QImage image = stage.render();
    for (int y = -1; y <= 25; ++y)
        for (int x = -1; x <= 25; ++x) {
            const bool outside = x < 0 || y < 0 || x > 24 || y > 24;
            const bool border = x == 0 || y == 0 || x == 24 || y == 24;
            const QRgb expected = outside ? Background : border ? Black : White;
            ASSERT_EQ(rgbText(stage.at(image, x, y)), rgbText(expected)) << x << "," << y;
        }
}

TEST(ShapeRender, FiguresPassThroughTheirCornerPoints) {
    struct Case {
        ShapeControl::TGPShapeType shape;
        QSize size;
        std::vector<QPoint> corners; // on the outline
        std::vector<QPoint> inside;  // surface colour
        std::vector<QPoint> outside; // parent colour
    };
    // 40 x 30 gives w 40, h 30 (quarters 10 and 7); the vertical arrows are 30 x 40.
    const std::vector<Case> cases = {
        {ShapeControl::gstRectangle, {40, 30}, {{0, 0}, {39, 0}, {39, 29}, {0, 29}}, {{1, 1}, {38, 28}}, {}},
        {ShapeControl::gstRoundRect, {40, 30}, {{20, 0}, {39, 15}, {20, 29}, {0, 15}}, {{3, 3}}, {{0, 0}, {39, 29}}},
        {ShapeControl::gstEllipse,
         {40, 30},
         {{20, 0}, {39, 15}, {20, 29}, {0, 15}},
         {{20, 15}},
         {{0, 0}, {39, 0}, {3, 3}}},
        {ShapeControl::gstDiamond,
         {40, 30},
         {{20, 0}, {39, 15}, {20, 29}, {0, 15}},
         {{20, 15}, {5, 15}},
         {{0, 0}, {39, 29}, {8, 5}}},
        {ShapeControl::gstTriangleLeft, {40, 30}, {{39, 0}, {39, 29}, {0, 15}}, {{35, 15}}, {{0, 0}, {0, 29}}},
        {ShapeControl::gstTriangleRight, {40, 30}, {{0, 0}, {39, 15}, {0, 29}}, {{4, 15}}, {{39, 0}, {39, 29}}},
        {ShapeControl::gstTriangleUp, {40, 30}, {{20, 0}, {0, 29}, {39, 29}}, {{20, 25}}, {{0, 0}, {39, 0}}},
        {ShapeControl::gstTriangleDown, {40, 30}, {{0, 0}, {20, 29}, {39, 0}}, {{20, 4}}, {{0, 29}, {39, 29}}},
        {ShapeControl::gstArrowLeft,
         {40, 30},
         {{30, 0}, {0, 15}, {30, 29}, {30, 23}, {39, 23}, {39, 7}, {30, 7}},
         {{20, 15}, {35, 15}},
         {{35, 3}, {35, 26}, {0, 0}}},
        {ShapeControl::gstArrowRight,
         {40, 30},
         {{10, 0}, {39, 15}, {10, 29}, {10, 23}, {0, 23}, {0, 7}, {10, 7}},
         {{20, 15}, {4, 15}},
         {{4, 3}, {4, 26}, {39, 0}}},
        {ShapeControl::gstArrowUp,
         {30, 40},
         {{15, 0}, {0, 30}, {7, 30}, {7, 39}, {23, 39}, {23, 30}, {29, 30}},
         {{15, 20}, {15, 35}},
         {{3, 35}, {26, 35}, {0, 0}}},
        {ShapeControl::gstArrowDown,
         {30, 40},
         {{0, 10}, {15, 39}, {29, 10}, {23, 10}, {23, 0}, {7, 0}, {7, 10}},
         {{15, 20}, {15, 4}},
         {{3, 4}, {26, 4}, {0, 39}}},
        // Default star on 40 x 30: centre (20, 15), radius 11, inner radius 5.5; the lowest
        // inner point lies at y 20.5, rounded to 20.
        {ShapeControl::gstStar, {40, 30}, {{20, 4}, {20, 20}}, {{20, 15}, {20, 8}}, {{20, 21}, {0, 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "shape " << c.shape);
        ShapeStage stage(c.size, QPoint(4, 4));
        stage.shape->setShape(c.shape);
        const QImage image = stage.render();
        std::vector<Probe> probes;
        for (const QPoint &p : c.corners)
            probes.push_back({p.x(), p.y(), Black});
        for (const QPoint &p : c.inside)
            probes.push_back({p.x(), p.y(), White});
        for (const QPoint &p : c.outside)
            probes.push_back({p.x(), p.y(), Background});
        expectPixels(stage, image, probes);
    }
}

TEST(ShapeRender, SolidShadowsFallOnTheNamedSide) {
    struct Case {
        ShapeControl::TShadowOrient orient;
        ShapeControl::TGPShapeType shape;
        std::vector<Probe> probes;
    };
    // 30 x 30, depth 5: the figure takes 25 x 25 (the diamond 25 x 30), the shadow the rest; a
    // solid shadow is outlined in black.
    const std::vector<Case> cases = {
        {ShapeControl::soLowerRight,
         ShapeControl::gstRectangle,
         {{0, 0, Black},
          {24, 24, Black},
          {12, 12, White},
          {27, 27, ShadowRgb},
          {29, 29, Black},
          {27, 2, Background},
          {2, 27, Background}}},
        {ShapeControl::soUpperRight,
         ShapeControl::gstRectangle,
         {{0, 5, Black},
          {24, 29, Black},
          {12, 17, White},
          {27, 2, ShadowRgb},
          {29, 0, Black},
          {2, 2, Background},
          {27, 27, Background}}},
        {ShapeControl::soUpperLeft,
         ShapeControl::gstRectangle,
         {{5, 5, Black},
          {29, 29, Black},
          {17, 17, White},
          {2, 2, ShadowRgb},
          {0, 0, Black},
          {27, 2, Background},
          {2, 27, Background}}},
        {ShapeControl::soLowerLeft,
         ShapeControl::gstRectangle,
         {{5, 0, Black},
          {29, 24, Black},
          {17, 12, White},
          {2, 27, ShadowRgb},
          {0, 29, Black},
          {2, 2, Background},
          {27, 27, Background}}},
        // Diamond figure (12,0) (24,15) (12,29) (0,15), its shadow 5 pixels to the right.
        {ShapeControl::soLowerRight,
         ShapeControl::gstDiamond,
         {{12, 0, Black},
          {24, 15, Black},
          {12, 15, White},
          {17, 0, Black},
          {29, 15, Black},
          {27, 15, ShadowRgb},
          {26, 5, Background}}},
        {ShapeControl::soUpperRight,
         ShapeControl::gstDiamond,
         {{12, 0, Black}, {17, 0, Black}, {29, 15, Black}, {27, 15, ShadowRgb}}},
        {ShapeControl::soUpperLeft,
         ShapeControl::gstDiamond,
         {{17, 0, Black}, {29, 15, Black}, {12, 0, Black}, {0, 15, Black}, {2, 15, ShadowRgb}, {3, 5, Background}}},
        {ShapeControl::soLowerLeft,
         ShapeControl::gstDiamond,
         {{17, 29, Black}, {12, 29, Black}, {0, 15, Black}, {2, 15, ShadowRgb}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "orient " << c.orient << " shape " << c.shape);
        ShapeStage stage(QSize(30, 30), QPoint(3, 3));
        stage.shape->setShape(c.shape);
        stage.shape->setShadowColor(QColor(ShadowRgb));
        stage.shape->setShadowOrient(c.orient);
        expectPixels(stage, stage.render(), c.probes);
    }
}

TEST(ShapeRender, StipplesAndTheColourIntoThePixelsBelowAlignedToTheParent) {
    const QRgb stippleRgb = qRgb(0x3C, 0xF0, 0xAA);
    const QRgb anded = qRgb(0x30, 0xC0, 0x28); // Background AND stippleRgb
    struct Case {
        const char *name;
        ShapeControl::TGPShapeType shape;
        ShapeControl::TShadowFill shadowFill; // used when shadowed
        bool shadowed;
        ShapeControl::TSurfaceType surface;
        bool percent50;
        QRect area;       // control pixels that take the stipple
        QPoint untouched; // a control pixel of the stippled box outside the figure
    };
    // 30 x 30 at (3, 2) in the parent: the pattern follows the parent's coordinates.
    const std::vector<Case> cases = {
        {"50% shadow", ShapeControl::gstRectangle, ShapeControl::sf50Percent, true, ShapeControl::stBrushTransparent,
         true, QRect(25, 25, 5, 5), QPoint(-1, -1)},
        {"25% shadow", ShapeControl::gstRectangle, ShapeControl::sf25Percent, true, ShapeControl::stBrushTransparent,
         false, QRect(25, 25, 5, 5), QPoint(-1, -1)},
        {"50% shadow of an ellipse", ShapeControl::gstEllipse, ShapeControl::sf50Percent, true,
         ShapeControl::stBrushTransparent, true, QRect(26, 16, 3, 3), QPoint(29, 29)},
        {"50% surface", ShapeControl::gstRectangle, ShapeControl::sfSolid, false, ShapeControl::stBrush50PercentOpaque,
         true, QRect(1, 1, 28, 28), QPoint(-1, -1)},
        {"25% surface", ShapeControl::gstRectangle, ShapeControl::sfSolid, false, ShapeControl::stBrush25PercentOpaque,
         false, QRect(1, 1, 28, 28), QPoint(-1, -1)},
        {"50% surface of a triangle", ShapeControl::gstTriangleUp, ShapeControl::sfSolid, false,
         ShapeControl::stBrush50PercentOpaque, true, QRect(13, 20, 4, 4), QPoint(2, 2)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ShapeStage stage(QSize(30, 30), QPoint(3, 2));
        ShapeControl *shape = stage.shape;
        shape->setShape(c.shape);
        shape->setSurfaceType(c.surface);
        shape->setBackColor(QColor(stippleRgb));
        if (c.shadowed) {
            shape->setShadowColor(QColor(stippleRgb));
            shape->setShadowFill(c.shadowFill);
            shape->setShadowOrient(ShapeControl::soLowerRight);
        }
        const QImage image = stage.render();
        for (int y = c.area.top(); y <= c.area.bottom(); ++y)
            for (int x = c.area.left(); x <= c.area.right(); ++x) {
                const int px = x + 3;
                const int py = y + 2;
                const bool bit = c.percent50 ? (px + py) % 2 == 0 : px % 2 == 0 && py % 2 == 0;
                ASSERT_EQ(rgbText(stage.at(image, x, y)), rgbText(bit ? anded : Background))
                    << "at (" << x << ", " << y << ")";
            }
        if (c.untouched.x() >= 0) {
            EXPECT_EQ(rgbText(stage.at(image, c.untouched.x(), c.untouched.y())), rgbText(Background));
            EXPECT_EQ(rgbText(stage.at(image, c.untouched.x() - 1, c.untouched.y())), rgbText(Background));
        }
    }
}

TEST(ShapeRender, GradientBandsAndColoursRoundLikeMulDiv) {
    const QColor back(0, 255, 100);
    const QColor to(255, 0, 0);
    // On a length of 2 the bands that show are 63 (first pixel) and 191 (second pixel); their
    // colours are first + MulDiv(i, last - first, 255) per channel.
    const QRgb backToBand63 = qRgb(63, 192, 75);
    const QRgb backToBand191 = qRgb(191, 64, 25);
    const QRgb toBackBand63 = qRgb(192, 63, 25);
    const QRgb toBackBand191 = qRgb(64, 191, 75);
    struct Case {
        ShapeControl::TFillDirection direction;
        QRgb first;  // top row or left column
        QRgb second; // bottom row or right column
    };
    const Case cases[] = {
        {ShapeControl::gdUp, backToBand63, backToBand191},
        {ShapeControl::gdDown, toBackBand63, toBackBand191},
        {ShapeControl::gdLeft, backToBand63, backToBand191},
        {ShapeControl::gdRight, toBackBand63, toBackBand191},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "direction " << c.direction);
        ShapeStage stage(QSize(2, 2), QPoint(1, 1), QSize(4, 4));
        ShapeControl *shape = stage.shape;
        clearOutline(shape);
        shape->setSurfaceType(ShapeControl::stGradientFill);
        shape->setBackColor(back);
        shape->setGradientToColor(to);
        shape->setFillDirection(c.direction);
        const bool vertical = c.direction == ShapeControl::gdUp || c.direction == ShapeControl::gdDown;
        const QImage image = stage.render();
        for (int i = 0; i < 2; ++i) {
            const QPoint a = vertical ? QPoint(i, 0) : QPoint(0, i);
            const QPoint b = vertical ? QPoint(i, 1) : QPoint(1, i);
            EXPECT_EQ(rgbText(stage.at(image, a.x(), a.y())), rgbText(c.first));
            EXPECT_EQ(rgbText(stage.at(image, b.x(), b.y())), rgbText(c.second));
        }
    }
}

TEST(ShapeRender, GradientRunsFromTheBackColourSideOverTwoHundredFiftySixBands) {
    const QColor back(0, 255, 100);
    const QColor to(255, 0, 0);
    const QRgb band128 = qRgb(128, 127, 50); // back + MulDiv(128, to - back, 255)
    for (auto direction : {ShapeControl::gdUp, ShapeControl::gdDown, ShapeControl::gdLeft, ShapeControl::gdRight}) {
        SCOPED_TRACE(testing::Message() << "direction " << direction);
        ShapeStage stage(QSize(256, 256), QPoint(0, 0), QSize(256, 256));
        clearOutline(stage.shape);
        stage.shape->setSurfaceType(ShapeControl::stGradientFill);
        stage.shape->setBackColor(back);
        stage.shape->setGradientToColor(to);
        stage.shape->setFillDirection(direction);
        const QImage image = stage.render();
        // Distance from the side the direction names, for a pixel across the control at 'd'.
        auto pixel = [&](int d, int across) {
            switch (direction) {
            case ShapeControl::gdUp:
                return stage.at(image, across, d);
            case ShapeControl::gdDown:
                return stage.at(image, across, 255 - d);
            case ShapeControl::gdLeft:
                return stage.at(image, d, across);
            case ShapeControl::gdRight:
                return stage.at(image, 255 - d, across);
            }
            return QRgb(0);
        };
        for (int across : {0, 100, 255}) {
            EXPECT_EQ(rgbText(pixel(0, across)), rgbText(back.rgb()));
            EXPECT_EQ(rgbText(pixel(255, across)), rgbText(to.rgb()));
        }
        // Band 128 counted from the first band, which is on the back colour's side for up and
        // left and on the other side for down and right.
        const bool backFirst = direction == ShapeControl::gdUp || direction == ShapeControl::gdLeft;
        EXPECT_EQ(rgbText(pixel(backFirst ? 128 : 127, 7)), rgbText(backFirst ? band128 : qRgb(127, 128, 50)));
    }

    ShapeStage uniform(QSize(40, 300), QPoint(0, 0), QSize(40, 300));
    clearOutline(uniform.shape);
    uniform.shape->setSurfaceType(ShapeControl::stGradientFill);
    uniform.shape->setBackColor(QColor(10, 20, 30));
    uniform.shape->setGradientToColor(QColor(10, 20, 30));
    const QImage image = uniform.render();
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(rgbText(uniform.at(image, x, y)), rgbText(qRgb(10, 20, 30))) << x << "," << y;
}

TEST(ShapeRender, GradientFillsTheWholeArrowAndNothingAroundIt) {
    ShapeStage stage(QSize(256, 64), QPoint(0, 0), QSize(256, 64));
    ShapeControl *shape = stage.shape;
    shape->setShape(ShapeControl::gstArrowRight);
    shape->setSurfaceType(ShapeControl::stGradientFill);
    shape->setBackColor(QColor(0, 0, 255));
    shape->setGradientToColor(QColor(255, 0, 0));
    shape->setFillDirection(ShapeControl::gdLeft);
    const QImage image = stage.render();
    // Column x is band x: red 0 + MulDiv(x, 255, 255) = x, blue 255 - x.
    expectPixels(stage, image,
                 {{5, 32, qRgb(5, 0, 250)},     // shaft, left end
                  {150, 20, qRgb(150, 0, 105)}, // shaft near the head
                  {200, 10, qRgb(200, 0, 55)},  // head, upper barb
                  {250, 32, qRgb(250, 0, 5)},   // head, near the tip
                  {5, 5, Background},           // above the shaft
                  {150, 60, Background},        // below the shaft
                  {253, 5, Background}});       // beside the tip
}

TEST(ShapeRender, ImageTilesFromTheTopLeftCornerInsideTheFigure) {
    QImage picture(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            picture.setPixel(x, y, qRgb(40 * x + 10, 100 * y + 20, 77));

    ShapeStage stage(QSize(10, 7), QPoint(5, 5), QSize(20, 20));
    clearOutline(stage.shape);
    stage.shape->setSurfaceType(ShapeControl::stBrushImage);
    stage.shape->setImage(picture);
    const QImage image = stage.render();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(rgbText(stage.at(image, x, y)), rgbText(picture.pixel(x % 3, y % 2))) << x << "," << y;
    EXPECT_EQ(rgbText(stage.at(image, 10, 3)), rgbText(Background)); // not past the control

    // Clipped to the figure, and an empty picture draws nothing.
    stage.shape->setShape(ShapeControl::gstEllipse);
    const QImage ellipse = stage.render();
    EXPECT_EQ(rgbText(stage.at(ellipse, 0, 0)), rgbText(Background));
    EXPECT_EQ(rgbText(stage.at(ellipse, 5, 3)), rgbText(picture.pixel(2, 1)));
    stage.shape->setImage(QImage());
    const QImage empty = stage.render();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(rgbText(stage.at(empty, x, y)), rgbText(Background)) << x << "," << y;
}

TEST(ShapeRender, OpaqueSurfaceLaysThePatternOverTheBackColour) {
    ShapeStage stage(QSize(20, 20), QPoint(0, 0), QSize(20, 20));
    stage.shape->setForeColor(QColor(0, 0, 200));
    stage.shape->setPattern(ShapeControl::bsSolid);
    EXPECT_EQ(rgbText(stage.at(stage.render(), 10, 10)), rgbText(qRgb(0, 0, 200)));

    // A hatch leaves the back colour between its lines; a transparent surface leaves the parent.
    stage.shape->setPattern(ShapeControl::bsHorizontal);
    const QImage opaque = stage.render();
    stage.shape->setSurfaceType(ShapeControl::stBrushTransparent);
    const QImage transparent = stage.render();
    int hatched = 0;
    for (int y = 1; y < 19; ++y) {
        const QRgb o = stage.at(opaque, 10, y);
        const QRgb t = stage.at(transparent, 10, y);
        ASSERT_TRUE(o == qRgb(0, 0, 200) || o == White) << y;
        ASSERT_EQ(t, o == White ? Background : o) << y;
        hatched += o != White;
    }
    EXPECT_GE(hatched, 2);
    EXPECT_LE(hatched, 3);
}
