#ifndef CMDSELECTALL_H
#define CMDSELECTALL_H

#include "commands/CmdSelectWalk.h"

// Applies the mode to every eligible (unlocked, visible) object of a level
// and deselects the other eligible objects; level 0 only deselects. Locked
// and hidden objects keep their state, selected or not.
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
