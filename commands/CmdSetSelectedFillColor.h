#ifndef CMDSETSELECTEDFILLCOLOR_H
#define CMDSETSELECTEDFILLCOLOR_H

#include "commands/CmdSetSelectedValue.h"

#include <QColor>

// Sets the fill colour of the selected text. A later command of its kind merges into it.
class CmdSetSelectedFillColor : public CmdSetSelectedValue<QColor>
{
    Q_OBJECT
public:
    CmdSetSelectedFillColor(QVorrelScene *scene, const QColor &color);
    ~CmdSetSelectedFillColor() override;

    bool canMerge(Cmd *next) override;
};

#endif // CMDSETSELECTEDFILLCOLOR_H
