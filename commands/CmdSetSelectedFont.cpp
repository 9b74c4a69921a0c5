#include "commands/CmdSetSelectedFont.h"

CmdSetSelectedFont::CmdSetSelectedFont(QVorrelScene *scene, const QFont &font)
    : CmdSetSelectedValue<QFont>(scene, QStringLiteral("Set Font"), font,
          [](const Glyph *g) { return g->font(); },
          [](TextObject *o, const QFont &f) { o->setFont(f, true); }, true)
{
}

CmdSetSelectedFont::~CmdSetSelectedFont() = default;
