#ifndef EDITGUIDESDLG_H
#define EDITGUIDESDLG_H

#include "ui_EditGuidesDlg.h"

#include <QColor>
#include <QDialog>

class QShowEvent;

// Edits a document's grid: its spacing (2..1000 px) and its colour with an
// opacity. Every change is previewed through the signals; the main window
// seeds the dialog, runs it and reads gridColor and gridSpacing after Ok.
//
// Cancel, Escape and the close button put both fields back as they were
// when the dialog was shown and, when anything was previewed, send the
// opening spacing and colour (exact alpha) again for the owner's document.
class EditGuidesDlg : public QDialog
{
    Q_OBJECT
public:
    explicit EditGuidesDlg(QWidget *parent = nullptr);

    // Shows a spacing, limited to 2..1000, without previewing it.
    void setSpacing(int spacing);
    // An invalid colour is ignored.
    void setColor(const QColor &color);

    void reject() override;

    // Stored by Ok.
    QColor gridColor;
    int gridSpacing = 2;

signals:
    void gridSpacingChanged(int spacing);
    void gridColorChanged(QColor color);

public slots:
    void OnGridSpacingChanged(int spacing);
    void OnGridColorClicked();
    void OnGridOpacityChanged(int percent);
    void OnOkClicked();
    void OnCancelClicked();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QColor currentColor() const;
    void previewColor(const QColor &color);

    Ui_EditGuidesDlgClass ui;

    // The colour last given to setColor, alpha exact.
    QColor m_shownColor;
    int m_openSpacing = 2;
    QColor m_openColor;
    bool m_open = false;
    bool m_previewed = false;
};

#endif // EDITGUIDESDLG_H
