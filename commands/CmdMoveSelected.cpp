#include "commands/CmdMoveSelected.h"

CmdMoveSelected::CmdMoveSelected(QVorrelScene *scene, float dx, float dy)
    : Cmd(scene, QStringLiteral("Move Selection")), m_dx(dx), m_dy(dy)
{
}

CmdMoveSelected::CmdMoveSelected(QVorrelScene *scene, QPointF delta)
    : CmdMoveSelected(scene, float(delta.x()), float(delta.y()))
{
}

CmdMoveSelected::~CmdMoveSelected() = default;

CmdResult CmdMoveSelected::execute()
{
    return moveBy(m_dx, m_dy);
}

CmdResult CmdMoveSelected::undo()
{
    return moveBy(-double(m_dx), -double(m_dy));
}

CmdResult CmdMoveSelected::moveBy(double dx, double dy)
{
    if (dx == 0 && dy == 0)
        return CmdResult(false, false);
    m_glyphs.take(scene());
    m_glyphs.forEach([dx, dy](Glyph *g) { g->setPos(g->pos().x() + dx, g->pos().y() + dy); });
    const bool changed = !m_glyphs.isEmpty();
    return CmdResult(changed, changed);
}
