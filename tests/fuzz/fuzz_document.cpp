// libFuzzer target for the document reader: any input must read as a
// document or fail cleanly, and a document that reads must write and read
// again.

#include "model/DocumentStream.h"
#include "model/QVorrelScene.h"

#include <QApplication>
#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

DocumentStream::Result readInto(QVorrelScene &scene, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return DocumentStream::read(&buffer, scene);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    QVorrelScene scene(-32768, -32768, 65535, 65535);
    if (readInto(scene, bytes) != DocumentStream::Ok)
        return 0;
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    DocumentStream::write(&written, scene);
    QVorrelScene again(-32768, -32768, 65535, 65535);
    if (readInto(again, written.data()) != DocumentStream::Ok)
        std::abort();
    return 0;
}
