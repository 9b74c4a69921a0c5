#ifndef SOFTTYPEDLG_H
#define SOFTTYPEDLG_H

#include <QDialog>
#include <memory>

class QShowEvent;
class Ui_SoftTypeDlgClass;
class QtGroupPropertyManager;
class SoftType;

// Edits the parameters of one SoftType in place: the browser is bound to the
// SoftType's own property manager, so every edit is written into it at once,
// also when the dialog is then cancelled. Callers therefore hand it a clone
// and read the clone's values back after Ok. Every parameter is shown, in
// creation order, except "toggle key".
class SoftTypeDlg : public QDialog
{
    Q_OBJECT
public:
    // Which button closed the dialog: 0 Cancel (also Escape or closing the
    // window), 1 Ok, 2 Remove. Ok and Remove accept the dialog.
    int buttonCode = 0;

    explicit SoftTypeDlg(SoftType *softType, QWidget *parent = nullptr);
    ~SoftTypeDlg() override;

    // For a SoftType being added, which there is nothing to remove of.
    void hideRemoveButton();

protected:
    // The dialog follows the browser's size; the buttons stand at its right.
    void showEvent(QShowEvent *event) override;

private slots:
    void RemovePressed();
    void OkPressed();
    void CancelPressed();

private:
    // The generated form, built from SoftTypeDlg.ui.
    std::unique_ptr<Ui_SoftTypeDlgClass> ui;
    QtGroupPropertyManager *m_groups;
};

#endif // SOFTTYPEDLG_H
