#ifndef CMDSELECTSAME_H
#define CMDSELECTSAME_H

#include "commands/CmdSelectWalk.h"

// Selects the objects of a level whose text equals, exactly, that of a
// selected object of the level; every other eligible object is deselected.
class CmdSelectSame : public CmdSelectWalk
{
public:
    CmdSelectSame(QVorrelScene *scene, int mode, int level);
    ~CmdSelectSame() override;

    CmdResult execute() override;

private:
    int m_level;
};

#endif // CMDSELECTSAME_H
