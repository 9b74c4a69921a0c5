#ifndef CMDEDITING_H
#define CMDEDITING_H

#include "commands/Cmd.h"

class Glyph;
class TextGroup;

// Base of the glyph insertion and removal commands, which move the glyphs
// after the edit point to make or close room.
class CmdEditing : public Cmd
{
public:
    CmdEditing(QVorrelScene *scene, QString text);
    ~CmdEditing() override;

protected:
    // Moves the glyphs after an edit point inside one passage, starting
    // after `after`, else at the word's first glyph, else at the passage's.
    // lineOnly: the rest of the line up to and including its line break.
    // Otherwise the rest of the passage, later lines only by dy.
    static void shiftGlyphs(Glyph *after, TextGroup *word, TextGroup *passage, double dx, double dy,
                            bool lineOnly);
};

#endif // CMDEDITING_H
