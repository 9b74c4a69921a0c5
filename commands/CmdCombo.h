#ifndef CMDCOMBO_H
#define CMDCOMBO_H

#include "commands/Cmd.h"

#include <QList>

// A command made of commands: execute runs them in order, undo runs those
// that changed something in reverse. One user action that touches several
// things is one history entry.
class CmdCombo : public Cmd
{
    Q_OBJECT
public:
    CmdCombo(QVorrelScene *scene, QString text);
    ~CmdCombo() override;

    CmdResult execute() override;
    CmdResult undo() override;
    // Merges with another composite of as many sub-commands when each pair
    // at the same position can merge.
    bool canMerge(Cmd *next) override;
    bool merge(Cmd *next) override;

    // Appends a sub-command and owns it; with takeText the composite shows
    // the sub-command's text. A null command is ignored.
    void add(Cmd *cmd, bool takeText);
    // The sub-command at index, null outside the list.
    Cmd *command(int index) const;
    int count() const { return m_commands.size(); }

private:
    QList<Cmd *> m_commands;
    // The result of each sub-command's latest execute.
    QList<CmdResult> m_results;
};

#endif // CMDCOMBO_H
