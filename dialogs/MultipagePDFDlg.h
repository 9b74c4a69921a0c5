#ifndef MULTIPAGEPDFDLG_H
#define MULTIPAGEPDFDLG_H

#include "ui_MultipagePDFDlg.h"

#include <QDialog>

// How a multipage PDF export splits the document: one page per passage,
// word or glyph, each page clipped to the canvas or not. Every dialog
// starts from "passage" and no clipping.
class MultipagePDFDlg : public QDialog
{
    Q_OBJECT
public:
    explicit MultipagePDFDlg(QWidget *parent = nullptr);

    bool isClipping() const;
    // The chosen text level: 4 passage, 3 word, 2 glyph; 0 for no choice.
    int objectType() const;

public slots:
    void OkClicked();
    void CancelClicked();

private:
    Ui_MultipagePDFDlgClass ui;
};

#endif // MULTIPAGEPDFDLG_H
