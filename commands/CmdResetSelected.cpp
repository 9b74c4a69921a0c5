#include "commands/CmdResetSelected.h"

#include "model/TextObject.h"

CmdResetSelected::CmdResetSelected(QVorrelScene *scene)
    : CmdOutlineSelected(scene, QStringLiteral("Reset"), true)
{
}

void CmdResetSelected::applyTo(TextObject *object)
{
    object->resetGlyph();
}
