#include "commands/CmdSetSceneStrokeWidth.h"

#include "model/QVorrelScene.h"

CmdSetSceneStrokeWidth::CmdSetSceneStrokeWidth(QVorrelScene *scene, float width)
    : CmdSetSceneValue<float>(scene, QStringLiteral("Set Stroke Width"), width,
          [](const QVorrelScene *s) { return s->strokeWidth(); },
          [](QVorrelScene *s, const float &w) { s->setStrokeWidth(w); })
{
}

CmdSetSceneStrokeWidth::~CmdSetSceneStrokeWidth() = default;

bool CmdSetSceneStrokeWidth::canMerge(Cmd *next)
{
    return qobject_cast<CmdSetSceneStrokeWidth *>(next);
}
