#include "commands/CmdOutlineSelected.h"

#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"

CmdOutlineSelected::CmdOutlineSelected(QVorrelScene *scene, QString text, bool repaintOnUndo)
    : Cmd(scene, std::move(text)), m_objects(scene->selectedUnlocked()), m_repaintOnUndo(repaintOnUndo)
{
    for (TextObject *object : qAsConst(m_objects)) {
        GlyphIterator it(object, TextIterator::Forward | TextIterator::PostOrder);
        while (it.hasNext()) {
            m_savedPaths.record(it.next());
            m_changed = true;
        }
    }
}

CmdOutlineSelected::~CmdOutlineSelected() = default;

CmdResult CmdOutlineSelected::execute()
{
    if (!m_changed)
        return CmdResult(false, false);
    for (TextObject *object : qAsConst(m_objects))
        applyTo(object);
    return CmdResult(true, true);
}

CmdResult CmdOutlineSelected::undo()
{
    const QList<TextObject *> objects = m_repaintOnUndo ? m_objects : QList<TextObject *>();
    for (TextObject *object : objects)
        object->updateInScene();
    m_savedPaths.restore();
    for (TextObject *object : objects)
        object->updateInScene();
    return CmdResult(m_changed, m_changed);
}
