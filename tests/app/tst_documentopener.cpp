#include "app/DocumentOpener.h"
#include "app/QVorrelView.h"
#include "model/DocumentStream.h"
#include "model/QVorrelScene.h"
#include "support/ModalRecorder.h"
#include "support/Typist.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestDocumentOpener : public QObject
{
    Q_OBJECT

private slots:
    void opensADocument();
    void refusesUnreadableFiles_data();
    void refusesUnreadableFiles();
    void missingFileReportsWhy();

private:
    QTemporaryDir m_dir;
};

void TestDocumentOpener::opensADocument()
{
    const QString name = m_dir.filePath(QStringLiteral("greeting.vrl"));
    {
        QVorrelScene scene(-32768, -32768, 65535, 65535);
        scene.setScreenSize(640, 480);
        Typist::type(&scene, QStringLiteral("Hi you"));
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(DocumentStream::write(&file, scene));
    }
    ModalRecorder modal;
    const std::unique_ptr<QVorrelView> view(DocumentOpener::open(name));
    QVERIFY(view);
    QVERIFY(modal.calls.isEmpty());
    QCOMPARE(Typist::shape(view->scene()->root()), QStringLiteral("(Hi)_(you)"));
    QCOMPARE(view->scene()->screenWidth(), 640);
    QCOMPARE(view->scene()->fileName(), name);
    QCOMPARE(view->windowTitle(), QStringLiteral("greeting"));
    QVERIFY(!view->isModified());
    QCOMPARE(view->scene()->historyIndex(), 0);
}

void TestDocumentOpener::refusesUnreadableFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    auto header = [](qint32 magic, qint32 version) {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << magic << version;
        return bytes;
    };
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("Not a Vorrel file");
    QTest::newRow("another magic number") << header(0x00564F53, 100) << QStringLiteral("Not a Vorrel file");
    QTest::newRow("text file") << QByteArray("Hello, world\n") << QStringLiteral("Not a Vorrel file");
    QTest::newRow("version 99") << header(0x00564F52, 99) << QStringLiteral("Unsupported file version.");
    QTest::newRow("version 101") << header(0x00564F52, 101) + QByteArray(64, '\0')
                                 << QStringLiteral("Unsupported file version.");
    QTest::newRow("header without body") << header(0x00564F52, 100) << QStringLiteral("The file is damaged or incomplete.");
    QTest::newRow("body cut short") << header(0x00564F52, 100) + QByteArray(7, '\0')
                                    << QStringLiteral("The file is damaged or incomplete.");
}

void TestDocumentOpener::refusesUnreadableFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString name = m_dir.filePath(QStringLiteral("bad.vrl"));
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
    file.close();

    ModalRecorder modal;
    QCOMPARE(DocumentOpener::open(name), nullptr);
    QCOMPARE(modal.calls.size(), 1);
    QCOMPARE(modal.calls.at(0).what, QStringLiteral("information"));
    QCOMPARE(modal.calls.at(0).title, QStringLiteral("Unable to open file"));
    QCOMPARE(modal.calls.at(0).text, message);
}

void TestDocumentOpener::missingFileReportsWhy()
{
    ModalRecorder modal;
    QCOMPARE(DocumentOpener::open(m_dir.filePath(QStringLiteral("nowhere.vrl"))), nullptr);
    QCOMPARE(modal.calls.size(), 1);
    QCOMPARE(modal.calls.at(0).title, QStringLiteral("Unable to open file"));
    QCOMPARE(modal.calls.at(0).text, QStringLiteral("No such file or directory"));
}

QTEST_MAIN(TestDocumentOpener)
#include "tst_documentopener.moc"
