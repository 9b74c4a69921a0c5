#include "dialogs/EditGuidesDlg.h"

#include "dialogs/ColorSwatch.h"
#include "modal/Modal.h"

#include <QShowEvent>
#include <QSignalBlocker>

EditGuidesDlg::EditGuidesDlg(QWidget *parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    gridColor = QColor();

    connect(ui.m_pGridSpacing, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &EditGuidesDlg::OnGridSpacingChanged);
    connect(ui.m_pGridColor, &QPushButton::clicked, this, &EditGuidesDlg::OnGridColorClicked);
    connect(ui.m_pGridOpacity, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &EditGuidesDlg::OnGridOpacityChanged);
    connect(ui.m_pOk, &QPushButton::clicked, this, &EditGuidesDlg::OnOkClicked);
    connect(ui.m_pCancel, &QPushButton::clicked, this, &EditGuidesDlg::OnCancelClicked);
}

void EditGuidesDlg::setSpacing(int spacing)
{
    const QSignalBlocker blocker(ui.m_pGridSpacing);
    ui.m_pGridSpacing->setValue(spacing);
}

void EditGuidesDlg::setColor(const QColor &color)
{
    if (!color.isValid())
        return;
    m_shownColor = color;
    ColorSwatch::show(ui.m_pGridColor, ui.m_pGridOpacity, color);
}

QColor EditGuidesDlg::currentColor() const
{
    return ColorSwatch::current(ui.m_pGridColor, ui.m_pGridOpacity);
}

void EditGuidesDlg::previewColor(const QColor &color)
{
    m_previewed = true;
    emit gridColorChanged(color);
}

void EditGuidesDlg::OnGridSpacingChanged(int spacing)
{
    m_previewed = true;
    emit gridSpacingChanged(spacing);
}

void EditGuidesDlg::OnGridOpacityChanged(int)
{
    previewColor(currentColor());
}

void EditGuidesDlg::OnGridColorClicked()
{
    const QColor color = Modal::getColor(currentColor(), this, tr("Grid Color"), QColorDialog::ShowAlphaChannel);
    if (!color.isValid())
        return;
    setColor(color);
    previewColor(color);
}

void EditGuidesDlg::OnOkClicked()
{
    gridColor = currentColor();
    gridSpacing = ui.m_pGridSpacing->value();
    m_open = false;
    accept();
}

void EditGuidesDlg::OnCancelClicked()
{
    reject();
}

void EditGuidesDlg::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        m_openSpacing = ui.m_pGridSpacing->value();
        m_openColor = ColorSwatch::kept(m_shownColor, ui.m_pGridColor, ui.m_pGridOpacity);
        m_previewed = false;
        m_open = true;
    }
    QDialog::showEvent(event);
}

void EditGuidesDlg::reject()
{
    if (m_open) {
        m_open = false;
        setSpacing(m_openSpacing);
        setColor(m_openColor);
        if (m_previewed) {
            m_previewed = false;
            emit gridSpacingChanged(m_openSpacing);
            emit gridColorChanged(m_openColor);
        }
    }
    QDialog::reject();
}
