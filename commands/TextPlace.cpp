#include "commands/TextPlace.h"

#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

#include <QFontMetrics>

namespace {

TextGroup *asGroup(TextObject *object)
{
    return object && object->textType() == TextObject::GroupType ? static_cast<TextGroup *>(object) : nullptr;
}

} // namespace

bool TextPlace::isBlank(const TextObject *glyph)
{
    return !glyph->hasOutline();
}

TextGroup *TextPlace::passageOf(const TextObject *object, const TextGroup *root)
{
    for (const TextObject *o = object; o; o = o->parentGroup()) {
        if (o->parentGroup() == root)
            return asGroup(const_cast<TextObject *>(o));
    }
    return nullptr;
}

TextPointer TextPlace::inPassage(const TextGroup *root, TextGroup *passage, TextObject *glyph)
{
    TextPointer t;
    t.passage = passage;
    t.passageIndex = root->indexOf(passage);
    t.glyph = glyph;
    if (!glyph) {
        if (TextGroup *first = asGroup(passage->firstChild())) {
            t.word = first;
            t.wordIndex = 0;
        }
        return t;
    }
    TextGroup *parent = glyph->parentGroup();
    if (parent != passage) {
        t.word = parent;
        t.wordIndex = passage->indexOf(parent);
        t.glyphIndex = parent->indexOf(glyph);
        return t;
    }
    const int k = passage->indexOf(glyph);
    if (TextGroup *next = asGroup(passage->child(k + 1))) {
        t.word = next;
        t.wordIndex = k + 1;
    } else {
        t.wordIndex = k;
    }
    return t;
}

TextPointer TextPlace::outside(int passageIndex)
{
    TextPointer t;
    t.passageIndex = passageIndex;
    return t;
}

TextPointer TextPlace::current(const QVorrelScene *scene)
{
    const TextPointer &t = scene->textPointer();
    TextGroup *root = scene->root();
    if (t.glyph && t.glyph->textType() == TextObject::GlyphType) {
        if (TextGroup *passage = passageOf(t.glyph, root))
            return inPassage(root, passage, t.glyph);
    }
    TextGroup *passage = asGroup(t.passage);
    if (passage && passage->parentGroup() == root)
        return inPassage(root, passage, nullptr);
    return outside(qBound(-1, t.passageIndex, root->count() - 1));
}

QPointF TextPlace::spotBefore(const Glyph *glyph)
{
    return glyph->pos();
}

QPointF TextPlace::spotAfter(const Glyph *glyph)
{
    if (!glyph->isLineBreak())
        return QPointF(glyph->x() + glyph->advanceWidth(), glyph->y());
    const TextGroup *passage = glyph->parentGroup();
    while (passage && !passage->isPassage())
        passage = passage->parentGroup();
    const double lineStart = passage ? passage->leftmostX() : glyph->x();
    return QPointF(lineStart, glyph->y() + lineSpacing(glyph));
}

QPointF TextPlace::landingAfter(const Glyph *glyph, const TextGroup *passage)
{
    if (isBlank(glyph)) {
        const Glyph *next = glyph->nextGlyph();
        if (next && !isBlank(next) && next->parentGroup() != passage && next->isDescendantOf(passage))
            return spotBefore(next);
    }
    return spotAfter(glyph);
}

int TextPlace::lineSpacing(const Glyph *glyph)
{
    return QFontMetrics(glyph->font()).lineSpacing();
}
