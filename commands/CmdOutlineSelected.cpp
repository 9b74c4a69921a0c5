#include "commands/CmdOutlineSelected.h"

#include "model/Glyph.h"
#include "model/GlyphIterator.h"

CmdOutlineSelected::CmdOutlineSelected(QVorrelScene *scene, QString text, bool repaintOnUndo)
    : Cmd(scene, std::move(text)), m_objects(scene, SelectedObjects::SelectionOrder), m_repaintOnUndo(repaintOnUndo)
{
    for (TextObject *object : m_objects) {
        GlyphIterator it(object, TextIterator::Forward | TextIterator::PostOrder);
        while (it.hasNext())
            m_savedPaths.record(it.next());
    }
}

CmdOutlineSelected::~CmdOutlineSelected() = default;

CmdResult CmdOutlineSelected::execute()
{
    if (m_savedPaths.isEmpty())
        return CmdResult(false, false);
    for (TextObject *object : m_objects)
        applyTo(object);
    return CmdResult(true, true);
}

CmdResult CmdOutlineSelected::undo()
{
    const QList<TextObject *> objects = m_repaintOnUndo ? m_objects.list() : QList<TextObject *>();
    for (TextObject *object : objects)
        object->updateInScene();
    m_savedPaths.restore();
    for (TextObject *object : objects)
        object->updateInScene();
    const bool changed = !m_savedPaths.isEmpty();
    return CmdResult(changed, changed);
}
