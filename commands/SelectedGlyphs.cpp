#include "commands/SelectedGlyphs.h"

#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"

#include <QSet>

SelectedGlyphs::SelectedGlyphs(QVorrelScene *scene)
{
    QSet<const Glyph *> seen;
    for (TextObject *o : scene->selectedUnlocked()) {
        QList<Glyph *> glyphs;
        GlyphIterator g(o, TextIterator::Forward | TextIterator::PostOrder);
        while (g.hasNext()) {
            Glyph *glyph = g.next();
            if (!seen.contains(glyph)) {
                seen.insert(glyph);
                glyphs.append(glyph);
            }
        }
        m_objects.append(o);
        m_glyphs.append(glyphs);
    }
}
