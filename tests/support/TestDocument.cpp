#include "support/TestDocument.h"

#include "commands/Cmd.h"
#include "model/Glyph.h"
#include "support/TreeBuilder.h"

const QFont arial(QStringLiteral("Arial"), 72);

TestDocument::TestDocument(const QRectF &sceneRect)
    : scene(sceneRect.x(), sceneRect.y(), sceneRect.width(), sceneRect.height())
    , root(scene.root())
{
}

TextGroup *TestDocument::add(const QString &text, const QPointF &anchor)
{
    TextGroup *p = TreeBuilder::passage(text, arial, anchor);
    root->append(p);
    return p;
}

Glyph *TestDocument::glyph(TextGroup *passage, int index)
{
    Glyph *g = passage->firstGlyph();
    for (int i = 0; i < index; ++i)
        g = g->nextGlyph();
    return g;
}

QString TestDocument::lastText() const
{
    return last()->text();
}

TextGroup *group(TextObject *o)
{
    return qobject_cast<TextGroup *>(o);
}

QPointF centreOf(const TextObject *o)
{
    return o->sceneBoundingRect().center();
}
