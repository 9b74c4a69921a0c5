#include "model/Canvas.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <cmath>

Canvas::Canvas(int width, int height, QGraphicsItem *parent)
    : QAbstractGraphicsShapeItem(parent)
{
    // Painting needs the exposed area: a page of tiny checkerboard cells
    // must only draw the cells in view.
    setFlag(ItemUsesExtendedStyleOption);
    setSize(width, height);
    setPen(QPen(Qt::black, 0));
}

QRectF Canvas::boundingRect() const
{
    return QRectF(pos().x(), pos().y(), m_width, m_height);
}

void Canvas::setSize(int width, int height)
{
    prepareGeometryChange();
    m_width = qMax(1, width);
    m_height = qMax(1, height);
    update();
}

void Canvas::setCellSize(int size)
{
    m_cellSize = qMax(1, size);
    update();
}

void Canvas::showCheckerboard()
{
    m_checkerboard = true;
    update();
}

void Canvas::hideCheckerboard()
{
    m_checkerboard = false;
    update();
}

void Canvas::paintCheckerboard(QPainter *painter, const QRectF &exposed)
{
    const int c = m_cellSize;
    // Cells (i, j) for i in 0..width/c and j in 0..height/c; the last row
    // and column may reach past the page and are clipped by the item.
    const int firstI = qMax(0, int(std::floor(exposed.left() / c)));
    const int lastI = qMin(m_width / c, int(std::floor(exposed.right() / c)));
    const int firstJ = qMax(0, int(std::floor(exposed.top() / c)));
    const int lastJ = qMin(m_height / c, int(std::floor(exposed.bottom() / c)));
    painter->setPen(Qt::NoPen);
    for (int j = firstJ; j <= lastJ; ++j) {
        for (int i = firstI; i <= lastI; ++i) {
            painter->setBrush((i % 2) == (j % 2) ? Qt::gray : Qt::white);
            painter->drawRect(QRect(QPoint(i * c, j * c), QPoint(i * c + c - 1, j * c + c - 1)));
        }
    }
}

void Canvas::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (brush().style() == Qt::NoBrush && pen().style() == Qt::NoPen)
        return;
    if (m_checkerboard && brush().color().alpha() < 255)
        paintCheckerboard(painter, option->exposedRect);
    painter->setPen(pen());
    painter->setBrush(brush());
    const QRectF r = boundingRect();
    painter->drawRect(QRectF(r.x(), r.y(), r.width() - 1, r.height() - 1));
}
