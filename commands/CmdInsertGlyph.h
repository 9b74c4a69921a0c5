#ifndef CMDINSERTGLYPH_H
#define CMDINSERTGLYPH_H

#include "commands/CmdEditing.h"

// Places one glyph at the caret: a letter into the caret's word, a space,
// tab or line break between the words of the passage, and the caret behind
// it. Undo removes the glyph again; redo puts back the same glyph, word and
// passage objects.
class CmdInsertGlyph : public CmdEditing
{
public:
    // atCaret: the glyph moves to the caret and pushes the following text
    // aside; otherwise it keeps the position it was built with and nothing
    // else moves. The command owns the glyph until it is placed; a line
    // feed becomes a line break.
    CmdInsertGlyph(QVorrelScene *scene, Glyph *glyph, bool atCaret);
    ~CmdInsertGlyph() override;

    CmdResult execute() override;
    CmdResult undo() override;

    Glyph *glyph() const { return m_held.glyph; }
    bool atCaret() const { return m_atCaret; }

private:
    // The glyph, and the word and passage this command created for it.
    Held m_held;
    bool m_atCaret;
    bool m_placed = false;
    // The caret's place and the move of the following text at the latest
    // execute, which undo reverses.
    QPointF m_caretBefore;
    Shift m_shift;
};

#endif // CMDINSERTGLYPH_H
