#ifndef CMDSETSELECTEDFONT_H
#define CMDSETSELECTEDFONT_H

#include "commands/CmdSetSelectedValue.h"

#include <QFont>

// Sets the font of the selected text, building the outlines again;
// groups lay their text out again.
class CmdSetSelectedFont : public CmdSetSelectedValue<QFont>
{
public:
    CmdSetSelectedFont(QVorrelScene *scene, const QFont &font);
    ~CmdSetSelectedFont() override;
};

#endif // CMDSETSELECTEDFONT_H
