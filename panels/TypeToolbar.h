#ifndef TYPETOOLBAR_H
#define TYPETOOLBAR_H

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLocale>
#include <QStringList>
#include <QToolBar>

class QAction;
class QComboBox;
class QDoubleValidator;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QSlider;

// The text style of the active document: font family, style and point
// size, fill and stroke colour with their opacities, and stroke width. It
// holds no document: the main window pushes the current style in through
// the setters (which emit nothing) and learns of the user's edits from the
// two colour signals and from the public widgets' own signals, reading
// currentFont and strokeWidth when they fire. The toolbar connects its own
// slots first, so the style list is refilled and the size list follows the
// slider before the main window's slots run.
//
// The style list shows the styles of the family the font list shows, which
// for a substituted family (Arial here) is the real one (Liberation Sans).
// A shown font's style is found by name, else by slant and weight (the font
// database says "Regular" where a font says "Normal"); a family picked in
// the list starts in its upright face of normal weight, whatever face the
// database lists first. The stroke width is written and read in the width
// validator's locale.
class TypeToolbar : public QToolBar
{
    Q_OBJECT
public:
    explicit TypeToolbar(const QString &title, QWidget *parent = nullptr);

    void setFont(const QFont &font);
    void setFillColor(const QColor &color);
    void setStrokeColor(const QColor &color);
    void setStrokeWidth(float width);

    // The width field as a number; 0 when it is none.
    float strokeWidth() const;
    // The font list's family in the style list's style at the size list's size.
    QFont currentFont() const;

    // The offered point sizes, ascending.
    QStringList fontSizes;

    QFontComboBox *fontComboBox = nullptr;
    QComboBox *fontStyleComboBox = nullptr;
    QComboBox *fontSizeComboBox = nullptr;
    QSlider *fontSizeSlider = nullptr;
    QAction *fillColorAction = nullptr;
    QLineEdit *fillOpacityTextEdit = nullptr;
    QSlider *fillOpacitySlider = nullptr;
    QAction *strokeColorAction = nullptr;
    QLineEdit *strokeOpacityTextEdit = nullptr;
    QSlider *strokeOpacitySlider = nullptr;
    QLineEdit *strokeWidthTextEdit = nullptr;

    QColor fillColor;
    QColor strokeColor;
    QImage fillImage;
    QImage strokeImage;

signals:
    void fillColorChanged(const QColor &color);
    void strokeColorChanged(const QColor &color);

public slots:
    void OnActionTriggered(QAction *action);
    void OnCurrentFontChanged(const QFont &font);
    void OnFontSizeChanged(const QString &text);
    void OnFontSizeSliderChanged(int value);
    void OnFillOpacityTextEditFinished();
    void OnFillOpacitySliderChanged(int value);
    void OnStrokeOpacityTextEditFinished();
    void OnStrokeOpacitySliderChanged(int value);

private:
    // The fill and the stroke sections differ only in their members.
    struct Section
    {
        QColor *color;
        const QImage *image;
        QAction *action;
        QLineEdit *field;
        QSlider *slider;
    };
    Section fillSection() { return {&fillColor, &fillImage, fillColorAction, fillOpacityTextEdit, fillOpacitySlider}; }
    Section strokeSection()
    {
        return {&strokeColor, &strokeImage, strokeColorAction, strokeOpacityTextEdit, strokeOpacitySlider};
    }

    QLineEdit *addOpacityField();
    QSlider *addSlider(int minimum, int maximum, int value);
    // Stores the colour, draws its bar on the action's icon, shows its opacity.
    void showColor(const Section &section, const QColor &color);
    // The section's colour at the given opacity, shown.
    void showOpacity(const Section &section, int percent);
    // The opacity field's text as a percent: '%' signs dropped, not a
    // number is 0, limited to 0..100.
    static int typedPercent(const QLineEdit *field);
    // The colour dialog on the section's colour; false when cancelled.
    bool chooseColor(const Section &section, const QString &title);
    // Refills the style list with the family's styles; none is current.
    void fillStyles(const QString &family);
    // Makes current the family's style closest to the slant and weight.
    void selectClosestStyle(const QString &family, bool italic, int weight);
    void showSizeText(const QString &text);
    QLocale widthLocale() const;

    QLabel *m_typeLabel = nullptr;
    QLabel *m_widthLabel = nullptr;
    QDoubleValidator *m_widthValidator = nullptr;
};

#endif // TYPETOOLBAR_H
