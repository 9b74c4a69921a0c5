#include "commands/SelectedGlyphs.h"

#include "model/GlyphIterator.h"

#include <QSet>

void SelectedGlyphs::take(QVorrelScene *scene)
{
    if (!m_objects.take(scene))
        return;
    QSet<const Glyph *> seen;
    for (TextObject *o : m_objects) {
        QList<Glyph *> glyphs;
        GlyphIterator g(o, TextIterator::Forward | TextIterator::PostOrder);
        while (g.hasNext()) {
            Glyph *glyph = g.next();
            if (!seen.contains(glyph)) {
                seen.insert(glyph);
                glyphs.append(glyph);
            }
        }
        m_glyphs.append(glyphs);
    }
}
