#ifndef CMDSELECT_H
#define CMDSELECT_H

#include "commands/Cmd.h"

#include <QVector>

// Base of the selection commands. Each takes a snapshot of the selection
// before it changes anything; undo brings that selection back exactly,
// in its order of selection.
class CmdSelect : public Cmd
{
public:
    CmdSelect(QVorrelScene *scene, int mode, QString text);
    ~CmdSelect() override;

    CmdResult undo() override;

    int mode() const { return m_mode; }

protected:
    // Records the selection; called at the start of every execute.
    void snapshot();

private:
    int m_mode;
    // The number of objects of the tree walk at the snapshot.
    int m_selectedCount = 0;
    // The walk positions of the selected objects, in selection order.
    QVector<int> m_selectionOrder;
};

#endif // CMDSELECT_H
