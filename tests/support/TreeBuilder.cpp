#include "support/TreeBuilder.h"

#include "model/Glyph.h"
#include "model/TextGroup.h"

Glyph *TreeBuilder::glyph(QChar c, const QFont &font, const QPointF &pos) { return new Glyph(c, font, Qt::black, Qt::black, 0.0, pos); }

TextGroup *TreeBuilder::passage(const QString &text, const QFont &font, const QPointF &anchor)
{
    TextGroup *p = new TextGroup, *word = nullptr;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c.unicode() == Glyph::LineBreak) {
            word = nullptr;
            p->append(glyph(c, font));
        } else {
            if (!word)
                p->append(word = new TextGroup);
            word->append(glyph(c, font));
        }
    }
    Glyph *first = p->firstGlyph();
    while (first && first->isLineBreak())
        first = first->nextGlyph();
    if (first)
        first->setPos(anchor);
    p->relayout();
    return p;
}
