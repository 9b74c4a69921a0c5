#ifndef CMDRESETSELECTED_H
#define CMDRESETSELECTED_H

#include "commands/CmdOutlineSelected.h"

// Rebuilds the outlines of the selected objects from character and font.
class CmdResetSelected : public CmdOutlineSelected
{
public:
    explicit CmdResetSelected(QVorrelScene *scene);

protected:
    void applyTo(TextObject *object) override;
};

#endif // CMDRESETSELECTED_H
