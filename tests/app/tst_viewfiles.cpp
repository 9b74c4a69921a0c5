#include "ViewFixture.h"

#include "app/DocumentOpener.h"
#include "commands/Cmd.h"
#include "model/DocumentStream.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/GlyphPath.h"
#include "model/TextGroup.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/TreeDump.h"
#include "support/Typist.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray contents(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A document edited at random: typing, deleting, moving, hiding, locking,
// a Pull on every glyph (spaces included) and play runs that move them.
void editAtRandom(QVorrelView *view, quint32 seed)
{
    QVorrelScene *s = view->scene();
    QRandomGenerator random(seed);
    const QString letters = QStringLiteral("ab \tc\rd e");
    std::unique_ptr<SoftType> pull(SoftTypeFactory::create(QStringLiteral("pull"), QStringLiteral("pull-1")));
    pull->property(QStringLiteral("trigger"))->setValue(0);
    for (int step = 0; step < 60; ++step) {
        const int what = int(random.bounded(8));
        if (what < 3)
            s->insertStringAtCaret(QString(letters.at(int(random.bounded(letters.size())))));
        else if (what == 3)
            s->backspace();
        else if (what == 4)
            s->selectAll(1, 2 + int(random.bounded(3)));
        s->moveSelected(float(random.bounded(9)) - 4, float(random.bounded(9)) - 4);
        if (what == 5) {
            s->selectAll(1, 2);
            s->addSoftType(pull.get());
        } else if (what == 6) {
            s->setMousePosition(QPointF(random.bounded(400), random.bounded(300)));
            view->setPlaying(true);
            for (int f = 0; f < 4; ++f)
                view->playFrame();
            view->setPlaying(false);
        } else if (what == 7) {
            s->selectAll(1, 2);
            const QList<TextObject *> all = s->selectedObjects();
            if (!all.isEmpty()) {
                s->restoreSelection({all.at(int(random.bounded(all.size())))});
                random.bounded(2) ? s->hideSelected() : s->lockSelected();
            }
            s->selectAll(1, 0);
        }
    }
}

// Whether a space, tab or line break has its outline's point moved.
bool movedSeparator(const QVorrelScene *s)
{
    GlyphIterator it(s->root(), TextIterator::Forward | TextIterator::PostOrder);
    bool moved = false;
    while (it.hasNext()) {
        const GlyphPath *p = it.next()->path();
        moved |= p->rest.elementCount() == 1 && p->current != p->rest;
    }
    return moved;
}

} // namespace

class TestViewFiles : public QObject
{
    Q_OBJECT

private slots:
    void editedDocumentsReadBackAndSaveIdentically();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void saveAsUsesTheChosenNameUnchanged();
    void numberedAutosave_data();
    void numberedAutosave();
    void closeAsksForModifiedDocuments_data();
    void closeAsksForModifiedDocuments();
    void refusedCloseLeavesPlayStopped();
    void textpadFileIsReadAsUtf8WithoutModifying();
    void textpadSyncShowsOneWarningAtATime();

private:
    QTemporaryDir m_dir;
};

void TestViewFiles::editedDocumentsReadBackAndSaveIdentically()
{
    bool separatorMoved = false;
    for (quint32 seed = 1; seed <= 6; ++seed) {
        ViewFixture f;
        editAtRandom(f.view.get(), seed);
        separatorMoved |= movedSeparator(f.scene);
        const QString first = m_dir.filePath(QStringLiteral("first.vrl"));
        QVERIFY(f.view->saveToFile(first, true));
        QByteArray body;
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_4_6);
        out << *f.scene;
        QCOMPARE(contents(first), QByteArray::fromHex("00564F5200000064") + body);

        ModalRecorder modal;
        const std::unique_ptr<QVorrelView> opened(DocumentOpener::open(first));
        QVERIFY2(opened, qPrintable(modalLog(modal).join('\n')));
        VERIFY_SAME_TREE(TreeDump::of(opened->scene()->root()), TreeDump::of(f.scene->root()));
        const QString second = m_dir.filePath(QStringLiteral("second.vrl"));
        QVERIFY(opened->saveToFile(second, true));
        QCOMPARE(contents(second), contents(first));
    }
    QVERIFY2(separatorMoved, "no run moved the outline of a space, tab or line break");
}

void TestViewFiles::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("target");
    // A read-only folder does not stop root: a file size limit stops anyone.
    QTest::newRow("disk full") << QString();
    QTest::newRow("folder is a file") << QStringLiteral("old.vrl/new.vrl");
}

void TestViewFiles::failedSaveKeepsTheOldFile()
{
    QFETCH(QString, target);
    ViewFixture f;
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.vrl"));
    QVERIFY(f.view->saveToFile(old, true));
    const QByteArray before = contents(old);
    Typist::type(f.scene, QStringLiteral("more than the limit allows"));

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = rlim_t(before.size());
    std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, target.isEmpty() ? &limit : &saved), 0);
    ModalRecorder modal;
    const bool written = target.isEmpty() ? f.view->save() : f.view->saveToFile(dir.filePath(target), true);
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(!written);
    QCOMPARE(modal.calls.size(), 1);
    QCOMPARE(modal.calls.at(0).title, QStringLiteral("Unable to open file"));
    QCOMPARE(contents(old), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.vrl")});
    QCOMPARE(f.view->windowTitle(), QStringLiteral("old*"));
    QVERIFY(f.view->isModified());
    QCOMPARE(f.scene->fileName(), old);
}

void TestViewFiles::saveAsUsesTheChosenNameUnchanged()
{
    ViewFixture f;
    ModalRecorder modal;
    QVERIFY(!f.view->save());
    modal.fileNames << m_dir.filePath(QStringLiteral("no extension"));
    QVERIFY(f.view->save());
    const QString dialog = QStringLiteral("save: Save: Vorrel Files (*.vrl)");
    QCOMPARE(modalLog(modal), QStringList({dialog, dialog}));
    QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("no extension"))));
    QCOMPARE(f.view->windowTitle(), QStringLiteral("no extension"));
}

void TestViewFiles::numberedAutosave_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("highest");
    QTest::addColumn<int>("next");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("highest 3") << "a.vrl" << 3 << 1 << QStringList{"a_1.vrl", "a_2.vrl", "a_3.vrl", "a_1.vrl"};
    QTest::newRow("10 follows 9") << "b.vrl" << 10 << 9 << QStringList{"b_9.vrl", "b_10.vrl", "b_1.vrl"};
    QTest::newRow("upper-case suffix") << "C.VRL" << 10 << 1 << QStringList{"C_1.vrl"};
    QTest::newRow("another suffix") << "d.txt" << 10 << 1 << QStringList{"d.txt_1.vrl"};
}

void TestViewFiles::numberedAutosave()
{
    QFETCH(QString, name);
    QFETCH(int, highest);
    QFETCH(int, next);
    QFETCH(QStringList, written);
    ViewFixture f;
    QVorrelView::AutosaveSettings settings;
    settings.highestNumber = highest;
    settings.nextNumber = next;
    f.view->setAutosaveSettings(settings);
    QTemporaryDir dir;
    f.scene->setFileName(dir.filePath(name));
    for (const QString &expected : written) {
        Typist::type(f.scene, QStringLiteral("x"));
        QVERIFY(f.view->saveNumbered());
        QVERIFY2(QFile::remove(dir.filePath(expected)), qPrintable(expected));
        // The document's own file was not written, yet the mark is gone.
        QVERIFY(!f.view->isModified());
        QCOMPARE(f.view->windowTitle(), f.scene->title());
    }
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(f.scene->fileName(), dir.filePath(name));

    // Four characters or fewer: nothing is saved.
    f.scene->setFileName(QStringLiteral("a.vr"));
    Typist::type(f.scene, QStringLiteral("x"));
    QVERIFY(!f.view->saveNumbered());
    QVERIFY(f.view->isModified());
}

void TestViewFiles::closeAsksForModifiedDocuments_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("messages");
    QTest::newRow("yes") << int(QMessageBox::Yes) << "doc.vrl" << true << 1;
    QTest::newRow("no") << int(QMessageBox::No) << "doc.vrl" << true << 1;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << "doc.vrl" << false << 1;
    // The failing save tells why, and the window stays.
    QTest::newRow("yes, save fails") << int(QMessageBox::Yes) << "doc.vrl/doc.vrl" << false << 2;
}

void TestViewFiles::closeAsksForModifiedDocuments()
{
    QFETCH(int, answer);
    QFETCH(QString, fileName);
    QFETCH(bool, closed);
    QFETCH(int, messages);
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("doc.vrl"))).open(QIODevice::WriteOnly);
    ViewFixture f;
    f.view->setAttribute(Qt::WA_DeleteOnClose, false);
    f.scene->setFileName(dir.filePath(fileName));
    ModalRecorder modal;
    QVERIFY(f.view->close());
    QVERIFY(modal.calls.isEmpty());

    Typist::type(f.scene, QStringLiteral("a"));
    modal.buttons << QMessageBox::StandardButton(answer);
    QCOMPARE(f.view->close(), closed);
    QCOMPARE(modalLog(modal).value(0), QStringLiteral("information: Save: Save 'doc' before closing?"));
    QCOMPARE(modal.calls.size(), messages);
    const bool saved = QFileInfo(dir.filePath(QStringLiteral("doc.vrl"))).size() > 0;
    QCOMPARE(saved, answer == QMessageBox::Yes && closed);
}

void TestViewFiles::refusedCloseLeavesPlayStopped()
{
    ViewFixture f;
    f.view->setAttribute(Qt::WA_DeleteOnClose, false);
    f.view->setPlaying(true);
    ModalRecorder modal;
    modal.buttons << QMessageBox::Cancel;
    QVERIFY(!f.view->close());
    QVERIFY(!f.view->isPlaying());
    QCOMPARE(f.scene->playState(), 0);
    QCOMPARE(f.scene->history().last()->text(), QStringLiteral("Apply SoftTypes"));
    QTest::qWait(100);
    QCOMPARE(f.scene->frameCounter(), 0);
}

void TestViewFiles::textpadFileIsReadAsUtf8WithoutModifying()
{
    ViewFixture f;
    const QString text = QStringLiteral("Grüße, ∂x\nzweite Zeile");
    const QString name = m_dir.filePath(QStringLiteral("pad.txt"));
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();
    QVERIFY(f.view->loadTextpadFile(name));
    QCOMPARE(f.scene->textpadText(), text);
    QCOMPARE(f.scene->textpadFileName(), name);
    QVERIFY(!f.view->isModified());

    ModalRecorder modal;
    QVERIFY(!f.view->loadTextpadFile(m_dir.filePath(QStringLiteral("missing.txt"))));
    QCOMPARE(modalLog(modal), QStringList{"warning: Load Textpad: It seems Vorrel can not open the file. "});
    QCOMPARE(f.scene->textpadFileName(), name);

    // Text typed into the textpad is kept with the document.
    f.view->markModified();
    QCOMPARE(f.view->windowTitle(), QStringLiteral("untitled*"));
    QCOMPARE(f.entries(), 0);
}

void TestViewFiles::textpadSyncShowsOneWarningAtATime()
{
    // A box that waits for Ok while the sync timer ticks on.
    struct Waiting : ModalRecorder
    {
        QMessageBox::StandardButton message(Modal::MessageKind kind, QWidget *parent, const QString &title,
                                            const QString &text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override
        {
            maxOnScreen = qMax(maxOnScreen, ++onScreen);
            QTest::qWait(120);
            --onScreen;
            return ModalRecorder::message(kind, parent, title, text, buttons, defaultButton);
        }
        int onScreen = 0;
        int maxOnScreen = 0;
    } modal;
    ViewFixture f;
    f.host.syncInterval = 10;
    f.scene->setTextpadFileName(m_dir.filePath(QStringLiteral("gone.txt")));
    f.view->setTextpadFileSync(true);
    QTRY_VERIFY(modal.calls.size() >= 2);
    f.view->setTextpadFileSync(false);
    QCOMPARE(modal.maxOnScreen, 1);
    QVERIFY(f.host.textpadUpdates >= 2);
}

QTEST_MAIN(TestViewFiles)
#include "tst_viewfiles.moc"
