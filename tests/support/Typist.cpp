#include "support/Typist.h"

#include "commands/CmdInsertGlyph.h"
#include "commands/CmdRemoveGlyph.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

#include <QFontMetrics>

Glyph *Typist::glyph(QVorrelScene *scene, QChar c)
{
    return new Glyph(c, scene->textFont(), scene->fillColor(), scene->strokeColor(), scene->strokeWidth(), QPointF());
}

void Typist::type(QVorrelScene *scene, const QString &text)
{
    for (const QChar c : text)
        scene->executeCommand(new CmdInsertGlyph(scene, glyph(scene, c), true));
}

bool Typist::backspace(QVorrelScene *scene)
{
    return scene->executeCommand(new CmdRemoveGlyph(scene));
}

namespace {

const TextGroup *group(const TextObject *o)
{
    return o && o->textType() == TextObject::GroupType ? static_cast<const TextGroup *>(o) : nullptr;
}

// A glyph's character, "_" for a space, ">" for a tab, "|" for a line break; a group's glyphs in order.
QString textOf(const TextObject *o)
{
    QString s;
    if (!group(o)) {
        const ushort c = static_cast<const Glyph *>(o)->character().unicode();
        return c == ' ' ? QStringLiteral("_") : c == '\t' ? QStringLiteral(">") : c == Glyph::LineBreak ? QStringLiteral("|") : o->text();
    }
    for (const TextObject *c : group(o)->children())
        s += textOf(c);
    return s;
}

QString describe(const TextPointer &t)
{
    return QStringLiteral("passage %1 word %2 glyph %3").arg(t.passageIndex).arg(t.wordIndex).arg(t.glyphIndex);
}

// Where the caret stands after a glyph: behind it, or at the passage's leftmost x one line lower after a line break.
QPointF after(const Glyph *g, const TextGroup *passage, double advance)
{
    return g->isLineBreak() ? QPointF(passage->leftmostX(), g->y() + QFontMetrics(g->font()).lineSpacing())
                            : QPointF(g->x() + advance, g->y());
}

bool apart(const QPointF &a, const QPointF &b)
{
    return qAbs(a.x() - b.x()) > 1e-3 || qAbs(a.y() - b.y()) > 1e-3;
}

} // namespace

QString Typist::shape(const TextGroup *root)
{
    QStringList passages;
    for (const TextObject *p : root->children()) {
        QString s;
        for (const TextObject *c : group(p)->children())
            s += group(c) ? QStringLiteral("(%1)").arg(textOf(c)) : textOf(c);
        passages << s;
    }
    return passages.join(QStringLiteral(" / "));
}

QString Typist::pointerFault(const QVorrelScene *scene)
{
    const TextPointer &t = scene->textPointer();
    const TextGroup *root = scene->root();
    if (!t.passage)
        return t.word || t.glyph || t.wordIndex != -1 || t.glyphIndex != -1 ? "outside every passage but with a word or glyph: " + describe(t)
             : t.passageIndex < -1 || t.passageIndex >= root->count() ? "passage index out of range: " + describe(t) : QString();
    const TextGroup *passage = group(t.passage);
    if (!passage || root->indexOf(passage) != t.passageIndex)
        return QStringLiteral("passage not at its index: ") + describe(t);
    // The word the text position is in, or the word right after its glyph in the passage (the glyph index then -1),
    // or none (any glyph index).
    const TextObject *word = t.glyph ? nullptr : group(passage->firstChild());
    int wordIndex = word ? 0 : -1, glyphIndex = -1;
    bool glyphIndexMatters = true;
    if (t.glyph && t.glyph->parentGroup() == passage) {
        const int k = passage->indexOf(t.glyph);
        word = group(passage->child(k + 1));
        wordIndex = word ? k + 1 : k;
        glyphIndexMatters = word;
    } else if (t.glyph) {
        word = t.glyph->parentGroup();
        if (!word || word->parentGroup() != passage)
            return QStringLiteral("glyph outside the passage: ") + describe(t);
        wordIndex = passage->indexOf(word);
        glyphIndex = group(word)->indexOf(t.glyph);
    }
    const bool agrees = t.word == word && t.wordIndex == wordIndex && (!glyphIndexMatters || t.glyphIndex == glyphIndex);
    return agrees ? QString() : QStringLiteral("expected word %1 glyph %2, found %3").arg(wordIndex).arg(glyphIndex).arg(describe(t));
}

QString Typist::caretFault(const QVorrelScene *scene)
{
    const TextPointer &t = scene->textPointer();
    const TextGroup *passage = group(t.passage);
    const Glyph *g = static_cast<const Glyph *>(t.glyph);
    const Glyph *first = g || !passage ? nullptr : const_cast<TextGroup *>(passage)->firstGlyph();
    if (!t.passage || (!g && !first))
        return QString();
    const QPointF expected = g ? after(g, passage, QFontMetrics(g->font()).horizontalAdvance(g->character())) : first->pos();
    // The caret stands on single-precision coordinates.
    const QPointF caret = scene->caret()->pos();
    return !apart(caret, expected) ? QString() : QStringLiteral("caret at (%1, %2), expected (%3, %4); %5")
        .arg(caret.x()).arg(caret.y()).arg(expected.x()).arg(expected.y()).arg(describe(t));
}

QString Typist::layoutFault(const TextGroup *root)
{
    for (TextObject *p : root->children()) {
        const TextGroup *passage = group(p);
        Glyph *prev = passage->firstChild() ? p->firstGlyph() : nullptr;
        for (Glyph *g = prev ? prev->nextGlyph() : nullptr; g && g->isDescendantOf(passage); prev = g, g = g->nextGlyph()) {
            const QPointF expected = after(prev, passage, prev->advanceWidth());
            if (apart(g->pos(), expected))
                return QStringLiteral("glyph %1 at (%2, %3), expected (%4, %5)").arg(g->text()).arg(g->x()).arg(g->y())
                    .arg(expected.x()).arg(expected.y());
        }
    }
    return QString();
}
