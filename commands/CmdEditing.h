#ifndef CMDEDITING_H
#define CMDEDITING_H

#include "commands/Cmd.h"

#include <QPointF>

class Glyph;
class TextGroup;

// Base of the glyph insertion and removal commands, which move the glyphs
// after the edit point to make or close room. It holds the two edits both
// build on: placing a glyph at the caret and removing the glyph before it;
// each is the other's undo.
class CmdEditing : public Cmd
{
public:
    CmdEditing(QVorrelScene *scene, QString text);
    ~CmdEditing() override;

protected:
    // The objects an edit works with: the glyph, and the word and passage
    // it took out of the document or had to create. While out of the
    // document they belong to the command.
    struct Held
    {
        Glyph *glyph = nullptr;
        TextGroup *word = nullptr;
        TextGroup *passage = nullptr;
        // The word a removed glyph came from when that word stays in the
        // document but the text position after the removal names the word
        // before it (two words with no blank between them).
        TextGroup *home = nullptr;

        // Deletes every held object that lies outside the document.
        void deleteOutside();
        // Forgets every held object that is back in the document.
        void forgetPlaced();
    };

    // How an edit moves the text after the edit point. An edit computes the
    // move or makes a given one (the reverse of a move recorded earlier, so
    // that undo puts every glyph back exactly), and records the move made.
    struct Shift
    {
        enum Mode { None, Computed, Given };
        Mode mode = Computed;
        double dx = 0;
        double dy = 0;
        bool lineOnly = true;

        Shift reversed() const { return {mode == None ? None : Given, -dx, -dy, lineOnly}; }
    };

    // Spaces, tabs and line breaks go between words; any other glyph needs
    // an outline to be placed in a word.
    static bool isPlaceable(const Glyph *glyph);

    // Moves the glyphs after an edit point inside one passage, starting
    // after `after`, else at the word's first glyph, else at the passage's.
    // lineOnly: the rest of the line up to and including its line break.
    // Otherwise the rest of the passage, later lines only by dy.
    static void shiftGlyphs(Glyph *after, TextGroup *word, TextGroup *passage, double dx, double dy,
                            bool lineOnly);

    // Places the glyph at the text position: a space, tab or line break
    // between the words of the passage (splitting the word at the caret),
    // any other glyph into the caret's word. toCaret: the glyph moves to the
    // caret first. A word or passage it needs is held.word / held.passage
    // when that lies outside the document, else a new group, recorded
    // there. Moves the text position behind the glyph and the caret to
    // caretTo when given, else to the glyph's far side. Changes nothing for
    // a glyph that is not placeable or already in a group.
    CmdResult placeGlyph(Glyph *glyph, Held &held, bool toCaret, Shift &shift, const QPointF *caretTo);

    // Removes the glyph before the caret, with the word and passage it
    // leaves empty; removing a blank between two words joins them. Records
    // what it takes out in held. The caret goes to caretTo when given, else
    // to where the glyph began. caretTo is given when the removal undoes a
    // placement: it then joins two words only when the placement split
    // them (the word after the blank is held.word). Changes nothing when
    // there is no glyph before the caret or it does not lie where the text
    // position says.
    CmdResult removeGlyph(Held &held, Shift &shift, const QPointF *caretTo);

private:
    // Moves the text after an edit point by the computed move, unless the
    // shift gives its own or none.
    static void push(Shift &shift, Glyph *after, TextGroup *word, TextGroup *passage, double dx, double dy,
                     bool lineOnly);
};

#endif // CMDEDITING_H
