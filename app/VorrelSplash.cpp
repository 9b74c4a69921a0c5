#include "app/VorrelSplash.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>

const QString VorrelSplash::version = QStringLiteral("1.0.2");

const QStringList VorrelSplash::aboutLines = {
    QStringLiteral("Vorrel is made by the Vorrel developers."),
    QString(),
    QStringLiteral("Design: the Vorrel developers"),
    QStringLiteral("Programming: the Vorrel developers"),
    QStringLiteral("SoftType physics: the Vorrel developers"),
    QString(),
    QStringLiteral("Icons and splash images:\nthe Vorrel developers"),
    QStringLiteral("Built on Qt and FFmpeg,\nwith thanks to their authors"),
    QString(),
};

const QString VorrelSplash::closingLine = QStringLiteral("\u00a9 2024-2025 the Vorrel developers");

namespace {

QRandomGenerator &generator()
{
    static QRandomGenerator g;
    return g;
}

} // namespace

// A splash never takes the keyboard (Qt::WindowDoesNotAcceptFocus). Without
// that flag, a press on the splash while another window is active first asks
// for the splash's activation: on X11 Qt sends the window manager that
// request and receives it itself as well, and takes it as the splash being
// activated. The press then hides the splash; a window manager that handles
// the request after the splash has gone (openbox) moves no focus, so no focus
// event puts Qt right: its active window stayed the hidden splash, which got
// every key, and the main window none, until another window was activated.
VorrelSplash::VorrelSplash(QWidget *parent, Qt::WindowFlags flags)
    : QSplashScreen(QPixmap(), flags | Qt::WindowDoesNotAcceptFocus)
{
    if (parent)
        setParent(parent, windowFlags());
    randomizePixmap();
    textFont = QApplication::font();
}

VorrelSplash::VorrelSplash(Qt::WindowFlags flags)
    : VorrelSplash(nullptr, flags)
{
}

VorrelSplash::~VorrelSplash() = default;

void VorrelSplash::seedRandom(quint32 seed)
{
    generator().seed(seed);
}

void VorrelSplash::randomizePixmap()
{
    m_imageNumber = int(generator().generate() % 2) + 1;
    // A missing image leaves an empty pixmap; the text is drawn all the same.
    setPixmap(QPixmap(QStringLiteral(":/res/splash/png/splash_%1.png").arg(m_imageNumber)));
    repaint();
}

void VorrelSplash::showFor(int milliseconds)
{
    show();
    if (milliseconds > 0)
        QTimer::singleShot(milliseconds, this, &QWidget::close);
}

QString VorrelSplash::text() const
{
    QString t = QStringLiteral("Version ") + version + QLatin1Char('\n');
    if (about) {
        for (const QString &line : aboutLines)
            t += line + QLatin1Char('\n');
    } else {
        t += aboutLines.first() + QLatin1Char('\n');
    }
    return t + closingLine;
}

QRect VorrelSplash::textRect(const QSize &size, int lines, int lineSpacing)
{
    const int height = lines * lineSpacing;
    return QRect(125, size.height() - 13 - height, size.width() - 130, height);
}

QRect VorrelSplash::boxRect(const QSize &size, int textTop)
{
    const int h = size.height();
    if (textTop <= 192)
        return QRect(3, textTop - 10, size.width() - 6, h + 7 - textTop);
    return QRect(3, 190, size.width() - 6, h - 193);
}

void VorrelSplash::drawContents(QPainter *painter)
{
    const QString t = text();
    // The spacing of the font as it stands before this paint sets its size.
    const int lineSpacing = QFontMetrics(textFont).lineSpacing();
    const QRect textArea = textRect(size(), t.count(QLatin1Char('\n')) + 1, lineSpacing);

    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(255, 255, 255, 170));
    painter->drawRect(boxRect(size(), textArea.top()));

    painter->setBrush(Qt::NoBrush);
    painter->setPen(Qt::black);
    textFont.setPixelSize(11);
    painter->setFont(textFont);
    painter->drawText(textArea, Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, t);
}
