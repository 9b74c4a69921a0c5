#ifndef CMDSETVISIBLE_H
#define CMDSETVISIBLE_H

#include "commands/Cmd.h"

#include <QList>

class TextObject;

// Hides or shows one object. It works on the object's own visibility, not
// the one it inherits from a hidden parent. Hiding deselects the subtree
// through the scene first; showing it again by undo gives back the
// selection as it was, in its order. The object is not owned.
class CmdSetVisible : public Cmd
{
public:
    CmdSetVisible(QVorrelScene *scene, TextObject *object, bool visible);
    ~CmdSetVisible() override;

    CmdResult execute() override;
    CmdResult undo() override;

private:
    void apply(bool visible);

    TextObject *m_object;
    bool m_visible;
    bool m_wasVisible = false;
    // The selected objects the last hiding deselected, and the whole
    // selection before it.
    QList<TextObject *> m_released;
    QList<TextObject *> m_selectionBefore;
};

#endif // CMDSETVISIBLE_H
