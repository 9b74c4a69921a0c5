#include "commands/CmdSetSceneFontSize.h"

#include "model/QVorrelScene.h"

CmdSetSceneFontSize::CmdSetSceneFontSize(QVorrelScene *scene, int size)
    : CmdSetSceneValue<int>(scene, QStringLiteral("Set Font Size"), qMax(size, 1),
          [](const QVorrelScene *s) { return s->fontSize(); },
          [](QVorrelScene *s, const int &p) { s->setFontSize(p); })
{
}

CmdSetSceneFontSize::~CmdSetSceneFontSize() = default;

bool CmdSetSceneFontSize::canMerge(Cmd *next)
{
    return qobject_cast<CmdSetSceneFontSize *>(next);
}
