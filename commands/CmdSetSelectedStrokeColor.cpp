#include "commands/CmdSetSelectedStrokeColor.h"

CmdSetSelectedStrokeColor::CmdSetSelectedStrokeColor(QVorrelScene *scene, const QColor &color)
    : CmdSetSelectedValue<QColor>(scene, QStringLiteral("Set Stroke Color"), color,
          [](const Glyph *g) { return g->strokeColor(); },
          [](TextObject *o, const QColor &c) { o->setStrokeColor(c); }, false)
{
}

CmdSetSelectedStrokeColor::~CmdSetSelectedStrokeColor() = default;

bool CmdSetSelectedStrokeColor::canMerge(Cmd *next)
{
    return qobject_cast<CmdSetSelectedStrokeColor *>(next);
}
