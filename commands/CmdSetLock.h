#ifndef CMDSETLOCK_H
#define CMDSETLOCK_H

#include "commands/Cmd.h"

#include <QList>

class Glyph;
class TextObject;

// Locks or unlocks one object; a group passes it to its glyphs. Undo gives
// every glyph under the object its own earlier state back. The object is
// not owned.
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
    // The glyphs under the object that were locked at the last execute.
    QList<Glyph *> m_lockedGlyphs;
};

#endif // CMDSETLOCK_H
