#ifndef CMDSETSELECTEDSTROKEWIDTH_H
#define CMDSETSELECTEDSTROKEWIDTH_H

#include "commands/CmdSetSelectedValue.h"

// Sets the stroke width of the selected text. A later command of its kind merges into it.
class CmdSetSelectedStrokeWidth : public CmdSetSelectedValue<float>
{
    Q_OBJECT
public:
    CmdSetSelectedStrokeWidth(QVorrelScene *scene, float width);
    ~CmdSetSelectedStrokeWidth() override;

    bool canMerge(Cmd *next) override;
};

#endif // CMDSETSELECTEDSTROKEWIDTH_H
