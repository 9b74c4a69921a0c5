#include "commands/CmdSetSelectedAsOriginal.h"

#include "model/TextObject.h"

CmdSetSelectedAsOriginal::CmdSetSelectedAsOriginal(QVorrelScene *scene)
    : CmdOutlineSelected(scene, QStringLiteral("Set as Original"), false)
{
}

void CmdSetSelectedAsOriginal::applyTo(TextObject *object)
{
    object->bakeDeform();
}
