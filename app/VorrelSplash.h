#ifndef VORRELSPLASH_H
#define VORRELSPLASH_H

#include <QFont>
#include <QRect>
#include <QSplashScreen>
#include <QStringList>

// The start-up splash and, with its About flag set, the About box: one of
// the splash images with the version and the credits written over its
// lower part on a pale box. A click hides it, as any splash screen; it never
// takes the keyboard, so the window below keeps it.
class VorrelSplash : public QSplashScreen
{
public:
    // Version shown on the first line.
    static const QString version;
    // The About lines: a creator line, a blank line, three credits, a blank
    // line, two credits of two lines each, a blank line.
    static const QStringList aboutLines;
    static const QString closingLine;

    VorrelSplash(QWidget *parent, Qt::WindowFlags flags);
    explicit VorrelSplash(Qt::WindowFlags flags = Qt::WindowFlags());
    ~VorrelSplash() override;

    // Seeds the generator behind the choice of image; start-up seeds it
    // with the milliseconds of the time of day.
    static void seedRandom(quint32 seed);

    // Shows one of splash images 1 and 2, chosen at random.
    void randomizePixmap();
    // The number of the image shown, 1 or 2.
    int imageNumber() const { return m_imageNumber; }
    // Shows the splash and, for a positive time, closes it after that many
    // milliseconds; otherwise it stays until clicked.
    void showFor(int milliseconds);

    // The text drawn: "Version ...", then the first About line (start-up)
    // or every About line (About box), then the closing line.
    QString text() const;
    // Where a text of that many lines of that spacing is drawn on a splash
    // of that size: right of column 125, ending 13 pixel rows above the
    // bottom.
    static QRect textRect(const QSize &size, int lines, int lineSpacing);
    // The pale box behind a text whose top row is textTop: ten rows above
    // the text, but never below row 190; it ends 3 rows above the bottom.
    static QRect boxRect(const QSize &size, int textTop);

    // Draws the About box's full text instead of the start-up text.
    bool about = false;
    // The text's font: the application's font, set to 11 pixels by the
    // first paint.
    QFont textFont;

protected:
    void drawContents(QPainter *painter) override;

private:
    int m_imageNumber = 0;
};

#endif // VORRELSPLASH_H
