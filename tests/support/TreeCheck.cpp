#include "support/TreeCheck.h"

#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextIterator.h"
#include "model/TextGroup.h"

#include <QSet>

#include <cstring>

namespace {

QString describe(const TextObject *o)
{
    QStringList path;
    for (int i : o->indexPath())
        path.prepend(QString::number(i));
    return QStringLiteral("%1 \"%2\" at [%3]").arg(o->isGlyph() ? "glyph" : "group", o->text(), path.join(','));
}

const TextGroup *asGroup(const TextObject *o)
{
    return o->textType() == TextObject::GroupType ? static_cast<const TextGroup *>(o) : nullptr;
}

QString linksOf(const TextGroup *group, QSet<const TextObject *> &seen)
{
    const QList<TextObject *> &children = group->children();
    for (int i = 0; i < children.size(); ++i) {
        const TextObject *c = children.at(i);
        if (!c || c->parentGroup() != group || c->parentItem() != group)
            return QStringLiteral("child %1 of %2 is null or has another parent group or graphics parent").arg(i).arg(describe(group));
        const QString fault = seen.contains(c) ? QStringLiteral("is listed twice")
            : c->previous() != children.value(i - 1) ? QStringLiteral("has a wrong previous link")
            : c->next() != children.value(i + 1) ? QStringLiteral("has a wrong next link") : QString();
        seen.insert(c);
        const QString below = fault.isEmpty() && asGroup(c) ? linksOf(asGroup(c), seen) : QString();
        if (!fault.isEmpty() || !below.isEmpty())
            return fault.isEmpty() ? below : describe(c) + ' ' + fault;
    }
    return QString();
}

QString shapeOf(const TextGroup *group, int depth, const QGraphicsScene *scene)
{
    for (const TextObject *c : group->children()) {
        const TextGroup *g = asGroup(c);
        const ushort ch = g ? 0 : static_cast<const Glyph *>(c)->character().unicode();
        const bool separator = ch == ' ' || ch == '\t' || ch == Glyph::LineBreak;
        const char *fault = c->scene() != scene ? "is not in the root's scene" : depth == 0 && !g ? "lies directly in the root"
            : depth == 2 && g ? "lies below a word" : depth == 1 && !g && !separator ? "lies in a passage outside a word"
            : depth == 2 && separator ? "is a separator inside a word" : g && g->count() == 0 ? "is empty" : nullptr;
        const QString below = fault || !g ? QString() : shapeOf(g, depth + 1, scene);
        if (fault || !below.isEmpty())
            return fault ? describe(c) + ' ' + fault : below;
    }
    return QString();
}

// A group's bounds and leftmost x worked out afresh: one pass over its children in list order, down to the glyphs.
QRectF freshBounds(const TextObject *o)
{
    QRectF r = asGroup(o) ? QRectF() : o->boundingRect();
    for (const TextObject *c : asGroup(o) ? asGroup(o)->children() : QList<TextObject *>())
        r |= c->mapRectToParent(freshBounds(c));
    return r;
}

double freshLeftmostX(const TextGroup *g)
{
    double x = 0.0;
    for (int k = 0; k < g->count(); ++k) {
        const double cx = asGroup(g->child(k)) ? freshLeftmostX(asGroup(g->child(k))) : g->child(k)->x();
        x = k == 0 ? cx : qMin(x, cx);
    }
    return x;
}

} // namespace

QString TreeCheck::keptFault(const TextGroup *group)
{
    const QRectF kept = group->boundingRect(), fresh = freshBounds(group);
    const double a[5] = {kept.x(), kept.y(), kept.width(), kept.height(), group->leftmostX()};
    const double b[5] = {fresh.x(), fresh.y(), fresh.width(), fresh.height(), freshLeftmostX(group)};
    if (std::memcmp(a, b, sizeof a) != 0)
        return describe(group) + QStringLiteral(" keeps bounds or a leftmost x apart from a fresh pass");
    for (int k = 0; k < group->count(); ++k) {
        const TextObject *c = group->child(k);
        const QString fault = group->indexOf(c) != k ? describe(c) + QStringLiteral(" is found at %1").arg(group->indexOf(c))
                            : asGroup(c) ? keptFault(asGroup(c)) : QString();
        if (!fault.isEmpty())
            return fault;
    }
    return QString();
}

QString TreeCheck::linkFault(const TextGroup *group)
{
    QSet<const TextObject *> seen;
    return linksOf(group, seen);
}

QString TreeCheck::documentFault(const TextGroup *root)
{
    const QString fault = !root ? QStringLiteral("no root")
        : root->parentGroup() || root->previous() || root->next() ? QStringLiteral("the root is linked into another group") : linkFault(root);
    return fault.isEmpty() ? shapeOf(root, 0, root->scene()) : fault;
}

QString TreeCheck::sceneFault(const QVorrelScene *scene)
{
    if (const QString fault = documentFault(scene->root()); !fault.isEmpty())
        return fault;
    if (const QString fault = keptFault(scene->root()); !fault.isEmpty())
        return fault;
    const QList<TextObject *> tree = walkList(scene->root());
    const QSet<const TextObject *> inTree(tree.begin(), tree.end());
    const int selectedInTree = std::count_if(tree.begin(), tree.end(), [](const TextObject *o) { return o->isSelected(); });
    QSet<const TextObject *> listed;
    for (const TextObject *o : scene->selectedObjects()) {
        if (!inTree.contains(o))
            return QStringLiteral("a selected object is not in the tree");
        const QString fault = listed.contains(o) ? QStringLiteral("is listed twice as selected")
            : !o->isSelected() ? QStringLiteral("is listed as selected but is not")
            : o->hasSelectedAncestor() ? QStringLiteral("has a selected ancestor") : QString();
        if (!fault.isEmpty())
            return describe(o) + ' ' + fault;
        listed.insert(o);
    }
    if (listed.size() != selectedInTree)
        return QStringLiteral("%1 selected objects of the tree, %2 listed").arg(selectedInTree).arg(listed.size());
    if (scene->hoveredObject() && !inTree.contains(scene->hoveredObject()))
        return QStringLiteral("the hovered object is not in the tree");
    return QString();
}
