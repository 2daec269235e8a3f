#include "ShapeControl.h"

#include "ShapePainter.h"

#include <QContextMenuEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>

namespace {

bool isSquareKind(ShapeControl::TGPShapeType shape) {
    return shape == ShapeControl::gstSquare || shape == ShapeControl::gstRoundSquare ||
           shape == ShapeControl::gstCircle;
}

// Enumerated values arrive as integers through the property system: anything outside the
// enumeration is not a value of the property and is ignored like any other refused value.
template <typename Enum> bool inEnum(Enum value, Enum last) {
    return int(value) >= 0 && int(value) <= int(last);
}

} // namespace

ShapeControl::ShapeControl(QWidget *parent) : QWidget(parent) {
    resize(25, 25);
    setMouseTracking(true);
}

ShapeControl::~ShapeControl() = default;

QSize ShapeControl::sizeHint() const {
    return QSize(25, 25);
}

void ShapeControl::setAlign(TAlign value) {
    if (value == m_align || !inEnum(value, alClient)) return;
    m_align = value;
    followParent();
    fitToParent();
    applySquareKinds();
    update();
}

void ShapeControl::setBackColor(const ShapeColor &value) {
    if (value == m_backColor) return;
    m_backColor = value;
    update();
}

void ShapeControl::setFillDirection(TFillDirection value) {
    if (value == m_fillDirection || !inEnum(value, gdRight)) return;
    m_fillDirection = value;
    update();
}

void ShapeControl::setForeColor(const ShapeColor &value) {
    if (value == m_foreColor) return;
    m_foreColor = value;
    update();
}

void ShapeControl::setGradientToColor(const ShapeColor &value) {
    if (value == m_gradientToColor) return;
    m_gradientToColor = value;
    update();
}

void ShapeControl::setImage(const QImage &value) {
    if (value == m_image) return;
    m_image = value;
    update();
}

void ShapeControl::setInVectorPercent(int value) {
    if (value == m_inVectorPercent || value < 0 || value > 100) return;
    m_inVectorPercent = value;
    update();
}

void ShapeControl::setOutlineColor(const ShapeColor &value) {
    if (value == m_outlineColor) return;
    m_outlineColor = value;
    update();
}

void ShapeControl::setOutlineStyle(TPenStyle value) {
    if (value == m_outlineStyle || !inEnum(value, psInsideFrame)) return;
    m_outlineStyle = value;
    update();
}

void ShapeControl::setOutlineWidth(int value) {
    if (value == m_outlineWidth) return;
    m_outlineWidth = value;
    update();
}

void ShapeControl::setPattern(TBrushStyle value) {
    if (value == m_pattern || !inEnum(value, bsDiagCross)) return;
    m_pattern = value;
    update();
}

void ShapeControl::setPopupMenu(QMenu *menu) {
    m_popupMenu = menu;
}

void ShapeControl::setRoundPerc(int value) {
    if (value == m_roundPerc) return;
    m_roundPerc = value;
    update();
}

void ShapeControl::setShadowColor(const ShapeColor &value) {
    if (value == m_shadowColor) return;
    m_shadowColor = value;
    update();
}

void ShapeControl::setShadowDepth(int value) {
    // A shadow deeper than half the control would leave no room for the figure; a negative one
    // would fall on the side opposite to its orientation.
    if (value == m_shadowDepth || value < 0 || value > width() / 2 || value > height() / 2) return;
    m_shadowDepth = value;
    update();
}

void ShapeControl::setShadowOrient(TShadowOrient value) {
    if (value == m_shadowOrient || !inEnum(value, soLowerLeft)) return;
    m_shadowOrient = value;
    update();
}

void ShapeControl::setShadowFill(TShadowFill value) {
    if (value == m_shadowFill || !inEnum(value, sf50Percent)) return;
    m_shadowFill = value;
    update();
}

void ShapeControl::setShape(TGPShapeType value) {
    if (value == m_shape || !inEnum(value, gstArrowDown)) return;
    m_shape = value;
    // A square kind keeps its own proportions, which an aligned control cannot.
    if (isSquareKind(value) && m_align != alNone) {
        m_align = alNone;
        followParent();
    }
    if (value == gstStar) {
        if (m_inVectorPercent == 0) m_inVectorPercent = 50;
        if (m_vectors < 10) m_vectors = 10;
        if (m_startingAngle != 90) m_startingAngle = 90;
    }
    applySquareKinds();
    update();
}

void ShapeControl::setStartingAngle(int value) {
    if (value == m_startingAngle || value < 0 || value > 359) return;
    m_startingAngle = value;
    update();
}

void ShapeControl::setSurfaceType(TSurfaceType value) {
    if (value == m_surfaceType || !inEnum(value, stBrush25PercentOpaque)) return;
    m_surfaceType = value;
    update();
}

void ShapeControl::setVectors(int value) {
    if (value == m_vectors || value < 3 || value > 100) return;
    m_vectors = value;
    update();
}

// An aligned control takes the parent's proportions, so a square kind becomes its free-form
// counterpart; a free control of a square kind is made as wide as it is high when it is wider.
void ShapeControl::applySquareKinds() {
    if (!isSquareKind(m_shape)) return;
    if (m_align != alNone) {
        m_shape = m_shape == gstSquare ? gstRectangle : m_shape == gstRoundSquare ? gstRoundRect : gstEllipse;
        update();
        return;
    }
    if (height() < width()) resize(height(), height());
}

void ShapeControl::followParent() {
    QWidget *wanted = m_align != alNone ? parentWidget() : nullptr;
    if (wanted == m_watchedParent) return;
    if (m_watchedParent) m_watchedParent->removeEventFilter(this);
    m_watchedParent = wanted;
    if (m_watchedParent) m_watchedParent->installEventFilter(this);
}

void ShapeControl::fitToParent() {
    if (m_align == alNone || !parentWidget()) return;
    const QRect area = parentWidget()->contentsRect();
    switch (m_align) {
    case alTop:
        setGeometry(area.left(), area.top(), area.width(), height());
        break;
    case alBottom:
        setGeometry(area.left(), area.bottom() - height() + 1, area.width(), height());
        break;
    case alLeft:
        setGeometry(area.left(), area.top(), width(), area.height());
        break;
    case alRight:
        setGeometry(area.right() - width() + 1, area.top(), width(), area.height());
        break;
    case alClient:
        setGeometry(area);
        break;
    case alNone:
        break;
    }
}

bool ShapeControl::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_watchedParent && event->type() == QEvent::Resize) fitToParent();
    return QWidget::eventFilter(watched, event);
}

bool ShapeControl::event(QEvent *event) {
    if (event->type() == QEvent::ParentChange) {
        followParent();
        fitToParent();
    }
    return QWidget::event(event);
}

void ShapeControl::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    applySquareKinds();
}

void ShapeControl::paintEvent(QPaintEvent *) {
    const QPalette &colors = palette();
    ShapePainter::Look look;
    look.shape = m_shape;
    look.shadowOrient = m_shadowOrient;
    look.shadowFill = m_shadowFill;
    look.surfaceType = m_surfaceType;
    look.fillDirection = m_fillDirection;
    look.outlineStyle = m_outlineStyle;
    look.pattern = m_pattern;
    look.backColor = m_backColor.resolve(colors);
    look.foreColor = m_foreColor.resolve(colors);
    look.gradientToColor = m_gradientToColor.resolve(colors);
    look.outlineColor = m_outlineColor.resolve(colors);
    look.shadowColor = m_shadowColor.resolve(colors);
    look.outlineWidth = m_outlineWidth;
    look.roundPerc = m_roundPerc;
    look.shadowDepth = m_shadowDepth;
    look.vectors = m_vectors;
    look.startingAngle = m_startingAngle;
    look.inVectorPercent = m_inVectorPercent;
    look.image = m_image;

    // Hatches and stipples line up with the parent's surface, so neighbouring controls match.
    const QPoint surfaceOrigin = isWindow() ? QPoint(0, 0) : -pos();
    QPainter painter(this);
    ShapePainter::paintShape(painter, look, size(), surfaceOrigin);
}

void ShapeControl::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) m_leftPressed = true;
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void ShapeControl::mouseMoveEvent(QMouseEvent *event) {
    emit OnMouseMove(event->modifiers(), event->position().toPoint());
}

void ShapeControl::mouseReleaseEvent(QMouseEvent *event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && m_leftPressed) {
        m_leftPressed = false;
        if (rect().contains(at)) emit OnClick();
    }
    emit OnMouseUp(event->button(), event->modifiers(), at);
}

void ShapeControl::mouseDoubleClickEvent(QMouseEvent *event) {
    // The release that ends a double click is not a second click.
    if (event->button() == Qt::LeftButton) {
        m_leftPressed = false;
        emit OnDblClick();
    }
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void ShapeControl::contextMenuEvent(QContextMenuEvent *event) {
    if (!m_popupMenu) {
        event->ignore();
        return;
    }
    m_popupMenu->popup(event->globalPos());
    event->accept();
}

void ShapeControl::dragEnterEvent(QDragEnterEvent *event) {
    event->ignore();
    emit OnDragOver(event);
}

void ShapeControl::dragMoveEvent(QDragMoveEvent *event) {
    event->ignore();
    emit OnDragOver(event);
}

void ShapeControl::dropEvent(QDropEvent *event) {
    emit OnDragDrop(event);
}

void ShapeControl::connectNotify(const QMetaMethod &signal) {
    // Drops are offered only to a control whose owner listens for them.
    if (signal == QMetaMethod::fromSignal(&ShapeControl::OnDragOver)) setAcceptDrops(true);
    QWidget::connectNotify(signal);
}
