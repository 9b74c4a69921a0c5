#ifndef CMDMOVESELECTED_H
#define CMDMOVESELECTED_H

#include "commands/Cmd.h"

#include <QPointF>

// Moves the glyphs of the selected, unlocked objects by an offset; the
// groups' own positions stay.
class CmdMoveSelected : public Cmd
{
public:
    CmdMoveSelected(QVorrelScene *scene, float dx, float dy);
    CmdMoveSelected(QVorrelScene *scene, QPointF delta);
    ~CmdMoveSelected() override;

    CmdResult execute() override;
    CmdResult undo() override;

private:
    CmdResult moveBy(double dx, double dy);

    float m_dx;
    float m_dy;
};

#endif // CMDMOVESELECTED_H
