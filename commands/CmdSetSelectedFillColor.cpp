#include "commands/CmdSetSelectedFillColor.h"

CmdSetSelectedFillColor::CmdSetSelectedFillColor(QVorrelScene *scene, const QColor &color)
    : CmdSetSelectedValue<QColor>(scene, QStringLiteral("Set Fill Color"), color,
          [](const Glyph *g) { return g->fillColor(); },
          [](TextObject *o, const QColor &c) { o->setFillColor(c); }, false)
{
}

CmdSetSelectedFillColor::~CmdSetSelectedFillColor() = default;

bool CmdSetSelectedFillColor::canMerge(Cmd *next)
{
    return qobject_cast<CmdSetSelectedFillColor *>(next);
}
