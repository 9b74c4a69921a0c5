#ifndef CMDREMOVESELECTED_H
#define CMDREMOVESELECTED_H

#include "commands/Cmd.h"
#include "commands/SelectedObjects.h"
#include "model/TextPointer.h"

#include <QHash>
#include <QList>
#include <QPointF>

class TextGroup;
class TextObject;

// Removes the selected, unlocked objects from the document, and with them
// every group they leave empty. When the caret's glyph, word or passage
// goes, the caret moves to (100, 100), outside every passage; otherwise the
// text position keeps its objects with their new indices. The removed
// objects belong to the command until its undo puts them back, unselected;
// undo also gives back the text position and the caret's place. A redo
// takes the same objects again, in the same order, whatever is selected
// then.
class CmdRemoveSelected : public Cmd
{
public:
    explicit CmdRemoveSelected(QVorrelScene *scene);
    ~CmdRemoveSelected() override;

    CmdResult execute() override;
    CmdResult undo() override;

private:
    // Lists the object to be taken out of its parent; queues the parent
    // when that leaves it empty (left counts the children each parent keeps).
    void list(TextObject *object, QHash<const TextGroup *, int> &left, QList<TextGroup *> &emptied);
    // Recomputes the indices of the saved text position, whose objects all
    // stay in the document.
    void reindexPointer() const;

    // The selected objects the first execute took, and a redo takes again.
    SelectedObjects m_selected{SelectedObjects::TreeOrder};
    QList<TextObject *> m_removed;
    QList<TextGroup *> m_parents;
    QList<int> m_indexes;
    bool m_caretHit = false;
    TextPointer m_savedPointer;
    QPointF m_savedCaretPos;
};

#endif // CMDREMOVESELECTED_H
