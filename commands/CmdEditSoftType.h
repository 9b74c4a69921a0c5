#ifndef CMDEDITSOFTTYPE_H
#define CMDEDITSOFTTYPE_H

#include "commands/Cmd.h"

#include <QHash>
#include <QVariant>

class SoftType;

// Gives a SoftType new parameter values; undo sets the values it had when
// the command was built. Names the SoftType did not have become new
// properties, which undo leaves in place. Values that change nothing make
// no change.
class CmdEditSoftType : public Cmd
{
public:
    CmdEditSoftType(QVorrelScene *scene, SoftType *softType, const QHash<QString, QVariant> &values);
    ~CmdEditSoftType() override;

    CmdResult execute() override;
    CmdResult undo() override;

private:
    SoftType *m_softType;
    QHash<QString, QVariant> m_oldValues;
    QHash<QString, QVariant> m_newValues;
};

#endif // CMDEDITSOFTTYPE_H
