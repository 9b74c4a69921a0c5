#include "commands/CmdConvertSelected.h"

#include "model/TextObject.h"

CmdConvertSelected::CmdConvertSelected(QVorrelScene *scene, int mode)
    : CmdOutlineSelected(scene, QStringLiteral("Reset"), true), m_mode(mode)
{
}

void CmdConvertSelected::applyTo(TextObject *object)
{
    if (m_mode == ToCurves)
        object->convertToCurves();
    else if (m_mode == ToLines)
        object->convertToLines();
}
