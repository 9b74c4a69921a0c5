#include "model/DocumentReader.h"
#include "model/DocumentStream.h"
#include "model/QVorrelScene.h"
#include "stream/SampleDocument.h"
#include "support/TreeCheck.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// Damaged document files: each must fail cleanly or read a document the
// editor can work on. Run under AddressSanitizer in CI, so that a read past
// a buffer, a leak or a huge allocation fails the run.
class TestStreamRobustness : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyPrefixFails();
    void seededByteFlipsFailOrReadASoundDocument();

private:
    QTemporaryDir m_dir;
    QByteArray m_file;
};

namespace {

DocumentStream::Result readInto(QVorrelScene &scene, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return DocumentStream::read(&buffer, scene);
}

} // namespace

void TestStreamRobustness::initTestCase()
{
    const QString textpad = m_dir.filePath(QStringLiteral("pad.txt"));
    QFile f(textpad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    auto scene = SampleDocument::newScene();
    // Three SoftType kinds keep the file small; every record kind is in it.
    SampleDocument::fill(*scene, textpad, 3);
    SampleDocument::shortenOutlines(*scene);
    m_file = SampleDocument::write(*scene);
    auto check = SampleDocument::newScene();
    QCOMPARE(readInto(*check, m_file), DocumentStream::Ok);
}

void TestStreamRobustness::everyPrefixFails()
{
    for (int length = 0; length < m_file.size(); ++length) {
        auto scene = SampleDocument::newScene();
        if (readInto(*scene, m_file.left(length)) == DocumentStream::Ok)
            QFAIL(qPrintable(QStringLiteral("the first %1 bytes read as a document").arg(length)));
    }
}

void TestStreamRobustness::seededByteFlipsFailOrReadASoundDocument()
{
    QRandomGenerator random(20261206);
    int read = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = m_file;
        const int flips = 1 + int(random.bounded(4));
        for (int i = 0; i < flips; ++i)
            bytes[int(random.bounded(bytes.size()))] = char(random.bounded(256));
        auto scene = SampleDocument::newScene();
        if (readInto(*scene, bytes) != DocumentStream::Ok)
            continue;
        ++read;
        VERIFY_SCENE(scene.get());
        QVERIFY(DocumentReader::isUsable(scene->textPointer(), scene->root()));
        QVERIFY(scene->exportWidth() >= 1 && scene->exportHeight() >= 1 && scene->exportResolution() >= 1);
        // What was read writes and reads again.
        auto again = SampleDocument::newScene();
        QCOMPARE(readInto(*again, SampleDocument::write(*scene)), DocumentStream::Ok);
    }
    // Most flips land in coordinates and colours, which stay readable.
    QVERIFY2(read > 300, qPrintable(QString::number(read)));
}

QTEST_MAIN(TestStreamRobustness)
#include "tst_streamrobustness.moc"
