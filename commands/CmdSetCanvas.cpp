#include "commands/CmdSetCanvas.h"

#include "model/QVorrelScene.h"

bool CmdSetCanvas::Settings::operator==(const Settings &o) const
{
    return screenWidth == o.screenWidth && screenHeight == o.screenHeight && exportWidth == o.exportWidth
        && exportHeight == o.exportHeight && exportResolution == o.exportResolution && background == o.background;
}

CmdSetCanvas::CmdSetCanvas(QVorrelScene *scene, int screenWidth, int screenHeight, int exportWidth,
                           int exportHeight, int exportResolution, const QColor &background)
    : Cmd(scene, QStringLiteral("Edit Canvas")),
      m_new{screenWidth, screenHeight, exportWidth, exportHeight, exportResolution, background},
      m_old{0, 0, 0, 0, 0, QColor()}
{
}

CmdSetCanvas::~CmdSetCanvas() = default;

void CmdSetCanvas::apply(const Settings &settings)
{
    QVorrelScene *s = scene();
    s->setScreenSize(settings.screenWidth, settings.screenHeight);
    s->setExportSettings(settings.exportWidth, settings.exportHeight, settings.exportResolution);
    s->setBackgroundColor(settings.background);
}

CmdResult CmdSetCanvas::execute()
{
    const QVorrelScene *s = scene();
    m_old = Settings{s->screenWidth(), s->screenHeight(), s->exportWidth(), s->exportHeight(),
                     s->exportResolution(), s->backgroundColor()};
    if (m_old == m_new)
        return CmdResult(false, false);
    apply(m_new);
    return CmdResult(true, true);
}

CmdResult CmdSetCanvas::undo()
{
    apply(m_old);
    return CmdResult(true, true);
}
