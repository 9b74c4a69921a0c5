#include "app/DocumentOpener.h"

#include "app/QVorrelView.h"
#include "model/DocumentStream.h"
#include "model/QVorrelScene.h"
#include "model/RegularFile.h"
#include "modal/Modal.h"

#include <QFile>

#include <memory>

namespace {

const QString UnableToOpen = QStringLiteral("Unable to open file");

QString readerMessage(DocumentStream::Result result)
{
    switch (result) {
    case DocumentStream::NotVorrelFile:
        return QStringLiteral("Not a Vorrel file");
    case DocumentStream::UnsupportedVersion:
        return QStringLiteral("Unsupported file version.");
    case DocumentStream::Damaged:
    case DocumentStream::Ok:
        break;
    }
    return QStringLiteral("The file is damaged or incomplete.");
}

} // namespace

QVorrelView *DocumentOpener::open(const QString &fileName, QWidget *parent)
{
    QFile file(fileName);
    QString error;
    if (RegularFile::open(file, &error) != RegularFile::Opened) {
        Modal::information(parent, UnableToOpen, error);
        return nullptr;
    }
    // A failed read leaves the scene half built: the view is dropped.
    auto view = std::make_unique<QVorrelView>();
    const DocumentStream::Result result = DocumentStream::read(&file, *view->scene());
    if (result != DocumentStream::Ok) {
        Modal::information(parent, UnableToOpen, readerMessage(result));
        return nullptr;
    }
    view->scene()->setFileName(fileName);
    view->setWindowTitle(view->scene()->title());
    return view.release();
}
