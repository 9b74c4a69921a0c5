#include "model/TextGroup.h"

#include "model/Glyph.h"
#include "model/QVorrelScene.h"

#include <QFontMetrics>
#include <QPainter>

TextGroup::TextGroup(QGraphicsItem *parentItem)
    : TextObject(GroupType, parentItem)
{
    // The bounds are the union of the children's: painting leaves out
    // every group outside the area it repaints, children and all.
    setFlag(ItemContainsChildrenInShape);
}

TextGroup::~TextGroup() = default;

template<typename Call>
void TextGroup::forEachChild(Call call)
{
    for (TextObject *c : qAsConst(m_children))
        call(c);
}

template<typename Call>
void TextGroup::forEachChildRepainted(Call call)
{
    updateInScene();
    forEachChild(call);
    updateInScene();
}

QRectF TextGroup::boundingRect() const
{
    if (!m_boundsKnown) {
        QRectF r;
        for (const TextObject *c : m_children)
            r |= c->mapRectToParent(c->boundingRect());
        m_bounds = r;
        m_boundsKnown = true;
    }
    return m_bounds;
}

void TextGroup::dropBounds()
{
    countExtentChange();
    for (TextGroup *g = this; g && g->m_boundsKnown; g = g->parentGroup()) {
        // The scene repaints what the group covered, its children's old
        // areas included, which painting only reaches through the group.
        if (g->scene())
            g->prepareGeometryChange();
        g->m_boundsKnown = false;
    }
}

void TextGroup::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, false);
    const QVorrelScene *s = documentScene();
    if (!isSelected() || !s || !s->isSelectionVisible() || !s->extrasVisible())
        return;
    painter->setPen(selectionBoxPen(isLocked()));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(boundingRect());
}

bool TextGroup::hasSelectedDescendant() const
{
    for (const TextObject *c : m_children) {
        if (c->isSelected() || c->hasSelectedDescendant())
            return true;
    }
    return false;
}

Glyph *TextGroup::firstGlyph()
{
    for (TextObject *c : qAsConst(m_children)) {
        if (Glyph *g = c->firstGlyph())
            return g;
    }
    return nullptr;
}

Glyph *TextGroup::lastGlyph()
{
    for (int i = m_children.size() - 1; i >= 0; --i) {
        if (Glyph *g = m_children.at(i)->lastGlyph())
            return g;
    }
    return nullptr;
}

bool TextGroup::hasOutline() const
{
    for (const TextObject *c : m_children) {
        if (c->hasOutline())
            return true;
    }
    return false;
}

bool TextGroup::isGlyph() const
{
    return false;
}

bool TextGroup::isWord() const
{
    const TextGroup *p = parentGroup();
    return p && p->parentGroup() && !p->parentGroup()->parentGroup();
}

bool TextGroup::isPassage() const
{
    return parentGroup() && !parentGroup()->parentGroup();
}

QString TextGroup::text() const
{
    QString s;
    for (const TextObject *c : m_children)
        s += c->text();
    return s;
}

void TextGroup::setFont(const QFont &font, bool rebuild)
{
    updateInScene();
    for (TextObject *c : qAsConst(m_children))
        c->setFont(font, rebuild);
    relayout();
    updateInScene();
}

void TextGroup::setFontSize(int pointSize)
{
    updateInScene();
    for (TextObject *c : qAsConst(m_children))
        c->setFontSize(pointSize);
    relayout();
    updateInScene();
}

void TextGroup::setFillColor(QColor color)
{
    forEachChild([&color](TextObject *c) { c->setFillColor(color); });
}

void TextGroup::setFillRed(int value)
{
    forEachChild([value](TextObject *c) { c->setFillRed(value); });
}

void TextGroup::setFillGreen(int value)
{
    forEachChild([value](TextObject *c) { c->setFillGreen(value); });
}

void TextGroup::setFillBlue(int value)
{
    forEachChild([value](TextObject *c) { c->setFillBlue(value); });
}

void TextGroup::setFillAlpha(int value)
{
    forEachChild([value](TextObject *c) { c->setFillAlpha(value); });
}

void TextGroup::setStrokeColor(QColor color)
{
    forEachChild([&color](TextObject *c) { c->setStrokeColor(color); });
}

void TextGroup::setStrokeRed(int value)
{
    forEachChild([value](TextObject *c) { c->setStrokeRed(value); });
}

void TextGroup::setStrokeGreen(int value)
{
    forEachChild([value](TextObject *c) { c->setStrokeGreen(value); });
}

void TextGroup::setStrokeBlue(int value)
{
    forEachChild([value](TextObject *c) { c->setStrokeBlue(value); });
}

void TextGroup::setStrokeAlpha(int value)
{
    forEachChild([value](TextObject *c) { c->setStrokeAlpha(value); });
}

void TextGroup::setStrokeWidth(float width)
{
    forEachChildRepainted([width](TextObject *c) { c->setStrokeWidth(width); });
}

bool TextGroup::isLocked() const
{
    for (const TextObject *c : m_children) {
        if (c->isLocked())
            return true;
    }
    return false;
}

void TextGroup::lock()
{
    forEachChild([](TextObject *c) { c->lock(); });
    update();
}

void TextGroup::unlock()
{
    forEachChild([](TextObject *c) { c->unlock(); });
    update();
}

void TextGroup::resetDeform()
{
    forEachChildRepainted([](TextObject *c) { c->resetDeform(); });
}

void TextGroup::bakeDeform()
{
    forEachChild([](TextObject *c) { c->bakeDeform(); });
}

QMap<QString, SoftType *> TextGroup::softTypesByName() const
{
    QMap<QString, SoftType *> map;
    for (const TextObject *c : m_children)
        map.insert(c->softTypesByName());
    return map;
}

QStringList TextGroup::softTypeKinds() const
{
    QStringList kinds;
    for (const TextObject *c : m_children)
        kinds += c->softTypeKinds();
    kinds.removeDuplicates();
    return kinds;
}

QStringList TextGroup::softTypeNames() const
{
    QStringList names;
    for (const TextObject *c : m_children)
        names += c->softTypeNames();
    names.removeDuplicates();
    return names;
}

void TextGroup::convertToCurves()
{
    forEachChildRepainted([](TextObject *c) { c->convertToCurves(); });
}

void TextGroup::convertToLines()
{
    forEachChildRepainted([](TextObject *c) { c->convertToLines(); });
}

void TextGroup::resetGlyph()
{
    forEachChildRepainted([](TextObject *c) { c->resetGlyph(); });
}

TextObject *TextGroup::child(int index) const
{
    return index >= 0 && index < m_children.size() ? m_children.at(index) : nullptr;
}

TextObject *TextGroup::firstChild() const
{
    return m_children.isEmpty() ? nullptr : m_children.first();
}

TextObject *TextGroup::lastChild() const
{
    return m_children.isEmpty() ? nullptr : m_children.last();
}

int TextGroup::indexOf(const TextObject *object) const
{
    return m_children.indexOf(const_cast<TextObject *>(object));
}

bool TextGroup::insert(int index, TextObject *object)
{
    if (!object || object == this || index < 0 || index > m_children.size())
        return false;
    // An ancestor would close the tree into a loop; a child of this or
    // another group would be listed twice. The owner is asked rather than
    // the list searched, so that filling a group stays linear.
    const TextGroup *owner = object->parentGroup();
    if ((owner && owner->indexOf(object) >= 0)
        || (object->textType() == GroupType && isDescendantOf(static_cast<TextGroup *>(object))))
        return false;
    dropBounds();
    m_children.insert(index, object);
    object->setParentGroup(this);
    if (index > 0) {
        TextObject *before = m_children.at(index - 1);
        object->setPrevious(before);
        before->setNext(object);
    }
    if (index < m_children.size() - 1) {
        TextObject *after = m_children.at(index + 1);
        object->setNext(after);
        after->setPrevious(object);
    }
    update();
    return true;
}

bool TextGroup::append(TextObject *object)
{
    return insert(m_children.size(), object);
}

TextObject *TextGroup::takeAt(int index)
{
    TextObject *c = child(index);
    if (!c)
        return nullptr;
    dropBounds();
    if (c->previous())
        c->previous()->setNext(c->next());
    if (c->next())
        c->next()->setPrevious(c->previous());
    c->setParentGroup(nullptr);
    c->setPrevious(nullptr);
    c->setNext(nullptr);
    m_children.removeAt(index);
    update();
    return c;
}

TextObject *TextGroup::remove(TextObject *child)
{
    return takeAt(indexOf(child));
}

TextObject *TextGroup::takeLast()
{
    return takeAt(m_children.size() - 1);
}

void TextGroup::clearChildren()
{
    dropBounds();
    // The children leave as a take leaves them: no parent, no siblings.
    for (TextObject *c : qAsConst(m_children)) {
        c->setParentGroup(nullptr);
        c->setPrevious(nullptr);
        c->setNext(nullptr);
    }
    m_children.clear();
    update();
}

TextObject *TextGroup::objectAtPath(const QList<int> &path)
{
    TextObject *current = this;
    for (int i = path.size() - 1; i >= 0; --i) {
        if (current->textType() != GroupType)
            return nullptr;
        current = static_cast<TextGroup *>(current)->child(path.at(i));
        if (!current)
            return nullptr;
    }
    return current;
}

double TextGroup::leftmostX() const
{
    if (m_children.isEmpty())
        return 0.0;
    double x = 0.0;
    bool first = true;
    for (const TextObject *c : m_children) {
        const double cx = c->textType() == GroupType ? static_cast<const TextGroup *>(c)->leftmostX() : c->x();
        x = first ? cx : qMin(x, cx);
        first = false;
    }
    return x;
}

void TextGroup::relayout()
{
    Glyph *g = firstGlyph();
    while (g && g->isLineBreak())
        g = g->nextGlyph();
    if (!g)
        return;
    QPointF p = g->pos();
    const float x0 = float(p.x());
    const int lineSpacing = QFontMetrics(g->font()).lineSpacing();
    updateInScene();
    p.rx() += g->advanceWidth();
    for (g = g->nextGlyph(); g && g->isDescendantOf(this); g = g->nextGlyph()) {
        g->setPos(p);
        if (g->isLineBreak()) {
            p.ry() += lineSpacing;
            p.rx() = x0;
        } else {
            p.rx() += g->advanceWidth();
        }
    }
    updateInScene();
}
