#include "model/Grid.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <algorithm>
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
    // Lines 1..n, limited to those that cross the exposed area. Lines closer
    // than a device pixel fall on the pixels of their neighbours: only every
    // step-th is drawn, so that a page zoomed far out costs no more lines
    // than the pixels it covers.
    const double scale = QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform());
    if (!(scale > 0))
        return;
    const qint64 step = s * scale >= 1 ? 1 : qint64(qMin(1 / (s * scale), double(w)));
    const QRectF &ex = option->exposedRect;
    // The first line to draw, a multiple of step, and the last; any exposed
    // area gives numbers in range, none when it misses the lines.
    const auto first = [step](double from, int n) {
        return qint64(qBound(1.0, std::ceil(from / step), double(n) / step + 1)) * step;
    };
    const auto last = [](double to, int n) { return qint64(std::max(0.0, std::min(double(n), std::floor(to)))); };
    const qint64 firstX = first(ex.left() / s, nx);
    const qint64 lastX = last(ex.right() / s, nx);
    const qint64 firstY = first(ex.top() / s, ny);
    const qint64 lastY = last(ex.bottom() / s, ny);
    for (qint64 i = firstX; i <= lastX; i += step)
        painter->drawLine(QLine(int(s * i), 0, int(s * i), h - 1));
    for (qint64 j = firstY; j <= lastY; j += step)
        painter->drawLine(QLine(0, int(s * j), w - 1, int(s * j)));
}
