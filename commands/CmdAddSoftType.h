#ifndef CMDADDSOFTTYPE_H
#define CMDADDSOFTTYPE_H

#include "commands/Cmd.h"

class Glyph;
class SoftType;

// Appends a SoftType to a glyph's list. The command owns the SoftType while
// it is outside the glyph (before execute and after undo) and deletes it
// if destroyed then. A locked glyph takes nothing.
class CmdAddSoftType : public Cmd
{
public:
    CmdAddSoftType(QVorrelScene *scene, Glyph *glyph, SoftType *softType);
    ~CmdAddSoftType() override;

    CmdResult execute() override;
    CmdResult undo() override;

private:
    Glyph *m_glyph;
    SoftType *m_softType;
    bool m_ownsSoftType = true;
};

#endif // CMDADDSOFTTYPE_H
