#ifndef CMDMOVECARETLEFT_H
#define CMDMOVECARETLEFT_H

#include "commands/CmdMoveCaret.h"

// Moves the caret one step left: behind the glyph before the caret's glyph,
// or from the start of a passage to the end of the nearest earlier passage
// holding text. In a document without passages the caret stays, but the
// step is still recorded.
class CmdMoveCaretLeft : public CmdMoveCaret
{
public:
    explicit CmdMoveCaretLeft(QVorrelScene *scene);
    ~CmdMoveCaretLeft() override;

    CmdResult execute() override;
};

#endif // CMDMOVECARETLEFT_H
