#include "commands/CmdRemoveSoftType.h"

#include "model/Glyph.h"
#include "softtypes/SoftType.h"

namespace {

QString removeText(Glyph *glyph, const QString &name)
{
    const SoftType *s = glyph ? glyph->findSoftTypeConst(name) : nullptr;
    return s ? QStringLiteral("Remove %1 SoftType").arg(s->kindText()) : QStringLiteral("Remove SoftType");
}

} // namespace

CmdRemoveSoftType::CmdRemoveSoftType(QVorrelScene *scene, Glyph *glyph, const QString &name)
    : Cmd(scene, removeText(glyph, name)), m_glyph(glyph), m_softTypeName(name)
{
}

CmdRemoveSoftType::~CmdRemoveSoftType()
{
    delete m_removed;
}

CmdResult CmdRemoveSoftType::execute()
{
    if (!m_glyph || m_glyph->isLocked())
        return CmdResult(false, false);
    m_removed = m_glyph->findSoftType(m_softTypeName);
    if (!m_removed)
        return CmdResult(false, false);
    m_index = m_glyph->softTypes().indexOf(m_removed);
    m_glyph->removeSoftTypeAt(m_index);
    return CmdResult(true, false);
}

CmdResult CmdRemoveSoftType::undo()
{
    if (!m_removed)
        return CmdResult(false, false);
    if (!m_glyph->insertSoftType(m_removed, m_index))
        m_glyph->addSoftType(m_removed);
    m_removed = nullptr;
    return CmdResult(true, false);
}
