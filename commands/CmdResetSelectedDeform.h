#ifndef CMDRESETSELECTEDDEFORM_H
#define CMDRESETSELECTEDDEFORM_H

#include "commands/CmdOutlineSelected.h"

// Drops the deformation of the selected objects: the current outline
// becomes the rest outline again.
class CmdResetSelectedDeform : public CmdOutlineSelected
{
public:
    explicit CmdResetSelectedDeform(QVorrelScene *scene);

protected:
    void applyTo(TextObject *object) override;
};

#endif // CMDRESETSELECTEDDEFORM_H
