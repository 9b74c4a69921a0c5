#include "panels/TypeToolbar.h"
#include "support/ModalRecorder.h"

#include <QAction>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMainWindow>
#include <QSlider>
#include <QToolButton>
#include <QtTest>

namespace {
// Also records the options the colour dialog was asked with.
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

void type(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

QRgb barPixel(QAction *action)
{
    return action->icon().pixmap(32, 32).toImage().pixel(16, 29);
}
}

class TestTypeToolbar : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startsWithDefaults();
    void typedOpacity_data();
    void typedOpacity();
    void shownAlphaRoundsHalfUp();
    void colourDialog();
    void sizeListExtraEntry();
    void sliderShowsSizeBeforeOthersHearIt();
    void styleBoxForSubstitutedArial_data();
    void styleBoxForSubstitutedArial();
    void newFamilyStartsUpright();
    void strokeWidthInValidatorLocale_data();
    void strokeWidthInValidatorLocale();

private:
    QMainWindow *m_window = nullptr;
    TypeToolbar *m_bar = nullptr;
};

void TestTypeToolbar::init()
{
    m_window = new QMainWindow;
    m_bar = new TypeToolbar("Type Toolbar", m_window);
    m_window->addToolBar(m_bar);
    m_window->show();
}

void TestTypeToolbar::cleanup()
{
    delete m_window;
    QLocale::setDefault(QLocale::c());
}

void TestTypeToolbar::startsWithDefaults()
{
    QCOMPARE(m_bar->fontSizeComboBox->currentText(), QString("72"));
    QCOMPARE(m_bar->fontSizeComboBox->count(), 14);
    QCOMPARE(m_bar->fontSizeSlider->value(), 72);
    QCOMPARE(m_bar->fontSizeSlider->maximum(), 288);
    for (QLineEdit *field : {m_bar->fillOpacityTextEdit, m_bar->strokeOpacityTextEdit})
        QCOMPARE(field->text(), QString("100%"));
    QCOMPARE(m_bar->fillOpacitySlider->value(), 100);
    QCOMPARE(m_bar->strokeOpacitySlider->value(), 100);
    QCOMPARE(m_bar->strokeWidthTextEdit->text(), QString("1"));
    for (QAction *action : {m_bar->fillColorAction, m_bar->strokeColorAction}) {
        QCOMPARE(action->text(), QString("New"));
        QCOMPARE(barPixel(action), qRgba(0, 0, 0, 255));
        // The bar leaves 4 pixels free at either end.
        QCOMPARE(qAlpha(action->icon().pixmap(32, 32).toImage().pixel(2, 29)), 0);
    }
}

void TestTypeToolbar::typedOpacity_data()
{
    QTest::addColumn<bool>("stroke");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("percent");
    QTest::newRow("50") << false << "50" << 50;
    QTest::newRow("50%") << true << "50%" << 50;
    QTest::newRow("150") << false << "150" << 100;
    QTest::newRow("-5") << true << "-5" << 0;
    QTest::newRow("abc") << false << "abc" << 0;
    QTest::newRow("stray %") << true << "5%0" << 50;
}

void TestTypeToolbar::typedOpacity()
{
    QFETCH(bool, stroke);
    QFETCH(QString, text);
    QFETCH(int, percent);
    QLineEdit *field = stroke ? m_bar->strokeOpacityTextEdit : m_bar->fillOpacityTextEdit;
    QSignalSpy fill(m_bar, &TypeToolbar::fillColorChanged);
    QSignalSpy strokeSpy(m_bar, &TypeToolbar::strokeColorChanged);
    type(field, text);
    QSignalSpy &spy = stroke ? strokeSpy : fill;
    QCOMPARE(spy.count(), 1);
    QCOMPARE((stroke ? fill : strokeSpy).count(), 0);
    const QColor sent = spy.at(0).at(0).value<QColor>();
    QCOMPARE(sent.alpha(), int(percent * 255 / 100.0 + 0.5));
    QCOMPARE(sent.rgb(), qRgb(0, 0, 0));
    QCOMPARE(field->text(), QString::number(percent) + "%");
    QCOMPARE((stroke ? m_bar->strokeOpacitySlider : m_bar->fillOpacitySlider)->value(), percent);
}

void TestTypeToolbar::shownAlphaRoundsHalfUp()
{
    QSignalSpy spy(m_bar, &TypeToolbar::fillColorChanged);
    m_bar->setFillColor(QColor(200, 0, 0, 128));
    QCOMPARE(m_bar->fillOpacityTextEdit->text(), QString("50%"));
    QCOMPARE(m_bar->fillOpacitySlider->value(), 50);
    QCOMPARE(qAlpha(barPixel(m_bar->fillColorAction)), 128);
    // The slider moved by key sets the alpha and is heard.
    m_bar->fillOpacitySlider->setFocus();
    QTest::keyClick(m_bar->fillOpacitySlider, Qt::Key_Left);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(m_bar->fillOpacityTextEdit->text(), QString("49%"));
    QCOMPARE(spy.at(0).at(0).value<QColor>().alpha(), 125); // 0.49 x 255 = 124.95
}

void TestTypeToolbar::colourDialog()
{
    ColorRecorder rec;
    rec.colors.enqueue(QColor(10, 20, 30, 127));
    QSignalSpy fill(m_bar, &TypeToolbar::fillColorChanged);
    QSignalSpy stroke(m_bar, &TypeToolbar::strokeColorChanged);
    QTest::mouseClick(m_bar->widgetForAction(m_bar->fillColorAction), Qt::LeftButton);
    QCOMPARE(rec.calls.size(), 1);
    QCOMPARE(rec.calls[0].title, QString("Fill Color"));
    QVERIFY(rec.options & QColorDialog::ShowAlphaChannel);
    QCOMPARE(fill.count(), 1);
    QCOMPARE(fill.at(0).at(0).value<QColor>(), QColor(10, 20, 30, 127));
    QCOMPARE(m_bar->fillOpacityTextEdit->text(), QString("50%"));

    // Cancelled: nothing changes, nothing is sent.
    m_bar->setStrokeColor(QColor(1, 2, 3, 64));
    QTest::mouseClick(m_bar->widgetForAction(m_bar->strokeColorAction), Qt::LeftButton);
    QCOMPARE(rec.calls[1].title, QString("Stroke Color"));
    QCOMPARE(stroke.count(), 0);
    QCOMPARE(m_bar->strokeColor, QColor(1, 2, 3, 64));
    QCOMPARE(m_bar->strokeOpacityTextEdit->text(), QString("25%"));
}

void TestTypeToolbar::sizeListExtraEntry()
{
    QComboBox *sizes = m_bar->fontSizeComboBox;
    m_bar->setFont(QFont("Liberation Sans", 11));
    QCOMPARE(sizes->count(), 15);
    QCOMPARE(sizes->itemText(14), QString("11"));
    QCOMPARE(sizes->currentIndex(), 14);
    QCOMPARE(m_bar->fontSizeSlider->value(), 11);
    m_bar->setFont(QFont("Liberation Sans", 12));
    QCOMPARE(sizes->count(), 15);
    QCOMPARE(sizes->findText("11"), -1);
    QCOMPARE(sizes->currentText(), QString("12"));
    m_bar->setFont(QFont("Liberation Sans", 300));
    QCOMPARE(sizes->currentText(), QString("300"));
    QCOMPARE(m_bar->fontSizeSlider->value(), 288);
    m_bar->setFont(QFont("Liberation Sans", 96));
    QCOMPARE(sizes->count(), 14);
    QCOMPARE(sizes->currentIndex(), 8);
}

void TestTypeToolbar::sliderShowsSizeBeforeOthersHearIt()
{
    QString seen;
    connect(m_bar->fontSizeSlider, &QSlider::valueChanged, this,
            [&] { seen = m_bar->fontSizeComboBox->currentText(); });
    QSignalSpy fill(m_bar, &TypeToolbar::fillColorChanged);
    QSignalSpy activated(m_bar->fontSizeComboBox, QOverload<int>::of(&QComboBox::activated));
    m_bar->fontSizeSlider->setFocus();
    QTest::keyClick(m_bar->fontSizeSlider, Qt::Key_Right);
    QCOMPARE(seen, QString("73"));
    QCOMPARE(m_bar->currentFont().pointSize(), 73);
    QCOMPARE(fill.count() + activated.count(), 0);
}

void TestTypeToolbar::styleBoxForSubstitutedArial_data()
{
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("style");
    QTest::newRow("normal") << int(QFont::Normal) << false << "Regular";
    QTest::newRow("bold") << int(QFont::Bold) << false << "Bold";
    QTest::newRow("italic") << int(QFont::Normal) << true << "Italic";
    QTest::newRow("bold italic") << int(QFont::Bold) << true << "Bold Italic";
}

void TestTypeToolbar::styleBoxForSubstitutedArial()
{
    QFETCH(int, weight);
    QFETCH(bool, italic);
    QFETCH(QString, style);
    m_bar->setFont(QFont("Arial", 72, weight, italic));
    QStringList shown;
    for (int i = 0; i < m_bar->fontStyleComboBox->count(); ++i)
        shown << m_bar->fontStyleComboBox->itemText(i);
    QCOMPARE(shown, QFontDatabase().styles("Liberation Sans"));
    QCOMPARE(m_bar->fontStyleComboBox->currentText(), style);
    const QFont font = m_bar->currentFont();
    QCOMPARE(font.family(), QString("Liberation Sans"));
    QCOMPARE(font.weight(), weight);
    QCOMPARE(font.italic(), italic);
    QCOMPARE(font.pointSize(), 72);
}

void TestTypeToolbar::newFamilyStartsUpright()
{
    // DejaVu Sans lists "Oblique" first, Liberation Sans "Bold".
    m_bar->setFont(QFont("DejaVu Sans", 72, QFont::Bold, true));
    QCOMPARE(m_bar->fontStyleComboBox->currentText(), QString("Bold Oblique"));
    QFont applied;
    connect(m_bar->fontComboBox, &QFontComboBox::currentFontChanged, this, [&] { applied = m_bar->currentFont(); });
    m_bar->fontComboBox->setCurrentFont(QFont("Liberation Sans"));
    QCOMPARE(m_bar->fontStyleComboBox->currentText(), QString("Regular"));
    QCOMPARE(applied.family(), QString("Liberation Sans"));
    QCOMPARE(applied.weight(), int(QFont::Normal));
    QVERIFY(!applied.italic());
    m_bar->fontComboBox->setCurrentFont(QFont("DejaVu Sans"));
    QCOMPARE(m_bar->fontStyleComboBox->currentText(), QString("Book"));
}

void TestTypeToolbar::strokeWidthInValidatorLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("C") << QLocale::c() << "1.5" << "2.25";
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "1,5" << "2,25";
}

void TestTypeToolbar::strokeWidthInValidatorLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    cleanup();
    QLocale::setDefault(locale);
    init();
    QSignalSpy finished(m_bar->strokeWidthTextEdit, &QLineEdit::editingFinished);
    type(m_bar->strokeWidthTextEdit, typed);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(m_bar->strokeWidth(), 1.5f);
    m_bar->setStrokeWidth(2.25f);
    QCOMPARE(m_bar->strokeWidthTextEdit->text(), shown);
    QCOMPARE(m_bar->strokeWidth(), 2.25f);
    m_bar->setStrokeWidth(1234.5f); // no group separator
    QCOMPARE(m_bar->strokeWidth(), 1234.5f);
}

QTEST_MAIN(TestTypeToolbar)
#include "tst_typetoolbar.moc"
