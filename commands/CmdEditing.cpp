#include "commands/CmdEditing.h"

#include "commands/TextPlace.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

namespace {

bool isOutside(const TextObject *object)
{
    return object && !object->parentGroup();
}

// A group for the edit: the held one when it lies outside the document,
// else a new one, which is then held.
TextGroup *spareGroup(TextGroup *&held)
{
    if (!isOutside(held))
        held = new TextGroup;
    return held;
}

// Records an object the edit took out; an object held before and still
// outside the document would otherwise be lost.
template<typename T>
void keep(T *&held, TextObject *taken)
{
    if (held != taken && isOutside(held))
        delete held;
    held = static_cast<T *>(taken);
}

} // namespace

void CmdEditing::Held::deleteOutside()
{
    if (isOutside(glyph))
        delete glyph;
    if (isOutside(word))
        delete word;
    if (isOutside(passage))
        delete passage;
    *this = Held();
}

void CmdEditing::Held::forgetPlaced()
{
    if (glyph && !isOutside(glyph)) {
        glyph = nullptr;
        home = nullptr;
    }
    if (word && !isOutside(word))
        word = nullptr;
    if (passage && !isOutside(passage))
        passage = nullptr;
}

CmdEditing::CmdEditing(QVorrelScene *scene, QString text)
    : Cmd(scene, std::move(text))
{
}

CmdEditing::~CmdEditing() = default;

bool CmdEditing::isPlaceable(const Glyph *glyph)
{
    const ushort c = glyph->character().unicode();
    return c == ' ' || c == '\t' || c == Glyph::LineBreak || glyph->hasOutline();
}

void CmdEditing::shiftGlyphs(Glyph *after, TextGroup *word, TextGroup *passage, double dx, double dy,
                             bool lineOnly)
{
    Glyph *g = after ? after->nextGlyph() : word ? word->firstGlyph() : passage ? passage->firstGlyph() : nullptr;
    for (; g; g = g->nextGlyph()) {
        if (lineOnly && g->isLineBreak()) {
            g->moveBy(dx, dy);
            return;
        }
        const TextGroup *parent = g->parentGroup();
        const TextGroup *home = g->hasOutline() ? (parent ? parent->parentGroup() : nullptr) : parent;
        if (home != passage)
            return;
        g->moveBy(dx, dy);
        if (!lineOnly && g->isLineBreak())
            dx = 0;
    }
}

void CmdEditing::push(Shift &shift, Glyph *after, TextGroup *word, TextGroup *passage, double dx, double dy,
                      bool lineOnly)
{
    if (shift.mode == Shift::None)
        return;
    if (shift.mode == Shift::Computed)
        shift = {Shift::Computed, dx, dy, lineOnly};
    shiftGlyphs(after, word, passage, shift.dx, shift.dy, shift.lineOnly);
}

CmdResult CmdEditing::placeGlyph(Glyph *glyph, Held &held, bool toCaret, Shift &shift, const QPointF *caretTo)
{
    if (!glyph || glyph->parentGroup() || !isPlaceable(glyph))
        return CmdResult(false, false);
    QVorrelScene *s = scene();
    TextGroup *root = s->root();
    const TextPointer at = TextPlace::current(s);
    const QPointF c = s->caret()->pos();

    TextGroup *passage = static_cast<TextGroup *>(at.passage);
    if (!passage) {
        passage = spareGroup(held.passage);
        root->insert(at.passageIndex + 1, passage);
    }
    passage->updateInScene();
    if (toCaret)
        glyph->setPos(c);

    const TextPointer here = TextPlace::inPassage(root, passage, at.glyph);
    TextGroup *word = static_cast<TextGroup *>(here.word);
    QPointF caret;
    if (TextPlace::isBlank(glyph)) {
        int index = here.wordIndex;
        if (!word || here.glyphIndex >= word->count() - 1) {
            ++index;
        } else if (here.glyphIndex >= 0) {
            // The caret splits its word: the tail moves into a word of its own.
            TextGroup *tail = spareGroup(held.word);
            for (int k = word->count() - 1; k > here.glyphIndex; --k)
                tail->insert(0, s->takeChildAt(word, k));
            ++index;
            passage->insert(index, tail);
        }
        passage->insert(index, glyph);
        if (glyph->isLineBreak()) {
            const double lineStart = passage->leftmostX();
            const int lineSpacing = TextPlace::lineSpacing(glyph);
            push(shift, glyph, nullptr, passage, lineStart - c.x(), lineSpacing, false);
            caret = QPointF(lineStart, c.y() + lineSpacing);
        }
    } else {
        int index = here.glyphIndex;
        if (held.glyph == glyph && held.home && held.home->parentGroup() == passage) {
            // Back at the start of the word it was removed from.
            word = held.home;
            index = -1;
        } else if (!word || (held.glyph == glyph && isOutside(held.word))) {
            // A glyph whose removal took its word out goes back into that word.
            const bool afterWord = word && here.glyph && here.glyph->parentGroup() == word;
            const int wordIndex = word && !afterWord ? here.wordIndex : here.wordIndex + 1;
            word = spareGroup(held.word);
            passage->insert(wordIndex, word);
            index = -1;
        }
        word->insert(index + 1, glyph);
    }
    if (!glyph->isLineBreak()) {
        const double advance = glyph->advanceWidth();
        push(shift, glyph, nullptr, passage, advance, 0, true);
        caret = QPointF(glyph->x() + advance, glyph->y());
    }
    passage->updateInScene();
    s->setTextPointer(TextPlace::inPassage(root, passage, glyph));
    if (caretTo)
        caret = *caretTo;
    s->placeCaretAt(float(caret.x()), float(caret.y()));
    return CmdResult(true, true);
}

CmdResult CmdEditing::removeGlyph(Held &held, Shift &shift, const QPointF *caretTo)
{
    QVorrelScene *s = scene();
    TextGroup *root = s->root();
    const TextPointer at = TextPlace::current(s);
    TextGroup *passage = static_cast<TextGroup *>(at.passage);
    Glyph *glyph = static_cast<Glyph *>(at.glyph);
    if (!passage || !glyph)
        return CmdResult(false, false);
    TextGroup *parent = glyph->parentGroup();
    const bool blank = TextPlace::isBlank(glyph);
    // A blank lies in the passage itself, any other glyph in a word of it.
    if (blank ? parent != passage : parent->parentGroup() != passage)
        return CmdResult(false, false);

    passage->updateInScene();
    const QPointF c = s->caret()->pos();
    const double advance = glyph->advanceWidth();
    Glyph *prev = glyph->previousGlyph();
    const bool prevHere = prev && TextPlace::passageOf(prev, root) == passage;
    QPointF caret(c.x() - advance, c.y());
    held.home = nullptr;
    if (!blank) {
        push(shift, glyph, parent, passage, -advance, 0, true);
        keep(held.glyph, s->removeChild(parent, glyph));
        if (parent->count() == 0)
            keep(held.word, s->removeChild(passage, parent));
        else if (prevHere && prev->parentGroup() != parent && !TextPlace::isBlank(prev))
            held.home = parent;
    } else {
        // The word right after the blank, if any.
        TextGroup *word = static_cast<TextGroup *>(at.word);
        keep(held.glyph, s->removeChild(passage, glyph));
        if (prevHere && !prev->isLineBreak()) {
            // The rest joins the end of prev's line.
            caret = TextPlace::spotAfter(prev);
            push(shift, prev, word, passage, caret.x() - c.x(), caret.y() - c.y(), false);
        } else if (glyph->isLineBreak()) {
            const int lineSpacing = TextPlace::lineSpacing(glyph);
            caret = QPointF(c.x(), c.y() - lineSpacing);
            push(shift, prev, word, passage, 0, -lineSpacing, false);
        } else {
            push(shift, prev, word, passage, -advance, 0, !prevHere);
        }
        TextGroup *prevWord = prevHere && !TextPlace::isBlank(prev) ? prev->parentGroup() : nullptr;
        // Undoing a placement (caretTo given) joins only the words it split.
        const bool joins = !caretTo || word == held.word;
        if (joins && word && prevWord && prevWord->next() == word) {
            // The blank between two words went: they become one.
            while (word->count() > 0)
                prevWord->append(s->takeChildAt(word, 0));
            keep(held.word, s->removeChild(passage, word));
        }
    }
    int passageIndex = at.passageIndex;
    if (passage->count() == 0) {
        keep(held.passage, s->removeChild(root, passage));
        passage = nullptr;
        --passageIndex;
    } else {
        passage->updateInScene();
    }
    s->setTextPointer(passage ? TextPlace::inPassage(root, passage, prevHere ? prev : nullptr)
                              : TextPlace::outside(passageIndex));
    if (caretTo)
        caret = *caretTo;
    s->placeCaretAt(float(caret.x()), float(caret.y()));
    return CmdResult(true, true);
}
