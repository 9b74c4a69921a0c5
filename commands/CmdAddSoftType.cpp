#include "commands/CmdAddSoftType.h"

#include "model/Glyph.h"
#include "softtypes/SoftType.h"

CmdAddSoftType::CmdAddSoftType(QVorrelScene *scene, Glyph *glyph, SoftType *softType)
    : Cmd(scene, softType ? QStringLiteral("Add %1 SoftType").arg(softType->kindText()) : QStringLiteral("Add SoftType")),
      m_glyph(glyph),
      m_softType(softType)
{
}

CmdAddSoftType::~CmdAddSoftType()
{
    if (m_ownsSoftType)
        delete m_softType;
}

CmdResult CmdAddSoftType::execute()
{
    if (!m_glyph || !m_softType || m_glyph->isLocked())
        return CmdResult(false, false);
    m_glyph->addSoftType(m_softType);
    m_ownsSoftType = false;
    return CmdResult(true, false);
}

CmdResult CmdAddSoftType::undo()
{
    m_glyph->removeSoftType(m_softType);
    m_ownsSoftType = true;
    return CmdResult(true, false);
}
