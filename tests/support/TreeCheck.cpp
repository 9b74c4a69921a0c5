#include "support/TreeCheck.h"

#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextIterator.h"
#include "model/TextGroup.h"

#include <QSet>

namespace {

QString describe(const TextObject *o)
{
    QStringList path;
    for (int i : o->indexPath())
        path.prepend(QString::number(i));
    return QStringLiteral("%1 \"%2\" at [%3]")
        .arg(o->textType() == TextObject::GroupType ? QStringLiteral("group") : QStringLiteral("glyph"),
             o->text(), path.join(QLatin1Char(',')));
}

QString linksOf(const TextGroup *group, QSet<const TextObject *> &seen)
{
    const QList<TextObject *> &children = group->children();
    for (int i = 0; i < children.size(); ++i) {
        const TextObject *c = children.at(i);
        if (!c)
            return QStringLiteral("null child %1 in %2").arg(i).arg(describe(group));
        if (seen.contains(c))
            return QStringLiteral("%1 is listed twice").arg(describe(c));
        seen.insert(c);
        if (c->parentGroup() != group)
            return QStringLiteral("child %1 of %2 has another parent group").arg(i).arg(describe(group));
        if (c->parentItem() != group)
            return QStringLiteral("child %1 of %2 has another graphics parent").arg(i).arg(describe(group));
        if (c->previous() != (i > 0 ? children.at(i - 1) : nullptr))
            return QStringLiteral("%1 has a wrong previous link").arg(describe(c));
        if (c->next() != (i + 1 < children.size() ? children.at(i + 1) : nullptr))
            return QStringLiteral("%1 has a wrong next link").arg(describe(c));
        if (c->textType() == TextObject::GroupType) {
            const QString fault = linksOf(static_cast<const TextGroup *>(c), seen);
            if (!fault.isEmpty())
                return fault;
        }
    }
    return QString();
}

bool isSeparator(const TextObject *o)
{
    const ushort c = static_cast<const Glyph *>(o)->character().unicode();
    return c == ' ' || c == '\t' || c == Glyph::LineBreak;
}

QString shapeOf(const TextGroup *group, int depth, const QGraphicsScene *scene)
{
    for (const TextObject *c : group->children()) {
        if (c->scene() != scene)
            return QStringLiteral("%1 is not in the root's scene").arg(describe(c));
        const bool isGroup = c->textType() == TextObject::GroupType;
        if (depth == 0 && !isGroup)
            return QStringLiteral("%1 lies directly in the root").arg(describe(c));
        if (depth == 2 && isGroup)
            return QStringLiteral("%1 lies below a word").arg(describe(c));
        if (depth == 1 && !isGroup && !isSeparator(c))
            return QStringLiteral("%1 lies in a passage outside a word").arg(describe(c));
        if (depth == 2 && isSeparator(c))
            return QStringLiteral("separator %1 lies inside a word").arg(describe(c));
        if (isGroup) {
            const TextGroup *g = static_cast<const TextGroup *>(c);
            if (g->count() == 0)
                return QStringLiteral("empty %1").arg(describe(c));
            const QString fault = shapeOf(g, depth + 1, scene);
            if (!fault.isEmpty())
                return fault;
        }
    }
    return QString();
}

} // namespace

QString TreeCheck::linkFault(const TextGroup *group)
{
    QSet<const TextObject *> seen;
    return linksOf(group, seen);
}

QString TreeCheck::documentFault(const TextGroup *root)
{
    if (!root)
        return QStringLiteral("no root");
    if (root->parentGroup() || root->previous() || root->next())
        return QStringLiteral("the root is linked into another group");
    const QString fault = linkFault(root);
    return fault.isEmpty() ? shapeOf(root, 0, root->scene()) : fault;
}

QString TreeCheck::sceneFault(const QVorrelScene *scene)
{
    const QString fault = documentFault(scene->root());
    if (!fault.isEmpty())
        return fault;
    QSet<const TextObject *> inTree;
    QSet<const TextObject *> selectedInTree;
    TextIterator it(scene->root(), TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext()) {
        const TextObject *o = it.next();
        inTree.insert(o);
        if (o->isSelected())
            selectedInTree.insert(o);
    }
    QSet<const TextObject *> listed;
    for (const TextObject *o : scene->selectedObjects()) {
        if (!inTree.contains(o))
            return QStringLiteral("a selected object is not in the tree");
        if (listed.contains(o))
            return QStringLiteral("%1 is listed twice as selected").arg(describe(o));
        if (!o->isSelected())
            return QStringLiteral("%1 is listed as selected but is not").arg(describe(o));
        if (o->hasSelectedAncestor())
            return QStringLiteral("%1 has a selected ancestor").arg(describe(o));
        listed.insert(o);
    }
    if (listed != selectedInTree)
        return QStringLiteral("%1 selected objects of the tree, %2 listed").arg(selectedInTree.size()).arg(listed.size());
    if (scene->hoveredObject() && !inTree.contains(scene->hoveredObject()))
        return QStringLiteral("the hovered object is not in the tree");
    return QString();
}
