#include <QApplication>
#include <QGraphicsScene>
#include <QGraphicsView>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QGraphicsScene scene(-32768, -32768, 65535, 65535);
    QGraphicsView view(&scene);
    view.setWindowTitle(QStringLiteral("Vorrel"));
    view.resize(1024, 768);
    view.show();
    return app.exec();
}
