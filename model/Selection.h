#ifndef SELECTION_H
#define SELECTION_H

#include <QColor>
#include <QGraphicsItem>

class QVorrelScene;

// The selection box around the scene's selected objects. It marks its
// rotate handles with crosses in its corners (the objects draw the box's
// outline themselves) and, while the user drags or rotates it, previews the
// selected glyphs' outlines moving with it. The scene keeps it centred on
// the selection.
class Selection : public QGraphicsItem
{
public:
    Selection(QVorrelScene *scene, QGraphicsItem *parent = nullptr);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // The scene rectangle of the selected objects grown by 13 on each side.
    // It is kept while the selection and the text's extents stay as they
    // are: the box asks for it many times a step.
    QRectF sceneRect() const;
    // The scene tells the box when an object joins or leaves the selection.
    void selectionChanged() { m_sceneRectKnown = false; }
    // The centre of sceneRect, worked in single precision.
    QPointF sceneCentre() const;
    // Repaints the scene over the item's current place.
    void refresh();
    // Moves the item's origin to a point of its parent, the box size
    // following the selection.
    void moveTo(const QPointF &centre);
    // True when the scene point lies in one of the four 6 x 6 handle
    // squares inside the box's corners.
    bool hitRotateHandle(const QPointF &scenePoint) const;

    const QColor &color() const { return m_color; }
    void setColor(const QColor &color) { m_color = color; }
    bool isTransforming() const { return m_transforming; }
    void setTransforming(bool transforming) { m_transforming = transforming; }

private:
    void paintHandles(QPainter *painter) const;
    void paintPreview(QPainter *painter) const;

    QVorrelScene *m_scene;
    QColor m_color;
    bool m_transforming = false;
    mutable QRectF m_sceneRect;
    mutable bool m_sceneRectKnown = false;
    // TextObject::extentChanges when m_sceneRect was worked out.
    mutable quint64 m_sceneRectAt = 0;
};

#endif // SELECTION_H
