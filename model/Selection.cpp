#include "model/Selection.h"

#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/SelectedListIterator.h"
#include "model/TextObject.h"

#include <QPainter>

namespace {

QPen solidPen(const QColor &color)
{
    return QPen(QBrush(color), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

} // namespace

Selection::Selection(QVorrelScene *scene, QGraphicsItem *parent)
    : QGraphicsItem(parent), m_scene(scene)
{
}

QRectF Selection::sceneRect() const
{
    if (m_sceneRectKnown && m_sceneRectAt == TextObject::extentChanges())
        return m_sceneRect;
    QRectF r(0, 0, 0, 0);
    SelectedListIterator it(m_scene);
    while (it.hasNext())
        r |= it.next()->sceneBoundingRect();
    m_sceneRect = r.adjusted(-13.0, -13.0, 13.0, 13.0);
    m_sceneRectKnown = true;
    m_sceneRectAt = TextObject::extentChanges();
    return m_sceneRect;
}

QPointF Selection::sceneCentre() const
{
    const QRectF r = sceneRect();
    return QPointF(float(r.x()) + 0.5f * float(r.width()), float(r.y()) + 0.5f * float(r.height()));
}

QRectF Selection::boundingRect() const
{
    const QRectF r = sceneRect();
    return QRectF(-r.width() / 2, -r.height() / 2, r.width(), r.height());
}

void Selection::refresh()
{
    if (QGraphicsScene *s = scene())
        s->update(mapRectToScene(boundingRect()));
}

void Selection::moveTo(const QPointF &centre)
{
    prepareGeometryChange();
    setPos(centre);
}

bool Selection::hitRotateHandle(const QPointF &scenePoint) const
{
    const QRectF r = mapRectToScene(boundingRect());
    const qreal right = r.x() + r.width() - 6;
    const qreal bottom = r.y() + r.height() - 6;
    for (const QPointF &corner : {QPointF(r.x(), r.y()), QPointF(right, r.y()), QPointF(r.x(), bottom),
                                  QPointF(right, bottom)}) {
        if (QRectF(corner, QSizeF(6.0, 6.0)).contains(scenePoint))
            return true;
    }
    return false;
}

void Selection::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_scene->selectedObjects().isEmpty())
        return;
    if (m_transforming)
        paintPreview(painter);
    else
        paintHandles(painter);
}

void Selection::paintHandles(QPainter *painter) const
{
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(solidPen(Qt::black));
    painter->setBrush(Qt::NoBrush);
    const QRectF b = boundingRect();
    const int x = int(b.x());
    const int y = int(b.y());
    const int right = int(b.x() + b.width());
    const int bottom = int(b.y() + b.height());
    const QLine crosses[] = {
        QLine(x + 3, y, x + 3, y + 6),                 QLine(x, y + 3, x + 6, y + 3),
        QLine(x + 3, bottom, x + 3, bottom - 6),       QLine(x, bottom - 3, x + 6, bottom - 3),
        QLine(right - 3, y, right - 3, y + 6),         QLine(right, y + 3, right - 6, y + 3),
        QLine(right - 3, bottom, right - 3, bottom - 6), QLine(right, bottom - 3, right - 6, bottom - 3),
    };
    painter->drawLines(crosses, 8);
}

void Selection::paintPreview(QPainter *painter) const
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QPointF centre = sceneCentre();
    painter->setPen(solidPen(m_color));
    painter->setBrush(Qt::NoBrush);
    SelectedListIterator selected(m_scene);
    while (selected.hasNext()) {
        GlyphIterator glyphs(selected.next(), TextIterator::Forward | TextIterator::PostOrder);
        while (glyphs.hasNext()) {
            const Glyph *g = glyphs.next();
            if (g->isLocked())
                continue;
            painter->save();
            painter->translate(g->pos() - centre);
            painter->rotate(g->rotation());
            painter->drawPath(g->path()->current);
            painter->restore();
        }
    }
}
