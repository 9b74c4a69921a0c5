#include "commands/CmdMoveCaretGlyph.h"

#include "commands/TextPlace.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"

CmdMoveCaretGlyph::CmdMoveCaretGlyph(QVorrelScene *scene, Glyph *target)
    : CmdMoveCaret(scene, QStringLiteral("Move Caret to Glyph")), m_targetGlyph(target)
{
}

CmdMoveCaretGlyph::~CmdMoveCaretGlyph() = default;

CmdResult CmdMoveCaretGlyph::execute()
{
    saveCaret();
    QVorrelScene *s = scene();
    TextGroup *passage = m_targetGlyph ? TextPlace::passageOf(m_targetGlyph, s->root()) : nullptr;
    if (!passage)
        return CmdResult(false, false);
    s->setTextPointer(TextPlace::inPassage(s->root(), passage, m_targetGlyph));
    const QPointF spot = TextPlace::landingAfter(m_targetGlyph, passage);
    s->placeCaretAt(float(spot.x()), float(spot.y()));
    return CmdResult(true, true);
}

bool CmdMoveCaretGlyph::canMerge(Cmd *next)
{
    const CmdMoveCaretGlyph *other = qobject_cast<CmdMoveCaretGlyph *>(next);
    return other && other->m_targetGlyph == m_targetGlyph;
}

bool CmdMoveCaretGlyph::merge(Cmd *next)
{
    return canMerge(next);
}
