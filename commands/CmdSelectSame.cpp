#include "commands/CmdSelectSame.h"

#include "model/QVorrelScene.h"
#include "model/TextObject.h"

#include <QSet>

CmdSelectSame::CmdSelectSame(QVorrelScene *scene, int mode, int level)
    : CmdSelectWalk(scene, mode, QStringLiteral("Select Same ") + levelName(level)), m_level(level)
{
}

CmdSelectSame::~CmdSelectSame() = default;

CmdResult CmdSelectSame::execute()
{
    snapshot();
    // A set: every object of the document is looked up in it.
    QSet<QString> texts;
    for (const TextObject *o : scene()->selectedObjects()) {
        if (isOfLevel(o, m_level))
            texts.insert(o->text());
    }
    bool changed = false;
    for (TextObject *o : walk(true)) {
        if (isOfLevel(o, m_level) && texts.contains(o->text()))
            changed |= applyMode(o);
        else
            changed |= clear(o);
    }
    return CmdResult(changed, changed);
}
