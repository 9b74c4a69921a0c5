#ifndef CMDSETSCENESTROKECOLOR_H
#define CMDSETSCENESTROKECOLOR_H

#include "commands/CmdSetSceneValue.h"

#include <QColor>

// Sets the stroke colour of new glyphs; the caret follows. A later
// command of its kind merges into it.
class CmdSetSceneStrokeColor : public CmdSetSceneValue<QColor>
{
    Q_OBJECT
public:
    CmdSetSceneStrokeColor(QVorrelScene *scene, const QColor &color);
    ~CmdSetSceneStrokeColor() override;

    bool canMerge(Cmd *next) override;
};

#endif // CMDSETSCENESTROKECOLOR_H
