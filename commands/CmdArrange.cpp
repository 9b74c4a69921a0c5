#include "commands/CmdArrange.h"

#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

namespace {

QString arrangeText(int mode)
{
    switch (mode) {
    case CmdArrange::BringToFront:
        return QStringLiteral("Bring to Front");
    case CmdArrange::BringForward:
        return QStringLiteral("Bring Forward");
    case CmdArrange::SendBackward:
        return QStringLiteral("Send Backward");
    case CmdArrange::SendToBack:
        return QStringLiteral("Send to Back");
    default:
        return QStringLiteral("Arrange");
    }
}

// The largest (or smallest) stacking value among the object's siblings,
// itself included, each truncated toward zero; 0 without siblings.
int siblingBound(const TextObject *object, bool largest)
{
    const TextGroup *parent = object->parentGroup();
    return parent ? parent->childZBound(largest) : 0;
}

} // namespace

CmdArrange::CmdArrange(QVorrelScene *scene, TextObject *object, int mode)
    : Cmd(scene, arrangeText(mode)), m_mode(mode), m_object(object)
{
}

CmdArrange::~CmdArrange() = default;

CmdResult CmdArrange::execute()
{
    if (!m_object || (!m_done && scene()->selectedObjects().isEmpty()))
        return CmdResult(false, false);
    m_done = true;
    const double z = m_object->zValue();
    switch (m_mode) {
    case BringToFront:
        m_savedZ = z;
        m_object->setZValue(double(siblingBound(m_object, true) + 1));
        break;
    case BringForward:
        m_object->setZValue(z + 1.0);
        break;
    case SendBackward:
        m_object->setZValue(z - 1.0);
        break;
    case SendToBack:
        m_savedZ = z;
        m_object->setZValue(double(siblingBound(m_object, false) - 1));
        break;
    default:
        break;
    }
    return CmdResult(true, true);
}

CmdResult CmdArrange::undo()
{
    if (!m_object || !m_done)
        return CmdResult(false, false);
    const double z = m_object->zValue();
    switch (m_mode) {
    case BringToFront:
    case SendToBack:
        m_object->setZValue(m_savedZ);
        break;
    case BringForward:
        m_object->setZValue(z - 1.0);
        break;
    case SendBackward:
        m_object->setZValue(z + 1.0);
        break;
    default:
        break;
    }
    return CmdResult(true, true);
}
