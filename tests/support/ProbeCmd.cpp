#include "support/ProbeCmd.h"


ProbeCmd::ProbeCmd(QVorrelScene *scene, int *counter, int delta, bool movesSelection)
    : Cmd(scene, QStringLiteral("Probe")), counter(counter), delta(delta), movesSelection(movesSelection), id(nextId++)
{
}

CmdResult ProbeCmd::execute()
{
    *counter += delta;
    return CmdResult(delta != 0, delta != 0 && movesSelection);
}

CmdResult ProbeCmd::undo()
{
    ++undone;
    *counter -= delta;
    return CmdResult(delta != 0, delta != 0 && movesSelection);
}

bool MergingProbeCmd::merge(Cmd *next)
{
    const MergingProbeCmd *other = qobject_cast<MergingProbeCmd *>(next);
    if (other)
        delta += other->delta;
    return other;
}
