#include "dialogs/QuicktimeSettingsDlg.h"

int QuicktimeSettingsDlg::codecIndex = 2;
int QuicktimeSettingsDlg::qualityIndex = 3;
bool QuicktimeSettingsDlg::clearBackground = true;

QuicktimeSettingsDlg::QuicktimeSettingsDlg(QWidget *parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    ui.cbCodec->addItems({QStringLiteral("Cinepak"), QStringLiteral("RAW"), QStringLiteral("JPEG"),
                          QStringLiteral("Animation"), QStringLiteral("Video"), QStringLiteral("H.264"),
                          QStringLiteral("Sorenson 3"), QStringLiteral("MPEG4")});
    ui.cbQuality->addItems({QStringLiteral("Lossless"), QStringLiteral("Maximum"), QStringLiteral("High"),
                            QStringLiteral("Normal"), QStringLiteral("Low"), QStringLiteral("Minimum")});
    ui.cbCodec->setCurrentIndex(codecIndex);
    ui.cbQuality->setCurrentIndex(qualityIndex);
    ui.cbClearBackground->setChecked(clearBackground);

    connect(ui.OkButton, &QPushButton::clicked, this, &QuicktimeSettingsDlg::OkPressed);
    connect(ui.CancelButton, &QPushButton::clicked, this, &QuicktimeSettingsDlg::CancelPressed);
}

QString QuicktimeSettingsDlg::codecName() const
{
    return ui.cbCodec->itemText(codecIndex);
}

QString QuicktimeSettingsDlg::qualityName() const
{
    return ui.cbQuality->itemText(qualityIndex);
}

void QuicktimeSettingsDlg::OkPressed()
{
    codecIndex = ui.cbCodec->currentIndex();
    qualityIndex = ui.cbQuality->currentIndex();
    clearBackground = ui.cbClearBackground->isChecked();
    accept();
}

void QuicktimeSettingsDlg::CancelPressed()
{
    reject();
}
