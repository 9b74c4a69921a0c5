#include "panels/MainToolbar.h"

#include <QAction>

namespace {

QIcon toolbarIcon(const char *name)
{
    return QIcon(QStringLiteral(":/res/icon/MainToolbar/32/png/%1.png").arg(QLatin1String(name)));
}

} // namespace

MainToolbar::MainToolbar(const QString &title, QWidget *parent)
    : QToolBar(title, parent)
{
    setIconSize(QSize(32, 32));
    newAction = addNamed(toolbarIcon("new"), QStringLiteral("New"), QStringLiteral("NewAction"));
    newAction->setStatusTip(QStringLiteral("Create a New File"));
    openAction = addNamed(toolbarIcon("open"), QStringLiteral("Open"), QStringLiteral("OpenAction"));
    saveAction = addNamed(toolbarIcon("save"), QStringLiteral("Save"), QStringLiteral("SaveAction"));
    printAction = addNamed(toolbarIcon("print"), QStringLiteral("Print"), QStringLiteral("PrintAction"));
    addSeparator();
    cutAction = addNamed(toolbarIcon("cut"), QStringLiteral("Cut"), QStringLiteral("CutAction"));
    copyAction = addNamed(toolbarIcon("copy"), QStringLiteral("Copy"), QStringLiteral("CopyAction"));
    pasteAction = addNamed(toolbarIcon("paste"), QStringLiteral("Paste"), QStringLiteral("PasteAction"));
    addSeparator();
    playIcon = toolbarIcon("play");
    stopIcon = toolbarIcon("stop");
    startStopAction = addNamed(playIcon, QStringLiteral("Start"), QStringLiteral("StartStopAction"));
    exportOffIcon = toolbarIcon("arrow_off");
    exportOnIcon = toolbarIcon("arrow_on");
    turnExportOnOffAction = addNamed(exportOffIcon, QStringLiteral("Export"), QStringLiteral("TurnExportOnOffAction"));
    setExportFileAction = addNamed(toolbarIcon("export"), QStringLiteral("Export File"), QStringLiteral("SetExportFileAction"));
}

QAction *MainToolbar::addNamed(const QIcon &icon, const QString &text, const QString &objectName)
{
    auto *action = new QAction(icon, text, this);
    action->setObjectName(objectName);
    addAction(action);
    return action;
}

void MainToolbar::setPlaying(bool playing)
{
    startStopAction->setIcon(playing ? stopIcon : playIcon);
    startStopAction->setText(playing ? QStringLiteral("Stop") : QStringLiteral("Start"));
}

void MainToolbar::setExporting(bool exporting)
{
    turnExportOnOffAction->setIcon(exporting ? exportOnIcon : exportOffIcon);
    turnExportOnOffAction->setText(exporting ? QStringLiteral("Stop Export") : QStringLiteral("Export"));
}
