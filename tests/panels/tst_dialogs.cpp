#include "dialogs/EditCanvasDlg.h"
#include "dialogs/EditGuidesDlg.h"
#include "dialogs/MultipagePDFDlg.h"
#include "dialogs/QuicktimeSettingsDlg.h"
#include "dialogs/SaveOptionsDlg.h"
#include "support/ModalRecorder.h"

#include <QtTest>
#include <memory>

using Ints = QList<int>;

namespace {
// Also records the options the colour dialog was asked with.
struct ColorRecorder : ModalRecorder
{
    QColorDialog::ColorDialogOptions options;
    QColor color(const QColor &initial, QWidget *parent, const QString &title, QColorDialog::ColorDialogOptions o) override
    {
        options = o;
        return ModalRecorder::color(initial, parent, title, o);
    }
};

template <typename T = QSpinBox>
T *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(name);
}

void click(QWidget *dialog, const char *button)
{
    QTest::mouseClick(field<QAbstractButton>(dialog, button), Qt::LeftButton);
}

void typeInto(QWidget *dialog, const char *box, const QString &text)
{
    field(dialog, box)->setFocus();
    field(dialog, box)->selectAll();
    QTest::keyClicks(field(dialog, box), text);
}

Ints values(QWidget *dialog, std::initializer_list<const char *> boxes)
{
    Ints result;
    for (const char *box : boxes)
        result << field(dialog, box)->value();
    return result;
}

// The int argument of every emission.
Ints ints(const QSignalSpy &spy)
{
    Ints result;
    for (const QList<QVariant> &arguments : spy)
        result << arguments.at(0).toInt();
    return result;
}

// Screen width and height, export width and height, as the main window seeds them.
void seedCanvas(EditCanvasDlg &dlg, const Ints &sizes, const QColor &background = Qt::white)
{
    dlg.setExportHeight(sizes[3]);
    dlg.setExportWidth(sizes[2]);
    dlg.setExportResolution(72);
    dlg.setScreenHeight(sizes[1]);
    dlg.setScreenWidth(sizes[0]);
    dlg.setBackgroundColor(background);
}
} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    // Process-wide movie settings: the first dialog of the run comes first.
    void movieSettingsKeptForTheRun()
    {
        // Shows a new dialog's choices, then picks codec, quality and clearing and presses the button.
        const auto use = [](int codec, int quality, bool clear, const char *button) {
            QuicktimeSettingsDlg dlg;
            auto *codecs = field<QComboBox>(&dlg, "cbCodec");
            auto *qualities = field<QComboBox>(&dlg, "cbQuality");
            QStringList shown{codecs->currentText(), qualities->currentText(),
                              field<QCheckBox>(&dlg, "cbClearBackground")->isChecked() ? "clear" : "keep"};
            dlg.show();
            codecs->setCurrentIndex(codec);
            qualities->setCurrentIndex(quality);
            field<QCheckBox>(&dlg, "cbClearBackground")->setChecked(clear);
            click(&dlg, button);
            return shown << QString::number(dlg.result()) << dlg.codecName() + "/" + dlg.qualityName();
        };
        // The names are the last accepted ones, not the combos' entries.
        QCOMPARE(use(5, 2, false, "OkButton"), QStringList({"JPEG", "Normal", "clear", "1", "H.264/High"}));
        QCOMPARE(use(7, 5, true, "CancelButton"), QStringList({"H.264", "High", "keep", "0", "H.264/High"}));
        QCOMPARE(use(0, 0, true, "CancelButton").mid(0, 3), QStringList({"H.264", "High", "keep"}));
        QuicktimeSettingsDlg dlg;
        auto *codecs = field<QComboBox>(&dlg, "cbCodec");
        QStringList names;
        for (int i = 0; i < codecs->count(); ++i)
            names << codecs->itemText(i);
        // The names the sequence export maps to the movie writer's codec types.
        QCOMPARE(names, QStringList({"Cinepak", "RAW", "JPEG", "Animation", "Video", "H.264", "Sorenson 3", "MPEG4"}));
        QCOMPARE(field<QComboBox>(&dlg, "cbQuality")->count(), 6);
        QCOMPARE(dlg.windowTitle(), QString("Quicktime Settings"));
    }

    // Alpha to percent and back, halves rounded up, in both colour dialogs; seeding previews nothing.
    void opacityAndAlpha()
    {
        EditCanvasDlg canvas;
        EditGuidesDlg guides;
        QSignalSpy background(&canvas, &EditCanvasDlg::backgroundColorChanged);
        QSignalSpy grid(&guides, &EditGuidesDlg::gridColorChanged);
        Ints shown;
        for (int alpha : {0, 1, 2, 3, 25, 26, 127, 128, 252, 253, 254, 255}) {
            canvas.setBackgroundColor(QColor(10, 20, 30, alpha));
            guides.setColor(QColor(10, 20, 30, alpha));
            shown << values(&canvas, {"uiBackgroundOpacity"}) + values(&guides, {"m_pGridOpacity"});
        }
        QCOMPARE(shown, Ints({0, 0, 0, 0, 1, 1, 1, 1, 10, 10, 10, 10, 50, 50, 50, 50, 99, 99, 99, 99, 100, 100, 100, 100}));
        for (int percent : {1, 10, 50, 99, 100, 0}) {
            field(&canvas, "uiBackgroundOpacity")->setValue(percent);
            field(&guides, "m_pGridOpacity")->setValue(percent);
        }
        for (const QSignalSpy *spy : {&background, &grid}) {
            QStringList sent;
            for (const QList<QVariant> &arguments : *spy)
                sent << arguments.at(0).value<QColor>().name(QColor::HexArgb);
            QCOMPARE(sent, QStringList({"#030a141e", "#1a0a141e", "#800a141e", "#fc0a141e", "#ff0a141e", "#000a141e"}));
        }
    }

    void canvasCoupling_data()
    {
        QTest::addColumn<Ints>("seed"); // screen width, height, export width, height
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("value");
        QTest::addColumn<Ints>("expected"); // export width, height, previewed screen width, height (-1 none)
        const Ints xga{1024, 768, 1024, 768}, dot{1024, 768, 1, 1};
        QTest::newRow("export width") << xga << "uiexportWidth" << 2048 << Ints{2048, 1536, -1, -1};
        QTest::newRow("export height") << xga << "uiexportHeight" << 300 << Ints{400, 300, -1, -1};
        QTest::newRow("screen width") << xga << "uiscreenWidth" << 2048 << Ints{2048, 768, 2048, -1};
        QTest::newRow("screen height") << xga << "uiscreenHeight" << 384 << Ints{1024, 384, -1, 384};
        QTest::newRow("screen width, export 1x1") << dot << "uiscreenWidth" << 500 << Ints{1, 1, 500, -1};
        QTest::newRow("narrower screen, export 1x1") << dot << "uiscreenWidth" << 300 << Ints{1, 2, 300, -1}; // 768 / 300
        QTest::newRow("screen height, export 1x1") << dot << "uiscreenHeight" << 300 << Ints{3, 1, -1, 300};
        QTest::newRow("resolution") << xga << "uiexportResolution" << 300 << Ints{1024, 768, -1, -1};
        // Past 32767 both sides shrink together: 32767 x 768 / 1024 = 24575.25; 15000 / 768 x 2048 = 40000
        // wide, so 32767 x 768 / 2048 = 12287.625 high.
        QTest::newRow("export height past limit") << xga << "uiexportHeight" << 32767 << Ints{32767, 24575, -1, -1};
        QTest::newRow("export width past limit, portrait") // 32767 x 1024 / 768 high, so 32767 x 768 / 1024 wide
            << Ints{768, 1024, 768, 1024} << "uiexportWidth" << 32767 << Ints{24575, 32767, -1, -1};
        QTest::newRow("screen width past limit")
            << Ints{1024, 768, 20000, 15000} << "uiscreenWidth" << 2048 << Ints{32767, 12287, 2048, -1};
    }

    void canvasCoupling()
    {
        QFETCH(Ints, seed);
        QFETCH(QString, box);
        QFETCH(int, value);
        QFETCH(Ints, expected);
        EditCanvasDlg dlg;
        seedCanvas(dlg, seed);
        QSignalSpy width(&dlg, &EditCanvasDlg::screenWidthChanged);
        QSignalSpy height(&dlg, &EditCanvasDlg::screenHeightChanged);
        field(&dlg, box.toLatin1())->setValue(value);
        QCOMPARE(values(&dlg, {"uiexportWidth", "uiexportHeight"}) + Ints({ints(width).value(0, -1), ints(height).value(0, -1)}),
                 expected);
        QCOMPARE(width.count() + height.count(), int(expected[2] >= 0) + int(expected[3] >= 0));
    }

    void canvasSeedingClamps()
    {
        EditCanvasDlg dlg;
        QSignalSpy width(&dlg, &EditCanvasDlg::screenWidthChanged);
        QSignalSpy background(&dlg, &EditCanvasDlg::backgroundColorChanged);
        seedCanvas(dlg, {0, -4, 40000, 999999999}, QColor(1, 2, 3, 51));
        dlg.setExportResolution(60000);
        dlg.setBackgroundColor(QColor()); // ignored
        QCOMPARE(values(&dlg, {"uiscreenWidth", "uiscreenHeight", "uiexportWidth", "uiexportHeight", "uiexportResolution",
                               "uiBackgroundOpacity"}),
                 Ints({1, 1, 32767, 32767, 32767, 20}));
        QCOMPARE(field<QPushButton>(&dlg, "uiBackgroundColor")->palette().color(QPalette::Button), QColor(1, 2, 3));
        QCOMPARE(width.count() + background.count(), 0);
    }

    // Ok stores what the fields show; Cancel, Escape or the close button restore every field and send the
    // opening size and exact colour again.
    void canvasOkStoresCancelRestores()
    {
        ColorRecorder rec;
        EditCanvasDlg dlg;
        QSignalSpy background(&dlg, &EditCanvasDlg::backgroundColorChanged);
        QSignalSpy width(&dlg, &EditCanvasDlg::screenWidthChanged);
        const auto stored = [&] {
            return Ints{dlg.screenWidth(), dlg.screenHeight(), dlg.exportWidth(), dlg.exportHeight(), dlg.exportResolution()};
        };
        seedCanvas(dlg, {1024, 768, 1024, 768});
        rec.colors << QColor(10, 20, 30, 127);
        dlg.show();
        typeInto(&dlg, "uiexportWidth", "2048");
        typeInto(&dlg, "uiexportResolution", "300");
        click(&dlg, "uiBackgroundColor");
        click(&dlg, "OkCanvas");
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(rec.calls[0].title, QString("Background Color"));
        QVERIFY(rec.options & QColorDialog::ShowAlphaChannel);
        QCOMPARE(background.last().at(0).value<QColor>(), QColor(10, 20, 30, 127)); // previewed exactly
        QCOMPARE(stored(), Ints({1024, 768, 2048, 1536, 300}));
        QCOMPARE(dlg.backgroundColor(), QColor(10, 20, 30, 128)); // stored from the whole percent

        // Later uses, seeded with the document's exact colour, turned down.
        const QColor seeded(200, 100, 50, 127);
        for (const QString how : {"CancelCanvas", "escape", "close"}) {
            seedCanvas(dlg, {800, 600, 1600, 1200}, seeded);
            background.clear();
            width.clear();
            rec.colors << QColor(0, 0, 255, 255);
            dlg.show();
            typeInto(&dlg, "uiscreenWidth", "400");
            typeInto(&dlg, "uiBackgroundOpacity", "10");
            click(&dlg, "uiBackgroundColor");
            if (how == "escape")
                QTest::keyClick(&dlg, Qt::Key_Escape);
            else if (how == "close")
                dlg.close();
            else
                click(&dlg, "CancelCanvas");
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QCOMPARE(width.last().at(0).toInt(), 800);
            QCOMPARE(background.last().at(0).value<QColor>(), seeded);
            QCOMPARE(values(&dlg, {"uiscreenWidth", "uiscreenHeight", "uiexportWidth", "uiexportHeight", "uiBackgroundOpacity"}),
                     Ints({800, 600, 1600, 1200, 50}));
            QCOMPARE(field<QPushButton>(&dlg, "uiBackgroundColor")->palette().color(QPalette::Button), QColor(200, 100, 50));
            QCOMPARE(stored(), Ints({1024, 768, 2048, 1536, 300}));
            QCOMPARE(dlg.backgroundColor(), QColor(10, 20, 30, 128));
        }
    }

    // Seeding keeps the spacing within 2..1000 and previews nothing; each key step previews at once.
    void guidesSpacing()
    {
        EditGuidesDlg dlg;
        QSignalSpy spacing(&dlg, &EditGuidesDlg::gridSpacingChanged);
        Ints shown;
        for (int seed : {0, 1, 2, 50, 1000, 5000, 5}) {
            dlg.setSpacing(seed);
            shown << values(&dlg, {"m_pGridSpacing"});
        }
        QCOMPARE(shown, Ints({2, 2, 2, 50, 1000, 1000, 5}));
        dlg.show();
        for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_Up})
            QTest::keyClick(field(&dlg, "m_pGridSpacing"), key);
        QCOMPARE(ints(spacing), Ints({2, 3}));
    }

    void guidesOkStoresCancelRestores()
    {
        ColorRecorder rec;
        EditGuidesDlg dlg;
        QSignalSpy spacing(&dlg, &EditGuidesDlg::gridSpacingChanged);
        QSignalSpy color(&dlg, &EditGuidesDlg::gridColorChanged);
        const QColor seeded(0, 0, 255, 127);
        rec.colors.enqueue(QColor(255, 0, 0, 127)); // then cancelled
        for (const char *button : {"m_pOk", "m_pCancel"}) {
            dlg.setColor(seeded);
            dlg.setSpacing(20);
            dlg.show();
            typeInto(&dlg, "m_pGridSpacing", "35");
            click(&dlg, "m_pGridColor");
            click(&dlg, button);
            QCOMPARE(dlg.gridSpacing, 35);
            QCOMPARE(dlg.gridColor, QColor(255, 0, 0, 128)); // stored from the whole percent
        }
        QCOMPARE(rec.calls[0].title, QString("Grid Color"));
        QVERIFY(rec.options & QColorDialog::ShowAlphaChannel);
        QCOMPARE(color.first().at(0).value<QColor>(), QColor(255, 0, 0, 127)); // previewed exactly
        // Cancel sent the opening values back and shows them again.
        QCOMPARE(spacing.last().at(0).toInt(), 20);
        QCOMPARE(color.last().at(0).value<QColor>(), seeded);
        QCOMPARE(values(&dlg, {"m_pGridSpacing", "m_pGridOpacity"}), Ints({20, 50}));
    }

    // Each box keeps 0..99; Cancel stores nothing.
    void saveOptions()
    {
        // seed (autosave, interval, incremental, max files), what Ok stores; none: Cancel, the seed stays
        for (const QList<Ints> &r : QList<QList<Ints>>{{{1, 5, 0, 10}, {1, 5, 0, 10}}, {{1, 0, 1, 0}, {1, 0, 1, 0}},
                                                     {{1, 120, 1, 150}, {1, 99, 1, 99}}, {{0, -3, 0, -1}, {0, 0, 0, 0}},
                                                     {{1, 120, 0, 150}, {}}}) {
            SaveOptionsDlg dlg(r[0][0], r[0][1], r[0][2], r[0][3]);
            QCOMPARE(dlg.windowTitle(), QString("Save Options"));
            dlg.show();
            click(&dlg, r[1].isEmpty() ? "CancelButton" : "OkButton");
            QCOMPARE(dlg.result(), int(r[1].isEmpty() ? QDialog::Rejected : QDialog::Accepted));
            QCOMPARE(Ints({dlg.autosave, dlg.interval, dlg.incremental, dlg.maxFiles}), r[1].isEmpty() ? r[0] : r[1]);
        }
    }

    // Down keys walk passage (4), word (3), glyph (2) and stop there; the box sets clipping.
    void multipagePdfLevels()
    {
        for (const Ints &r : QList<Ints>{{0, 0, 4}, {1, 1, 3}, {2, 0, 2}, {5, 1, 2}}) { // downs, clip, level
            MultipagePDFDlg dlg;
            auto *levels = field<QComboBox>(&dlg, "cbObjectType");
            dlg.show();
            levels->setFocus();
            for (int i = 0; i < r[0]; ++i)
                QTest::keyClick(levels, Qt::Key_Down);
            if (r[1])
                click(&dlg, "checkClipping");
            click(&dlg, "OkButton");
            QCOMPARE(Ints({dlg.result(), dlg.objectType(), dlg.isClipping()}), Ints({QDialog::Accepted, r[2], r[1]}));
        }
        QCOMPARE(MultipagePDFDlg().windowTitle(), QString("Multipage PDF"));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
