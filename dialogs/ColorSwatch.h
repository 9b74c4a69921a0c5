#ifndef COLORSWATCH_H
#define COLORSWATCH_H

#include <QColor>

class QPushButton;
class QSpinBox;

// The colour fields of the canvas and guides dialogs: a push button whose
// face shows the opaque colour, beside a spin box with the opacity in
// percent. The colour being edited is the button's colour with the alpha
// taken from the box; nothing else holds it.
class ColorSwatch
{
public:
    // Whole percent to an 8-bit alpha and back; halves round up both ways
    // (50% is 128, alpha 127 and 128 are 50%).
    static int percentToAlpha(int percent);
    static int alphaToPercent(int alpha);

    // Paints the button face in the colour's red, green and blue (opaque)
    // and shows its alpha in the box, with the box's signals blocked. An
    // invalid colour changes nothing.
    static void show(QPushButton *button, QSpinBox *opacity, const QColor &color);
    // The button's colour with its alpha set from the box.
    static QColor current(const QPushButton *button, const QSpinBox *opacity);
    // The colour last shown, alpha exact, when the fields still show it;
    // otherwise the current colour.
    static QColor kept(const QColor &lastShown, const QPushButton *button, const QSpinBox *opacity);
};

#endif // COLORSWATCH_H
