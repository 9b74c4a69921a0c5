#ifndef CMDSELECTRECT_H
#define CMDSELECTRECT_H

#include "commands/CmdSelectWalk.h"

#include <QRect>

// Selects the objects of one type that a rubber band touches.
class CmdSelectRect : public CmdSelectWalk
{
public:
    CmdSelectRect(QVorrelScene *scene, QRect rect, int mode, int objectType);
    ~CmdSelectRect() override;

    CmdResult execute() override;

private:
    QRect m_rect;
    int m_objectType;
};

#endif // CMDSELECTRECT_H
