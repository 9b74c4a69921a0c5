#include "dialogs/MultipagePDFDlg.h"

MultipagePDFDlg::MultipagePDFDlg(QWidget *parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    connect(ui.OkButton, &QPushButton::clicked, this, &MultipagePDFDlg::OkClicked);
    connect(ui.CancelButton, &QPushButton::clicked, this, &MultipagePDFDlg::CancelClicked);
}

bool MultipagePDFDlg::isClipping() const
{
    return ui.checkClipping->isChecked();
}

int MultipagePDFDlg::objectType() const
{
    static const int levels[] = {4, 3, 2};
    const int index = ui.cbObjectType->currentIndex();
    return index >= 0 && index < 3 ? levels[index] : 0;
}

void MultipagePDFDlg::OkClicked()
{
    accept();
}

void MultipagePDFDlg::CancelClicked()
{
    reject();
}
