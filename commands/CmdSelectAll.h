#ifndef CMDSELECTALL_H
#define CMDSELECTALL_H

#include "commands/CmdSelectWalk.h"

// Applies the mode to every eligible object of a level and deselects the
// others; level 0 clears the selection.
class CmdSelectAll : public CmdSelectWalk
{
public:
    CmdSelectAll(QVorrelScene *scene, int mode, int level);
    ~CmdSelectAll() override;

    CmdResult execute() override;

private:
    int m_level;
};

#endif // CMDSELECTALL_H
