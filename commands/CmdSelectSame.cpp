#include "commands/CmdSelectSame.h"

#include "model/QVorrelScene.h"
#include "model/SelectedListIterator.h"
#include "model/TextObject.h"

#include <QStringList>

CmdSelectSame::CmdSelectSame(QVorrelScene *scene, int mode, int level)
    : CmdSelectWalk(scene, mode, QStringLiteral("Select Same ") + levelName(level)), m_level(level)
{
}

CmdSelectSame::~CmdSelectSame() = default;

CmdResult CmdSelectSame::execute()
{
    snapshot();
    QStringList texts;
    SelectedListIterator selected(scene());
    while (selected.hasNext()) {
        const TextObject *o = selected.next();
        if (isOfLevel(o, m_level) && !texts.contains(o->text(), Qt::CaseSensitive))
            texts.append(o->text());
    }
    bool changed = false;
    for (TextObject *o : walk(true)) {
        if (isOfLevel(o, m_level) && texts.contains(o->text(), Qt::CaseSensitive))
            changed |= applyMode(o);
        else
            changed |= clear(o);
    }
    return CmdResult(changed, changed);
}
