#include "commands/SelectedGlyphs.h"

#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"
#include "model/SelectedListIterator.h"

#include <QSet>

SelectedGlyphs::SelectedGlyphs(QVorrelScene *scene)
{
    QSet<const Glyph *> seen;
    SelectedListIterator it(scene);
    while (it.hasNext()) {
        TextObject *o = it.next();
        if (o->isLocked())
            continue;
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
