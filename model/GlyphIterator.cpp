#include "model/GlyphIterator.h"

#include "model/Glyph.h"

GlyphIterator::GlyphIterator(TextObject *root, int flags)
    : m_walk(root, flags), m_current(advance())
{
}

GlyphIterator::~GlyphIterator() = default;

Glyph *GlyphIterator::advance()
{
    return static_cast<Glyph *>(
        m_walk.nextMatching([](const TextObject *o) { return o->textType() == TextObject::GlyphType; }));
}

Glyph *GlyphIterator::next()
{
    Glyph *g = m_current;
    m_current = advance();
    return g;
}
