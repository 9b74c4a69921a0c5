#include "model/Caret.h"

#include <QGraphicsScene>
#include <QPainter>

Caret::Caret(int ascent, int descent, QGraphicsItem *parent)
    : QGraphicsItem(parent)
{
    setMetrics(ascent, descent);
}

QRectF Caret::boundingRect() const
{
    return QRectF(-2, -m_ascent, 12, m_ascent + m_descent);
}

void Caret::setMetrics(int ascent, int descent)
{
    const QRectF old = boundingRect();
    prepareGeometryChange();
    m_ascent = ascent;
    m_descent = descent;
    if (QGraphicsScene *s = scene())
        s->update(mapRectToScene(old.united(boundingRect())));
}

void Caret::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void Caret::setFillColor(const QColor &color)
{
    m_fillColor = color;
    update();
}

void Caret::setStrokeColor(const QColor &color)
{
    m_strokeColor = color;
    update();
}

void Caret::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(QBrush(m_color), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(QBrush(m_color));
    painter->drawLine(QLine(0, -m_ascent, 0, -3));
    painter->drawLine(QLine(0, 3, 0, m_descent));
    painter->drawLine(QLine(3, 0, 10, 0));
    painter->setPen(QPen(QBrush(m_strokeColor), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(QBrush(m_fillColor));
    painter->drawRect(QRect(QPoint(-2, -2), QPoint(2, 2)));
}
