#include "commands/CmdSetSelectedStrokeWidth.h"

CmdSetSelectedStrokeWidth::CmdSetSelectedStrokeWidth(QVorrelScene *scene, float width)
    : CmdSetSelectedValue<float>(scene, QStringLiteral("Set Stroke Width"), width,
          [](const Glyph *g) { return g->strokeWidth(); },
          [](TextObject *o, const float &w) { o->setStrokeWidth(w); }, false)
{
}

CmdSetSelectedStrokeWidth::~CmdSetSelectedStrokeWidth() = default;

bool CmdSetSelectedStrokeWidth::canMerge(Cmd *next)
{
    return qobject_cast<CmdSetSelectedStrokeWidth *>(next);
}
