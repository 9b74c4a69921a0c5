#include "commands/CmdSelectPoint.h"

#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

CmdSelectPoint::CmdSelectPoint(QVorrelScene *scene, int mode, QPointF point)
    : CmdSelectWalk(scene, mode, QStringLiteral("Select Object")), m_point(point)
{
}

CmdSelectPoint::~CmdSelectPoint() = default;

CmdResult CmdSelectPoint::execute()
{
    snapshot();
    QVorrelScene *s = scene();
    TextObject *selected = s->selectedObjectAt(m_point);
    TextObject *hit = s->glyphAt(m_point);
    if (!selected && !hit)
        return CmdResult(false, false);
    if (mode() == SelectOnly) {
        for (TextObject *o : walk(false))
            clear(o);
    }
    const bool selects = mode() == SelectOnly || mode() == Add;
    if (selected) {
        if (selects && selected->isPassage()) {
            s->setSelected(selected, false, true);
            s->setSelected(s->glyphAt(m_point, selected), true, false);
        } else if (selects && selected->parentGroup()) {
            s->setSelected(selected->parentGroup(), false, true);
            s->setSelected(selected->parentGroup(), true, false);
        } else if (mode() == Remove) {
            s->setSelected(selected, false, false);
        }
    } else if (selects) {
        s->setSelected(hit, true, false);
    } else if (mode() == Remove) {
        s->setSelected(hit, false, false);
    }
    // Something lay under the point: a step of the history, also when the
    // mode left the selection as it was.
    return CmdResult(true, true);
}
