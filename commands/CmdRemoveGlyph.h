#ifndef CMDREMOVEGLYPH_H
#define CMDREMOVEGLYPH_H

#include "commands/CmdEditing.h"

// Backspace: removes the glyph before the caret, with a word or passage it
// leaves empty, joins two words when the blank between them goes, and
// pulls the following text back. Undo puts the same objects back.
class CmdRemoveGlyph : public CmdEditing
{
public:
    explicit CmdRemoveGlyph(QVorrelScene *scene);
    ~CmdRemoveGlyph() override;

    CmdResult execute() override;
    CmdResult undo() override;

    // What the last execute took out, while it is out of the document.
    Glyph *removedGlyph() const { return m_held.glyph; }
    TextGroup *removedWord() const { return m_held.word; }
    TextGroup *removedPassage() const { return m_held.passage; }

private:
    Held m_held;
    // The caret's place and the move of the following text at the latest
    // execute, which undo reverses.
    QPointF m_caretBefore;
    Shift m_shift;
};

#endif // CMDREMOVEGLYPH_H
