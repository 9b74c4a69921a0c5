#include "commands/CmdSetSceneStrokeColor.h"

#include "model/QVorrelScene.h"

CmdSetSceneStrokeColor::CmdSetSceneStrokeColor(QVorrelScene *scene, const QColor &color)
    : CmdSetSceneValue<QColor>(scene, QStringLiteral("Set Stroke Color"), color,
          [](const QVorrelScene *s) { return s->strokeColor(); },
          [](QVorrelScene *s, const QColor &c) { s->setStrokeColor(c); })
{
}

CmdSetSceneStrokeColor::~CmdSetSceneStrokeColor() = default;

bool CmdSetSceneStrokeColor::canMerge(Cmd *next)
{
    return qobject_cast<CmdSetSceneStrokeColor *>(next);
}
