#include "commands/CmdResetSelectedDeform.h"

#include "model/TextObject.h"

CmdResetSelectedDeform::CmdResetSelectedDeform(QVorrelScene *scene)
    : CmdOutlineSelected(scene, QStringLiteral("Reset Deformations"), true)
{
}

void CmdResetSelectedDeform::applyTo(TextObject *object)
{
    object->resetDeform();
}
