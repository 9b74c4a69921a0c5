#ifndef CMDSELECTTEXTOBJECT_H
#define CMDSELECTTEXTOBJECT_H

#include "commands/CmdSelectWalk.h"

// Applies the mode to one object; with select-only every other eligible
// object is deselected. The object is not owned.
class CmdSelectTextObject : public CmdSelectWalk
{
public:
    CmdSelectTextObject(QVorrelScene *scene, TextObject *object, int mode);
    ~CmdSelectTextObject() override;

    CmdResult execute() override;

private:
    TextObject *m_target;
};

#endif // CMDSELECTTEXTOBJECT_H
