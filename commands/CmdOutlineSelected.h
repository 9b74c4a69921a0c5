#ifndef CMDOUTLINESELECTED_H
#define CMDOUTLINESELECTED_H

#include "commands/Cmd.h"
#include "commands/OutlineSnapshot.h"
#include "commands/SelectedObjects.h"

// Base of the commands that change the outlines of the selected objects
// (convert, reset, drop the deformation, set as original). Built, it records
// the outlines of every glyph under each selected unlocked object; execute
// applies the kind's operation to those objects, also when a redo finds
// them no longer selected, and undo gives the recorded outlines back. With
// no unlocked glyph selected it changes nothing.
class CmdOutlineSelected : public Cmd
{
public:
    ~CmdOutlineSelected() override;

    CmdResult execute() override;
    CmdResult undo() override;

protected:
    // repaintOnUndo: whether undo repaints the objects around the restore
    // (the operations that change their extent).
    CmdOutlineSelected(QVorrelScene *scene, QString text, bool repaintOnUndo);

    // The kind's operation on one selected unlocked object.
    virtual void applyTo(TextObject *object) = 0;

private:
    // The selected unlocked objects when the command was built; no glyph
    // recorded under them means no change.
    SelectedObjects m_objects;
    OutlineSnapshot m_savedPaths;
    bool m_repaintOnUndo;
};

#endif // CMDOUTLINESELECTED_H
