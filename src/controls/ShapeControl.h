#pragma once

#include "ShapeColor.h"

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>

class QDragMoveEvent;
class QDropEvent;

// A lightweight graphic control: it has no background of its own and paints one figure with an
// optional drop shadow, a surface fill and an outline over whatever its parent has painted.
class ShapeControl : public QWidget {
    Q_OBJECT

public:
    enum TFillDirection : int { gdUp, gdDown, gdLeft, gdRight };
    Q_ENUM(TFillDirection)
    enum TShadowOrient : int { soNone, soLowerRight, soUpperRight, soUpperLeft, soLowerLeft };
    Q_ENUM(TShadowOrient)
    enum TShadowFill : int { sfSolid, sf25Percent, sf50Percent };
    Q_ENUM(TShadowFill)
    enum TSurfaceType : int {
        stBrushTransparent,
        stBrushOpaque,
        stBrushImage,
        stGradientFill,
        stBrush50PercentOpaque,
        stBrush25PercentOpaque
    };
    Q_ENUM(TSurfaceType)
    enum TGPShapeType : int {
        gstRectangle,
        gstSquare,
        gstRoundRect,
        gstRoundSquare,
        gstEllipse,
        gstCircle,
        gstDiamond,
        gstStar,
        gstPolyGon,
        gstTriangleLeft,
        gstTriangleRight,
        gstTriangleUp,
        gstTriangleDown,
        gstArrowLeft,
        gstArrowRight,
        gstArrowUp,
        gstArrowDown
    };
    Q_ENUM(TGPShapeType)
    enum TPenStyle : int { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
    Q_ENUM(TPenStyle)
    enum TBrushStyle : int {
        bsSolid,
        bsClear,
        bsHorizontal,
        bsVertical,
        bsFDiagonal,
        bsBDiagonal,
        bsCross,
        bsDiagCross
    };
    Q_ENUM(TBrushStyle)
    // Where the control sits in its parent; an aligned control follows the parent's size.
    enum TAlign : int { alNone, alTop, alBottom, alLeft, alRight, alClient };
    Q_ENUM(TAlign)

    Q_PROPERTY(TAlign Align READ Align WRITE setAlign)
    Q_PROPERTY(ShapeColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(TFillDirection FillDirection READ FillDirection WRITE setFillDirection)
    Q_PROPERTY(ShapeColor ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(ShapeColor GradientToColor READ GradientToColor WRITE setGradientToColor)
    Q_PROPERTY(QImage Image READ Image WRITE setImage)
    Q_PROPERTY(int InVectorPercent READ InVectorPercent WRITE setInVectorPercent)
    Q_PROPERTY(ShapeColor OutlineColor READ OutlineColor WRITE setOutlineColor)
    Q_PROPERTY(TPenStyle OutlineStyle READ OutlineStyle WRITE setOutlineStyle)
    Q_PROPERTY(int OutlineWidth READ OutlineWidth WRITE setOutlineWidth)
    Q_PROPERTY(TBrushStyle Pattern READ Pattern WRITE setPattern)
    Q_PROPERTY(QMenu *PopupMenu READ PopupMenu WRITE setPopupMenu)
    Q_PROPERTY(int RoundPerc READ RoundPerc WRITE setRoundPerc)
    Q_PROPERTY(ShapeColor ShadowColor READ ShadowColor WRITE setShadowColor)
    Q_PROPERTY(int ShadowDepth READ ShadowDepth WRITE setShadowDepth)
    Q_PROPERTY(TShadowOrient ShadowOrient READ ShadowOrient WRITE setShadowOrient)
    Q_PROPERTY(TShadowFill ShadowFill READ ShadowFill WRITE setShadowFill)
    Q_PROPERTY(TGPShapeType Shape READ Shape WRITE setShape)
    Q_PROPERTY(int StartingAngle READ StartingAngle WRITE setStartingAngle)
    Q_PROPERTY(TSurfaceType SurfaceType READ SurfaceType WRITE setSurfaceType)
    Q_PROPERTY(int Vectors READ Vectors WRITE setVectors)

    explicit ShapeControl(QWidget *parent = nullptr);
    ~ShapeControl() override;

    TAlign Align() const { return m_align; }
    ShapeColor BackColor() const { return m_backColor; }
    TFillDirection FillDirection() const { return m_fillDirection; }
    ShapeColor ForeColor() const { return m_foreColor; }
    ShapeColor GradientToColor() const { return m_gradientToColor; }
    const QImage &Image() const { return m_image; }
    int InVectorPercent() const { return m_inVectorPercent; }
    ShapeColor OutlineColor() const { return m_outlineColor; }
    TPenStyle OutlineStyle() const { return m_outlineStyle; }
    int OutlineWidth() const { return m_outlineWidth; }
    TBrushStyle Pattern() const { return m_pattern; }
    QMenu *PopupMenu() const { return m_popupMenu; }
    int RoundPerc() const { return m_roundPerc; }
    ShapeColor ShadowColor() const { return m_shadowColor; }
    int ShadowDepth() const { return m_shadowDepth; }
    TShadowOrient ShadowOrient() const { return m_shadowOrient; }
    TShadowFill ShadowFill() const { return m_shadowFill; }
    TGPShapeType Shape() const { return m_shape; }
    int StartingAngle() const { return m_startingAngle; }
    TSurfaceType SurfaceType() const { return m_surfaceType; }
    int Vectors() const { return m_vectors; }

    void setAlign(TAlign value);
    void setBackColor(const ShapeColor &value);
    void setFillDirection(TFillDirection value);
    void setForeColor(const ShapeColor &value);
    void setGradientToColor(const ShapeColor &value);
    // Keeps its own copy; a null image empties the picture.
    void setImage(const QImage &value);
    void setInVectorPercent(int value); // 0..100
    void setOutlineColor(const ShapeColor &value);
    void setOutlineStyle(TPenStyle value);
    void setOutlineWidth(int value);
    void setPattern(TBrushStyle value);
    void setPopupMenu(QMenu *menu);
    void setRoundPerc(int value);
    void setShadowColor(const ShapeColor &value);
    void setShadowDepth(int value); // 0 .. half the width and half the height
    void setShadowOrient(TShadowOrient value);
    void setShadowFill(TShadowFill value);
    void setShape(TGPShapeType value);
    void setStartingAngle(int value); // 0..359
    void setSurfaceType(TSurfaceType value);
    void setVectors(int value); // 3..100

    QSize sizeHint() const override;

Q_SIGNALS:
    void OnClick();
    void OnDblClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void OnMouseMove(Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    // A receiver accepts the drag by accepting the event (acceptProposedAction()).
    void OnDragOver(QDragMoveEvent *event);
    void OnDragDrop(QDropEvent *event);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void connectNotify(const QMetaMethod &signal) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applySquareKinds();
    void followParent();
    void fitToParent();

    TAlign m_align = alNone;
    ShapeColor m_backColor = ShapeColor::fromRgb(255, 255, 255);
    TFillDirection m_fillDirection = gdUp;
    ShapeColor m_foreColor;
    ShapeColor m_gradientToColor;
    QImage m_image;
    int m_inVectorPercent = 50;
    ShapeColor m_outlineColor;
    TPenStyle m_outlineStyle = psSolid;
    int m_outlineWidth = 1;
    TBrushStyle m_pattern = bsClear;
    QPointer<QMenu> m_popupMenu;
    int m_roundPerc = 25;
    ShapeColor m_shadowColor;
    int m_shadowDepth = 5;
    TShadowOrient m_shadowOrient = soNone;
    TShadowFill m_shadowFill = sfSolid;
    TGPShapeType m_shape = gstRectangle;
    int m_startingAngle = 90;
    TSurfaceType m_surfaceType = stBrushOpaque;
    int m_vectors = 10;

    QPointer<QWidget> m_watchedParent;
    bool m_leftPressed = false;
};
