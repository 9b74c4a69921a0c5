#ifndef CMDSETSELECTEDSTROKECOLOR_H
#define CMDSETSELECTEDSTROKECOLOR_H

#include "commands/CmdSetSelectedValue.h"

#include <QColor>

// Sets the stroke colour of the selected text. A later command of its
// kind merges into it.
class CmdSetSelectedStrokeColor : public CmdSetSelectedValue<QColor>
{
    Q_OBJECT
public:
    CmdSetSelectedStrokeColor(QVorrelScene *scene, const QColor &color);
    ~CmdSetSelectedStrokeColor() override;

    bool canMerge(Cmd *next) override;
};

#endif // CMDSETSELECTEDSTROKECOLOR_H
