#include "app/QVorrelView.h"
#include "app/VorrelQt.h"
#include "dialogs/QuicktimeSettingsDlg.h"
#include "export/ExporterMOV.h"
#include "model/QVorrelScene.h"
#include "panels/MainToolbar.h"
#include "support/ModalRecorder.h"

#include <QtTest>
#include <QtWidgets>

// Answers the save dialog's selected filter too (none queued: unchanged, the first).
struct FilterRecorder : ModalRecorder
{
    QQueue<QString> filters;
    QString saveFileName(QWidget *p, const QString &c, const QString &d, const QString &f, QString *sel) override
    {
        *sel = filters.isEmpty() ? *sel : filters.dequeue();
        return ModalRecorder::saveFileName(p, c, d, f, sel);
    }
};

static int accept(QDialog *) { return QDialog::Accepted; }
static int reject(QDialog *) { return QDialog::Rejected; }

class TestSequenceExport : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_w->OnFileNew();
        m_scene = m_w->activeScene();
        m_scene->setExportSettings(32, 24, 72);
    }
    void cleanup() { m_w->documentArea()->closeAllSubWindows(); }

    void suffix_data()
    {
        // No filter: the first, as the dialog selects it.
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("kind");
        QTest::newRow("movie") << "clip" << QString() << "clip.mov" << 6;
        QTest::newRow("jpeg") << "clip" << "JPEG (*.jpg *.jpeg)" << "clip.jpg" << 2;
        QTest::newRow("tiff") << "clip" << "TIFF (*.tif *.tiff)" << "clip.tif" << 5;
        QTest::newRow("kept") << "clip.JPG" << "PNG (*.png)" << "clip.JPG" << 2;
        QTest::newRow("unknown") << "clip.gif" << "PNG (*.png)" << "clip.gif.png" << 4;
        QTest::newRow("final dot") << "clip." << "BMP (*.bmp)" << "clip..bmp" << 1;
    }

    // The File menu's entry: the kind by the completed suffix, a movie
    // through the settings dialog; armed, numbered from 1.
    void suffix()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, file);
        QFETCH(int, kind);
        FilterRecorder modal;
        modal.fileNames << m_dir.filePath(typed);
        if (!filter.isNull())
            modal.filters << filter;
        modal.execs << accept;
        m_w->form().actionExportSequence->trigger();
        QCOMPARE(modal.calls.value(0).title + modal.saveDirs.value(0) + modal.calls.value(0).text,
                 "Export SequenceuntitledQuicktime (*.mov);;BMP (*.bmp);;JPEG (*.jpg *.jpeg);;PDF (*.pdf);;"
                 "PNG (*.png);;TIFF (*.tif *.tiff)");
        QCOMPARE(m_scene->exportFileName(), m_dir.filePath(file));
        QCOMPARE(m_scene->exportKind(), kind);
        QVERIFY(m_scene->exportArmed() && m_scene->exportFrameNumber() == 1);
        QCOMPARE(m_w->mainToolbar()->turnExportOnOffAction->text(), "Stop Export");
        auto *movie = static_cast<ExporterMOV *>(m_scene->exporter());
        QCOMPARE(bool(movie) + modal.calls.size(), kind == 6 ? 3 : 1);
        if (movie) // the dialog's first choices: JPEG, Normal, clear background
            QVERIFY(movie->codec() == 0x6A706567 && movie->quality() == 512 && movie->clearBackground()
                    && !movie->keepExisting() && modal.calls.value(1).title == "Quicktime Settings");
    }

    // Numbering goes on across disarming and the same file chosen again,
    // and restarts for another; a cancelled or refused movie choice changes
    // nothing; the same movie again is appended to.
    void numbering()
    {
        FilterRecorder modal;
        MainToolbar *bar = m_w->mainToolbar();
        bar->turnExportOnOffAction->trigger(); // no file yet: asks for one, cancelled
        QVERIFY(modal.calls.size() == 1 && m_scene->exportFileName().isEmpty() && !m_scene->exportArmed());

        const QString bmp = m_dir.filePath("seq.bmp"), seq = m_dir.filePath("seq");
        modal.fileNames << bmp;
        bar->setExportFileAction->trigger();
        QVorrelView *view = m_w->activeView();
        view->playFrame();
        bar->turnExportOnOffAction->trigger(); // off: no frame
        view->playFrame();
        bar->turnExportOnOffAction->trigger(); // on again
        view->playFrame();
        QVERIFY(QFile::exists(seq + "_00001.bmp") && QFile::exists(seq + "_00002.bmp"));
        QCOMPARE(m_scene->exportFrameNumber(), 3);

        // The movie dialog cancelled, a codec name the writer does not know.
        modal.fileNames << seq << seq << bmp;
        modal.execs << reject << [](QDialog *d) {
            d->findChild<QComboBox *>("cbCodec")->setItemText(QuicktimeSettingsDlg::codecIndex, "?");
            return int(QDialog::Accepted);
        };
        bar->turnExportOnOffAction->trigger(); // disarmed
        for (int i = 0; i < 3; ++i)
            bar->setExportFileAction->trigger();
        QCOMPARE(modal.calls.value(modal.calls.size() - 2).text, "Unknown codec type.");
        QCOMPARE(modal.saveDirs.mid(2), QStringList({seq, seq, seq})); // the start name
        // Unchanged; the third choice, the same file, armed it again.
        QVERIFY(m_scene->exportFileName() == bmp && m_scene->exportKind() == 1 && m_scene->exportFrameNumber() == 3
                && m_scene->exportArmed());

        modal.fileNames << seq << seq + ".mov";
        modal.execs << accept << accept;
        bar->setExportFileAction->trigger();
        QCOMPARE(m_scene->exportFrameNumber(), 1);
        QVERIFY(!static_cast<ExporterMOV *>(m_scene->exporter())->keepExisting());
        m_scene->setExportFrameNumber(7);
        bar->setExportFileAction->trigger();
        QVERIFY(static_cast<ExporterMOV *>(m_scene->exporter())->keepExisting());
        QCOMPARE(m_scene->exportFrameNumber(), 7);
    }

private:
    QVorrelScene *m_scene = nullptr;
    VorrelQt *m_w = VorrelQt::instance();
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestSequenceExport)
#include "tst_sequenceexport.moc"
