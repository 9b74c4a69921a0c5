#ifndef TEXTPOINTER_H
#define TEXTPOINTER_H

class TextObject;

// A place in the text: the passage, word and glyph around the caret, each
// with its index. `glyph` is the glyph just before the place (null at the
// start of a passage); `word` with `glyphIndex` is where typed letters go;
// a null `word` means the place lies between words, and a null `passage`
// that it lies outside every passage. (null, -1) means none at that level.
class TextPointer
{
public:
    TextPointer();

    TextObject *passage;
    int passageIndex;
    TextObject *word;
    int wordIndex;
    TextObject *glyph;
    int glyphIndex;
};

#endif // TEXTPOINTER_H
