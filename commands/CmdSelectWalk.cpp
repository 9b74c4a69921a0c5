#include "commands/CmdSelectWalk.h"

#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"

CmdSelectWalk::CmdSelectWalk(QVorrelScene *scene, int mode, QString text)
    : CmdSelect(scene, mode, std::move(text))
{
}

CmdSelectWalk::~CmdSelectWalk() = default;

QList<TextObject *> CmdSelectWalk::walk(bool eligibleOnly) const
{
    QList<TextObject *> objects;
    TextIterator it(scene()->root(), TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext()) {
        TextObject *o = it.next();
        if (o == scene()->root() || (eligibleOnly && (o->isLocked() || !o->isVisible())))
            continue;
        objects.append(o);
    }
    return objects;
}

bool CmdSelectWalk::applyMode(TextObject *object)
{
    switch (mode()) {
    case SelectOnly:
    case Add:
        if (object->isSelected())
            return false;
        scene()->setSelected(object, true, false);
        return true;
    case Remove:
        return clear(object);
    case Toggle:
        scene()->setSelected(object, !object->isSelected(), false);
        return true;
    default:
        return false;
    }
}

bool CmdSelectWalk::clear(TextObject *object)
{
    if (!object->isSelected())
        return false;
    scene()->setSelected(object, false, false);
    return true;
}

bool CmdSelectWalk::isOfLevel(const TextObject *object, int level)
{
    switch (level) {
    case GlyphLevel:
        return object->isGlyph();
    case WordLevel:
        return object->isWord();
    case PassageLevel:
        return object->isPassage();
    default:
        return false;
    }
}

QString CmdSelectWalk::levelName(int level)
{
    switch (level) {
    case GlyphLevel:
        return QStringLiteral("Glyphs");
    case WordLevel:
        return QStringLiteral("Words");
    case PassageLevel:
        return QStringLiteral("Passages");
    default:
        return QStringLiteral("Unknown");
    }
}
