#include "support/Typist.h"

#include "commands/CmdInsertGlyph.h"
#include "commands/CmdRemoveGlyph.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

#include <QFontMetrics>
#include <QStringList>

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

QString glyphText(const TextObject *o)
{
    const ushort c = static_cast<const Glyph *>(o)->character().unicode();
    return c == ' ' ? QStringLiteral("_") : c == '\t' ? QStringLiteral(">") : c == Glyph::LineBreak ? QStringLiteral("|")
                                                                                                  : o->text();
}

QString objectText(const TextObject *o)
{
    if (o->textType() == TextObject::GlyphType)
        return glyphText(o);
    QString s;
    for (const TextObject *c : static_cast<const TextGroup *>(o)->children())
        s += objectText(c);
    return s;
}

const TextGroup *group(const TextObject *o)
{
    return o && o->textType() == TextObject::GroupType ? static_cast<const TextGroup *>(o) : nullptr;
}

QString describe(const TextPointer &t)
{
    return QStringLiteral("passage %1 word %2 glyph %3")
        .arg(t.passageIndex).arg(t.wordIndex).arg(t.glyphIndex);
}

} // namespace

QString Typist::shape(const TextGroup *root)
{
    QStringList passages;
    for (const TextObject *p : root->children()) {
        QString s;
        for (const TextObject *c : group(p)->children())
            s += c->textType() == TextObject::GroupType ? QStringLiteral("(%1)").arg(objectText(c)) : glyphText(c);
        passages << s;
    }
    return passages.join(QStringLiteral(" / "));
}

QString Typist::pointerFault(const QVorrelScene *scene)
{
    const TextPointer &t = scene->textPointer();
    const TextGroup *root = scene->root();
    if (!t.passage) {
        if (t.word || t.glyph || t.wordIndex != -1 || t.glyphIndex != -1)
            return QStringLiteral("outside every passage but with a word or glyph: ") + describe(t);
        if (t.passageIndex < -1 || t.passageIndex >= root->count())
            return QStringLiteral("passage index out of range: ") + describe(t);
        return QString();
    }
    const TextGroup *passage = group(t.passage);
    if (!passage || root->indexOf(passage) != t.passageIndex)
        return QStringLiteral("passage not at its index: ") + describe(t);
    const TextObject *expectedWord = nullptr;
    int wordIndex = -1;
    int glyphIndex = -1;
    bool glyphIndexMatters = true;
    if (!t.glyph) {
        if (group(passage->firstChild())) {
            expectedWord = passage->firstChild();
            wordIndex = 0;
        }
    } else if (t.glyph->parentGroup() == passage) {
        const int k = passage->indexOf(t.glyph);
        if (group(passage->child(k + 1))) {
            expectedWord = passage->child(k + 1);
            wordIndex = k + 1;
        } else {
            wordIndex = k;
            glyphIndexMatters = false;
        }
    } else {
        expectedWord = t.glyph->parentGroup();
        if (!expectedWord || expectedWord->parentGroup() != passage)
            return QStringLiteral("glyph outside the passage: ") + describe(t);
        wordIndex = passage->indexOf(expectedWord);
        glyphIndex = group(expectedWord)->indexOf(t.glyph);
    }
    if (t.word != expectedWord || t.wordIndex != wordIndex || (glyphIndexMatters && t.glyphIndex != glyphIndex))
        return QStringLiteral("expected word %1 glyph %2, found %3").arg(wordIndex).arg(glyphIndex).arg(describe(t));
    return QString();
}

QString Typist::caretFault(const QVorrelScene *scene)
{
    const TextPointer &t = scene->textPointer();
    if (!t.passage)
        return QString();
    const TextGroup *passage = group(t.passage);
    QPointF expected;
    if (const Glyph *g = static_cast<const Glyph *>(t.glyph)) {
        if (g->isLineBreak())
            expected = QPointF(passage->leftmostX(), g->y() + QFontMetrics(g->font()).lineSpacing());
        else
            expected = QPointF(g->x() + QFontMetrics(g->font()).horizontalAdvance(g->character()), g->y());
    } else if (const Glyph *first = const_cast<TextGroup *>(passage)->firstGlyph()) {
        expected = first->pos();
    } else {
        return QString();
    }
    // The caret stands on single-precision coordinates.
    const QPointF caret = scene->caret()->pos();
    if (qAbs(caret.x() - expected.x()) > 1e-3 || qAbs(caret.y() - expected.y()) > 1e-3)
        return QStringLiteral("caret at (%1, %2), expected (%3, %4); %5")
            .arg(caret.x()).arg(caret.y()).arg(expected.x()).arg(expected.y()).arg(describe(t));
    return QString();
}

QString Typist::layoutFault(const TextGroup *root)
{
    for (TextObject *p : root->children()) {
        const TextGroup *passage = group(p);
        Glyph *prev = passage->firstChild() ? p->firstGlyph() : nullptr;
        for (Glyph *g = prev ? prev->nextGlyph() : nullptr; g && g->isDescendantOf(passage); prev = g, g = g->nextGlyph()) {
            const QPointF expected = prev->isLineBreak()
                ? QPointF(passage->leftmostX(), prev->y() + QFontMetrics(prev->font()).lineSpacing())
                : QPointF(prev->x() + prev->advanceWidth(), prev->y());
            if (qAbs(g->x() - expected.x()) > 1e-3 || qAbs(g->y() - expected.y()) > 1e-3)
                return QStringLiteral("glyph %1 at (%2, %3), expected (%4, %5)").arg(g->text()).arg(g->x()).arg(g->y())
                    .arg(expected.x()).arg(expected.y());
        }
    }
    return QString();
}
