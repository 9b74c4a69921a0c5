#ifndef CMDSETSCENEFONTSIZE_H
#define CMDSETSCENEFONTSIZE_H

#include "commands/CmdSetSceneValue.h"

// Sets the point size (at least 1) of new glyphs; the caret follows. A later
// command of its kind merges into it.
class CmdSetSceneFontSize : public CmdSetSceneValue<int>
{
    Q_OBJECT
public:
    CmdSetSceneFontSize(QVorrelScene *scene, int size);
    ~CmdSetSceneFontSize() override;

    bool canMerge(Cmd *next) override;
};

#endif // CMDSETSCENEFONTSIZE_H
