#ifndef CMDREMOVESOFTTYPE_H
#define CMDREMOVESOFTTYPE_H

#include "commands/Cmd.h"

#include <QString>

class Glyph;
class SoftType;

// Takes the first SoftType of a name out of a glyph's list; undo puts it
// back at the place it had. The command owns the SoftType while it is out
// and deletes it if destroyed then. A locked glyph, or one without a
// SoftType of the name, changes nothing.
class CmdRemoveSoftType : public Cmd
{
public:
    CmdRemoveSoftType(QVorrelScene *scene, Glyph *glyph, const QString &name);
    ~CmdRemoveSoftType() override;

    CmdResult execute() override;
    CmdResult undo() override;

private:
    Glyph *m_glyph;
    QString m_softTypeName;
    SoftType *m_removed = nullptr;
    // The place of the removed SoftType in the glyph's list.
    int m_index = -1;
};

#endif // CMDREMOVESOFTTYPE_H
