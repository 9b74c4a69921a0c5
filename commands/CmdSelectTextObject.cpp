#include "commands/CmdSelectTextObject.h"

CmdSelectTextObject::CmdSelectTextObject(QVorrelScene *scene, TextObject *object, int mode)
    : CmdSelectWalk(scene, mode, QStringLiteral("Select Object")), m_target(object)
{
}

CmdSelectTextObject::~CmdSelectTextObject() = default;

CmdResult CmdSelectTextObject::execute()
{
    snapshot();
    bool changed = false;
    for (TextObject *o : walk(true)) {
        if (o == m_target)
            changed |= applyMode(o);
        else if (mode() == SelectOnly)
            changed |= clear(o);
    }
    return CmdResult(changed, changed);
}
