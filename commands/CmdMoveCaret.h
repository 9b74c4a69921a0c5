#ifndef CMDMOVECARET_H
#define CMDMOVECARET_H

#include "commands/Cmd.h"
#include "model/TextPointer.h"

#include <QPointF>

// Base of the caret commands: each saves the text position and the caret's
// place before it moves the caret, and undo puts both back.
class CmdMoveCaret : public Cmd
{
public:
    CmdMoveCaret(QVorrelScene *scene, QString text);
    ~CmdMoveCaret() override;

    CmdResult undo() override;

protected:
    // Records the scene's text position and caret place; called by execute
    // before the caret moves.
    void saveCaret();

    const TextPointer &savedPointer() const { return m_savedPointer; }
    QPointF savedCaretPos() const { return m_savedCaretPos; }

private:
    TextPointer m_savedPointer;
    QPointF m_savedCaretPos;
};

#endif // CMDMOVECARET_H
