#include "commands/CmdMoveCaretRight.h"

#include "commands/TextPlace.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

CmdMoveCaretRight::CmdMoveCaretRight(QVorrelScene *scene)
    : CmdMoveCaret(scene, QStringLiteral("Move Caret Right"))
{
}

CmdMoveCaretRight::~CmdMoveCaretRight() = default;

CmdResult CmdMoveCaretRight::execute()
{
    saveCaret();
    QVorrelScene *s = scene();
    TextGroup *root = s->root();
    const TextPointer at = TextPlace::current(s);
    TextGroup *passage = static_cast<TextGroup *>(at.passage);
    if (!passage)
        return CmdResult(false, false);
    Glyph *first = at.glyph ? nullptr : passage->firstGlyph();
    TextPointer to;
    QPointF spot;
    if (first) {
        to = TextPlace::inPassage(root, passage, first);
        // Entering at a blank records glyph index 0.
        if (!to.word)
            to.glyphIndex = 0;
        spot = TextPlace::spotAfter(first);
    } else {
        // After the caret's glyph, or past a passage without glyphs.
        Glyph *next = at.glyph ? at.glyph->nextGlyph() : passage->nextGlyph();
        if (!next)
            return CmdResult(false, false);
        TextGroup *nextPassage = TextPlace::passageOf(next, root);
        if (nextPassage == passage && at.glyph) {
            to = TextPlace::inPassage(root, passage, next);
            spot = TextPlace::landingAfter(next, passage);
        } else {
            to = TextPlace::inPassage(root, nextPassage, nullptr);
            spot = TextPlace::spotBefore(next);
        }
    }
    s->setTextPointer(to);
    s->placeCaretAt(float(spot.x()), float(spot.y()));
    return CmdResult(true, true);
}
