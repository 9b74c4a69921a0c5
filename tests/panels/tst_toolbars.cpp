#include "panels/MainToolbar.h"
#include "panels/TypeToolbar.h"
#include "support/ModalRecorder.h"

#include <QtTest>
#include <QtWidgets>

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

void type(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}
} // namespace

class TestToolbars : public QObject
{
    Q_OBJECT
    QMainWindow *m_window = nullptr;
    TypeToolbar *m_bar = nullptr;

private slots:
    void init()
    {
        m_window = new QMainWindow;
        m_bar = new TypeToolbar("Type Toolbar", m_window);
        m_window->addToolBar(m_bar);
        m_window->show();
    }

    void cleanup()
    {
        delete m_window;
        QLocale::setDefault(QLocale::c());
    }

    // Typed opacity texts: '%' signs dropped, not a number is 0, limited to 0..100; the colour stays black.
    void typedOpacity()
    {
        QSignalSpy fill(m_bar, &TypeToolbar::fillColorChanged);
        QSignalSpy stroke(m_bar, &TypeToolbar::strokeColorChanged);
        QStringList shown; // text, slider, colour sent
        for (const char *typed : {"50", "50%", "150", "-5", "abc", "5%0"}) { // into fill and stroke by turns
            const bool inStroke = shown.size() % 2;
            QLineEdit *field = inStroke ? m_bar->strokeOpacityTextEdit : m_bar->fillOpacityTextEdit;
            type(field, typed);
            QCOMPARE(QList<int>({fill.count(), stroke.count()}), QList<int>({(shown.size() + 2) / 2, (shown.size() + 1) / 2}));
            const QRgb sent = (inStroke ? stroke : fill).last().at(0).value<QColor>().rgba();
            shown << QString("%1 %2 %3").arg(field->text()).arg((inStroke ? m_bar->strokeOpacitySlider : m_bar->fillOpacitySlider)->value())
                         .arg(sent, 0, 16);
        }
        QCOMPARE(shown, QStringList({"50% 50 80000000", "50% 50 80000000", "100% 100 ff000000", "0% 0 0", "0% 0 0",
                                     "50% 50 80000000"}));
    }

    // The colour dialog (alpha offered) sets colour and opacity; the slider moved by key sets the alpha.
    // Cancelled, nothing changes and nothing is sent.
    void colourDialog()
    {
        ColorRecorder rec;
        rec.colors.enqueue(QColor(10, 20, 30, 127));
        QSignalSpy fill(m_bar, &TypeToolbar::fillColorChanged);
        QSignalSpy stroke(m_bar, &TypeToolbar::strokeColorChanged);
        QTest::mouseClick(m_bar->widgetForAction(m_bar->fillColorAction), Qt::LeftButton);
        QVERIFY(rec.options & QColorDialog::ShowAlphaChannel);
        QCOMPARE(fill.count(), 1);
        QCOMPARE(fill.at(0).at(0).value<QColor>(), QColor(10, 20, 30, 127));
        // 127 / 255 = 49.8%: shown rounded half up, on the icon's bar too.
        QCOMPARE(m_bar->fillOpacityTextEdit->text() + QString(" %1").arg(m_bar->fillOpacitySlider->value()), QString("50% 50"));
        QCOMPARE(qAlpha(m_bar->fillColorAction->icon().pixmap(32, 32).toImage().pixel(16, 29)), 127); // the icon's bar
        m_bar->fillOpacitySlider->setFocus();
        QTest::keyClick(m_bar->fillOpacitySlider, Qt::Key_Left);
        QCOMPARE(m_bar->fillOpacityTextEdit->text(), QString("49%"));
        QCOMPARE(fill.last().at(0).value<QColor>().rgba(), qRgba(10, 20, 30, 125)); // 0.49 x 255 = 124.95

        m_bar->setStrokeColor(QColor(1, 2, 3, 64));
        QTest::mouseClick(m_bar->widgetForAction(m_bar->strokeColorAction), Qt::LeftButton);
        QCOMPARE(rec.calls.size(), 2);
        QCOMPARE(rec.calls[0].title + ", " + rec.calls[1].title, QString("Fill Color, Stroke Color"));
        QCOMPARE(fill.count() + stroke.count(), 2);
        QCOMPARE(m_bar->strokeColor, QColor(1, 2, 3, 64));
        QCOMPARE(m_bar->strokeOpacityTextEdit->text(), QString("25%"));
    }

    // A size not in the list shows as one extra last entry until a listed size replaces it. The slider (at most
    // 288) puts its size in the list before anyone else hears of it.
    void sizeListExtraEntry()
    {
        QComboBox *sizes = m_bar->fontSizeComboBox;
        // count, current index, last entry, slider: 14 sizes from 14 to 288, 72 current, to start with
        const auto shown = [&] {
            return QString("%1 %2 %3 %4").arg(sizes->count()).arg(sizes->currentIndex()).arg(sizes->itemText(sizes->count() - 1))
                .arg(m_bar->fontSizeSlider->value());
        };
        QStringList seen{shown()};
        for (int size : {11, 12, 300, 96}) {
            m_bar->setFont(QFont("Liberation Sans", size));
            seen << shown();
        }
        QCOMPARE(seen, QStringList({"14 7 288 72", "15 14 11 11", "15 14 12 12", "15 14 300 288", "14 8 288 96"}));
        QString heard;
        connect(m_bar->fontSizeSlider, &QSlider::valueChanged, this, [&] { heard = sizes->currentText(); });
        QSignalSpy fill(m_bar, &TypeToolbar::fillColorChanged);
        QSignalSpy activated(sizes, QOverload<int>::of(&QComboBox::activated));
        m_bar->fontSizeSlider->setFocus();
        QTest::keyClick(m_bar->fontSizeSlider, Qt::Key_Right);
        QCOMPARE(heard, QString("97"));
        QCOMPARE(m_bar->currentFont().pointSize(), 97);
        QCOMPARE(fill.count() + activated.count(), 0);
    }

    // Arial shows as Liberation Sans with that family's real styles; the style is picked by slant, then weight.
    void styleBoxForSubstitutedArial()
    {
        for (const QString &style : QStringList{"Regular", "Bold", "Italic", "Bold Italic"}) {
            const int weight = style.startsWith("Bold") ? QFont::Bold : QFont::Normal;
            m_bar->setFont(QFont("Arial", 72, weight, style.endsWith("Italic")));
            QStringList shown;
            for (int i = 0; i < m_bar->fontStyleComboBox->count(); ++i)
                shown << m_bar->fontStyleComboBox->itemText(i);
            QCOMPARE(shown, QFontDatabase().styles("Liberation Sans"));
            QCOMPARE(m_bar->fontStyleComboBox->currentText(), style);
            const QFont font = m_bar->currentFont();
            QCOMPARE(font.family(), QString("Liberation Sans"));
            QCOMPARE(QList<int>({font.weight(), font.italic(), font.pointSize()}), QList<int>({weight, style.endsWith("Italic"), 72}));
        }
    }

    void newFamilyStartsUpright()
    {
        // DejaVu Sans lists "Oblique" first, Liberation Sans "Bold".
        m_bar->setFont(QFont("DejaVu Sans", 72, QFont::Bold, true));
        QCOMPARE(m_bar->fontStyleComboBox->currentText(), QString("Bold Oblique"));
        QFont applied;
        connect(m_bar->fontComboBox, &QFontComboBox::currentFontChanged, this, [&] { applied = m_bar->currentFont(); });
        m_bar->fontComboBox->setCurrentFont(QFont("Liberation Sans"));
        QCOMPARE(m_bar->fontStyleComboBox->currentText(), QString("Regular"));
        QCOMPARE(applied.family(), QString("Liberation Sans"));
        QCOMPARE(QList<int>({applied.weight(), applied.italic()}), QList<int>({QFont::Normal, false}));
        m_bar->fontComboBox->setCurrentFont(QFont("DejaVu Sans"));
        QCOMPARE(m_bar->fontStyleComboBox->currentText(), QString("Book"));
    }

    // Typed and shown in the width validator's locale, never with a group separator.
    void strokeWidthInValidatorLocale()
    {
        for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
            const QString comma = locale.language() == QLocale::German ? "," : ".";
            cleanup();
            QLocale::setDefault(locale);
            init();
            QSignalSpy finished(m_bar->strokeWidthTextEdit, &QLineEdit::editingFinished);
            type(m_bar->strokeWidthTextEdit, "1" + comma + "5");
            QCOMPARE(finished.count(), 1);
            QCOMPARE(m_bar->strokeWidth(), 1.5f);
            m_bar->setStrokeWidth(2.25f);
            QCOMPARE(m_bar->strokeWidthTextEdit->text(), "2" + comma + "25");
            QCOMPARE(m_bar->strokeWidth(), 2.25f);
            m_bar->setStrokeWidth(1234.5f);
            QCOMPARE(m_bar->strokeWidthTextEdit->text(), "1234" + comma + "5");
            QCOMPARE(m_bar->strokeWidth(), 1234.5f);
        }
    }

    // The main toolbar: actions told apart by object name, and the two switches in text and icon.
    void mainToolbar()
    {
        MainToolbar bar("Main Toolbar");
        QStringList names;
        for (const QAction *a : bar.actions()) {
            names << (a->isSeparator() ? QString("-") : a->objectName());
            QVERIFY(a->isSeparator() || !a->icon().pixmap(32).isNull());
            QVERIFY(!a->isCheckable() && a->shortcut().isEmpty());
            QCOMPARE(a->statusTip(), a == bar.newAction ? QString("Create a New File") : QString());
        }
        QCOMPARE(names.join(' '), QString("NewAction OpenAction SaveAction PrintAction - CutAction CopyAction PasteAction - "
                                          "StartStopAction TurnExportOnOffAction SetExportFileAction"));
        QCOMPARE(bar.setExportFileAction->text(), QString("Export File"));
        // As built, switched on, switched off again: text and icon of both switches.
        for (int on : {-1, 1, 0}) {
            if (on >= 0) {
                bar.setPlaying(on);
                bar.setExporting(on);
            }
            QCOMPARE(bar.startStopAction->text() + "/" + bar.turnExportOnOffAction->text(),
                     QString(on == 1 ? "Stop/Stop Export" : "Start/Export"));
            QCOMPARE(bar.startStopAction->icon().cacheKey(), (on == 1 ? bar.stopIcon : bar.playIcon).cacheKey());
            QCOMPARE(bar.turnExportOnOffAction->icon().cacheKey(), (on == 1 ? bar.exportOnIcon : bar.exportOffIcon).cacheKey());
        }
    }
};

QTEST_MAIN(TestToolbars)
#include "tst_toolbars.moc"
