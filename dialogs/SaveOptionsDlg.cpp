#include "dialogs/SaveOptionsDlg.h"

SaveOptionsDlg::SaveOptionsDlg(bool autosave, int interval, bool incremental, int maxFiles, QWidget *parent)
    : QDialog(parent)
    , interval(interval)
    , autosave(autosave)
    , incremental(incremental)
    , maxFiles(maxFiles)
{
    ui.setupUi(this);
    ui.checkAutosave->setChecked(autosave);
    ui.sbInterval->setValue(interval);
    ui.checkIncremental->setChecked(incremental);
    ui.sbMaxFiles->setValue(maxFiles);

    connect(ui.OkButton, &QPushButton::clicked, this, &SaveOptionsDlg::OkPressed);
    connect(ui.CancelButton, &QPushButton::clicked, this, &SaveOptionsDlg::CancelPressed);
}

void SaveOptionsDlg::OkPressed()
{
    interval = ui.sbInterval->value();
    autosave = ui.checkAutosave->isChecked();
    incremental = ui.checkIncremental->isChecked();
    maxFiles = ui.sbMaxFiles->value();
    accept();
}

void SaveOptionsDlg::CancelPressed()
{
    reject();
}
