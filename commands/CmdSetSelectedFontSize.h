#ifndef CMDSETSELECTEDFONTSIZE_H
#define CMDSETSELECTEDFONTSIZE_H

#include "commands/CmdSetSelectedValue.h"

// Sets the point size (at least 1) of the selected text; groups lay
// their text out again. A later command of its kind merges into it.
class CmdSetSelectedFontSize : public CmdSetSelectedValue<int>
{
    Q_OBJECT
public:
    CmdSetSelectedFontSize(QVorrelScene *scene, int size);
    ~CmdSetSelectedFontSize() override;

    bool canMerge(Cmd *next) override;
};

#endif // CMDSETSELECTEDFONTSIZE_H
