#include "commands/CmdMoveCaretPoint.h"

#include "commands/TextPlace.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

CmdMoveCaretPoint::CmdMoveCaretPoint(QVorrelScene *scene, const QPointF &point)
    : CmdMoveCaret(scene, QStringLiteral("Move Caret")), m_targetPoint(point)
{
}

CmdMoveCaretPoint::CmdMoveCaretPoint(QVorrelScene *scene, float x, float y)
    : CmdMoveCaretPoint(scene, QPointF(double(x), double(y)))
{
}

CmdMoveCaretPoint::~CmdMoveCaretPoint() = default;

CmdResult CmdMoveCaretPoint::execute()
{
    saveCaret();
    scene()->setTextPointer(TextPlace::outside(scene()->root()->count() - 1));
    scene()->placeCaretAt(float(m_targetPoint.x()), float(m_targetPoint.y()));
    return CmdResult(true, true);
}

bool CmdMoveCaretPoint::canMerge(Cmd *next)
{
    return qobject_cast<CmdMoveCaretPoint *>(next);
}

bool CmdMoveCaretPoint::merge(Cmd *next)
{
    const CmdMoveCaretPoint *other = qobject_cast<CmdMoveCaretPoint *>(next);
    if (!other)
        return false;
    m_targetPoint = other->m_targetPoint;
    return true;
}
