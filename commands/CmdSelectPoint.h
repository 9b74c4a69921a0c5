#ifndef CMDSELECTPOINT_H
#define CMDSELECTPOINT_H

#include "commands/CmdSelectWalk.h"

#include <QPointF>

// Selects by double-click: the glyph under a point first, then, on the
// same spot, its word, its passage and the glyph again. A point over any
// object is a step of the history, whatever the mode changed.
class CmdSelectPoint : public CmdSelectWalk
{
public:
    CmdSelectPoint(QVorrelScene *scene, int mode, QPointF point);
    ~CmdSelectPoint() override;

    CmdResult execute() override;

private:
    QPointF m_point;
};

#endif // CMDSELECTPOINT_H
