#ifndef CMDSETSELECTEDASORIGINAL_H
#define CMDSETSELECTEDASORIGINAL_H

#include "commands/CmdOutlineSelected.h"

// Makes the deformed outline of the selected objects their new rest
// outline.
class CmdSetSelectedAsOriginal : public CmdOutlineSelected
{
public:
    explicit CmdSetSelectedAsOriginal(QVorrelScene *scene);

protected:
    void applyTo(TextObject *object) override;
};

#endif // CMDSETSELECTEDASORIGINAL_H
