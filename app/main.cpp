#include "app/DocumentOpener.h"
#include "app/QVorrelView.h"
#include "model/QVorrelScene.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QStyleFactory>

#include <memory>

// Until the main window exists, the editor shows one document in its view.
// The few shortcuts below stand in for the main window's menus.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Cleanlooks")));

    const QStringList args = QApplication::arguments();
    QVorrelView *view = args.size() > 1 ? DocumentOpener::open(args.at(1)) : nullptr;
    if (!view)
        view = new QVorrelView;
    QVorrelScene *scene = view->scene();

    const std::unique_ptr<SoftType> twirl(SoftTypeFactory::create(QStringLiteral("Twirl"), QStringLiteral("Twirl-1")));
    new QShortcut(QKeySequence(QStringLiteral("Ctrl+Space")), view, [view] { view->setPlaying(true); });
    new QShortcut(QKeySequence(QStringLiteral("Ctrl+B")), view, [view] { view->setPlaying(false); });
    new QShortcut(QKeySequence(QStringLiteral("Ctrl+Z")), view, [scene] { scene->undo(); });
    new QShortcut(QKeySequence(QStringLiteral("Ctrl+Y")), view, [scene] { scene->redo(); });
    new QShortcut(QKeySequence(QStringLiteral("Ctrl+T")), view, [scene, &twirl] { scene->addSoftType(twirl.get()); });

    view->resize(1024, 768);
    view->show();
    return app.exec();
}
