#ifndef CMDROTATESELECTED_H
#define CMDROTATESELECTED_H

#include "commands/Cmd.h"
#include "commands/SelectedGlyphs.h"

#include <QPointF>

// Rotates the glyphs of the selected, unlocked objects about a pivot. The
// glyphs are those of the first execute: undo and redo turn them whatever is
// selected then.
class CmdRotateSelected : public Cmd
{
public:
    CmdRotateSelected(QVorrelScene *scene, float angle, QPointF pivot);
    ~CmdRotateSelected() override;

    CmdResult execute() override;
    CmdResult undo() override;

private:
    CmdResult rotateBy(float angle);

    float m_angle;
    QPointF m_pivot;
    SelectedGlyphs m_glyphs;
};

#endif // CMDROTATESELECTED_H
