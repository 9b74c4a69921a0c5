#include "dialogs/EditCanvasDlg.h"

#include "dialogs/ColorSwatch.h"
#include "modal/Modal.h"
#include "model/QVorrelScene.h"

#include <QShowEvent>
#include <QSignalBlocker>

namespace {
// Leaves a box that already shows the value alone, so that a coupled
// field the user is typing in keeps its text and cursor.
void showValue(QSpinBox *box, int value)
{
    value = qBound(box->minimum(), qMax(1, value), box->maximum());
    if (box->value() == value)
        return;
    const QSignalBlocker blocker(box);
    box->setValue(value);
}
}

EditCanvasDlg::EditCanvasDlg(QWidget *parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    m_backgroundColor = QColor();
    for (QSpinBox *box : {ui.uiscreenWidth, ui.uiscreenHeight})
        box->setMaximum(QVorrelScene::MaxScreenExtent);
    for (QSpinBox *box : {ui.uiexportWidth, ui.uiexportHeight})
        box->setMaximum(QVorrelScene::MaxExportExtent);
    ui.uiexportResolution->setMaximum(QVorrelScene::MaxResolution);

    connect(ui.OkCanvas, &QPushButton::clicked, this, &EditCanvasDlg::OkCanvasPressed);
    connect(ui.CancelCanvas, &QPushButton::clicked, this, &EditCanvasDlg::CancelCanvasPressed);
    connect(ui.uiscreenWidth, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &EditCanvasDlg::OnScreenWidthChanged);
    connect(ui.uiscreenHeight, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &EditCanvasDlg::OnScreenHeightChanged);
    connect(ui.uiexportWidth, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &EditCanvasDlg::OnExportWidthChanged);
    connect(ui.uiexportHeight, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &EditCanvasDlg::OnExportHeightChanged);
    connect(ui.uiBackgroundColor, &QPushButton::clicked, this, &EditCanvasDlg::OnBackgroundColorClicked);
    connect(ui.uiBackgroundOpacity, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &EditCanvasDlg::OnBackgroundOpacityChanged);
}

void EditCanvasDlg::setScreenWidth(int width)
{
    showValue(ui.uiscreenWidth, width);
}

void EditCanvasDlg::setScreenHeight(int height)
{
    showValue(ui.uiscreenHeight, height);
}

void EditCanvasDlg::setExportWidth(int width)
{
    showValue(ui.uiexportWidth, width);
}

void EditCanvasDlg::setExportHeight(int height)
{
    showValue(ui.uiexportHeight, height);
}

void EditCanvasDlg::setExportResolution(int resolution)
{
    showValue(ui.uiexportResolution, resolution);
}

void EditCanvasDlg::setBackgroundColor(const QColor &color)
{
    if (!color.isValid())
        return;
    m_shownColor = color;
    ColorSwatch::show(ui.uiBackgroundColor, ui.uiBackgroundOpacity, color);
}

QColor EditCanvasDlg::currentColor() const
{
    return ColorSwatch::current(ui.uiBackgroundColor, ui.uiBackgroundOpacity);
}

void EditCanvasDlg::previewColor(const QColor &color)
{
    m_previewed = true;
    emit backgroundColorChanged(color);
}

void EditCanvasDlg::showExportSize(double width, double height)
{
    // The sides keep the aspect they were given when either is cut back.
    const double limit = ui.uiexportWidth->maximum();
    if (width > limit) {
        height = height * limit / width;
        width = limit;
    }
    if (height > limit) {
        width = width * limit / height;
        height = limit;
    }
    setExportWidth(int(width));
    setExportHeight(int(height));
}

void EditCanvasDlg::OnExportWidthChanged(int width)
{
    const int screenWidth = ui.uiscreenWidth->value();
    const int screenHeight = ui.uiscreenHeight->value();
    showExportSize(width, double(width) * screenHeight / screenWidth);
}

void EditCanvasDlg::OnExportHeightChanged(int height)
{
    const int screenWidth = ui.uiscreenWidth->value();
    const int screenHeight = ui.uiscreenHeight->value();
    showExportSize(double(height) * screenWidth / screenHeight, height);
}

void EditCanvasDlg::OnScreenWidthChanged(int width)
{
    const int screenHeight = ui.uiscreenHeight->value();
    const double exportHeight = ui.uiexportHeight->value();
    const double q = exportHeight / screenHeight * width;
    if (q >= 1.0) {
        showExportSize(q, exportHeight);
    } else {
        // Narrower than one pixel: keep the new aspect at a width of 1.
        setExportHeight(screenHeight / width);
        setExportWidth(1);
    }
    m_previewed = true;
    emit screenWidthChanged(width);
}

void EditCanvasDlg::OnScreenHeightChanged(int height)
{
    const int screenWidth = ui.uiscreenWidth->value();
    const double exportWidth = ui.uiexportWidth->value();
    const double q = exportWidth / screenWidth * height;
    if (q >= 1.0) {
        showExportSize(exportWidth, q);
    } else {
        setExportHeight(1);
        setExportWidth(screenWidth / height);
    }
    m_previewed = true;
    emit screenHeightChanged(height);
}

void EditCanvasDlg::OnBackgroundOpacityChanged(int)
{
    previewColor(currentColor());
}

void EditCanvasDlg::OnBackgroundColorClicked()
{
    const QColor color =
        Modal::getColor(currentColor(), this, tr("Background Color"), QColorDialog::ShowAlphaChannel);
    if (!color.isValid())
        return;
    setBackgroundColor(color);
    previewColor(color);
}

void EditCanvasDlg::OkCanvasPressed()
{
    m_screenHeight = ui.uiscreenHeight->value();
    m_screenWidth = ui.uiscreenWidth->value();
    m_exportWidth = ui.uiexportWidth->value();
    m_exportHeight = ui.uiexportHeight->value();
    m_exportResolution = ui.uiexportResolution->value();
    m_backgroundColor = currentColor();
    m_open = false;
    accept();
}

void EditCanvasDlg::CancelCanvasPressed()
{
    reject();
}

void EditCanvasDlg::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        m_opening.screenWidth = ui.uiscreenWidth->value();
        m_opening.screenHeight = ui.uiscreenHeight->value();
        m_opening.exportWidth = ui.uiexportWidth->value();
        m_opening.exportHeight = ui.uiexportHeight->value();
        m_opening.exportResolution = ui.uiexportResolution->value();
        // The seeded colour itself while the fields show it, so that its
        // alpha comes back exactly, not rounded through the percent.
        m_opening.color = ColorSwatch::kept(m_shownColor, ui.uiBackgroundColor, ui.uiBackgroundOpacity);
        m_previewed = false;
        m_open = true;
    }
    QDialog::showEvent(event);
}

void EditCanvasDlg::reject()
{
    if (!m_open) {
        QDialog::reject();
        return;
    }
    m_open = false;
    setScreenWidth(m_opening.screenWidth);
    setScreenHeight(m_opening.screenHeight);
    setExportWidth(m_opening.exportWidth);
    setExportHeight(m_opening.exportHeight);
    setExportResolution(m_opening.exportResolution);
    setBackgroundColor(m_opening.color);
    if (m_previewed) {
        m_previewed = false;
        emit screenWidthChanged(m_opening.screenWidth);
        emit screenHeightChanged(m_opening.screenHeight);
        emit backgroundColorChanged(m_opening.color);
    }
    QDialog::reject();
}
