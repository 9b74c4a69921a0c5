#ifndef CMDARRANGE_H
#define CMDARRANGE_H

#include "commands/Cmd.h"

class TextObject;

// Changes the stacking value of one object among its siblings: to the
// front or back, one past the largest or smallest of their values (each
// truncated toward zero), or one step forward or backward. Its first
// execute acts only while something is selected; undo and redo then act
// whatever is selected. A mode it does not know changes no value but still
// counts as a change. The object is not owned.
class CmdArrange : public Cmd
{
public:
    enum Mode { BringToFront = 0, BringForward = 1, SendBackward = 2, SendToBack = 3 };

    CmdArrange(QVorrelScene *scene, TextObject *object, int mode);
    ~CmdArrange() override;

    CmdResult execute() override;
    CmdResult undo() override;

private:
    int m_mode;
    TextObject *m_object;
    double m_savedZ = 0;
    bool m_done = false;
};

#endif // CMDARRANGE_H
