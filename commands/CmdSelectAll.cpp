#include "commands/CmdSelectAll.h"

#include "model/TextObject.h"

CmdSelectAll::CmdSelectAll(QVorrelScene *scene, int mode, int level)
    : CmdSelectWalk(scene, mode, QStringLiteral("Select All ") + levelName(level)), m_level(level)
{
}

CmdSelectAll::~CmdSelectAll() = default;

CmdResult CmdSelectAll::execute()
{
    snapshot();
    bool changed = false;
    for (TextObject *o : walk(true))
        changed |= isOfLevel(o, m_level) ? applyMode(o) : clear(o);
    return CmdResult(changed, changed);
}
