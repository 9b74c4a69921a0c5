#include "app/QVorrelView.h"
#include "app/VorrelQt.h"
#include "commands/Cmd.h"
#include "commands/CmdMoveCaretPoint.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "panels/TextpadPanelDockWidget.h"
#include "panels/TypeToolbar.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftType.h"
#include "support/ModalRecorder.h"
#include "support/Typist.h"

#include <QtTest>
#include <QtWidgets>

class TestClipboardExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_w = VorrelQt::instance(); }

    void cleanup()
    {
        ModalRecorder modal; // No to each document's question
        modal.buttons << QMessageBox::No << QMessageBox::No << QMessageBox::No << QMessageBox::No;
        m_w->documentArea()->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Paste Glyphs without copies pastes text; copies paste as often as asked,
    // into the active document; Cut is one step; text round-trips with "\n".
    void clipboard()
    {
        QClipboard *board = QGuiApplication::clipboard();
        const QString emoji = QString::fromUcs4(U"\U0001F600", 1);
        QVorrelScene *other = newDocument(QString());
        board->setText(QStringLiteral("x\r\ny") + emoji + QStringLiteral("\nz"));
        m_w->OnEditPasteGlyphs();
        QCOMPARE(Typist::shape(other->root()), QStringLiteral("(x)|(y") + emoji + QStringLiteral(")|(z)"));

        QVorrelScene *scene = newDocument(QStringLiteral("abc"));
        scene->restoreSelection({passage(scene, 0)->child(0)});
        m_w->OnEditCopy();
        m_w->OnEditPasteGlyphs();
        m_w->OnEditPasteGlyphs();
        QCOMPARE(scene->root()->text(), QStringLiteral("abcabcabc"));
        QCOMPARE(scene->historyIndex(), 3 + 2);
        QCOMPARE(scene->selectedObjects().size(), 3);
        activate(0);
        m_w->OnEditPasteGlyphs();
        QCOMPARE(other->root()->text().right(3), QStringLiteral("abc"));
        activate(1);
        m_w->OnEditCut();
        QCOMPARE(scene->historyIndex(), 3 + 3);
        QCOMPARE(scene->root()->text(), QStringLiteral("abcabc"));
        scene->undo();
        QCOMPARE(scene->root()->text(), QStringLiteral("abcabcabc"));
        QCOMPARE(m_w->copiedGlyphs().size(), 3);

        QVorrelScene *lines = newDocument(QStringLiteral("a\rb"));
        lines->restoreSelection({passage(lines, 0)});
        m_w->OnEditCopy();
        QCOMPARE(board->text(), QStringLiteral("a\nb"));
        m_w->OnEditPasteCharacters();
        QCOMPARE(Typist::shape(lines->root()), QStringLiteral("(a)|(ba)|(b)"));
    }

    // One step per style edit, on new text and the selection; colour and size
    // steps merge, font steps do not; unusable sizes and widths do nothing.
    void typeToolbar()
    {
        QVorrelScene *scene = newDocument(QStringLiteral("ab"));
        Glyph *a = passage(scene, 0)->child(0)->firstGlyph();
        TypeToolbar *bar = m_w->typeToolbar();
        m_w->OnToolbarFillColorChanged(Qt::red);
        m_w->OnToolbarFillColorChanged(QColor(0, 0, 255, 128));
        QCOMPARE(scene->history().value(2)->text() + scene->fillColor().name(QColor::HexArgb) + a->fillColor().name(),
                 "Set Fill Color#800000ff#000000");

        for (const char *text : {"abc", "0", "-5", ""}) {
            m_w->OnToolbarFontSizeChanged(QString::fromLatin1(text));
            bar->strokeWidthTextEdit->setText(QString::fromLatin1(text));
            m_w->OnToolbarStrokeWidthTextEditFinished();
        }
        m_w->OnToolbarFontSizeChanged(30);
        m_w->OnToolbarFontSizeChanged(QStringLiteral("40"));
        QCOMPARE(scene->historyIndex(), 2 + 2);
        QCOMPARE(scene->textFont().pointSize(), 40);
        bar->fontComboBox->setCurrentFont(QFont(QStringLiteral("DejaVu Serif")));
        bar->fontComboBox->setCurrentFont(QFont(QStringLiteral("DejaVu Sans")));
        QCOMPARE(scene->historyIndex(), 2 + 4);

        scene->restoreSelection({a});
        bar->strokeWidthTextEdit->setText(QStringLiteral("2"));
        m_w->OnToolbarStrokeWidthTextEditFinished();
        QCOMPARE(a->strokeWidth() + scene->strokeWidth(), 4.0f);
        scene->undo();
        QCOMPARE(a->strokeWidth() + scene->strokeWidth(), 0.0f);
        QCOMPARE(scene->historyIndex(), 2 + 4);
    }

    // Texts loaded or typed into the textpad modify the document, with no
    // history entry, so closing asks.
    void textpad()
    {
        QVorrelScene *scene = newDocument(QString());
        auto *edit = m_w->textpadDock()->findChild<QTextEdit *>();
        edit->setPlainText(QStringLiteral("typed"));
        QVERIFY(scene->textpadText() == QLatin1String("typed") && m_w->activeView()->isModified());
        QCOMPARE(scene->historyIndex(), 0); // no step
        m_w->form().actionTextpadLoremIpsum->trigger();
        QCOMPARE(edit->toPlainText().size(), 995);
        QVERIFY(edit->toPlainText().startsWith("Lorem ipsum dolor sit amet, consectetur adipiscing elit."));

        ModalRecorder modal;
        modal.buttons << QMessageBox::Cancel;
        QVERIFY(!m_w->documentArea()->currentSubWindow()->close());
        QCOMPARE(modal.calls.value(0).text, QStringLiteral("Save 'untitled' before closing?"));
    }

    // Names run per kind; Cancel keeps the number; Ok gives the prototype the
    // values but not the name.
    void addSoftTypes()
    {
        QVorrelScene *scene = newDocument(QStringLiteral("ab"));
        Glyph *a = passage(scene, 0)->child(0)->firstGlyph();
        scene->restoreSelection({a});
        auto setRadius = [](QDialog *dialog) {
            for (QtProperty *group : dialog->findChild<QtGroupPropertyManager *>()->properties())
                for (QtProperty *p : group->subProperties())
                    if (p->propertyName() == QLatin1String("radius"))
                        static_cast<QtVariantProperty *>(p)->setValue(77);
            return int(QDialog::Accepted);
        };
        ModalRecorder modal;
        modal.execs << setRadius << [](QDialog *) { return int(QDialog::Rejected); }
                    << [](QDialog *) { return int(QDialog::Accepted); };
        for (int i = 0; i < 3; ++i)
            m_w->form().actionAddSoftTypeClay->trigger();
        QCOMPARE(a->softTypeNames(), (QStringList{"clay-1", "clay-2"}));
        // The third dialog opened with the radius accepted in the first.
        QCOMPARE(a->findSoftType(QStringLiteral("clay-2"))->values().value(QStringLiteral("radius")).toInt(), 77);
        const SoftType *prototype = m_w->prototypes().value(QStringLiteral("clay"));
        QCOMPARE(prototype->values().value(QStringLiteral("radius")).toString() + prototype->name(), "77clay-0");
    }

    void stillExport_data()
    {
        // The row's name is the file name chosen.
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("shot") << "OnExportPNG" << "untitled.png" << QByteArray("png");
        QTest::newRow("shot.tif") << "OnExportTIFF" << "untitled.tif" << QByteArray("tiff");
        QTest::newRow("shot.bmp") << "OnExportBMP" << "untitled.bmp" << QByteArray("bmp");
        QTest::newRow("no/dir/x.png") << "OnExportPNG" << "untitled.png" << QByteArray();
    }

    // The canvas at the export size under exactly the name chosen; a failed
    // write is told and leaves nothing.
    void stillExport()
    {
        QFETCH(QString, slot);
        QFETCH(QByteArray, format);
        newDocument(QStringLiteral("ab"));
        ModalRecorder modal;
        const QString target = m_dir.filePath(QTest::currentDataTag());
        modal.fileNames << target;
        QMetaObject::invokeMethod(m_w, slot.toLatin1().constData());
        QTEST(modal.saveDirs.value(0), "proposed");
        QCOMPARE(modal.calls.first().title, QStringLiteral("Export ") + slot.mid(8));
        if (format.isEmpty()) {
            QCOMPARE(modal.calls.last().text,
                     "Unable to write the file '" + target + "'. An existing file of that name is kept as it was.");
            QVERIFY(!QFile::exists(target));
            return;
        }
        QCOMPARE(modal.calls.size(), 1);
        QImageReader reader(target);
        QCOMPARE(reader.format(), format);
        QCOMPARE(reader.size(), QSize(1024, 768));
    }

    void multipagePdf_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("clip");
        QTest::addColumn<bool>("hideSecond");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("pages");
        // Passages "ab cd" and "ef", then the page of the canvas alone.
        QTest::newRow("passage") << 0 << false << false << 100 << 3;
        QTest::newRow("word clipped") << 1 << true << false << 100 << 4;
        QTest::newRow("glyph") << 2 << false << false << 100 << 7;
        QTest::newRow("passage, one hidden") << 0 << true << true << 100 << 2;
        QTest::newRow("glyph, one hidden, no canvas") << 2 << false << true << 0 << 5;
        QTest::newRow("word clipped, no canvas") << 1 << true << false << 0 << 4;
    }

    // One page per visible object of the level; the document is as before.
    void multipagePdf()
    {
        QFETCH(int, level);
        QFETCH(bool, clip);
        QFETCH(bool, hideSecond);
        QFETCH(int, size);
        QVorrelScene *scene = newDocument(QStringLiteral("ab cd"));
        scene->setScreenSize(size, size);
        scene->setExportSettings(size, size, 72);
        scene->executeCommand(new CmdMoveCaretPoint(scene, QPointF(0, 400)));
        Typist::type(scene, QStringLiteral("ef"));
        if (hideSecond)
            scene->setObjectVisible(passage(scene, 1), false);
        scene->restoreSelection({passage(scene, 0)});
        const int entries = scene->historyIndex();
        ModalRecorder modal;
        modal.fileNames << m_dir.filePath(QStringLiteral("pages.pdf"));
        modal.execs << [&](QDialog *dialog) {
            dialog->findChild<QComboBox *>(QStringLiteral("cbObjectType"))->setCurrentIndex(level);
            dialog->findChild<QCheckBox *>(QStringLiteral("checkClipping"))->setChecked(clip);
            return int(QDialog::Accepted);
        };
        m_w->form().actionExportMultipagePDF->trigger();
        QFile pdf(m_dir.filePath(QStringLiteral("pages.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QTEST(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), "pages");
        QCOMPARE(modal.calls.first().title, QStringLiteral("Export PDF"));
        TextGroup *first = passage(scene, 0);
        QCOMPARE(QList<bool>({first->isVisible(), first->isSelected(), passage(scene, 1)->isVisible()}),
                 QList<bool>({true, true, !hideSecond}));
        QVERIFY(scene->backgroundColor() == Qt::white && scene->historyIndex() == entries);
    }

private:
    QVorrelScene *newDocument(const QString &text)
    {
        m_w->OnFileNew();
        Typist::type(m_w->activeScene(), text);
        return m_w->activeScene();
    }
    void activate(int tab) { m_w->documentArea()->setActiveSubWindow(m_w->documentArea()->subWindowList().at(tab)); }
    static TextGroup *passage(QVorrelScene *s, int i) { return static_cast<TextGroup *>(s->root()->child(i)); }

    VorrelQt *m_w = nullptr;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestClipboardExport)
#include "tst_clipboardexport.moc"
