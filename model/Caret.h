#ifndef CARET_H
#define CARET_H

#include <QColor>
#include <QGraphicsItem>

// The text cursor: a vertical bar through the baseline with a tick to the
// right, and a small marker on the baseline origin showing the fill and
// stroke colours that new text will get.
class Caret : public QGraphicsItem
{
public:
    Caret(int ascent, int descent, QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    int ascent() const { return m_ascent; }
    int descent() const { return m_descent; }
    void setMetrics(int ascent, int descent);

    const QColor &color() const { return m_color; }
    const QColor &fillColor() const { return m_fillColor; }
    const QColor &strokeColor() const { return m_strokeColor; }
    void setColor(const QColor &color);
    void setFillColor(const QColor &color);
    void setStrokeColor(const QColor &color);

private:
    int m_ascent = 0;
    int m_descent = 0;
    QColor m_color;
    QColor m_fillColor;
    QColor m_strokeColor;
};

#endif // CARET_H
