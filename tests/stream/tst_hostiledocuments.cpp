#include "model/DocumentStream.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "panels/TextpadPanelDockWidget.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftType.h"
#include "stream/SampleDocument.h"
#include "support/DoublingRatio.h"
#include "support/HostileDocument.h"
#include "support/PeakMemory.h"
#include "support/TreeCheck.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QDir>
#include <QtTest>

#include <memory>

using DoublingRatio::cpuSeconds;

// A document file is untrusted input. However it is shaped, reading it (accepted or refused) and discarding it cost
// memory in proportion to its size and linear time; every fuzzer input reads as a sound document or fails.
class TestHostileDocuments : public QObject
{
    Q_OBJECT
private slots:
    void shapesCostProportionalMemoryAndLinearTime_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("refused");
        // Files of about 1 MB, and their doubles.
        const int counts[] = {60000, 35000, 70000, 8000, 8000, 10000, 500000};
        for (int shape = 0; shape < HostileDocument::ShapeCount; ++shape)
            for (bool refused : {false, true})
                QTest::newRow(qPrintable(HostileDocument::name(HostileDocument::Shape(shape)) + (refused ? ", refused" : "")))
                    << shape << counts[shape] << refused;
    }

    void shapesCostProportionalMemoryAndLinearTime()
    {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("the sanitizer's own memory and time would be measured");
#endif
        QFETCH(int, shape);
        QFETCH(int, count);
        QFETCH(bool, refused);
        // A trailing byte makes the reader refuse the file after building it all.
        QByteArray files[3];
        for (int factor : {1, 2})
            files[factor] = HostileDocument::build(HostileDocument::Shape(shape), factor * count)
                            + (refused ? QByteArray(1, '\0') : QByteArray());
        // Read into a new scene deleted before the event loop runs, as a file opened and closed (or refused) at once.
        auto read = [&](int factor) { return (SampleDocument::read(files[factor]).result == DocumentStream::Ok) != refused; };

        // At most 32 bytes of memory per byte of file beyond a fixed base: the peak at the double size, and what the added
        // bytes added to the peak (where the base drops out).
        qint64 rise[3] = {};
        for (int factor : {1, 2}) {
            PeakMemory memory;
            QVERIFY2(read(factor), "the file was not taken or refused as it should be");
            rise[factor] = memory.rise();
        }
        if (rise[1] >= 0) {
            const double perByte = double(rise[2] - rise[1]) / (files[2].size() - files[1].size());
            QVERIFY2(perByte <= 32 && rise[2] <= 32 * qint64(files[2].size()) + (24 << 20),
                     qPrintable(QStringLiteral("%1 bytes of memory for %2 bytes of file, %3 for each byte more")
                                    .arg(rise[2]).arg(files[2].size()).arg(perByte)));
        } else {
            qWarning("no peak of resident memory to restart here: memory not measured");
        }

        const QString slow = DoublingRatio::nonLinear([&](int factor) {
            const double start = cpuSeconds();
            return read(factor) ? cpuSeconds() - start : -1;
        }, QStringLiteral("the file"));
        QVERIFY2(slow.isEmpty(), qPrintable(slow));
    }

    void shownPropertiesTearDownLinearly()
    {
        // A SoftType with many properties shown as the SoftType dialog shows them, under a group of another manager; the
        // document is closed while the group still holds them.
        const QByteArray files[3] = {{}, HostileDocument::build(HostileDocument::ManyProperties, 40000),
                                     HostileDocument::build(HostileDocument::ManyProperties, 80000)};
        const QString slow = DoublingRatio::nonLinear([&](int factor) {
            auto scene = SampleDocument::read(files[factor]).scene;
            const SoftType *softType = scene->root()->firstGlyph()->softTypes().first();
            QtGroupPropertyManager groups;
            QtProperty *group = groups.addProperty(QStringLiteral("Properties"));
            for (const QString &name : softType->propertyNames())
                group->addSubProperty(softType->property(name));
            const double start = cpuSeconds();
            scene.reset();
            const double seconds = cpuSeconds() - start;
            return group->subProperties().isEmpty() ? seconds : -1;
        }, QStringLiteral("the properties"));
        QVERIFY2(slow.isEmpty(), qPrintable(slow));
    }

    // A document whose textpad holds one line without a space, in the Textpad dock: taken, drawn, a letter typed at
    // the end of the line, the line pasted over all of it, and another text taken, in linear time (Qt wraps such a
    // line laid out whole in time that grows with the square of its length); the text edited is the document's, every
    // character, and the letter.
    void textpadLineShowsLinearly()
    {
        const QByteArray files[3] = {{}, HostileDocument::build(HostileDocument::LongTextpadLine, 30000),
                                     HostileDocument::build(HostileDocument::LongTextpadLine, 60000)};
        const auto show = [&](int factor) {
            auto scene = SampleDocument::read(files[factor]).scene;
            const QString line = scene->textpadText();
            QGuiApplication::clipboard()->setText(line);
            TextpadPanelDockWidget dock;
            dock.resize(300, 600);
            QStringList edited;
            connect(&dock, &TextpadPanelDockWidget::textChanged, [&](const QString &text) { edited << text; });
            QWidget *edit = dock.findChild<QAbstractScrollArea *>();
            const double start = cpuSeconds();
            dock.setText(line);
            dock.show();
            dock.grab();
            QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(edit, Qt::Key_Z);
            dock.grab();
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            dock.grab();
            dock.setText(QStringLiteral("another"));
            const double seconds = cpuSeconds() - start;
            return edited == QStringList{line + QLatin1Char('z'), line} ? seconds : -1;
        };
        const QString slow = DoublingRatio::nonLinear(show, QStringLiteral("the line"));
        QVERIFY2(slow.isEmpty(), qPrintable(slow));
    }

    void fuzzInputsReadSoundlyOrFail()
    {
        // The seed corpus holds documents the editor wrote, which must read; the regressions, which may be refused.
        const QDir fuzz(QStringLiteral(VORREL_FUZZ_INPUTS));
        QVERIFY(QDir(fuzz.filePath(QStringLiteral("corpus"))).entryList(QDir::Files).size() >= 10);
        for (const QString &folder : {QStringLiteral("corpus"), QStringLiteral("regressions")}) {
            const QDir dir(fuzz.filePath(folder));
            for (const QString &name : dir.entryList(QDir::Files)) {
                QFile file(dir.filePath(name));
                QVERIFY(file.open(QIODevice::ReadOnly));
                const auto r = SampleDocument::read(file.readAll());
                QVERIFY2(r.result == DocumentStream::Ok || folder == QLatin1String("regressions"), qPrintable(name));
                if (r.result != DocumentStream::Ok)
                    continue;
                const QString fault = TreeCheck::sceneFault(r.scene.get());
                QVERIFY2(fault.isEmpty(), qPrintable(name + QStringLiteral(": ") + fault));
                // What was read writes and reads again.
                QVERIFY2(SampleDocument::read(SampleDocument::write(*r.scene)).result == DocumentStream::Ok, qPrintable(name));
            }
        }
    }
};

QTEST_MAIN(TestHostileDocuments)
#include "tst_hostiledocuments.moc"
