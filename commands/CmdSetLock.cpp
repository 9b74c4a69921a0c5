#include "commands/CmdSetLock.h"

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
    apply(m_locked);
    return CmdResult(true, true);
}

CmdResult CmdSetLock::undo()
{
    if (!m_object)
        return CmdResult(false, false);
    apply(m_wasLocked);
    return CmdResult(true, true);
}
