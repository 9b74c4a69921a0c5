#include "dialogs/ColorSwatch.h"

#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

int ColorSwatch::percentToAlpha(int percent)
{
    return int(percent / 100.0 * 255.0 + 0.5);
}

int ColorSwatch::alphaToPercent(int alpha)
{
    return int(alpha / 255.0 * 100.0 + 0.5);
}

void ColorSwatch::show(QPushButton *button, QSpinBox *opacity, const QColor &color)
{
    if (!color.isValid())
        return;
    QPalette palette = button->palette();
    QColor face = color;
    face.setAlpha(255);
    palette.setBrush(QPalette::All, QPalette::Button, QBrush(face));
    button->setPalette(palette);
    const QSignalBlocker blocker(opacity);
    opacity->setValue(alphaToPercent(color.alpha()));
}

QColor ColorSwatch::current(const QPushButton *button, const QSpinBox *opacity)
{
    QColor color = button->palette().color(QPalette::Current, QPalette::Button);
    color.setAlpha(percentToAlpha(opacity->value()));
    return color;
}

QColor ColorSwatch::kept(const QColor &lastShown, const QPushButton *button, const QSpinBox *opacity)
{
    const QColor shown = current(button, opacity);
    if (lastShown.isValid() && lastShown.rgb() == shown.rgb()
        && alphaToPercent(lastShown.alpha()) == opacity->value())
        return lastShown;
    return shown;
}
