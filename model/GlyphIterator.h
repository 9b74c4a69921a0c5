#ifndef GLYPHITERATOR_H
#define GLYPHITERATOR_H

#include "model/TextIterator.h"

class Glyph;

// The glyphs of a walk (see TextIterator for the flags).
class GlyphIterator
{
public:
    GlyphIterator(TextObject *root, int flags);
    virtual ~GlyphIterator();

    bool hasNext() const { return m_current; }
    Glyph *next();

private:
    Glyph *advance();

    TextIterator m_walk;
    Glyph *m_current;
};

#endif // GLYPHITERATOR_H
