#include "commands/CmdInsertGlyph.h"

#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"

CmdInsertGlyph::CmdInsertGlyph(QVorrelScene *scene, Glyph *glyph, bool atCaret)
    : CmdEditing(scene, QStringLiteral("Insert Glyph")), m_atCaret(atCaret)
{
    m_held.glyph = glyph;
    // Text from Linux ends its lines with a line feed.
    if (glyph && glyph->character() == QLatin1Char('\n'))
        glyph->setCharacter(QString(QChar(Glyph::LineBreak)));
}

CmdInsertGlyph::~CmdInsertGlyph()
{
    if (!m_placed)
        m_held.deleteOutside();
}

CmdResult CmdInsertGlyph::execute()
{
    m_caretBefore = scene()->caret()->pos();
    m_shift.mode = m_atCaret ? Shift::Computed : Shift::None;
    const CmdResult result = placeGlyph(m_held.glyph, m_held, m_atCaret, m_shift, nullptr);
    m_placed = result.documentChanged();
    return result;
}

CmdResult CmdInsertGlyph::undo()
{
    // The linear history leaves the caret right behind this glyph.
    if (!m_placed || scene()->textPointer().glyph != m_held.glyph)
        return CmdResult(false, false);
    Shift back = m_shift.reversed();
    const CmdResult result = removeGlyph(m_held, back, &m_caretBefore);
    m_placed = !result.documentChanged();
    return result;
}
