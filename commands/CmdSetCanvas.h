#ifndef CMDSETCANVAS_H
#define CMDSETCANVAS_H

#include "commands/Cmd.h"

#include <QColor>

// Sets the canvas and export settings in one step: screen size, export
// size and resolution, and the background colour (its alpha the canvas
// opacity).
class CmdSetCanvas : public Cmd
{
public:
    CmdSetCanvas(QVorrelScene *scene, int screenWidth, int screenHeight, int exportWidth, int exportHeight,
                 int exportResolution, const QColor &background);
    ~CmdSetCanvas() override;

    CmdResult execute() override;
    CmdResult undo() override;

private:
    struct Settings
    {
        int screenWidth;
        int screenHeight;
        int exportWidth;
        int exportHeight;
        int exportResolution;
        QColor background;

        bool operator==(const Settings &o) const;
    };

    void apply(const Settings &settings);

    Settings m_new;
    Settings m_old;
};

#endif // CMDSETCANVAS_H
