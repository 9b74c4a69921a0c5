#ifndef CMDMOVECARETPOINT_H
#define CMDMOVECARETPOINT_H

#include "commands/CmdMoveCaret.h"

// Moves the caret to a free point of the canvas, outside every passage: the
// next glyph typed starts a new passage there. Consecutive point moves are
// one history entry, which goes to the last point.
class CmdMoveCaretPoint : public CmdMoveCaret
{
    Q_OBJECT
public:
    CmdMoveCaretPoint(QVorrelScene *scene, const QPointF &point);
    CmdMoveCaretPoint(QVorrelScene *scene, float x, float y);
    ~CmdMoveCaretPoint() override;

    CmdResult execute() override;
    bool canMerge(Cmd *next) override;
    bool merge(Cmd *next) override;

    QPointF targetPoint() const { return m_targetPoint; }

private:
    QPointF m_targetPoint;
};

#endif // CMDMOVECARETPOINT_H
