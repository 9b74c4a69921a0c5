#ifndef GRID_H
#define GRID_H

#include <QColor>
#include <QGraphicsItem>

// The guides: lines every `spacing` pixels across the parent page, none on
// the page's border. Points snap to the nearest line.
class Grid : public QGraphicsItem
{
public:
    Grid(quint16 spacing, const QColor &color, QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // Spacings are kept within 2..32767.
    static int clampedSpacing(int spacing);

    quint16 spacing() const { return m_spacing; }
    void setSpacing(int spacing);
    const QColor &color() const { return m_color; }
    void setColor(const QColor &color);

    // The nearest grid point, each coordinate snapped on its own; a
    // negative coordinate always moves toward zero.
    QPointF snapToGrid(const QPointF &p) const;

private:
    quint16 m_spacing;
    QColor m_color;
};

#endif // GRID_H
