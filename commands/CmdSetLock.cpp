#include "commands/CmdSetLock.h"

#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/TextObject.h"

CmdSetLock::CmdSetLock(QVorrelScene *scene, TextObject *object, bool locked)
    : Cmd(scene, locked ? QStringLiteral("Lock") : QStringLiteral("Unlock")), m_object(object), m_locked(locked)
{
}

CmdSetLock::~CmdSetLock() = default;

void CmdSetLock::apply(bool locked)
{
    if (locked)
        m_object->lock();
    else
        m_object->unlock();
}

CmdResult CmdSetLock::execute()
{
    if (!m_object)
        return CmdResult(false, false);
    m_wasLocked = m_object->isLocked();
    if (m_wasLocked == m_locked)
        return CmdResult(false, false);
    m_lockedGlyphs.clear();
    GlyphIterator it(m_object, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext()) {
        Glyph *g = it.next();
        if (g->isLocked())
            m_lockedGlyphs.append(g);
    }
    apply(m_locked);
    return CmdResult(true, true);
}

CmdResult CmdSetLock::undo()
{
    if (!m_object)
        return CmdResult(false, false);
    // A group counts as locked when one glyph under it is: only the glyphs
    // that were locked are locked again.
    apply(false);
    for (Glyph *g : qAsConst(m_lockedGlyphs))
        g->lock();
    return CmdResult(true, true);
}
