#ifndef CMDSETSCENEFILLCOLOR_H
#define CMDSETSCENEFILLCOLOR_H

#include "commands/CmdSetSceneValue.h"

#include <QColor>

// Sets the fill colour of new glyphs; the caret follows. A later command
// of its kind merges into it.
class CmdSetSceneFillColor : public CmdSetSceneValue<QColor>
{
    Q_OBJECT
public:
    CmdSetSceneFillColor(QVorrelScene *scene, const QColor &color);
    ~CmdSetSceneFillColor() override;

    bool canMerge(Cmd *next) override;
};

#endif // CMDSETSCENEFILLCOLOR_H
