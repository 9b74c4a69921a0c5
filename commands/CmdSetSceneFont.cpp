#include "commands/CmdSetSceneFont.h"

#include "model/QVorrelScene.h"

CmdSetSceneFont::CmdSetSceneFont(QVorrelScene *scene, const QFont &font)
    : CmdSetSceneValue<QFont>(scene, QStringLiteral("Set Font"), font,
          [](const QVorrelScene *s) { return s->textFont(); },
          [](QVorrelScene *s, const QFont &f) { s->setFont(f); })
{
}

CmdSetSceneFont::~CmdSetSceneFont() = default;
