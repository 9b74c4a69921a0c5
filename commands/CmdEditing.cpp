#include "commands/CmdEditing.h"

#include "model/Glyph.h"
#include "model/TextGroup.h"

CmdEditing::CmdEditing(QVorrelScene *scene, QString text)
    : Cmd(scene, std::move(text))
{
}

CmdEditing::~CmdEditing() = default;

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
