#ifndef CMDSETSCENEFONT_H
#define CMDSETSCENEFONT_H

#include "commands/CmdSetSceneValue.h"

#include <QFont>

// Sets the font of new glyphs; the caret follows.
class CmdSetSceneFont : public CmdSetSceneValue<QFont>
{
public:
    CmdSetSceneFont(QVorrelScene *scene, const QFont &font);
    ~CmdSetSceneFont() override;
};

#endif // CMDSETSCENEFONT_H
