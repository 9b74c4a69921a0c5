#pragma once

#include "commands/Cmd.h"

#include <QList>

// A command for history tests: execute adds delta to a counter and undo takes it away; a delta of 0 is a command that
// changes nothing. Every probe has a running id, and destroyed lists the ids of destroyed probes.
class ProbeCmd : public Cmd
{
public:
    ProbeCmd(QVorrelScene *scene, int *counter, int delta, bool movesSelection = false);
    ~ProbeCmd() override { destroyed.append(id); }

    CmdResult execute() override;
    CmdResult undo() override;

    int *counter;
    int delta;
    bool movesSelection;
    const int id;
    int undone = 0;

    static inline QList<int> destroyed;
    static inline int nextId = 0;
};

// A probe that merges with the next probe of its own kind, taking over its delta.
class MergingProbeCmd : public ProbeCmd
{
    Q_OBJECT
public:
    using ProbeCmd::ProbeCmd;

    bool canMerge(Cmd *next) override { return qobject_cast<MergingProbeCmd *>(next); }
    bool merge(Cmd *next) override;
};

