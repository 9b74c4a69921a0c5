#include "commands/CmdSetVisible.h"

#include "model/QVorrelScene.h"
#include "model/TextObject.h"

CmdSetVisible::CmdSetVisible(QVorrelScene *scene, TextObject *object, bool visible)
    : Cmd(scene, visible ? QStringLiteral("Show") : QStringLiteral("Hide")), m_object(object), m_visible(visible)
{
}

CmdSetVisible::~CmdSetVisible() = default;

void CmdSetVisible::apply(bool visible)
{
    QVorrelScene *s = scene();
    if (visible) {
        m_object->setVisible(true);
        // The selection comes back as it was, each object in its place.
        if (!m_released.isEmpty())
            s->restoreSelection(m_selectionBefore);
        m_released.clear();
        return;
    }
    // The item would deselect itself and its subtree behind the scene's
    // back; the scene's list must follow.
    m_released.clear();
    m_selectionBefore = s->selectedObjects();
    for (TextObject *o : qAsConst(m_selectionBefore)) {
        if (o == m_object || o->isAncestorOf(m_object) || m_object->isAncestorOf(o))
            m_released.append(o);
    }
    s->setSelected(m_object, false, true);
    m_object->setVisible(false);
}

CmdResult CmdSetVisible::execute()
{
    if (!m_object)
        return CmdResult(false, false);
    m_wasVisible = m_object->isVisibleTo(m_object->parentItem());
    if (m_wasVisible == m_visible)
        return CmdResult(false, false);
    apply(m_visible);
    return CmdResult(true, true);
}

CmdResult CmdSetVisible::undo()
{
    if (!m_object)
        return CmdResult(false, false);
    apply(m_wasVisible);
    return CmdResult(true, true);
}
