#ifndef EDITCANVASDLG_H
#define EDITCANVASDLG_H

#include "ui_EditCanvasDlg.h"

#include <QColor>
#include <QDialog>

class QShowEvent;

// Edits a document's canvas: the screen size, the export size with its
// resolution and the background colour with its opacity. The main window
// seeds it, runs it and reads the accepted values back; it knows no
// document. Screen size and background are previewed through the signals
// while the user edits; the export size follows the screen's aspect ratio.
//
// The screen size runs from 1 to 65535, the export size from 1 to
// 999999999 and the resolution from 1 to 32767 (a document keeps it in 16
// bits), the scene's limits, which the document reader keeps too; a coupled
// export size that would pass its limit is scaled down on both sides, so
// its aspect stays. Whether an export size can be rendered is told when
// exporting.
//
// Cancel, Escape and the close button put every field back as it was when
// the dialog was shown and, when anything was previewed, send the opening
// screen size and the opening colour (exact alpha) again, so that the owner
// of the preview gets its document back.
class EditCanvasDlg : public QDialog
{
    Q_OBJECT
public:
    explicit EditCanvasDlg(QWidget *parent = nullptr);

    // Show a value without previewing or coupling anything; below 1 shows 1.
    void setScreenWidth(int width);
    void setScreenHeight(int height);
    void setExportWidth(int width);
    void setExportHeight(int height);
    void setExportResolution(int resolution);
    // An invalid colour is ignored.
    void setBackgroundColor(const QColor &color);

    // The values stored by the last Ok.
    int screenWidth() const { return m_screenWidth; }
    int screenHeight() const { return m_screenHeight; }
    int exportWidth() const { return m_exportWidth; }
    int exportHeight() const { return m_exportHeight; }
    int exportResolution() const { return m_exportResolution; }
    QColor backgroundColor() const { return m_backgroundColor; }

    void reject() override;

signals:
    void screenWidthChanged(int width);
    void screenHeightChanged(int height);
    void backgroundColorChanged(QColor color);

public slots:
    void OkCanvasPressed();
    void CancelCanvasPressed();
    void OnScreenWidthChanged(int width);
    void OnScreenHeightChanged(int height);
    void OnExportWidthChanged(int width);
    void OnExportHeightChanged(int height);
    void OnBackgroundColorClicked();
    void OnBackgroundOpacityChanged(int percent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QColor currentColor() const;
    void previewColor(const QColor &color);
    // Shows an export size of the given (unrounded) sides: both are cut to
    // whole pixels, and a side past the export limit scales both down
    // together.
    void showExportSize(double width, double height);

    Ui_EditCanvasDlgClass ui;

    int m_screenWidth = 1024;
    int m_screenHeight = 768;
    int m_exportWidth = 1024;
    int m_exportHeight = 768;
    int m_exportResolution = 72;
    QColor m_backgroundColor;

    // The colour last given to setBackgroundColor, alpha exact.
    QColor m_shownColor;
    // What the fields held when the dialog was shown.
    struct Opening
    {
        int screenWidth = 1024;
        int screenHeight = 768;
        int exportWidth = 1024;
        int exportHeight = 768;
        int exportResolution = 72;
        QColor color;
    } m_opening;
    // Shown and not yet ended; whether a preview signal went out since.
    bool m_open = false;
    bool m_previewed = false;
};

#endif // EDITCANVASDLG_H
