#ifndef CMDSETSCENESTROKEWIDTH_H
#define CMDSETSCENESTROKEWIDTH_H

#include "commands/CmdSetSceneValue.h"

// Sets the stroke width of new glyphs. A later command of its kind merges into it.
class CmdSetSceneStrokeWidth : public CmdSetSceneValue<float>
{
    Q_OBJECT
public:
    CmdSetSceneStrokeWidth(QVorrelScene *scene, float width);
    ~CmdSetSceneStrokeWidth() override;

    bool canMerge(Cmd *next) override;
};

#endif // CMDSETSCENESTROKEWIDTH_H
