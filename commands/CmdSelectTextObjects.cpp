#include "commands/CmdSelectTextObjects.h"

#include <QSet>

CmdSelectTextObjects::CmdSelectTextObjects(QVorrelScene *scene, const QList<TextObject *> &objects, int mode)
    : CmdSelectWalk(scene, mode, QStringLiteral("Select Objects")), m_targets(objects)
{
}

CmdSelectTextObjects::~CmdSelectTextObjects() = default;

CmdResult CmdSelectTextObjects::execute()
{
    if (mode() != Add && mode() != Remove && mode() != Toggle)
        return CmdResult(false, false);
    snapshot();
    const QList<TextObject *> objects = walk(true);
    const QSet<const TextObject *> eligible(objects.cbegin(), objects.cend());
    bool changed = false;
    for (TextObject *o : qAsConst(m_targets)) {
        if (eligible.contains(o))
            changed |= applyMode(o);
    }
    return CmdResult(changed, changed);
}
