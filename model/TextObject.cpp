#include "model/TextObject.h"

#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

quint64 TextObject::s_extentChanges = 0;

TextObject::TextObject(int type, QGraphicsItem *parentItem)
    : QGraphicsItem(parentItem), m_type(type)
{
    // Geometry changes are sent to itemChange, which keeps the groups'
    // cached bounds in step with their children's positions and turns.
    setFlags(ItemIsSelectable | ItemSendsGeometryChanges);
}

TextObject::~TextObject() = default;

QPen TextObject::selectionBoxPen(bool locked)
{
    return locked ? QPen(QBrush(Qt::gray), 1.0, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin)
                  : QPen(QBrush(Qt::black), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

void TextObject::updateInScene()
{
    extentChanged();
    if (QGraphicsScene *s = scene()) {
        // Keeps the scene's record of the item's extent in step as well.
        prepareGeometryChange();
        s->update(mapRectToScene(boundingRect()));
    }
}

void TextObject::aboutToReshape()
{
    // The scene repaints the area last painted and, once the change is
    // done, the new bounds: no repaint of its own is asked for.
    if (scene())
        prepareGeometryChange();
    extentChanged();
}

void TextObject::reshaped()
{
    extentChanged();
}

void TextObject::extentChanged()
{
    if (m_type == GroupType) {
        // What a group keeps of its bounds stands until a child tells of a
        // change, which each one does of its own.
        countExtentChange();
        return;
    }
    static_cast<Glyph *>(this)->m_boundsKept = false;
    if (m_parentGroup)
        m_parentGroup->childChanging(this);
}

QVariant TextObject::itemChange(GraphicsItemChange change, const QVariant &value)
{
    // Told before the change, and again after it in case the bounds were
    // asked for in between.
    switch (change) {
    case ItemPositionChange:
    case ItemPositionHasChanged:
    case ItemTransformChange:
    case ItemTransformHasChanged:
    case ItemRotationChange:
    case ItemRotationHasChanged:
    case ItemScaleChange:
    case ItemScaleHasChanged:
    case ItemTransformOriginPointChange:
    case ItemTransformOriginPointHasChanged:
        countExtentChange();
        if (m_parentGroup)
            m_parentGroup->childChanging(this);
        break;
    case ItemZValueChange:
        if (m_parentGroup)
            m_parentGroup->childZChanging(zValue(), value.toDouble());
        break;
    default:
        break;
    }
    return QGraphicsItem::itemChange(change, value);
}

void TextObject::setParentGroup(TextGroup *group)
{
    m_parentGroup = group;
    setParentItem(group);
}

void TextObject::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    update();
}

QVorrelScene *TextObject::documentScene() const
{
    return qobject_cast<QVorrelScene *>(scene());
}

Glyph *TextObject::previousGlyph() const
{
    for (const TextObject *o = this; o; o = o->m_parentGroup) {
        for (TextObject *s = o->m_previous; s; s = s->m_previous) {
            if (Glyph *g = s->lastGlyph())
                return g;
        }
    }
    return nullptr;
}

Glyph *TextObject::nextGlyph() const
{
    for (const TextObject *o = this; o; o = o->m_parentGroup) {
        for (TextObject *s = o->m_next; s; s = s->m_next) {
            if (Glyph *g = s->firstGlyph())
                return g;
        }
    }
    return nullptr;
}

bool TextObject::isDescendantOf(const TextGroup *group) const
{
    for (const TextGroup *g = m_parentGroup; g; g = g->parentGroup()) {
        if (g == group)
            return true;
    }
    return false;
}

bool TextObject::hasSelectedAncestor() const
{
    for (const TextGroup *g = m_parentGroup; g; g = g->parentGroup()) {
        if (g->isSelected())
            return true;
    }
    return false;
}

bool TextObject::hasHighlightedAncestor() const
{
    for (const TextGroup *g = m_parentGroup; g; g = g->parentGroup()) {
        if (g->isHighlighted())
            return true;
    }
    return false;
}

QList<int> TextObject::indexPath() const
{
    QList<int> path;
    for (const TextObject *o = this; o->m_parentGroup; o = o->m_parentGroup)
        path.append(o->m_parentGroup->indexOf(o));
    return path;
}

bool TextObject::arrangeTo(int index)
{
    TextGroup *group = m_parentGroup;
    if (!group || index < 0 || index >= group->children().size() || group->indexOf(this) == index)
        return false;
    group->remove(this);
    return group->insert(index, this);
}

bool TextObject::arrangeFirst()
{
    return m_previous && arrangeTo(0);
}

bool TextObject::arrangeBackward()
{
    return m_previous && m_parentGroup && arrangeTo(m_parentGroup->indexOf(this) - 1);
}

bool TextObject::arrangeForward()
{
    return m_next && m_parentGroup && arrangeTo(m_parentGroup->indexOf(this) + 1);
}

bool TextObject::arrangeLast()
{
    return m_next && m_parentGroup && arrangeTo(m_parentGroup->children().size() - 1);
}
