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
    // Cells smaller than a device pixel are drawn as squares of several
    // cells, at least a pixel each: a page zoomed far out costs no more
    // squares than the pixels it covers. Coordinates in double: the last
    // cells of a page near the int limit reach past it.
    const double scale = QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform());
    if (!(scale > 0))
        return;
    double c = m_cellSize;
    if (c * scale < 1)
        c *= std::ceil(1 / (c * scale));
    // Cells (i, j) for i in 0..width/c and j in 0..height/c; the last row
    // and column may reach past the page and are clipped by the item.
    // Any exposed area gives numbers in range: none when it misses the page.
    const auto last = [c](double to, int side) {
        return qint64(qBound(-1.0, std::floor(to / c), std::floor(side / c)));
    };
    const auto first = [c](double from, qint64 last) {
        return qint64(qBound(0.0, std::floor(from / c), last + 1.0));
    };
    const qint64 lastI = last(exposed.right(), m_width);
    const qint64 lastJ = last(exposed.bottom(), m_height);
    const qint64 firstI = first(exposed.left(), lastI);
    const qint64 firstJ = first(exposed.top(), lastJ);
    painter->setPen(Qt::NoPen);
    for (qint64 j = firstJ; j <= lastJ; ++j) {
        for (qint64 i = firstI; i <= lastI; ++i) {
            painter->setBrush((i % 2) == (j % 2) ? Qt::gray : Qt::white);
            painter->drawRect(QRectF(i * c, j * c, c, c));
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
