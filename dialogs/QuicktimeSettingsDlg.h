#ifndef QUICKTIMESETTINGSDLG_H
#define QUICKTIMESETTINGSDLG_H

#include "ui_QuicktimeSettingsDlg.h"

#include <QDialog>
#include <QString>

// Codec, quality and clear-background choice of a movie export. The last
// accepted choices are kept for the rest of the run, shared by every
// dialog, and each new dialog opens on them; Cancel keeps them. The entry
// texts are the names the sequence export maps to the movie writer's codec
// types and qualities ("Sorenson 3" is offered, but the writer has no
// encoder for it and reports so when the movie is made).
class QuicktimeSettingsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QuicktimeSettingsDlg(QWidget *parent = nullptr);

    // The names of the last accepted codec and quality.
    QString codecName() const;
    QString qualityName() const;

    static int codecIndex;
    static int qualityIndex;
    static bool clearBackground;

public slots:
    void OkPressed();
    void CancelPressed();

private:
    Ui_QuicktimeSettingsDlgClass ui;
};

#endif // QUICKTIMESETTINGSDLG_H
