#include "app/CommandLine.h"
#include "app/VorrelQt.h"
#include "app/VorrelSplash.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QTime>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The main window makes the home folder the current one: a document
    // named by a relative path is found from the folder the program was
    // started in.
    const QString document = CommandLine::documentPath(QApplication::arguments());

    VorrelSplash::seedRandom(quint32(QTime::currentTime().msec()));
    VorrelSplash splash(Qt::SplashScreen | Qt::WindowStaysOnTopHint);
    // Closing the main window ends the program even while the splash shows.
    splash.setAttribute(Qt::WA_QuitOnClose, false);
    splash.showFor(3000);
    app.processEvents();

    VorrelQt *window = VorrelQt::instance();
    QStyle *style = QStyleFactory::create(QStringLiteral("Cleanlooks"));
    if (!style)
        style = QStyleFactory::create(QStringLiteral("Fusion"));
    if (style)
        QApplication::setStyle(style);
    window->setVisible(true);
    if (!document.isEmpty())
        window->openFile(document);
    return app.exec();
}
