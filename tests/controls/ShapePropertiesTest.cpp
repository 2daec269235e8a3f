#include "ShapeStage.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMetaEnum>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <vector>

namespace {

template <typename Enum> QStringList keysOf() {
    const QMetaEnum meta = QMetaEnum::fromType<Enum>();
    QStringList keys;
    for (int i = 0; i < meta.keyCount(); ++i) {
        EXPECT_EQ(meta.value(i), i) << meta.key(i);
        keys << QString::fromLatin1(meta.key(i));
    }
    return keys;
}

QStringList words(const char *text) {
    return QString::fromLatin1(text).split(QLatin1Char(' '));
}

// Counts the control's paint events while its window is on the (offscreen) screen.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

TEST(ShapeProperties, DefaultsOfANewControl) {
    ShapeStage stage(QSize(25, 25));
    ShapeControl fresh(&stage.parent);
    EXPECT_EQ(fresh.size(), QSize(25, 25));
    EXPECT_EQ(fresh.Align(), ShapeControl::alNone);
    EXPECT_TRUE(fresh.BackColor() == ShapeColor::fromRgb(255, 255, 255));
    EXPECT_EQ(fresh.FillDirection(), ShapeControl::gdUp);
    EXPECT_TRUE(fresh.ForeColor() == ShapeColor::fromRgb(0, 0, 0));
    EXPECT_TRUE(fresh.GradientToColor() == ShapeColor::fromRgb(0, 0, 0));
    EXPECT_EQ(fresh.Image().width(), 0);
    EXPECT_EQ(fresh.Image().height(), 0);
    EXPECT_EQ(fresh.InVectorPercent(), 50);
    EXPECT_TRUE(fresh.OutlineColor() == ShapeColor::fromRgb(0, 0, 0));
    EXPECT_EQ(fresh.OutlineStyle(), ShapeControl::psSolid);
    EXPECT_EQ(fresh.OutlineWidth(), 1);
    EXPECT_EQ(fresh.Pattern(), ShapeControl::bsClear);
    EXPECT_EQ(fresh.PopupMenu(), nullptr);
    EXPECT_EQ(fresh.RoundPerc(), 25);
    EXPECT_TRUE(fresh.ShadowColor() == ShapeColor::fromRgb(0, 0, 0));
    EXPECT_EQ(fresh.ShadowDepth(), 5);
    EXPECT_EQ(fresh.ShadowOrient(), ShapeControl::soNone);
    EXPECT_EQ(fresh.ShadowFill(), ShapeControl::sfSolid);
    EXPECT_EQ(fresh.Shape(), ShapeControl::gstRectangle);
    EXPECT_EQ(fresh.StartingAngle(), 90);
    EXPECT_EQ(fresh.SurfaceType(), ShapeControl::stBrushOpaque);
    EXPECT_EQ(fresh.Vectors(), 10);
}

TEST(ShapeProperties, EnumerationsKeepTheirValueOrder) {
    EXPECT_EQ(keysOf<ShapeControl::TFillDirection>(), words("gdUp gdDown gdLeft gdRight"));
    EXPECT_EQ(keysOf<ShapeControl::TShadowOrient>(), words("soNone soLowerRight soUpperRight soUpperLeft soLowerLeft"));
    EXPECT_EQ(keysOf<ShapeControl::TShadowFill>(), words("sfSolid sf25Percent sf50Percent"));
    EXPECT_EQ(keysOf<ShapeControl::TSurfaceType>(),
              words("stBrushTransparent stBrushOpaque stBrushImage stGradientFill "
                    "stBrush50PercentOpaque stBrush25PercentOpaque"));
    EXPECT_EQ(keysOf<ShapeControl::TGPShapeType>(),
              words("gstRectangle gstSquare gstRoundRect gstRoundSquare gstEllipse gstCircle "
                    "gstDiamond gstStar gstPolyGon gstTriangleLeft gstTriangleRight gstTriangleUp "
                    "gstTriangleDown gstArrowLeft gstArrowRight gstArrowUp gstArrowDown"));
    EXPECT_EQ(keysOf<ShapeControl::TPenStyle>(),
              words("psSolid psDash psDot psDashDot psDashDotDot psClear psInsideFrame"));
    EXPECT_EQ(keysOf<ShapeControl::TBrushStyle>(),
              words("bsSolid bsClear bsHorizontal bsVertical bsFDiagonal bsBDiagonal bsCross "
                    "bsDiagCross"));
}

TEST(ShapeProperties, SettersKeepTheirValueWhenItIsOutOfRange) {
    struct Case {
        const char *property;
        QSize size;
        int value;
        int expected; // the value read back
    };
    const std::vector<Case> cases = {
        {"Vectors", {30, 30}, 2, 10},
        {"Vectors", {30, 30}, 101, 10},
        {"Vectors", {30, 30}, 3, 3},
        {"Vectors", {30, 30}, 100, 100},
        {"StartingAngle", {30, 30}, 360, 90},
        {"StartingAngle", {30, 30}, -1, 90},
        {"StartingAngle", {30, 30}, 0, 0},
        {"StartingAngle", {30, 30}, 359, 359},
        {"InVectorPercent", {30, 30}, 101, 50},
        {"InVectorPercent", {30, 30}, -1, 50},
        {"InVectorPercent", {30, 30}, 0, 0},
        {"InVectorPercent", {30, 30}, 100, 100},
        {"ShadowOrient", {30, 30}, 5, 0},
        {"ShadowOrient", {30, 30}, -1, 0},
        {"ShadowOrient", {30, 30}, 4, 4},
        {"ShadowDepth", {30, 30}, 20, 5},
        {"ShadowDepth", {30, 30}, 16, 5},
        {"ShadowDepth", {30, 30}, 15, 15},
        {"ShadowDepth", {30, 30}, 0, 0},
        {"ShadowDepth", {30, 30}, -1, 5},
        {"ShadowDepth", {31, 41}, 16, 5},
        {"ShadowDepth", {31, 41}, 15, 15},
        {"ShadowDepth", {41, 31}, 16, 5},
        // Integers outside an enumeration are not values of it.
        {"Shape", {30, 30}, 17, 0},
        {"SurfaceType", {30, 30}, 6, 1},
        {"FillDirection", {30, 30}, 4, 0},
        {"ShadowFill", {30, 30}, 3, 0},
        {"OutlineStyle", {30, 30}, 7, 0},
        {"Pattern", {30, 30}, 8, 1},
        {"Align", {30, 30}, 6, 0},
        // Any value is taken.
        {"RoundPerc", {30, 30}, 150, 150},
        {"OutlineWidth", {30, 30}, 0, 0},
    };
    for (const Case &c : cases) {
        ShapeStage stage(c.size);
        stage.shape->setProperty(c.property, c.value);
        EXPECT_EQ(stage.shape->property(c.property).toInt(), c.expected)
            << c.property << " := " << c.value << " on " << c.size.width() << " x " << c.size.height();
    }
}

TEST(ShapeProperties, EveryAcceptedChangeRepaintsAndARepeatedValueDoesNot) {
    ShapeStage stage(QSize(40, 40), QPoint(10, 10));
    stage.parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stage.parent));
    PaintCounter counter;
    stage.shape->installEventFilter(&counter);
    settle();

    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const std::vector<std::pair<const char *, QVariant>> changes = {
        {"BackColor", QVariant::fromValue(ShapeColor(QColor(1, 2, 3)))},
        {"FillDirection", QVariant::fromValue(ShapeControl::gdDown)},
        {"ForeColor", QVariant::fromValue(ShapeColor(QColor(4, 5, 6)))},
        {"GradientToColor", QVariant::fromValue(ShapeColor(QPalette::Highlight))},
        {"Image", QVariant(picture)},
        {"InVectorPercent", 30},
        {"OutlineColor", QVariant::fromValue(ShapeColor(QColor(7, 8, 9)))},
        {"OutlineStyle", QVariant::fromValue(ShapeControl::psDash)},
        {"OutlineWidth", 2},
        {"Pattern", QVariant::fromValue(ShapeControl::bsCross)},
        {"RoundPerc", 40},
        {"ShadowColor", QVariant::fromValue(ShapeColor(QColor(10, 11, 12)))},
        {"ShadowDepth", 3},
        {"ShadowOrient", QVariant::fromValue(ShapeControl::soUpperLeft)},
        {"ShadowFill", QVariant::fromValue(ShapeControl::sf25Percent)},
        {"Shape", QVariant::fromValue(ShapeControl::gstDiamond)},
        {"StartingAngle", 45},
        {"SurfaceType", QVariant::fromValue(ShapeControl::stGradientFill)},
        {"Vectors", 12},
    };
    for (const auto &[name, value] : changes) {
        SCOPED_TRACE(name);
        const int before = counter.paints;
        ASSERT_TRUE(stage.shape->setProperty(name, value));
        settle();
        EXPECT_GT(counter.paints, before);
        EXPECT_EQ(stage.shape->property(name), value);

        const int repainted = counter.paints;
        stage.shape->setProperty(name, value);
        settle();
        EXPECT_EQ(counter.paints, repainted);
    }
}

TEST(ShapeProperties, ChoosingTheStarRestoresAStarShape) {
    struct Case {
        int vectors, inVectorPercent, startingAngle;
        int expectedVectors, expectedPercent, expectedAngle;
    };
    const Case cases[] = {
        {6, 0, 45, 10, 50, 90},
        {12, 30, 90, 12, 30, 90},
        {3, 100, 0, 10, 100, 90},
    };
    for (const Case &c : cases) {
        ShapeStage stage(QSize(30, 30));
        ShapeControl *shape = stage.shape;
        shape->setVectors(c.vectors);
        shape->setInVectorPercent(c.inVectorPercent);
        shape->setStartingAngle(c.startingAngle);
        shape->setShape(ShapeControl::gstStar);
        EXPECT_EQ(shape->Vectors(), c.expectedVectors);
        EXPECT_EQ(shape->InVectorPercent(), c.expectedPercent);
        EXPECT_EQ(shape->StartingAngle(), c.expectedAngle);
    }

    // Choosing the star again is no change, so later settings stay.
    ShapeStage stage(QSize(30, 30));
    stage.shape->setShape(ShapeControl::gstStar);
    stage.shape->setVectors(4);
    stage.shape->setShape(ShapeControl::gstStar);
    EXPECT_EQ(stage.shape->Vectors(), 4);
}

TEST(ShapeProperties, SquareKindsOnAlignedAndFreeControls) {
    struct Case {
        ShapeControl::TGPShapeType square;
        ShapeControl::TGPShapeType freeForm;
    };
    const Case cases[] = {
        {ShapeControl::gstSquare, ShapeControl::gstRectangle},
        {ShapeControl::gstRoundSquare, ShapeControl::gstRoundRect},
        {ShapeControl::gstCircle, ShapeControl::gstEllipse},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "shape " << c.square);

        // Choosing a square kind releases an aligned control.
        ShapeStage aligned(QSize(30, 30), QPoint(0, 0), QSize(60, 40));
        aligned.shape->setAlign(ShapeControl::alClient);
        aligned.shape->setShape(c.square);
        EXPECT_EQ(aligned.shape->Align(), ShapeControl::alNone);
        EXPECT_EQ(aligned.shape->Shape(), c.square);

        // Aligning a square kind turns it into its free-form counterpart, drawn as such.
        ShapeStage later(QSize(30, 30), QPoint(0, 0), QSize(60, 40));
        later.shape->setShape(c.square);
        later.shape->setAlign(ShapeControl::alClient);
        const QImage drawn = later.render();
        EXPECT_EQ(later.shape->Shape(), c.freeForm);
        EXPECT_EQ(later.shape->size(), QSize(60, 40));
        ShapeStage reference(QSize(60, 40), QPoint(0, 0), QSize(60, 40));
        reference.shape->setShape(c.freeForm);
        EXPECT_EQ(drawn, reference.render());

        // A free control wider than high becomes square; a taller one keeps its size.
        ShapeStage wide(QSize(40, 30));
        wide.shape->setShape(c.square);
        wide.render();
        EXPECT_EQ(wide.shape->size(), QSize(30, 30));
        ShapeStage tall(QSize(30, 40));
        tall.shape->setShape(c.square);
        const QImage tallImage = tall.render();
        EXPECT_EQ(tall.shape->size(), QSize(30, 40));
        EXPECT_EQ(tall.shape->Shape(), c.square);
        if (c.square == ShapeControl::gstSquare) {
            EXPECT_EQ(rgbText(tall.at(tallImage, 0, 39)), rgbText(Black));
            EXPECT_EQ(rgbText(tall.at(tallImage, 29, 39)), rgbText(Black));
            EXPECT_EQ(rgbText(tall.at(tallImage, 15, 35)), rgbText(White));
        }
    }
}

TEST(ShapeProperties, AlignedControlFollowsItsParent) {
    struct Case {
        ShapeControl::TAlign align;
        QRect first;  // parent 100 x 80
        QRect second; // parent 120 x 50
    };
    const Case cases[] = {
        {ShapeControl::alTop, {0, 0, 100, 20}, {0, 0, 120, 20}},
        {ShapeControl::alBottom, {0, 60, 100, 20}, {0, 30, 120, 20}},
        {ShapeControl::alLeft, {0, 0, 25, 80}, {0, 0, 25, 50}},
        {ShapeControl::alRight, {75, 0, 25, 80}, {95, 0, 25, 50}},
        {ShapeControl::alClient, {0, 0, 100, 80}, {0, 0, 120, 50}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "align " << c.align);
        ShapeStage stage(QSize(25, 20), QPoint(10, 10), QSize(100, 80));
        stage.parent.show();
        stage.shape->setAlign(c.align);
        EXPECT_EQ(stage.shape->geometry(), c.first);
        stage.parent.resize(120, 50);
        EXPECT_EQ(stage.shape->geometry(), c.second);
        stage.shape->setAlign(ShapeControl::alNone);
        stage.parent.resize(100, 80);
        EXPECT_EQ(stage.shape->geometry(), c.second);
    }
}

TEST(ShapeProperties, SystemColoursAreLookedUpWhenPainting) {
    ShapeStage stage(QSize(10, 10));
    stage.shape->setOutlineStyle(ShapeControl::psClear);
    stage.shape->setOutlineWidth(0);
    stage.shape->setBackColor(QPalette::Highlight);
    QPalette colors = stage.parent.palette();
    colors.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 200, 30));
    stage.parent.setPalette(colors);
    EXPECT_EQ(rgbText(stage.at(stage.render(), 5, 5)), rgbText(qRgb(10, 200, 30)));
    colors.setColor(QPalette::Active, QPalette::Highlight, QColor(200, 10, 30));
    stage.parent.setPalette(colors);
    EXPECT_EQ(rgbText(stage.at(stage.render(), 5, 5)), rgbText(qRgb(200, 10, 30)));
}

TEST(ShapeProperties, ClicksDoubleClicksAndThePopupMenu) {
    ShapeStage stage(QSize(25, 25), QPoint(10, 10), QSize(80, 80));
    stage.parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stage.parent));
    ShapeControl *shape = stage.shape;
    QSignalSpy clicks(shape, &ShapeControl::OnClick);
    QSignalSpy doubleClicks(shape, &ShapeControl::OnDblClick);
    QSignalSpy downs(shape, &ShapeControl::OnMouseDown);
    QSignalSpy ups(shape, &ShapeControl::OnMouseUp);

    QTest::mouseClick(shape, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(downs.count(), 1);
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(downs.at(0).at(2).toPoint(), QPoint(5, 5));

    // Released outside the control: no click.
    QTest::mousePress(shape, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(shape, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_EQ(clicks.count(), 1);
    // The right button never clicks.
    QTest::mouseClick(shape, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);

    // A double click arrives as press, release, press, double click, release: the first half
    // is a click, the end is not.
    QTest::mouseClick(shape, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mousePress(shape, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), shape->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(shape, &dbl);
    QTest::mouseRelease(shape, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(clicks.count(), 2);

    QMenu menu;
    menu.addAction(QStringLiteral("item"));
    shape->setPopupMenu(&menu);
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), shape->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(shape, &request);
    EXPECT_TRUE(request.isAccepted());
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}
