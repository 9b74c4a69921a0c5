#ifndef MAINTOOLBAR_H
#define MAINTOOLBAR_H

#include <QIcon>
#include <QToolBar>

class QAction;

// The main window's first toolbar: new, open, save, print, cut, copy, paste,
// start/stop play, the sequence-export switch and the choice of the export
// file. It has no logic: a click reaches the main window through the
// toolbar's own actionTriggered(QAction*), which dispatches by the action's
// object name. The main window's refresh enables the actions and calls the
// two state setters.
class MainToolbar : public QToolBar
{
public:
    explicit MainToolbar(const QString &title, QWidget *parent = nullptr);

    // The play icon and "Start", or the stop icon and "Stop".
    void setPlaying(bool playing);
    // The arrow-on icon and "Stop Export", or the arrow-off icon and "Export".
    void setExporting(bool exporting);

    QAction *newAction;
    QAction *openAction;
    QAction *saveAction;
    QAction *printAction;
    QAction *cutAction;
    QAction *copyAction;
    QAction *pasteAction;
    QAction *startStopAction;
    QAction *turnExportOnOffAction;
    QAction *setExportFileAction;

    QIcon playIcon;
    QIcon stopIcon;
    QIcon exportOffIcon;
    QIcon exportOnIcon;

private:
    QAction *addNamed(const QIcon &icon, const QString &text, const QString &objectName);
};

#endif // MAINTOOLBAR_H
