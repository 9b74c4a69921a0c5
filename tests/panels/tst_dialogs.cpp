#include "dialogs/EditCanvasDlg.h"
#include "dialogs/EditGuidesDlg.h"
#include "dialogs/MultipagePDFDlg.h"
#include "dialogs/QuicktimeSettingsDlg.h"
#include "dialogs/SaveOptionsDlg.h"
#include "support/ModalRecorder.h"

#include <QtTest>

namespace {
struct ColorRecorder : ModalRecorder
{
    QColorDialog::ColorDialogOptions options;
    QColor color(const QColor &initial, QWidget *parent, const QString &title,
                 QColorDialog::ColorDialogOptions opts) override
    {
        options = opts;
        return ModalRecorder::color(initial, parent, title, opts);
    }
};

template <typename T = QSpinBox>
T *field(QWidget *dialog, const char *name)
{
    T *widget = dialog->findChild<T *>(name);
    Q_ASSERT(widget);
    return widget;
}

void typeInto(QSpinBox *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

void click(QWidget *dialog, const char *button)
{
    QTest::mouseClick(field<QAbstractButton>(dialog, button), Qt::LeftButton);
}

// The three ways to turn a dialog down.
void dismiss(QDialog *dialog, const QString &how, const char *cancelButton)
{
    if (how == "button")
        click(dialog, cancelButton);
    else if (how == "escape")
        QTest::keyClick(dialog, Qt::Key_Escape);
    else
        dialog->close();
}

void seedCanvas(EditCanvasDlg &dlg, int sw, int sh, int ew, int eh, const QColor &background = Qt::white)
{
    dlg.setExportHeight(eh);
    dlg.setExportWidth(ew);
    dlg.setExportResolution(72);
    dlg.setScreenHeight(sh);
    dlg.setScreenWidth(sw);
    dlg.setBackgroundColor(background);
}

QList<int> values(QWidget *dialog, std::initializer_list<const char *> names)
{
    QList<int> result;
    for (const char *name : names)
        result << field(dialog, name)->value();
    return result;
}
}

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    // Process-wide movie settings: the first dialog of the run comes first.
    void movieSettingsKeptForTheRun();
    void opacityAndAlpha_data();
    void opacityAndAlpha();
    void canvasCoupling_data();
    void canvasCoupling();
    void canvasSeedingClamps();
    void canvasOkStoresCancelRestores_data();
    void canvasOkStoresCancelRestores();
    void guidesSpacing_data();
    void guidesSpacing();
    void guidesOkStoresCancelRestores();
    void saveOptions_data();
    void saveOptions();
    void multipagePdfLevels_data();
    void multipagePdfLevels();
};

void TestDialogs::movieSettingsKeptForTheRun()
{
    ModalRecorder rec;
    auto shown = [](QWidget *d) {
        auto *codecs = field<QComboBox>(d, "cbCodec");
        auto *qualities = field<QComboBox>(d, "cbQuality");
        return QStringList{codecs->currentText(), qualities->currentText(),
                           field<QCheckBox>(d, "cbClearBackground")->isChecked() ? "clear" : "keep"};
    };
    // Chooses H.264, High, no clearing, then Ok or Cancel.
    auto choose = [](const char *button) {
        return [=](QDialog *d) {
            d->show();
            field<QComboBox>(d, "cbCodec")->setCurrentIndex(button[0] == 'O' ? 5 : 7);
            field<QComboBox>(d, "cbQuality")->setCurrentIndex(button[0] == 'O' ? 2 : 5);
            field<QCheckBox>(d, "cbClearBackground")->setChecked(button[0] != 'O');
            click(d, button);
            return d->result();
        };
    };
    QScopedPointer<QuicktimeSettingsDlg> dlg(new QuicktimeSettingsDlg);
    auto *codecs = field<QComboBox>(dlg.data(), "cbCodec");
    QStringList names;
    for (int i = 0; i < codecs->count(); ++i)
        names << codecs->itemText(i);
    // The names the sequence export maps to the movie writer's codec types.
    QCOMPARE(names, QStringList({"Cinepak", "RAW", "JPEG", "Animation", "Video", "H.264", "Sorenson 3", "MPEG4"}));
    QCOMPARE(field<QComboBox>(dlg.data(), "cbQuality")->count(), 6);
    QCOMPARE(shown(dlg.data()), QStringList({"JPEG", "Normal", "clear"}));
    rec.execs.enqueue(choose("OkButton"));
    QCOMPARE(Modal::exec(dlg.data()), int(QDialog::Accepted));
    QCOMPARE(rec.calls.last().title, QString("Quicktime Settings"));

    dlg.reset(new QuicktimeSettingsDlg);
    QCOMPARE(shown(dlg.data()), QStringList({"H.264", "High", "keep"}));
    rec.execs.enqueue(choose("CancelButton"));
    QCOMPARE(Modal::exec(dlg.data()), int(QDialog::Rejected));
    // The names are the last accepted ones, not the combos' entries.
    QCOMPARE(dlg->codecName() + "/" + dlg->qualityName(), QString("H.264/High"));
    dlg.reset(new QuicktimeSettingsDlg);
    QCOMPARE(shown(dlg.data()), QStringList({"H.264", "High", "keep"}));
}

void TestDialogs::opacityAndAlpha_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("alpha");
    // Every alpha that shows the percent: a x 100 / 255 + 0.5 cut to the percent.
    QTest::addColumn<QList<int>>("alphasShowingPercent");
    QTest::newRow("0") << 0 << 0 << QList<int>{0, 1};
    QTest::newRow("1") << 1 << 3 << QList<int>{2, 3};
    QTest::newRow("10") << 10 << 26 << QList<int>{25, 26};
    QTest::newRow("50") << 50 << 128 << QList<int>{127, 128};
    QTest::newRow("99") << 99 << 252 << QList<int>{252, 253};
    QTest::newRow("100") << 100 << 255 << QList<int>{254, 255};
}

void TestDialogs::opacityAndAlpha()
{
    QFETCH(int, percent);
    QFETCH(int, alpha);
    QFETCH(QList<int>, alphasShowingPercent);
    EditCanvasDlg canvas;
    EditGuidesDlg guides;
    QSignalSpy background(&canvas, &EditCanvasDlg::backgroundColorChanged);
    QSignalSpy grid(&guides, &EditGuidesDlg::gridColorChanged);
    canvas.setBackgroundColor(QColor(10, 20, 30, alpha == 255 ? 0 : 255));
    guides.setColor(QColor(10, 20, 30, alpha == 0 ? 255 : 0));
    field(&canvas, "uiBackgroundOpacity")->setValue(percent);
    field(&guides, "m_pGridOpacity")->setValue(percent);
    QCOMPARE(background.count(), 1);
    QCOMPARE(background.at(0).at(0).value<QColor>(), QColor(10, 20, 30, alpha));
    QCOMPARE(grid.at(0).at(0).value<QColor>(), QColor(10, 20, 30, alpha));
    for (int a : alphasShowingPercent) {
        canvas.setBackgroundColor(QColor(10, 20, 30, a));
        guides.setColor(QColor(10, 20, 30, a));
        QCOMPARE(field(&canvas, "uiBackgroundOpacity")->value(), percent);
        QCOMPARE(field(&guides, "m_pGridOpacity")->value(), percent);
    }
    QCOMPARE(background.count() + grid.count(), 2); // seeding previews nothing
}

void TestDialogs::canvasCoupling_data()
{
    QTest::addColumn<QList<int>>("seed"); // screen w, h, export w, h
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("value");
    QTest::addColumn<QList<int>>("exportSize");
    QTest::addColumn<QList<int>>("previewed"); // width, height signals (-1 none)
    const QList<int> xga{1024, 768, 1024, 768};
    QTest::newRow("export width") << xga << "uiexportWidth" << 2048 << QList<int>{2048, 1536} << QList<int>{-1, -1};
    QTest::newRow("export height") << xga << "uiexportHeight" << 300 << QList<int>{400, 300} << QList<int>{-1, -1};
    QTest::newRow("screen width") << xga << "uiscreenWidth" << 2048 << QList<int>{2048, 768} << QList<int>{2048, -1};
    QTest::newRow("screen height") << xga << "uiscreenHeight" << 384 << QList<int>{1024, 384} << QList<int>{-1, 384};
    QTest::newRow("screen width, export 1x1")
        << QList<int>{1024, 768, 1, 1} << "uiscreenWidth" << 500 << QList<int>{1, 1} << QList<int>{500, -1};
    QTest::newRow("screen height, export 1x1")
        << QList<int>{1024, 768, 1, 1} << "uiscreenHeight" << 300 << QList<int>{3, 1} << QList<int>{-1, 300};
    QTest::newRow("resolution") << xga << "uiexportResolution" << 300 << QList<int>{1024, 768} << QList<int>{-1, -1};
    // Past 32767 both sides shrink together: 32767 x 768 / 1024 = 24575.25.
    QTest::newRow("export height past limit")
        << xga << "uiexportHeight" << 32767 << QList<int>{32767, 24575} << QList<int>{-1, -1};
    // 15000 / 768 x 2048 = 40000 wide; 32767 x 768 / 2048 = 12287.625.
    QTest::newRow("screen width past limit")
        << QList<int>{1024, 768, 20000, 15000} << "uiscreenWidth" << 2048 << QList<int>{32767, 12287}
        << QList<int>{2048, -1};
}

void TestDialogs::canvasCoupling()
{
    QFETCH(QList<int>, seed);
    QFETCH(QString, box);
    QFETCH(int, value);
    QFETCH(QList<int>, exportSize);
    QFETCH(QList<int>, previewed);
    EditCanvasDlg dlg;
    seedCanvas(dlg, seed[0], seed[1], seed[2], seed[3]);
    QSignalSpy width(&dlg, &EditCanvasDlg::screenWidthChanged);
    QSignalSpy height(&dlg, &EditCanvasDlg::screenHeightChanged);
    field(&dlg, box.toLatin1())->setValue(value);
    QCOMPARE(values(&dlg, {"uiexportWidth", "uiexportHeight"}), exportSize);
    QCOMPARE(width.isEmpty() ? -1 : width.last().at(0).toInt(), previewed[0]);
    QCOMPARE(height.isEmpty() ? -1 : height.last().at(0).toInt(), previewed[1]);
    QCOMPARE(width.count() + height.count(), int(previewed[0] >= 0) + int(previewed[1] >= 0));
}

void TestDialogs::canvasSeedingClamps()
{
    EditCanvasDlg dlg;
    QSignalSpy width(&dlg, &EditCanvasDlg::screenWidthChanged);
    QSignalSpy background(&dlg, &EditCanvasDlg::backgroundColorChanged);
    dlg.setScreenWidth(0);
    dlg.setScreenHeight(-4);
    dlg.setExportWidth(40000);
    dlg.setExportHeight(999999999);
    dlg.setExportResolution(60000);
    QCOMPARE(values(&dlg, {"uiscreenWidth", "uiscreenHeight", "uiexportWidth", "uiexportHeight", "uiexportResolution"}),
             QList<int>({1, 1, 32767, 32767, 32767}));
    dlg.setBackgroundColor(QColor(1, 2, 3, 51));
    dlg.setBackgroundColor(QColor());
    QCOMPARE(field(&dlg, "uiBackgroundOpacity")->value(), 20);
    QCOMPARE(field<QPushButton>(&dlg, "uiBackgroundColor")->palette().color(QPalette::Button), QColor(1, 2, 3));
    QCOMPARE(width.count() + background.count(), 0);
}

void TestDialogs::canvasOkStoresCancelRestores_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "button";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close button") << "close";
}

void TestDialogs::canvasOkStoresCancelRestores()
{
    QFETCH(QString, how);
    ColorRecorder rec;
    EditCanvasDlg dlg;
    QSignalSpy background(&dlg, &EditCanvasDlg::backgroundColorChanged);
    QSignalSpy width(&dlg, &EditCanvasDlg::screenWidthChanged);
    seedCanvas(dlg, 1024, 768, 1024, 768);
    rec.colors.enqueue(QColor(10, 20, 30, 127));
    rec.execs.enqueue([](QDialog *d) {
        d->show();
        typeInto(field(d, "uiexportWidth"), "2048");
        typeInto(field(d, "uiexportResolution"), "300");
        click(d, "uiBackgroundColor");
        click(d, "OkCanvas");
        return d->result();
    });
    QCOMPARE(Modal::exec(&dlg), int(QDialog::Accepted));
    QCOMPARE(rec.calls[1].title, QString("Background Color"));
    QVERIFY(rec.options & QColorDialog::ShowAlphaChannel);
    QCOMPARE(background.last().at(0).value<QColor>(), QColor(10, 20, 30, 127)); // previewed exactly
    const QList<int> accepted{dlg.screenWidth(), dlg.screenHeight(), dlg.exportWidth(), dlg.exportHeight(),
                              dlg.exportResolution()};
    QCOMPARE(accepted, QList<int>({1024, 768, 2048, 1536, 300}));
    QCOMPARE(dlg.backgroundColor(), QColor(10, 20, 30, 128)); // stored from the whole percent

    // A second use, seeded with the document's exact colour, turned down.
    const QColor seeded(200, 100, 50, 127);
    seedCanvas(dlg, 800, 600, 1600, 1200, seeded);
    rec.colors.enqueue(QColor(0, 0, 255, 255));
    rec.execs.enqueue([how](QDialog *d) {
        d->show();
        typeInto(field(d, "uiscreenWidth"), "400");
        typeInto(field(d, "uiBackgroundOpacity"), "10");
        click(d, "uiBackgroundColor");
        dismiss(d, how, "CancelCanvas");
        return d->result();
    });
    background.clear();
    width.clear();
    QCOMPARE(Modal::exec(&dlg), int(QDialog::Rejected));
    QCOMPARE(width.last().at(0).toInt(), 800);
    QCOMPARE(background.last().at(0).value<QColor>(), seeded);
    QCOMPARE(values(&dlg, {"uiscreenWidth", "uiscreenHeight", "uiexportWidth", "uiexportHeight", "uiBackgroundOpacity"}),
             QList<int>({800, 600, 1600, 1200, 50}));
    QCOMPARE(field<QPushButton>(&dlg, "uiBackgroundColor")->palette().color(QPalette::Button), QColor(200, 100, 50));
    const QList<int> kept{dlg.screenWidth(), dlg.screenHeight(), dlg.exportWidth(), dlg.exportHeight(),
                          dlg.exportResolution()};
    QCOMPARE(kept, accepted);
    QCOMPARE(dlg.backgroundColor(), QColor(10, 20, 30, 128));
}

void TestDialogs::guidesSpacing_data()
{
    QTest::addColumn<int>("seed");
    QTest::addColumn<int>("shown");
    QTest::newRow("0") << 0 << 2;
    QTest::newRow("1") << 1 << 2;
    QTest::newRow("2") << 2 << 2;
    QTest::newRow("50") << 50 << 50;
    QTest::newRow("1000") << 1000 << 1000;
    QTest::newRow("5000") << 5000 << 1000;
}

void TestDialogs::guidesSpacing()
{
    QFETCH(int, seed);
    QFETCH(int, shown);
    EditGuidesDlg dlg;
    QSignalSpy spacing(&dlg, &EditGuidesDlg::gridSpacingChanged);
    dlg.setSpacing(seed);
    QSpinBox *box = field(&dlg, "m_pGridSpacing");
    QCOMPARE(box->value(), shown);
    QCOMPARE(spacing.count(), 0);
    // Each step previews at once, and never leaves 2..1000.
    dlg.show();
    box->setFocus();
    QTest::keyClick(box, shown == 1000 ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(box, shown == 1000 ? Qt::Key_PageUp : Qt::Key_PageDown);
    QCOMPARE(spacing.count(), 2);
    QCOMPARE(spacing.last().at(0).toInt(), shown == 1000 ? 1000 : qMax(2, shown + 1 - 10));
}

void TestDialogs::guidesOkStoresCancelRestores()
{
    ColorRecorder rec;
    EditGuidesDlg dlg;
    QSignalSpy spacing(&dlg, &EditGuidesDlg::gridSpacingChanged);
    QSignalSpy color(&dlg, &EditGuidesDlg::gridColorChanged);
    const QColor seeded(0, 0, 255, 127);
    rec.colors.enqueue(QColor(255, 0, 0, 127));
    for (const char *button : {"m_pOk", "m_pCancel"}) {
        dlg.setColor(seeded);
        dlg.setSpacing(20);
        rec.execs.enqueue([=](QDialog *d) {
            d->show();
            typeInto(field(d, "m_pGridSpacing"), "35");
            click(d, "m_pGridColor"); // red, alpha 127; then cancelled
            click(d, button);
            return d->result();
        });
        Modal::exec(&dlg);
        QCOMPARE(dlg.gridSpacing, 35);
        QCOMPARE(dlg.gridColor, QColor(255, 0, 0, 128)); // stored from the whole percent
    }
    QCOMPARE(rec.calls[1].title, QString("Grid Color"));
    QVERIFY(rec.options & QColorDialog::ShowAlphaChannel);
    QCOMPARE(color.first().at(0).value<QColor>(), QColor(255, 0, 0, 127)); // previewed exactly
    // Cancel sent the opening values back and shows them again.
    QCOMPARE(spacing.last().at(0).toInt(), 20);
    QCOMPARE(color.last().at(0).value<QColor>(), seeded);
    QCOMPARE(values(&dlg, {"m_pGridSpacing", "m_pGridOpacity"}), QList<int>({20, 50}));
}

void TestDialogs::saveOptions_data()
{
    QTest::addColumn<QList<int>>("seed"); // autosave, interval, incremental, max files
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<int>>("stored");
    QTest::newRow("ok") << QList<int>{1, 5, 0, 10} << true << QList<int>{1, 5, 0, 10};
    QTest::newRow("interval 0") << QList<int>{1, 0, 1, 0} << true << QList<int>{1, 0, 1, 0};
    QTest::newRow("past 99") << QList<int>{1, 120, 1, 150} << true << QList<int>{1, 99, 1, 99};
    QTest::newRow("negative") << QList<int>{0, -3, 0, -1} << true << QList<int>{0, 0, 0, 0};
    QTest::newRow("cancel") << QList<int>{1, 120, 0, 150} << false << QList<int>{1, 120, 0, 150};
}

void TestDialogs::saveOptions()
{
    QFETCH(QList<int>, seed);
    QFETCH(bool, ok);
    QFETCH(QList<int>, stored);
    ModalRecorder rec;
    SaveOptionsDlg dlg(seed[0], seed[1], seed[2], seed[3]);
    bool greyedOut = false;
    rec.execs.enqueue([&](QDialog *d) {
        d->show();
        // Off greys the interval out but keeps it.
        auto *autosave = field<QGroupBox>(d, "checkAutosave");
        autosave->setChecked(!autosave->isChecked());
        greyedOut = field(d, "sbInterval")->isEnabled() != bool(seed[0]);
        autosave->setChecked(!autosave->isChecked());
        click(d, ok ? "OkButton" : "CancelButton");
        return d->result();
    });
    QCOMPARE(Modal::exec(&dlg), int(ok ? QDialog::Accepted : QDialog::Rejected));
    QVERIFY(greyedOut);
    QCOMPARE(rec.calls[0].title, QString("Save Options"));
    QCOMPARE(QList<int>({dlg.autosave, dlg.interval, dlg.incremental, dlg.maxFiles}), stored);
}

void TestDialogs::multipagePdfLevels_data()
{
    QTest::addColumn<int>("downs");
    QTest::addColumn<bool>("clip");
    QTest::addColumn<int>("level");
    QTest::newRow("untouched") << 0 << false << 4;
    QTest::newRow("word") << 1 << true << 3;
    QTest::newRow("glyph") << 2 << false << 2;
    QTest::newRow("past the end") << 5 << true << 2;
}

void TestDialogs::multipagePdfLevels()
{
    QFETCH(int, downs);
    QFETCH(bool, clip);
    QFETCH(int, level);
    ModalRecorder rec;
    MultipagePDFDlg dlg;
    rec.execs.enqueue([=](QDialog *d) {
        d->show();
        auto *levels = field<QComboBox>(d, "cbObjectType");
        levels->setFocus();
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(levels, Qt::Key_Down);
        if (clip)
            click(d, "checkClipping");
        click(d, "OkButton");
        return d->result();
    });
    QCOMPARE(Modal::exec(&dlg), int(QDialog::Accepted));
    QCOMPARE(rec.calls[0].title, QString("Multipage PDF"));
    QCOMPARE(dlg.objectType(), level);
    QCOMPARE(dlg.isClipping(), clip);
    // No fourth level fits; only an empty list has none.
    auto *levels = field<QComboBox>(&dlg, "cbObjectType");
    levels->addItem("line");
    QCOMPARE(levels->count(), 3);
    levels->clear();
    QCOMPARE(dlg.objectType(), 0);
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
