#include "commands/CmdSelect.h"

#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"

#include <QHash>

CmdSelect::CmdSelect(QVorrelScene *scene, int mode, QString text)
    : Cmd(scene, std::move(text)), m_mode(mode)
{
}

CmdSelect::~CmdSelect() = default;

void CmdSelect::snapshot()
{
    const QList<TextObject *> objects = walkList(scene()->root());
    m_selectedCount = objects.size();
    QHash<const TextObject *, int> position;
    for (int i = 0; i < objects.size(); ++i) {
        if (objects.at(i)->isSelected())
            position.insert(objects.at(i), i);
    }
    m_selectionOrder.clear();
    for (const TextObject *o : scene()->selectedObjects()) {
        const auto found = position.constFind(o);
        if (found != position.constEnd()) {
            m_selectionOrder.append(found.value());
            position.erase(found);
        }
    }
    // Selected items missing from the list follow in walk order.
    QVector<int> rest = position.values().toVector();
    std::sort(rest.begin(), rest.end());
    m_selectionOrder += rest;
}

CmdResult CmdSelect::undo()
{
    const QList<TextObject *> objects = walkList(scene()->root());
    QList<TextObject *> selected;
    for (int i : qAsConst(m_selectionOrder)) {
        if (i < objects.size())
            selected.append(objects.at(i));
    }
    scene()->restoreSelection(selected);
    return CmdResult(true, true);
}
