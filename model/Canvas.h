#ifndef CANVAS_H
#define CANVAS_H

#include <QAbstractGraphicsShapeItem>

// The page: a rectangle in the background colour (the item's brush),
// outlined in black, over a transparency checkerboard that shows through a
// translucent background. It is the scene's only top-level item; every
// other item of a document is its descendant.
class Canvas : public QAbstractGraphicsShapeItem
{
public:
    Canvas(int width, int height, QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Sizes below 1 become 1.
    void setSize(int width, int height);

    int cellSize() const { return m_cellSize; }
    // Sizes below 1 become 1.
    void setCellSize(int size);
    bool isCheckerboardShown() const { return m_checkerboard; }
    void showCheckerboard();
    void hideCheckerboard();

private:
    void paintCheckerboard(QPainter *painter, const QRectF &exposed);

    int m_width = -1;
    int m_height = -1;
    bool m_checkerboard = true;
    int m_cellSize = 50;
};

#endif // CANVAS_H
