// doccheck FILE: reads a document through the program's own reader and prints
// "text=" its text and "softtypes=" the SoftType names; exits 1 if unreadable.
// doccheck --textpad FILE prints the document's textpad text as it is.
#include "model/DocumentStream.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool textpad = argc == 3 && qstrcmp(argv[1], "--textpad") == 0;
    if (argc != 2 && !textpad)
        return 2;
    QFile file(QString::fromLocal8Bit(argv[argc - 1]));
    QVorrelScene scene(-32768, -32768, 65535, 65535);
    if (!file.open(QIODevice::ReadOnly) || DocumentStream::read(&file, scene) != DocumentStream::Ok)
        return 1;
    if (textpad) {
        std::fputs(scene.textpadText().toUtf8().constData(), stdout);
        return 0;
    }
    std::printf("text=%s\nsofttypes=%s\n", qUtf8Printable(scene.root()->text()),
                qUtf8Printable(scene.root()->softTypeNames().join(QLatin1Char(' '))));
    return 0;
}
