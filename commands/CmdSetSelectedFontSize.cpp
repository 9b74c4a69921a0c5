#include "commands/CmdSetSelectedFontSize.h"

CmdSetSelectedFontSize::CmdSetSelectedFontSize(QVorrelScene *scene, int size)
    : CmdSetSelectedValue<int>(scene, QStringLiteral("Set Font Size"), qMax(size, 1),
          [](const Glyph *g) { return g->font().pointSize(); },
          [](TextObject *o, const int &s) { o->setFontSize(s); }, true)
{
}

CmdSetSelectedFontSize::~CmdSetSelectedFontSize() = default;

bool CmdSetSelectedFontSize::canMerge(Cmd *next)
{
    return qobject_cast<CmdSetSelectedFontSize *>(next);
}
