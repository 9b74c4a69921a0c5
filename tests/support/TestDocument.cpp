#include "support/TestDocument.h"

#include "support/TreeBuilder.h"

const QFont arial(QStringLiteral("Arial"), 72);

TestDocument::TestDocument(const QRectF &r) : scene(r.x(), r.y(), r.width(), r.height()), root(scene.root()) {}

TextGroup *TestDocument::add(const QString &text, const QPointF &anchor)
{
    TextGroup *p = TreeBuilder::passage(text, arial, anchor);
    root->append(p);
    return p;
}

TextGroup *group(TextObject *o) { return qobject_cast<TextGroup *>(o); }
QPointF centreOf(const TextObject *o) { return o->sceneBoundingRect().center(); }
