#ifndef TEXTPLACE_H
#define TEXTPLACE_H

#include "model/TextPointer.h"

#include <QPointF>

class Glyph;
class QVorrelScene;
class TextGroup;
class TextObject;

// Places in the text tree and the caret spots that go with them, shared by
// the caret and editing commands. A text position is always derived from
// the objects around the caret, so its indices are never stale:
// - in a passage after glyph g: `glyph` is g; when g lies in a word, that
//   word with g's index in it; when g is a blank of the passage (space,
//   tab, line break), the word right after g with glyph index -1, or no
//   word and g's index in the passage as word index;
// - at the start of a passage: no glyph; the passage's first child when it
//   is a word (word index 0), else no word and word index -1;
// - outside every passage: only the index of the passage after which the
//   next insertion starts a new one.
class TextPlace
{
public:
    // A glyph without outline: space, tab or line break.
    static bool isBlank(const TextObject *glyph);
    // The passage of root that holds object (or is it); null when object
    // lies outside root's tree.
    static TextGroup *passageOf(const TextObject *object, const TextGroup *root);

    static TextPointer inPassage(const TextGroup *root, TextGroup *passage, TextObject *glyph);
    static TextPointer outside(int passageIndex);
    // The scene's text position derived afresh from its objects: the glyph
    // when it still lies in the document, else the passage when it does,
    // else outside, with the passage index kept within the root.
    static TextPointer current(const QVorrelScene *scene);

    // Where the caret stands before and after a glyph. After a line break
    // it is the start of the next line: the passage's leftmost x, one line
    // spacing lower.
    static QPointF spotBefore(const Glyph *glyph);
    static QPointF spotAfter(const Glyph *glyph);
    // The spot of a caret moved behind a glyph: after it, except that a
    // caret behind a blank stands before the word that follows the blank.
    static QPointF landingAfter(const Glyph *glyph, const TextGroup *passage);
    // Line spacing of the glyph's font.
    static int lineSpacing(const Glyph *glyph);
};

#endif // TEXTPLACE_H
