#ifndef SAVEOPTIONSDLG_H
#define SAVEOPTIONSDLG_H

#include "ui_SaveOptionsDlg.h"

#include <QDialog>

// The autosave settings of one document view: autosave on or off, the
// interval in minutes, incremental copies on or off and their maximum
// number. Built for one use with the view's settings; after Ok the four
// members hold the accepted values (each box keeps 0..99). Cancel stores
// nothing, so the members keep the values the dialog was built with.
class SaveOptionsDlg : public QDialog
{
    Q_OBJECT
public:
    SaveOptionsDlg(bool autosave, int interval, bool incremental, int maxFiles, QWidget *parent = nullptr);

    int interval;
    bool autosave;
    bool incremental;
    int maxFiles;

public slots:
    void OkPressed();
    void CancelPressed();

private:
    Ui_SaveOptionsDlgClass ui;
};

#endif // SAVEOPTIONSDLG_H
