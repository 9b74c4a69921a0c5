// Screenshots for the end-to-end tests, taken from the X server named by
// DISPLAY.
//
//   xshot FILE [X Y W H]         grabs the screen (or the rectangle) into a
//                                PNG file and prints "colors=N", the number
//                                of distinct colours in it
//   xshot --diff A B [X Y W H]   prints "differing=N", the number of pixels
//                                in which two screenshots differ (within the
//                                rectangle)
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QSet>

#include <cstdio>

namespace {

QRect rectFrom(char **argv, int argc, int at, const QRect &whole)
{
    if (argc < at + 4)
        return whole;
    return QRect(atoi(argv[at]), atoi(argv[at + 1]), atoi(argv[at + 2]), atoi(argv[at + 3])) & whole;
}

int usage()
{
    std::fprintf(stderr, "usage: xshot FILE [X Y W H] | xshot --diff A B [X Y W H]\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return usage();

    if (qstrcmp(argv[1], "--diff") == 0) {
        if (argc < 4)
            return usage();
        const QImage a = QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
        const QImage b = QImage(QString::fromLocal8Bit(argv[3])).convertToFormat(QImage::Format_RGB32);
        if (a.isNull() || a.size() != b.size()) {
            std::fprintf(stderr, "xshot: the screenshots are missing or of different sizes\n");
            return 1;
        }
        const QRect r = rectFrom(argv, argc, 4, a.rect());
        long differing = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                differing += a.pixel(x, y) != b.pixel(x, y);
        std::printf("differing=%ld\n", differing);
        return 0;
    }

    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1;
    const QRect r = rectFrom(argv, argc, 2, screen->geometry());
    const QImage image = screen->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage().convertToFormat(QImage::Format_RGB32);
    if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "xshot: cannot grab the screen into %s\n", argv[1]);
        return 1;
    }
    QSet<QRgb> colors;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colors.insert(image.pixel(x, y));
    std::printf("colors=%d\n", colors.size());
    return 0;
}
