#include "commands/CmdRemoveGlyph.h"

#include "model/Caret.h"
#include "model/QVorrelScene.h"

CmdRemoveGlyph::CmdRemoveGlyph(QVorrelScene *scene)
    : CmdEditing(scene, QStringLiteral("Remove Glyph"))
{
}

CmdRemoveGlyph::~CmdRemoveGlyph()
{
    m_held.deleteOutside();
}

CmdResult CmdRemoveGlyph::execute()
{
    m_caretBefore = scene()->caret()->pos();
    m_shift = Shift();
    return removeGlyph(m_held, m_shift, nullptr);
}

CmdResult CmdRemoveGlyph::undo()
{
    if (!m_held.glyph)
        return CmdResult(false, false);
    Shift back = m_shift.reversed();
    placeGlyph(m_held.glyph, m_held, false, back, &m_caretBefore);
    m_held.forgetPlaced();
    return CmdResult(true, true);
}
