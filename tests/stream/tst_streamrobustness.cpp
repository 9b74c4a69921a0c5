#include "model/DocumentReader.h"
#include "model/DocumentStream.h"
#include "model/QVorrelScene.h"
#include "stream/SampleDocument.h"
#include "support/TreeCheck.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestStreamRobustness : public QObject
{
    Q_OBJECT
private slots:
    // Damaged document files: each must fail cleanly or read a document the
    // editor can work on. Run under AddressSanitizer in CI, so that a read past
    // a buffer, a leak or a huge allocation fails the run.
    void initTestCase()
    {
        const QString textpad = m_dir.filePath(QStringLiteral("pad.txt"));
        QVERIFY(QFile(textpad).open(QIODevice::WriteOnly));
        auto scene = SampleDocument::newScene();
        // Three SoftType kinds keep the file small; every record kind is in it.
        SampleDocument::fill(*scene, textpad, 3);
        SampleDocument::shortenOutlines(*scene);
        m_file = SampleDocument::write(*scene);
        QCOMPARE(SampleDocument::read(m_file).result, DocumentStream::Ok);
    }

    void everyPrefixFails()
    {
        for (int length = 0; length < m_file.size(); ++length)
            QVERIFY2(SampleDocument::read(m_file.left(length)).result != DocumentStream::Ok, qPrintable(QString::number(length)));
    }

    void seededByteFlipsFailOrReadASoundDocument()
    {
        QRandomGenerator random(20261206);
        int read = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes = m_file;
            const int flips = 1 + int(random.bounded(4));
            for (int i = 0; i < flips; ++i)
                bytes[int(random.bounded(bytes.size()))] = char(random.bounded(256));
            const auto r = SampleDocument::read(bytes);
            if (r.result != DocumentStream::Ok)
                continue;
            ++read;
            VERIFY_SCENE(r.scene.get());
            QVERIFY(DocumentReader::isUsable(r.scene->textPointer(), r.scene->root()));
            QVERIFY(r.scene->exportWidth() >= 1 && r.scene->exportHeight() >= 1 && r.scene->exportResolution() >= 1);
            // What was read writes and reads again.
            QCOMPARE(SampleDocument::read(SampleDocument::write(*r.scene)).result, DocumentStream::Ok);
        }
        // Most flips land in coordinates and colours, which stay readable.
        QVERIFY2(read > 300, qPrintable(QString::number(read)));
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_file;
};

QTEST_MAIN(TestStreamRobustness)
#include "tst_streamrobustness.moc"
