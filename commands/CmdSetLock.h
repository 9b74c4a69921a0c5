#ifndef CMDSETLOCK_H
#define CMDSETLOCK_H

#include "commands/Cmd.h"

class TextObject;

// Locks or unlocks one object; a group passes it to its glyphs. The object
// is not owned.
class CmdSetLock : public Cmd
{
public:
    CmdSetLock(QVorrelScene *scene, TextObject *object, bool locked);
    ~CmdSetLock() override;

    CmdResult execute() override;
    CmdResult undo() override;

private:
    void apply(bool locked);

    TextObject *m_object;
    bool m_locked;
    bool m_wasLocked = false;
};

#endif // CMDSETLOCK_H
