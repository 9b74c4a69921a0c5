#ifndef CMDMOVECARETGLYPH_H
#define CMDMOVECARETGLYPH_H

#include "commands/CmdMoveCaret.h"

class Glyph;

// Moves the caret behind a glyph of the document. A repeated move to the
// same glyph is absorbed by the one before; a move to another glyph is an
// entry of its own.
class CmdMoveCaretGlyph : public CmdMoveCaret
{
    Q_OBJECT
public:
    // The glyph is not owned.
    CmdMoveCaretGlyph(QVorrelScene *scene, Glyph *target);
    ~CmdMoveCaretGlyph() override;

    CmdResult execute() override;
    bool canMerge(Cmd *next) override;
    bool merge(Cmd *next) override;

    Glyph *targetGlyph() const { return m_targetGlyph; }

private:
    Glyph *m_targetGlyph;
};

#endif // CMDMOVECARETGLYPH_H
