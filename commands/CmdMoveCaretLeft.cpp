#include "commands/CmdMoveCaretLeft.h"

#include "commands/TextPlace.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

CmdMoveCaretLeft::CmdMoveCaretLeft(QVorrelScene *scene)
    : CmdMoveCaret(scene, QStringLiteral("Move Caret Left"))
{
}

CmdMoveCaretLeft::~CmdMoveCaretLeft() = default;

CmdResult CmdMoveCaretLeft::execute()
{
    saveCaret();
    QVorrelScene *s = scene();
    TextGroup *root = s->root();
    const TextPointer at = TextPlace::current(s);
    TextPointer to;
    QPointF spot;
    if (at.glyph) {
        TextGroup *passage = static_cast<TextGroup *>(at.passage);
        const Glyph *glyph = static_cast<const Glyph *>(at.glyph);
        Glyph *prev = glyph->previousGlyph();
        const bool prevHere = prev && TextPlace::passageOf(prev, root) == passage;
        to = TextPlace::inPassage(root, passage, prevHere ? prev : nullptr);
        spot = prevHere && !TextPlace::isBlank(prev) ? TextPlace::spotAfter(prev) : TextPlace::spotBefore(glyph);
    } else {
        // From the start of a passage, or from outside every passage, into
        // the nearest earlier passage that holds text, at its end.
        int index = at.passage ? at.passageIndex - 1 : at.passageIndex < 0 ? root->count() - 1 : at.passageIndex;
        if (!at.passage && index < 0) {
            // A document without passages: the caret stays where it is,
            // and the step is still one of the history.
            const QPointF here = s->caret()->pos();
            s->placeCaretAt(float(here.x()), float(here.y()));
            return CmdResult(true, true);
        }
        Glyph *last = nullptr;
        for (; index >= 0 && !last; --index)
            last = root->child(index)->lastGlyph();
        if (!last)
            return CmdResult(false, false);
        to = TextPlace::inPassage(root, TextPlace::passageOf(last, root), last);
        // Entering at a blank records glyph index 0.
        if (!to.word)
            to.glyphIndex = 0;
        spot = TextPlace::spotAfter(last);
    }
    s->setTextPointer(to);
    s->placeCaretAt(float(spot.x()), float(spot.y()));
    return CmdResult(true, true);
}
