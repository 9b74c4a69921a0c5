#include "commands/CmdOutlineSelected.h"

#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"
#include "model/SelectedListIterator.h"

CmdOutlineSelected::CmdOutlineSelected(QVorrelScene *scene, QString text, bool repaintOnUndo)
    : Cmd(scene, std::move(text)), m_repaintOnUndo(repaintOnUndo)
{
    for (TextObject *object : unlockedSelection()) {
        GlyphIterator it(object, TextIterator::Forward | TextIterator::PostOrder);
        while (it.hasNext()) {
            m_savedPaths.record(it.next());
            m_changed = true;
        }
    }
}

CmdOutlineSelected::~CmdOutlineSelected() = default;

QList<TextObject *> CmdOutlineSelected::unlockedSelection() const
{
    QList<TextObject *> objects;
    SelectedListIterator it(scene());
    while (it.hasNext()) {
        TextObject *object = it.next();
        if (!object->isLocked())
            objects.append(object);
    }
    return objects;
}

CmdResult CmdOutlineSelected::execute()
{
    if (!m_changed)
        return CmdResult(false, false);
    for (TextObject *object : unlockedSelection())
        applyTo(object);
    return CmdResult(true, true);
}

CmdResult CmdOutlineSelected::undo()
{
    const QList<TextObject *> objects = m_repaintOnUndo ? unlockedSelection() : QList<TextObject *>();
    for (TextObject *object : objects)
        object->updateInScene();
    m_savedPaths.restore();
    for (TextObject *object : objects)
        object->updateInScene();
    return CmdResult(m_changed, m_changed);
}
