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
    // No object is ever faded as a whole, so a group gives its children no
    // opacity: without the flag every repaint request of the group asks each
    // child whether it ignores its parent's, which made removing the glyphs
    // of a long word one by one take time growing with its square.
    setFlag(ItemDoesntPropagateOpacityToChildren);
}

TextGroup::~TextGroup() = default;

namespace {

// Lets the entries kept for the children go once most children have gone:
// only entries for children that are still there can be standing.
template<typename T>
void trim(QVector<T> &kept, int children)
{
    if (kept.size() > 64 && kept.size() > 4 * children) {
        kept.resize(children);
        kept.squeeze();
    }
}

} // namespace

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
    m_boundsShown = true;
    return foldedBounds();
}

QRectF TextGroup::foldedBounds() const
{
    const int n = m_children.size();
    if (n == 0)
        return QRectF();
    if (m_foldsKnown < n) {
        if (m_folds.size() < n)
            m_folds.resize(n);
        QRectF r = m_foldsKnown > 0 ? m_folds.at(m_foldsKnown - 1) : QRectF();
        for (int k = m_foldsKnown; k < n; ++k) {
            const TextObject *c = m_children.at(k);
            r |= c->mapRectToParent(c->boundingRect());
            m_folds[k] = r;
        }
        m_foldsKnown = n;
    }
    return m_folds.at(n - 1);
}

void TextGroup::childrenChanging(int from)
{
    countExtentChange();
    for (TextGroup *g = this;;) {
        const int n = g->m_children.size();
        const bool whole = g->m_foldsKnown == n || g->m_leftsKnown == n;
        if (g->m_boundsShown) {
            // The scene repaints what the group covered, its children's old
            // areas included, which painting only reaches through the group.
            if (g->scene())
                g->prepareGeometryChange();
            g->m_boundsShown = false;
        }
        g->m_foldsKnown = qMin(g->m_foldsKnown, qMax(from, 0));
        g->m_leftsKnown = qMin(g->m_leftsKnown, qMax(from, 0));
        // A group that kept nothing whole: the group above kept nothing past it.
        TextGroup *up = g->parentGroup();
        if (!whole || !up)
            return;
        from = up->indexOf(g);
        g = up;
    }
}

void TextGroup::childChanging(const TextObject *child)
{
    // Nothing kept (as while a play frame's glyphs tell of their change one
    // after another): no need to look the child up.
    if (m_foldsKnown == 0 && m_leftsKnown == 0 && !m_boundsShown) {
        countExtentChange();
        return;
    }
    childrenChanging(indexOf(child));
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
    if (!object)
        return -1;
    // A child's hint is checked against the list: a stale hint, or the
    // hint of another group's child, is never trusted.
    const int i = object->m_indexHint;
    if (i >= 0 && i < m_children.size() && m_children.at(i) == object)
        return i;
    // A child lies below m_indicesKnown only with its right index, so the
    // object lies further on: the children are numbered again up to it and
    // no further. Children taken one after another in list order then cost
    // one numbering each, where numbering every child after the first
    // taken one would cost as many as are left each time.
    return numberChildrenUpTo(object);
}

int TextGroup::numberChildrenUpTo(const TextObject *object) const
{
    while (m_indicesKnown < m_children.size()) {
        TextObject *c = m_children.at(m_indicesKnown);
        c->m_indexHint = m_indicesKnown++;
        if (c == object)
            return c->m_indexHint;
    }
    return -1;
}

int TextGroup::childZBound(bool largest) const
{
    if (m_children.isEmpty())
        return 0;
    if (!m_zKnown) {
        m_zMax = m_zMin = int(m_children.first()->zValue());
        m_zMaxCount = m_zMinCount = 0;
        for (const TextObject *c : m_children) {
            const int z = int(c->zValue());
            if (z > m_zMax)
                m_zMax = z, m_zMaxCount = 0;
            if (z < m_zMin)
                m_zMin = z, m_zMinCount = 0;
            m_zMaxCount += z == m_zMax;
            m_zMinCount += z == m_zMin;
        }
        m_zKnown = true;
    }
    return largest ? m_zMax : m_zMin;
}

void TextGroup::childZChanging(double from, double to)
{
    const int was = int(from);
    const int is = int(to);
    if (!m_zKnown || was == is)
        return;
    if (is > m_zMax)
        m_zMax = is, m_zMaxCount = 1;
    else if (is == m_zMax)
        ++m_zMaxCount;
    if (is < m_zMin)
        m_zMin = is, m_zMinCount = 1;
    else if (is == m_zMin)
        ++m_zMinCount;
    // The last child holding a bound leaves it: it is worked out afresh.
    if ((was == m_zMax && --m_zMaxCount == 0) || (was == m_zMin && --m_zMinCount == 0))
        m_zKnown = false;
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
    childrenChanging(index);
    m_children.insert(index, object);
    m_zKnown = false;
    // The children after it moved on by one.
    object->m_indexHint = index;
    if (m_indicesKnown >= index)
        m_indicesKnown = index + 1;
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
    childrenChanging(index);
    if (c->previous())
        c->previous()->setNext(c->next());
    if (c->next())
        c->next()->setPrevious(c->previous());
    c->setParentGroup(nullptr);
    c->setPrevious(nullptr);
    c->setNext(nullptr);
    m_children.removeAt(index);
    m_zKnown = false;
    m_indicesKnown = qMin(m_indicesKnown, index);
    c->m_indexHint = -1;
    // A group emptied child by child (an insertion undone) gives back what
    // it kept for the children it had.
    trim(m_folds, m_children.size());
    trim(m_lefts, m_children.size());
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
    childrenChanging(0);
    // The children leave as a take leaves them: no parent, no siblings.
    for (TextObject *c : qAsConst(m_children)) {
        c->setParentGroup(nullptr);
        c->setPrevious(nullptr);
        c->setNext(nullptr);
        c->m_indexHint = -1;
    }
    m_children.clear();
    m_zKnown = false;
    m_folds.clear();
    m_lefts.clear();
    m_indicesKnown = 0;
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
    const int n = m_children.size();
    if (n == 0)
        return 0.0;
    if (m_leftsKnown < n) {
        if (m_lefts.size() < n)
            m_lefts.resize(n);
        double x = m_leftsKnown > 0 ? m_lefts.at(m_leftsKnown - 1) : 0.0;
        for (int k = m_leftsKnown; k < n; ++k) {
            const TextObject *c = m_children.at(k);
            const double cx = c->textType() == GroupType ? static_cast<const TextGroup *>(c)->leftmostX() : c->x();
            x = k == 0 ? cx : qMin(x, cx);
            m_lefts[k] = x;
        }
        m_leftsKnown = n;
    }
    return m_lefts.at(n - 1);
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
