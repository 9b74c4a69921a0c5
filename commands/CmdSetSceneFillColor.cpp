#include "commands/CmdSetSceneFillColor.h"

#include "model/QVorrelScene.h"

CmdSetSceneFillColor::CmdSetSceneFillColor(QVorrelScene *scene, const QColor &color)
    : CmdSetSceneValue<QColor>(scene, QStringLiteral("Set Fill Color"), color,
          [](const QVorrelScene *s) { return s->fillColor(); },
          [](QVorrelScene *s, const QColor &c) { s->setFillColor(c); })
{
}

CmdSetSceneFillColor::~CmdSetSceneFillColor() = default;

bool CmdSetSceneFillColor::canMerge(Cmd *next)
{
    return qobject_cast<CmdSetSceneFillColor *>(next);
}
