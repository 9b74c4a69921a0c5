#include "model/Grid.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <cmath>

namespace {

int snapped(double v, int s)
{
    const int i = int(v);
    const int r = i % s;
    return r > s / 2 ? i + s - r : i - r;
}

} // namespace

Grid::Grid(quint16 spacing, const QColor &color, QGraphicsItem *parent)
    : QGraphicsItem(parent), m_spacing(quint16(clampedSpacing(spacing))), m_color(color)
{
    // Painting needs the exposed area, so that a fine grid only draws the
    // lines in view.
    setFlag(ItemUsesExtendedStyleOption);
}

int Grid::clampedSpacing(int spacing)
{
    return qBound(2, spacing, 32767);
}

QRectF Grid::boundingRect() const
{
    const QGraphicsItem *page = parentItem();
    return page ? QRectF(0, 0, page->boundingRect().width(), page->boundingRect().height()) : QRectF();
}

void Grid::setSpacing(int spacing)
{
    m_spacing = quint16(clampedSpacing(spacing));
    update();
}

void Grid::setColor(const QColor &color)
{
    m_color = color;
    update();
}

QPointF Grid::snapToGrid(const QPointF &p) const
{
    return QPointF(snapped(p.x(), m_spacing), snapped(p.y(), m_spacing));
}

void Grid::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    const QRectF r = boundingRect();
    if (r.width() == 0 || r.height() == 0)
        return;
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(QBrush(m_color), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    const int s = m_spacing;
    const int w = int(r.width());
    const int h = int(r.height());
    const int nx = w / s - (w % s == 0 ? 1 : 0);
    const int ny = h / s - (h % s == 0 ? 1 : 0);
    // Lines 1..n, limited to those that cross the exposed area.
    const QRectF &ex = option->exposedRect;
    const int firstX = qMax(1, int(std::ceil(ex.left() / s)));
    const int lastX = qMin(nx, int(std::floor(ex.right() / s)));
    const int firstY = qMax(1, int(std::ceil(ex.top() / s)));
    const int lastY = qMin(ny, int(std::floor(ex.bottom() / s)));
    for (int i = firstX; i <= lastX; ++i)
        painter->drawLine(QLine(s * i, 0, s * i, h - 1));
    for (int j = firstY; j <= lastY; ++j)
        painter->drawLine(QLine(0, s * j, w - 1, s * j));
}
