#include "panels/PropertiesPanelDockWidget.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QtTest>

namespace {
// The editor of a row given by its path of labels ("Position/X").
template <class Editor>
Editor *editor(QWidget *scope, const QString &path)
{
    for (const QString &name : path.split('/')) {
        QWidget *field = nullptr;
        for (QFormLayout *form : scope->findChildren<QFormLayout *>())
            for (int row = 0; row < form->rowCount() && !field; ++row)
                if (qobject_cast<QLabel *>(form->itemAt(row, QFormLayout::LabelRole)->widget())->text() == name)
                    field = form->itemAt(row, QFormLayout::FieldRole)->widget();
        scope = field;
    }
    return scope->findChild<Editor *>();
}

// Every signal of the dock, in order, as text.
struct Log : QStringList
{
    explicit Log(PropertiesPanelDockWidget &d)
    {
        using P = PropertiesPanelDockWidget;
        const auto add = [this](const QString &name, const auto &value) { append(name + " " + value); };
        const auto pt = [](const QPointF &p) { return QString("%1,%2").arg(p.x()).arg(p.y()); };
        QObject::connect(&d, &P::caretPositionChanged, [=](QPointF p) { add("caret", pt(p)); });
        QObject::connect(&d, &P::textPositionChanged, [=](QPointF p) { add("position", pt(p)); });
        QObject::connect(&d, &P::textRotationChanged, [=](float v) { add("rotation", QString::number(v)); });
        QObject::connect(&d, &P::textRotationChangedBy, [=](float v) { add("by", QString::number(v)); });
        QObject::connect(&d, &P::textFontChanged,
                         [=](QFont f) { add("font", f.family() + "/" + QFontDatabase().styleString(f)); });
        QObject::connect(&d, &P::textFontFamilyChanged, [=](QString s) { add("family", s); });
        QObject::connect(&d, &P::textFontStyleChanged, [=](QString s) { add("style", s); });
        QObject::connect(&d, &P::textFontSizeChanged, [=](int v) { add("size", QString::number(v)); });
        QObject::connect(&d, &P::textFillColorChanged, [=](QColor c) { add("fill", c.name()); });
        QObject::connect(&d, &P::textStrokeColorChanged, [=](QColor c) { add("stroke", c.name()); });
        QObject::connect(&d, &P::textStrokeWidthChanged, [=](float v) { add("width", QString::number(v)); });
    }
};

void typeInto(QAbstractSpinBox *spin, const QString &text)
{
    spin->selectAll();
    QTest::keyClicks(spin, text);
    QTest::keyClick(spin, Qt::Key_Return);
}
} // namespace

class TestPropertiesDock : public QObject
{
    Q_OBJECT
private slots:
    void settersEmitNothing();
    void fontShowsRealFamilyAndUprightStyle_data();
    void fontShowsRealFamilyAndUprightStyle();
    void editsEmit_data();
    void editsEmit();
    void rotationBaseIsWhatTheRefreshShows();
    void rowsAreNeverSqueezed();
};

void TestPropertiesDock::settersEmitNothing()
{
    PropertiesPanelDockWidget dock;
    Log log(dock);
    for (const QFont &font : {QFont("Arial", 72), QFont("DejaVu Serif", 9, QFont::Bold, true), QFont()}) {
        dock.setMousePosition(QPointF(font.pointSize(), 2));
        dock.setSelectionArea(QRectF(1, 2, 3, font.pointSize()));
        dock.setCaretPosition(QPointF(3, font.pointSize()));
        dock.setSelectedText(font.family());
        dock.setTextPosition(QPointF(font.pointSize(), 5));
        dock.setTextRotation(font.pointSize());
        dock.setTextFont(font);
        dock.setTextFillColor(QColor(font.pointSize(), 0, 0));
        dock.setTextStrokeColor(QColor(0, font.pointSize(), 0));
        dock.setTextStrokeWidth(font.pointSize() / 4.0f);
    }
    QCOMPARE(log, QStringList());
    QVERIFY(!dock.signalsBlocked());
}

void TestPropertiesDock::fontShowsRealFamilyAndUprightStyle_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("style");
    QFont boldItalic("Liberation Sans", 20, QFont::Bold, true);
    // fontconfig's names: Arial is an alias; DejaVu Sans says "Book" and
    // may list "Oblique" and "Condensed" (same weight) before it.
    QTest::newRow("alias") << QFont("Arial", 72) << "Liberation Sans" << "Regular";
    QTest::newRow("book") << QFont("DejaVu Sans", 12) << "DejaVu Sans" << "Book";
    QTest::newRow("bold italic") << boldItalic << "Liberation Sans" << "Bold Italic";
    QTest::newRow("bold") << QFont("Liberation Serif", 8, QFont::Bold) << "Liberation Serif" << "Bold";
}

void TestPropertiesDock::fontShowsRealFamilyAndUprightStyle()
{
    QFETCH(QFont, font);
    QFETCH(QString, family);
    QFETCH(QString, style);
    PropertiesPanelDockWidget dock;
    dock.setTextFont(QFont("Liberation Mono", 40, QFont::Bold));
    dock.setTextFont(font);
    QCOMPARE(editor<QComboBox>(&dock, "Font Family")->currentText(), family);
    QCOMPARE(editor<QComboBox>(&dock, "Font Style")->currentText(), style);
    QCOMPARE(editor<QSpinBox>(&dock, "Font Size")->value(), font.pointSize());
}

void TestPropertiesDock::editsEmit_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("expected");
    // The dock shows rotation 10, position (3, 4) and Liberation Sans.
    QTest::newRow("rotation") << "Rotation" << "25|20" << true
                              << QStringList{"by 15", "rotation 25", "by -5", "rotation 20"};
    QTest::newRow("position x") << "Position/X" << "7" << true << QStringList{"position 7,4"};
    QTest::newRow("caret y") << "Caret/Y" << "-2.5" << true << QStringList{"caret 0,-2.5"};
    QTest::newRow("size") << "Font Size" << "36" << true << QStringList{"size 36"};
    QTest::newRow("stroke width") << "Stroke Width" << "1.5" << true << QStringList{"width 1.5"};
    QTest::newRow("family, other styles")
        << "Font Family" << "DejaVu Sans" << true
        << QStringList{"family DejaVu Sans", "style Book", "font DejaVu Sans/Book", "font DejaVu Sans/Book"};
    QTest::newRow("style") << "Font Style" << "Italic" << true
                           << QStringList{"style Italic", "font Liberation Sans/Italic"};
    QTest::newRow("disabled group") << "Rotation" << "25" << false << QStringList();
}

void TestPropertiesDock::editsEmit()
{
    QFETCH(QString, path);
    QFETCH(QString, typed);
    QFETCH(bool, enabled);
    QFETCH(QStringList, expected);
    PropertiesPanelDockWidget dock;
    dock.setTextRotation(10);
    dock.setTextPosition(QPointF(3, 4));
    dock.setTextFont(QFont("Liberation Sans", 30));
    dock.setTextPropertiesEnabled(enabled);
    dock.show();
    QWidget *edited = editor<QWidget>(&dock, path);
    QCOMPARE(edited->isEnabled(), enabled);
    Log log(dock);
    for (const QString &text : typed.split('|')) {
        if (auto *box = qobject_cast<QComboBox *>(edited)) {
            // Picked in the open list: keys move through it, Return takes one.
            box->showPopup();
            QTest::keyClicks(box->view(), text);
            QTest::keyClick(box->view(), Qt::Key_Return);
        } else {
            typeInto(qobject_cast<QAbstractSpinBox *>(edited), text);
        }
    }
    QCOMPARE(log, expected);
}

void TestPropertiesDock::rotationBaseIsWhatTheRefreshShows()
{
    // Glyphs of different rotations: every refresh inside an edit shows 0.
    PropertiesPanelDockWidget dock;
    connect(&dock, &PropertiesPanelDockWidget::textRotationChangedBy, &dock, [&] { dock.setTextRotation(0); });
    Log log(dock);
    auto *spin = editor<QDoubleSpinBox>(&dock, "Rotation");
    typeInto(spin, "10");
    QCOMPARE(spin->value(), 0.0);
    typeInto(spin, "5");
    QCOMPARE(log, QStringList({"by 10", "rotation 10", "by 5", "rotation 5"}));
}

void TestPropertiesDock::rowsAreNeverSqueezed()
{
    PropertiesPanelDockWidget dock; // 200 x 272: the sheet scrolls
    dock.show();
    const QList<QAbstractSpinBox *> spins = dock.findChildren<QAbstractSpinBox *>();
    QCOMPARE(spins.size(), 13);
    const auto squeezed = [&] {
        return std::count_if(spins.begin(), spins.end(), [](QAbstractSpinBox *spin) {
            return spin->height() < spin->minimumSizeHint().height();
        });
    };
    QTRY_COMPARE(squeezed(), 0);
}

QTEST_MAIN(TestPropertiesDock)
#include "tst_propertiesdock.moc"
