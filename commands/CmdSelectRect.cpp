#include "commands/CmdSelectRect.h"

#include "model/QVorrelScene.h"
#include "model/TextObject.h"

CmdSelectRect::CmdSelectRect(QVorrelScene *scene, QRect rect, int mode, int objectType)
    : CmdSelectWalk(scene, mode, QStringLiteral("Select Region")), m_rect(rect), m_objectType(objectType)
{
}

CmdSelectRect::~CmdSelectRect() = default;

CmdResult CmdSelectRect::execute()
{
    if (!m_rect.isValid())
        return CmdResult(false, false);
    snapshot();
    bool changed = false;
    // Selecting through the scene also deselects the object's ancestors.
    const auto putInto = [this, &changed](TextObject *o, bool select) {
        if (o->isSelected() == select)
            return;
        scene()->setSelected(o, select, false);
        changed = true;
    };
    for (TextObject *o : walk(true)) {
        const bool hit = o->boundingRegion(o->sceneTransform()).intersects(m_rect);
        if (o->textType() == m_objectType) {
            if (mode() == SelectOnly)
                putInto(o, hit);
            else if (hit && mode() == Add)
                putInto(o, true);
            else if (hit && mode() == Remove)
                putInto(o, false);
            else if (hit && mode() == Toggle)
                putInto(o, !o->isSelected());
        } else if (mode() == SelectOnly || (hit && mode() == Remove)) {
            putInto(o, false);
        }
    }
    return CmdResult(changed, changed);
}
