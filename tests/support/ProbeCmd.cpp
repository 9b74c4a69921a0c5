#include "support/ProbeCmd.h"

QList<int> ProbeCmd::destroyed;
int ProbeCmd::nextId = 0;

ProbeCmd::ProbeCmd(QVorrelScene *scene, int *counter, int delta, bool movesSelection)
    : Cmd(scene, QStringLiteral("Probe")), counter(counter), delta(delta), movesSelection(movesSelection),
      id(nextId++)
{
}

ProbeCmd::~ProbeCmd()
{
    destroyed.append(id);
}

CmdResult ProbeCmd::execute()
{
    ++executed;
    *counter += delta;
    return CmdResult(delta != 0, delta != 0 && movesSelection);
}

CmdResult ProbeCmd::undo()
{
    ++undone;
    *counter -= delta;
    return CmdResult(delta != 0, delta != 0 && movesSelection);
}

bool MergingProbeCmd::canMerge(Cmd *next)
{
    return qobject_cast<MergingProbeCmd *>(next);
}

bool MergingProbeCmd::merge(Cmd *next)
{
    const MergingProbeCmd *other = qobject_cast<MergingProbeCmd *>(next);
    if (!other)
        return false;
    delta += other->delta;
    return true;
}
