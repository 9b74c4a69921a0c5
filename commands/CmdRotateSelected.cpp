#include "commands/CmdRotateSelected.h"

CmdRotateSelected::CmdRotateSelected(QVorrelScene *scene, float angle, QPointF pivot)
    : Cmd(scene, QStringLiteral("Rotate Selection")), m_angle(angle), m_pivot(pivot)
{
}

CmdRotateSelected::~CmdRotateSelected() = default;

CmdResult CmdRotateSelected::execute()
{
    return rotateBy(m_angle);
}

CmdResult CmdRotateSelected::undo()
{
    return rotateBy(-m_angle);
}

CmdResult CmdRotateSelected::rotateBy(float angle)
{
    if (angle == 0)
        return CmdResult(false, false);
    m_glyphs.take(scene());
    const QPointF pivot = m_pivot;
    m_glyphs.forEach([angle, pivot](Glyph *g) { g->rotateAbout(angle, pivot); });
    const bool changed = !m_glyphs.isEmpty();
    return CmdResult(changed, changed);
}
