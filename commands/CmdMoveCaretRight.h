#ifndef CMDMOVECARETRIGHT_H
#define CMDMOVECARETRIGHT_H

#include "commands/CmdMoveCaret.h"

// Moves the caret one step right: behind the glyph after the caret, or
// from the end of a passage to the start of the next passage holding text.
class CmdMoveCaretRight : public CmdMoveCaret
{
public:
    explicit CmdMoveCaretRight(QVorrelScene *scene);
    ~CmdMoveCaretRight() override;

    CmdResult execute() override;
};

#endif // CMDMOVECARETRIGHT_H
