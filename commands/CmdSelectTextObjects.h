#ifndef CMDSELECTTEXTOBJECTS_H
#define CMDSELECTTEXTOBJECTS_H

#include "commands/CmdSelectWalk.h"

#include <QList>

// Adds, removes or toggles (modes 2 to 4) each listed object in list order,
// as one CmdSelectTextObject per object would, with one snapshot and one
// walk for all of them; select-only and unknown modes change nothing. The
// objects are not owned.
class CmdSelectTextObjects : public CmdSelectWalk
{
public:
    CmdSelectTextObjects(QVorrelScene *scene, const QList<TextObject *> &objects, int mode);
    ~CmdSelectTextObjects() override;

    CmdResult execute() override;

private:
    QList<TextObject *> m_targets;
};

#endif // CMDSELECTTEXTOBJECTS_H
