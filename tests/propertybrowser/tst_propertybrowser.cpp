// Property managers, the property tree, and the group-box browser with its editors (QTest key events).
#include "propertybrowser/QtBoolPropertyManager.h"
#include "propertybrowser/QtColorEditWidget.h"
#include "propertybrowser/QtColorEditorFactory.h"
#include "propertybrowser/QtDoubleSpinBoxFactory.h"
#include "propertybrowser/QtEnumEditorFactory.h"
#include "propertybrowser/QtGroupBoxPropertyBrowser.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtLineEditFactory.h"
#include "propertybrowser/QtPointFPropertyManager.h"
#include "propertybrowser/QtPropertyRowList.h"
#include "propertybrowser/QtRectFPropertyManager.h"
#include "propertybrowser/QtSpinBoxFactory.h"
#include "propertybrowser/QtVariantEditorFactory.h"
#include "support/DoublingRatio.h"
#include "support/ModalRecorder.h"

#include <QtTest>
#include <QtWidgets>

Q_DECLARE_METATYPE(QtProperty *)

namespace {

// Visible editors only: dropped editors wait hidden for their deferred deletion.
template <class Editor>
QList<Editor *> visibleEditors(QWidget *browser)
{
    QList<Editor *> result;
    for (Editor *editor : browser->findChildren<Editor *>())
        if (editor->isVisibleTo(browser))
            result.append(editor);
    return result;
}

// The line edit of a text property, not the one inside a spin box.
QLineEdit *textEditor(QWidget *browser)
{
    const QList<QLineEdit *> edits = visibleEditors<QLineEdit>(browser);
    const auto it = std::find_if(edits.begin(), edits.end(), [](QLineEdit *edit) { return !qobject_cast<QAbstractSpinBox *>(edit->parentWidget()); });
    return it == edits.end() ? nullptr : *it;
}

bool hasLabel(QWidget *browser, const QString &text)
{
    const QList<QLabel *> labels = visibleEditors<QLabel>(browser);
    return std::any_of(labels.begin(), labels.end(), [&text](QLabel *label) { return label->text() == text; });
}

void showAndActivate(QWidget *widget)
{
    widget->show();
    QApplication::setActiveWindow(widget);
    QVERIFY(QTest::qWaitForWindowActive(widget));
}

template <class Editor>
void type(Editor *editor, const QString &text)
{
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, text);
}

// Typed managers with their factories and a browser of one group, as the Properties dock has them.
struct Sheet
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtDoublePropertyManager doubles;
    QtStringPropertyManager strings;
    QtEnumPropertyManager enums;
    QtColorPropertyManager colors;
    QtPointFPropertyManager points;
    QtSpinBoxFactory spinFactory;
    QtDoubleSpinBoxFactory doubleFactory;
    QtLineEditFactory lineFactory;
    QtEnumEditorFactory enumFactory;
    QtColorEditorFactory colorFactory;
    QtProperty *group = groups.addProperty("Text Properties");
    QtGroupBoxPropertyBrowser browser;

    void add(std::initializer_list<QtProperty *> properties)
    {
        browser.setFactoryForManager(&ints, &spinFactory);
        browser.setFactoryForManager(&doubles, &doubleFactory);
        browser.setFactoryForManager(points.subDoublePropertyManager(), &doubleFactory);
        browser.setFactoryForManager(&strings, &lineFactory);
        browser.setFactoryForManager(&enums, &enumFactory);
        browser.setFactoryForManager(&colors, &colorFactory);
        for (QtProperty *property : properties)
            group->addSubProperty(property);
        browser.addProperty(group);
    }
};

// One property of a manager of a kind ("int", "variant QPointF", ...) through its typed calls;
// ":name=value" steps set a range, the decimals or the enumeration names.
struct Subject
{
    QScopedPointer<QtAbstractPropertyManager> manager;
    QtProperty *property = nullptr;
    QScopedPointer<QSignalSpy> values;
    std::function<QVariant()> value;
    std::function<void(const QVariant &)> setValue;

    template <class M, class T>
    void make()
    {
        auto *m = new M;
        manager.reset(m);
        QtProperty *p = property = m->addProperty("p");
        value = [m, p] { return QVariant::fromValue(m->value(p)); };
        values.reset(new QSignalSpy(m, &M::valueChanged));
        setValue = [m, p](const QVariant &v) { m->setValue(p, v.value<T>()); };
    }
    explicit Subject(const QString &kind)
    {
        if (kind == "int")
            make<QtIntPropertyManager, int>();
        else if (kind == "double")
            make<QtDoublePropertyManager, double>();
        else if (kind == "enum")
            make<QtEnumPropertyManager, int>();
        else if (kind == "string")
            make<QtStringPropertyManager, QString>();
        else if (kind == "bool")
            make<QtBoolPropertyManager, bool>();
        else if (kind == "color")
            make<QtColorPropertyManager, QColor>();
        if (manager)
            return;
        auto *m = new QtVariantPropertyManager;
        manager.reset(m);
        const QByteArray type = kind.section(' ', 1).toLatin1(); // a type name, or "enum"
        QtVariantProperty *p = m->addProperty(type == "enum" ? QtVariantPropertyManager::enumTypeId() : int(QVariant::nameToType(type)), "p");
        property = p;
        value = [p] { return p->value(); };
        setValue = [p](const QVariant &v) { p->setValue(v); };
        values.reset(new QSignalSpy(m, &QtVariantPropertyManager::valueChanged));
    }
    void set(const QVariant &v)
    {
        const QString step = v.toString();
        if (v.userType() != QMetaType::QString || !step.startsWith(':'))
            return setValue(v);
        const QString name = step.mid(1).section('=', 0, 0);
        const QStringList args = step.section('=', 1).split(',', Qt::SkipEmptyParts);
        const double a = args.value(0).toDouble(), b = args.value(1).toDouble();
        if (auto *m = qobject_cast<QtIntPropertyManager *>(manager.data()))
            name == "range" ? m->setRange(property, int(a), int(b)) : name == "minimum" ? m->setMinimum(property, int(a)) : m->setMaximum(property, int(a));
        else if (auto *m = qobject_cast<QtDoublePropertyManager *>(manager.data()))
            name == "range" ? m->setRange(property, a, b) : m->setDecimals(property, int(a));
        else if (auto *m = qobject_cast<QtEnumPropertyManager *>(manager.data()))
            m->setEnumNames(property, args);
        else // a number (an int attribute takes a whole double) or the names
            static_cast<QtVariantProperty *>(property)->setAttribute(name, name == "enumNames" ? QVariant(args) : QVariant(a));
    }
};

// Doubles compare exactly: QVariant compares them loosely.
bool same(const QVariant &a, const QVariant &b)
{
    const bool doubles = a.userType() == QMetaType::Double || b.userType() == QMetaType::Double;
    return doubles ? a.toDouble() == b.toDouble() : a == b;
}

} // namespace

class TestPropertyBrowser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QtProperty *>(); }

    // A row for a manager new to the browser; manager changes fill editors with their signals blocked; typing
    // "123" is one value, taken on Enter or when the focus leaves; a point's child edited changes the point once;
    // enabled states reach editors; a colour row shows and takes its colour; rows follow the tree.
    void subPropertyOfAManagerNotYetShownGetsItsRow()
    {
        Sheet s;
        QtProperty *size = s.ints.addProperty("Font Size"), *width = s.doubles.addProperty("Stroke Width");
        QtProperty *text = s.strings.addProperty("Selected Text"), *position = s.points.addProperty("Position");
        QtProperty *style = s.enums.addProperty("Font Style"), *stroke = s.colors.addProperty("Stroke");
        s.points.setValue(position, QPointF(10, 20));
        s.add({width, text, position, style, stroke});
        s.group->insertSubProperty(size, nullptr); // no int property was on show; its row goes first
        showAndActivate(&s.browser);
        QCOMPARE(qobject_cast<QLabel *>(s.browser.findChild<QFormLayout *>()->itemAt(0, QFormLayout::LabelRole)->widget())->text(), QString("Font Size"));
        QSpinBox *spin = s.browser.findChild<QSpinBox *>();
        QComboBox *combo = s.browser.findChild<QComboBox *>();
        QLineEdit *line = textEditor(&s.browser);
        const QList<QDoubleSpinBox *> doubles = visibleEditors<QDoubleSpinBox>(&s.browser); // width, x, y
        QDoubleSpinBox *doubleSpin = doubles.value(0), *x = doubles.value(1);
        QVERIFY(spin && combo && line && doubles.size() == 3 && doubleSpin->value() == 0 && x->value() == 10);
        QStringList changed; // what the managers report, by property name
        for (QtAbstractPropertyManager *m : std::initializer_list<QtAbstractPropertyManager *>{&s.ints, &s.doubles, &s.strings, &s.enums, &s.points, &s.colors})
            connect(m, &QtAbstractPropertyManager::propertyChanged, [&changed](QtProperty *p) { changed << p->propertyName(); });
        QSignalSpy editorSignals(spin, qOverload<int>(&QSpinBox::valueChanged));
        QSignalSpy comboSignals(combo, qOverload<int>(&QComboBox::currentIndexChanged));
        QSignalSpy pointValues(&s.points, &QtPointFPropertyManager::valueChanged);
        s.ints.setRange(size, 1, 500); // pulls 0 up to 1
        s.ints.setValue(size, 72);
        s.enums.setEnumNames(style, {"Regular", "Bold", "Italic"});
        s.enums.setValue(style, 2);
        QCOMPARE(QString("%1 %2..%3 %4 of %5").arg(spin->value()).arg(spin->minimum()).arg(spin->maximum()).arg(combo->currentText()).arg(combo->count()),
                 QString("72 1..500 Italic of 3"));
        QCOMPARE(editorSignals.count() + comboSignals.count(), 0);
        combo->setCurrentIndex(1);
        type(spin, "123");
        QTest::keyClick(spin, Qt::Key_Return);
        QTest::keyClick(spin, Qt::Key_Return); // nothing new to take
        type(doubleSpin, "2.5");
        type(line, "abc");
        QVERIFY(hasLabel(&s.browser, "(10.00, 20.00)"));
        type(x, "15");
        QTest::keyClick(x, Qt::Key_Enter);
        QCOMPARE(changed.join(", "), QString("Font Size, Font Size, Font Style, Font Style, Font Style, Font Size, Stroke Width, Selected Text, Position"));
        QCOMPARE(QString("%1 %2 %3 %4").arg(s.ints.value(size)).arg(s.doubles.value(width)).arg(s.strings.value(text)).arg(s.enums.value(style)),
                 QString("123 2.5 abc 1"));
        QVERIFY(pointValues.size() == 1 && pointValues[0][1].toPointF() == QPointF(15, 20) && s.points.value(position) == QPointF(15, 20));
        QVERIFY(hasLabel(&s.browser, "(15.00, 20.00)"));
        size->setEnabled(false);
        QVERIFY(!spin->isEnabled() && combo->isEnabled());
        size->setEnabled(true);
        QVERIFY(spin->isEnabled());
        s.colors.setValue(stroke, QColor(255, 0, 0, 127));
        QVERIFY(hasLabel(&s.browser, "#ff0000 (49%)"));
        ModalRecorder recorder;
        recorder.colors.enqueue(QColor(1, 2, 3));
        s.browser.findChild<QtColorEditWidget *>()->findChild<QToolButton *>()->click();
        QCOMPARE(changed.mid(9).join(", "), QString("Font Size, Font Size, Stroke, Stroke")); // enabled and back, then the colours
        QVERIFY(s.colors.value(stroke) == QColor(1, 2, 3) && hasLabel(&s.browser, "#010203 (100%)"));
        s.group->removeSubProperty(size);
        QVERIFY(!hasLabel(&s.browser, "Font Size") && visibleEditors<QSpinBox>(&s.browser).isEmpty());
    }

    void deletionInAnyOrder_data()
    {
        QTest::addColumn<QString>("order"); // m manager, f factory, b browser
        QTest::addColumn<bool>("insideEdit"); // the first goes inside an edit of its spin box
        for (const char *order : {"mfb", "mbf", "fmb", "fbm", "bmf", "bfm"})
            QTest::newRow(order) << QString(order) << false;
        QTest::newRow("editorSurvivesRemovalInsideItsOwnSignal: manager") << "mfb" << true;
        QTest::newRow("editorSurvivesBrowserDeletedInsideItsOwnEdit") << "bfm" << true;
        QTest::newRow("editorSurvivesFactoryDeletedInsideItsOwnEdit") << "fbm" << true;
    }

    // Variant properties of every type, as a SoftType shows them: editors follow the attributes, an edit comes
    // back once. Manager, factory and browser go in any order, the first maybe inside the spin box's own edit.
    void deletionInAnyOrder()
    {
        QFETCH(QString, order);
        QFETCH(bool, insideEdit);
        QtGroupPropertyManager groups;
        QPointer<QtVariantPropertyManager> manager = new QtVariantPropertyManager;
        QPointer<QtVariantEditorFactory> factory = new QtVariantEditorFactory;
        QPointer<QtGroupBoxPropertyBrowser> browser = new QtGroupBoxPropertyBrowser;
        QtVariantProperty *radius = manager->addProperty(QVariant::Int, "radius");
        QtVariantProperty *trigger = manager->addProperty(QtVariantPropertyManager::enumTypeId(), "trigger");
        trigger->setAttribute("enumNames", QStringList({"always active", "mouse left button"}));
        trigger->setValue(1);
        QtVariantProperty *enabled = manager->addProperty(QVariant::Bool, "enabled");
        enabled->setValue(true);
        QtVariantProperty *strength = manager->addProperty(QVariant::Double, "strength");
        strength->setAttribute("decimals", 3);
        QtProperty *group = groups.addProperty("Properties");
        for (QtProperty *p : std::initializer_list<QtProperty *>{manager->addProperty(QVariant::String, "name"), enabled, trigger, radius, strength,
                                                                 manager->addProperty(QVariant::Color, "c"), manager->addProperty(QVariant::PointF, "p")})
            group->addSubProperty(p);
        browser->setFactoryForManager(manager.data(), factory.data());
        browser->addProperty(group);
        browser->addProperty(manager->addProperty(QVariant::Int, "top level"));
        manager->variantProperty(browser->properties().last())->setValue(5);
        showAndActivate(browser);
        QVERIFY(visibleEditors<QWidget>(browser).size() > 8 && textEditor(browser));
        QPointer<QSpinBox> spin = browser->findChild<QSpinBox *>();
        QComboBox *combo = browser->findChild<QComboBox *>();
        QPointer<QCheckBox> check = browser->findChild<QCheckBox *>();
        radius->setAttribute("maximum", 10);
        QCOMPARE(QString("%1 %2 %3 %4").arg(spin->maximum()).arg(combo->currentText()).arg(check->isChecked()).arg(browser->findChild<QDoubleSpinBox *>()->decimals()),
                 QString("10 mouse left button 1 3"));
        QSignalSpy values(manager, &QtVariantPropertyManager::valueChanged);
        check->setChecked(false);
        combo->setCurrentIndex(0);
        QCOMPARE(QString("%1 %2 %3").arg(values.count()).arg(enabled->value().toString()).arg(trigger->value().toString()), QString("2 false 0"));
        const auto victim = [&](QChar c) -> QObject * {
            return c == 'm' ? static_cast<QObject *>(manager) : c == 'f' ? static_cast<QObject *>(factory) : browser.data();
        };
        if (insideEdit) {
            int seen = -1;
            QObject *first = victim(order[0]);
            connect(manager, &QtVariantPropertyManager::valueChanged, first, [&seen, first](QtProperty *, const QVariant &value) {
                seen = value.toInt();
                delete first;
            });
            type(spin.data(), "7");
            QTest::keyClick(spin, Qt::Key_Return);
            QCOMPARE(seen, 7);
            QVERIFY(spin); // waits for the end of its edit
            QVERIFY(manager || (!spin->isVisibleTo(browser) && group->subProperties().isEmpty()));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!spin && !check);
            if (manager)
                radius->setValue(8); // no editor left to fill
            if (manager && browser)
                group->addSubProperty(manager->addProperty(QVariant::Int, "later")); // after its factory: shown as text
            QCoreApplication::processEvents();
            QVERIFY(factory || (hasLabel(browser, "8") && hasLabel(browser, "0")));
        }
        for (const QChar c : order.mid(insideEdit)) {
            delete victim(c);
            if (c == 'm')
                QVERIFY(group->subProperties().isEmpty() && (!browser || browser->properties() == QList<QtProperty *>({group})));
            else
                QVERIFY(!spin || (c == 'f' && !manager)); // a factory takes its editors along
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!manager && !factory && !browser);
    }

    // Past a hundred rows a box lists them: every descendant in order (a point's "X" and "Y" after it), editors only
    // for the rows in view, each within its row and at its own height, Tab going on row by row, an edit there reaching
    // the manager. Guards manyRowsAreListedInLinearTime: rows added one at a time to a shown box, laid out, drawn and
    // removed from both ends cost time linear in their number (as a form, a hundred thousand took minutes to go).
    void manyRowsAreListedInLinearTime()
    {
        QtGroupPropertyManager groups;
        QtVariantPropertyManager manager;
        QtVariantEditorFactory factory;
        QtGroupBoxPropertyBrowser browser;
        browser.setFactoryForManager(&manager, &factory);
        QtProperty *group = groups.addProperty("Properties");
        browser.addProperty(group);
        showAndActivate(&browser);
        QStringList expected;
        for (int i = 0; i < 101; ++i) {
            QCOMPARE(browser.findChild<QFormLayout *>()->rowCount(), i); // a form up to a hundred rows
            group->addSubProperty(manager.addProperty(i == 50 ? QVariant::PointF : i % 2 ? QVariant::Int : QVariant::String, QString("p%1").arg(i)));
            expected << QString("p%1").arg(i) << (i == 50 ? QStringList{"X", "Y"} : QStringList());
        }
        auto *list = browser.findChild<QtPropertyRowList *>();
        QVERIFY(list && !browser.findChild<QFormLayout *>());
        QCoreApplication::processEvents();
        // Tab from the last row in view goes on to the next, scrolled into view
        const int bottom = list->viewport()->height() / list->rowRect(0).height() - 1;
        list->rowEditor(bottom)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(list->rowEditor(bottom + 1) && list->rowEditor(bottom + 1)->hasFocus() && list->rowRect(bottom + 1).bottom() < list->viewport()->height());
        QApplication::focusWidget()->clearFocus(); // a focused editor would stay while scrolled away
        for (const int last : {0, 102}) {
            list->scrollToRow(last);
            QStringList rows, edited; // every row's name; the rows with editors
            for (int row = 0; row < list->rowCount(); ++row) {
                rows << list->rowProperty(row)->propertyName();
                if (QWidget *editor = list->rowEditor(row)) {
                    edited << rows.last();
                    QVERIFY(list->rowRect(row).contains(editor->geometry()) && editor->height() >= editor->minimumSizeHint().height());
                }
            }
            QCOMPARE(rows, expected);
            const int inView = list->viewport()->height() / list->rowRect(0).height();
            QVERIFY2(edited.size() >= inView - 1 && edited.size() <= inView + 1 && edited.contains(expected.at(last)), qPrintable(edited.join(' ')));
        }
        type(qobject_cast<QLineEdit *>(list->rowEditor(102)), "abc");
        QTest::keyClick(list->rowEditor(102), Qt::Key_Return);
        QCOMPARE(manager.variantProperty(group->subProperties().last())->value().toString(), QString("abc"));

        const QString slow = DoublingRatio::nonLinear([&](int factor) {
            QtVariantPropertyManager many;
            browser.setFactoryForManager(&many, &factory);
            QtProperty *box = groups.addProperty("Many");
            browser.addProperty(box);
            const double start = DoublingRatio::cpuSeconds();
            for (int i = 0; i < 4000 * factor; ++i)
                box->addSubProperty(many.addProperty(QVariant::Int, QString::number(i)));
            browser.repaint();
            QCoreApplication::processEvents();
            const QList<QtProperty *> rows = box->subProperties();
            for (int i = 0; i < rows.size() / 2; ++i)
                box->removeSubProperty(rows.at(rows.size() - 1 - i));
            browser.repaint();
            many.clear(); // the rest, from the front
            QCoreApplication::processEvents();
            const double seconds = DoublingRatio::cpuSeconds() - start;
            browser.removeProperty(box);
            delete box;
            return seconds;
        }, QStringLiteral("the rows"));
        QVERIFY2(slow.isEmpty(), qPrintable(slow));
    }

    // Over the invalid start value even black is new; the same colour again and a cancelled pick are not.
    void pickEmitsOnlyForANewColour()
    {
        ModalRecorder recorder;
        QtColorEditWidget editor;
        QStringList emitted;
        connect(&editor, &QtColorEditWidget::valueChanged, [&emitted](const QColor &c) { emitted << c.name(QColor::HexArgb); });
        QToolButton *button = editor.findChild<QToolButton *>();
        recorder.colors << QColor(0, 0, 0) << QColor(0, 0, 0);
        for (int i = 0; i < 3; ++i) // black, black again, cancelled
            button->click();
        recorder.colors.enqueue(QColor(0, 128, 255, 128));
        for (int i = 0; i < 2; ++i) // blue, cancelled (over a colour that is not black)
            button->click();
        QCOMPARE(emitted.join(' '), QString("#ff000000 #800080ff"));
        QCOMPARE(editor.findChildren<QLabel *>().at(1)->text(), QString("#0080ff (50%)"));
        QCOMPARE(recorder.calls.size(), 5);
    }

    void valuesAreClampedAndEmittedOnlyWhenTheyChange_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QVariantList>("steps");
        QTest::addColumn<QVariantList>("held"); // the value first, then after each step
        QTest::addColumn<int>("emitted");       // valueChanged signals
        QTest::addColumn<QString>("text");      // the value text at the end
        // A narrowed range pulls the value in and reports it; a minimum above the maximum carries it along.
        QTest::newRow("int") << "int" << QVariantList{":range=0,65535", 70000, -5, 0, 500, ":maximum=100", ":minimum=200"} << QVariantList{0, 0, 65535, 0, 0, 500, 100, 200} << 5 << "200";
        // Any change of a double counts, however small; at most 13 decimals.
        QTest::newRow("doubleDefaultsAndRangeChangeClampsValue") << "double" << QVariantList{12.345, 12.345, 12.345 + 1e-12, ":decimals=20", ":range=-1.5,1.5"} << QVariantList{0.0, 12.345, 12.345, 12.345 + 1e-12, 12.345 + 1e-12, 1.5} << 3 << "1.5000000000000";
        // A bad index is ignored; new names restart at 0 (reported), the same names change nothing; none is -1.
        QTest::newRow("enum") << "enum" << QVariantList{0, ":enumNames=Regular,Bold", 1, 2, -1, -7, ":enumNames=Regular,Bold", 0, ":enumNames=Book,Oblique,Bold", ":enumNames="} << QVariantList{-1, -1, 0, 1, 1, 1, 1, 1, 0, 0, -1} << 5 << "";
        QTest::newRow("enum text") << "enum" << QVariantList{":enumNames=Regular,Bold", 1} << QVariantList{-1, 0, 1} << 2 << "Bold";
        QTest::newRow("string") << "string" << QVariantList{"abc", "abc"} << QVariantList{"", "abc", "abc"} << 1 << "abc";
        QTest::newRow("bool") << "bool" << QVariantList{false, true, true} << QVariantList{false, false, true, true} << 1 << "";
        // Alpha in percent is truncated (254: 99.6); an invalid colour reads opaque black.
        QTest::newRow("color") << "color" << QVariantList{QColor(), QColor(255, 0, 0, 254), QColor(255, 0, 0, 254)} << QVariantList{QColor(), QColor(), QColor(255, 0, 0, 254), QColor(255, 0, 0, 254)} << 1 << "#ff0000 (99%)";
        QTest::newRow("color transparent") << "color" << QVariantList{QColor(10, 20, 30, 0)} << QVariantList{QColor(), QColor(10, 20, 30, 0)} << 1 << "#0a141e (0%)";
        // The variant manager holds the same rules, and refuses values it cannot convert.
        QTest::newRow("variant int") << "variant int" << QVariantList{":minimum=0", ":maximum=65535", -3, 100000, 65535, 5, "many", QVariant()} << QVariantList{0, 0, 0, 0, 65535, 65535, 5, 5, 5} << 2 << "5";
        QTest::newRow("variant enum") << "variant enum" << QVariantList{":enumNames=always active,mouse left button,mouse middle button,mouse right button", 1, 4, -1, 2, ":enumNames=always active,mouse left button,mouse middle button,mouse right button", ":enumNames=1,2"} << QVariantList{-1, 0, 1, 1, 1, 2, 2, 0} << 4 << "1";
        // A SoftType's clock: a double set on every frame, wrapping in its range.
        QTest::newRow("variantFrameByFrameValueEmitsOncePerChange") << "variant double" << QVariantList{":minimum=0", ":maximum=4", 1, 2, 2, 3, 4, 5, 0, 0, 1e-15, -1, 2.5, "soon", 3.5} << QVariantList{0.0, 0.0, 0.0, 1.0, 2.0, 2.0, 3.0, 4.0, 4.0, 0.0, 0.0, 1e-15, 0.0, 2.5, 2.5, 3.5} << 9 << "3.50";
        QTest::newRow("variant bool") << "variant bool" << QVariantList{true, QVariant::fromValue(QPointF(1, 1))} << QVariantList{false, true, true} << 1 << "";
        QTest::newRow("variant color") << "variant QColor" << QVariantList{QColor(0, 0, 255, 127)} << QVariantList{QColor(), QColor(0, 0, 255, 127)} << 1 << "#0000ff (49%)";
        QTest::newRow("variant point") << "variant QPointF" << QVariantList{QPointF(1, 2), QPointF(1e-14, 2), QPointF(1e-14, 2)} << QVariantList{QPointF(), QPointF(1, 2), QPointF(1e-14, 2), QPointF(1e-14, 2)} << 2 << "(0.00, 2.00)";
    }

    void valuesAreClampedAndEmittedOnlyWhenTheyChange()
    {
        QFETCH(QString, kind);
        QFETCH(QVariantList, steps);
        QFETCH(QVariantList, held);
        QFETCH(QString, text);
        Subject s(kind);
        QVERIFY2(same(s.value(), held.first()), qPrintable(s.value().toString()));
        for (int i = 0; i < steps.size(); ++i) {
            s.set(steps.at(i));
            QVERIFY2(same(s.value(), held.at(i + 1)), qPrintable(QStringLiteral("step %1: %2").arg(i).arg(s.value().toString())));
        }
        int emitted = 0; // for the property itself (a point's children have their own)
        for (const QList<QVariant> &args : qAsConst(*s.values))
            emitted += args.at(0).value<QtProperty *>() == s.property;
        QTEST(emitted, "emitted");
        QVERIFY(text.isEmpty() || s.property->valueText() == text);
        QtIntPropertyManager().setValue(s.property, 9); // another manager's property is left alone
        QVERIFY(same(s.value(), held.last()));
    }

    void variantAttributes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("start"); // the value before the attribute is set
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QVariant>("given");
        QTest::addColumn<QVariant>("held");  // the attribute afterwards; invalid: not the type's
        QTest::addColumn<QVariant>("value"); // the value afterwards
        QTest::addColumn<int>("signals");    // attributeChanged and valueChanged, each
        const int i = QVariant::Int, d = QVariant::Double, e = QtVariantPropertyManager::enumTypeId(); // enum: "a", "b"
        QTest::newRow("maximum pulls the value") << i << QVariant(50) << "maximum" << QVariant(40) << QVariant(40) << QVariant(40) << 1;
        QTest::newRow("a number as text") << i << QVariant(0) << "minimum" << QVariant("10") << QVariant(10) << QVariant(10) << 1;
        QTest::newRow("the same again") << d << QVariant(0.75) << "decimals" << QVariant(2) << QVariant(2) << QVariant(0.75) << 0;
        QTest::newRow("a tiny pull counts") << d << QVariant(1.0) << "minimum" << QVariant(1 + 1e-13) << QVariant(1 + 1e-13) << QVariant(1 + 1e-13) << 1;
        QTest::newRow("steps are positive") << d << QVariant(0.75) << "singleStep" << QVariant(-1.0) << QVariant(1.0) << QVariant(0.75) << 0;
        QTest::newRow("not an int's") << i << QVariant(0) << "decimals" << QVariant(3) << QVariant() << QVariant(0) << 0;
        // None of these is a number or a list: the attribute and the value stay.
        QTest::newRow("variantRefusesUnconvertibleAttributes: int maximum") << i << QVariant(50) << "maximum" << QVariant("lots") << QVariant(2147483647) << QVariant(50) << 0;
        QTest::newRow("variantRefusesUnconvertibleAttributes: int minimum") << i << QVariant(50) << "minimum" << QVariant(QPointF(1, 2)) << QVariant(-2147483647) << QVariant(50) << 0;
        QTest::newRow("variantRefusesUnconvertibleAttributes: double minimum") << d << QVariant(-2.5) << "minimum" << QVariant("low") << QVariant(-2147483647.0) << QVariant(-2.5) << 0;
        QTest::newRow("variantRefusesUnconvertibleAttributes: decimals") << d << QVariant(-2.5) << "decimals" << QVariant("some") << QVariant(2) << QVariant(-2.5) << 0;
        QTest::newRow("variantRefusesUnconvertibleAttributes: step") << d << QVariant(-2.5) << "singleStep" << QVariant(QColor(Qt::red)) << QVariant(1.0) << QVariant(-2.5) << 0;
        QTest::newRow("variantRefusesUnconvertibleAttributes: names") << e << QVariant(1) << "enumNames" << QVariant(QPointF(1, 2)) << QVariant(QStringList{"a", "b"}) << QVariant(1) << 0;
    }

    void variantAttributes()
    {
        QFETCH(int, type);
        QFETCH(QVariant, start);
        QFETCH(QString, attribute);
        QFETCH(QVariant, given);
        QFETCH(QVariant, held);
        QFETCH(QVariant, value);
        QtVariantPropertyManager manager;
        QVERIFY(!manager.addProperty(QVariant::ByteArray, "unsupported"));
        QtVariantProperty *p = manager.addProperty(type, "p");
        if (type == QtVariantPropertyManager::enumTypeId())
            p->setAttribute("enumNames", QStringList{"a", "b"});
        p->setValue(start);
        QSignalSpy attributes(&manager, &QtVariantPropertyManager::attributeChanged);
        QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
        p->setAttribute(attribute, given);
        QVERIFY2(same(p->attributeValue(attribute), held), qPrintable(p->attributeValue(attribute).toString()));
        QVERIFY(same(p->value(), value));
        QTEST(attributes.count(), "signals");
        QTEST(values.count(), "signals");
    }

    // A point's children follow it, one deleted alone is forgotten; a rectangle's go with it; a colour has none. A variant
    // point takes a change however small, and its children and the point never disagree.
    void childDeletedAloneIsForgotten()
    {
        QtPointFPropertyManager manager;
        QtProperty *p = manager.addProperty("Position");
        QtRectFPropertyManager rects;
        QtProperty *r = rects.addProperty("Selection Area");
        QtVariantPropertyManager variants;
        QtVariantProperty *centre = variants.addProperty(QVariant::PointF, "centre");
        const QList<QtProperty *> children = p->subProperties();
        QStringList names;
        for (QtProperty *c : children + r->subProperties() + centre->subProperties())
            names << c->propertyName();
        QCOMPARE(names.join(' '), QString("X Y X Y Width Height X Y"));
        QSignalSpy child(manager.subDoublePropertyManager(), &QtDoublePropertyManager::valueChanged);
        manager.setValue(p, QPointF(1, 2));
        manager.setValue(p, QPointF(1, 2));
        QCOMPARE(child.count(), 2);
        delete children[0];
        QCOMPARE(p->subProperties(), QList<QtProperty *>({children[1]}));
        manager.setValue(p, QPointF(5, 6)); // must not touch the deleted child
        QCOMPARE(manager.value(p), QPointF(5, 6));
        QCOMPARE(manager.subDoublePropertyManager()->value(children[1]), 6.0);
        rects.subDoublePropertyManager()->setValue(r->subProperties().value(3), 9);
        QCOMPARE(rects.value(r), QRectF(0, 0, 0, 9));
        QCOMPARE(r->valueText(), QString("[(0.00, 0.00), 0.00 x 9.00]"));
        delete r;
        QVERIFY(rects.properties().isEmpty() && rects.subDoublePropertyManager()->properties().isEmpty());
        QtColorPropertyManager colors;
        QVERIFY(colors.addProperty("Stroke")->subProperties().isEmpty());
        QtVariantProperty *x = variants.variantProperty(centre->subProperties()[0]), *y = variants.variantProperty(centre->subProperties()[1]);
        centre->setValue(QPointF(1, 2));
        QCOMPARE(y->value().toDouble(), 2.0);
        QSignalSpy values(&variants, &QtVariantPropertyManager::valueChanged);
        const double nudged = 1 + 1e-13;
        x->setValue(nudged);
        QVERIFY(values.count() == 2 && values[0][0].value<QtProperty *>() == centre && values[0][1].toPointF().x() == nudged); // the point, then "X"
        centre->setValue(QPointF(1e-14, 2));
        QCOMPARE(x->value().toDouble(), 1e-14); // guards: variantPointTakesEveryRealChange
        centre->setAttribute("decimals", 1);
        QCOMPARE(QString("%1 %2").arg(x->attributeValue("decimals").toInt()).arg(centre->valueText()), QString("1 (0.0, 2.0)"));
    }

    // Variant properties are packed (a value beside the property only for a colour or a point, a range or names only
    // when set) and share pooled memory: properties of every type made and deleted at random, alone and with their
    // managers, across many blocks of the pool, each keep their own value, name and tool tip against a model.
    void packedPropertiesKeepTheirOwnValues()
    {
        QRandomGenerator random(20270127);
        std::vector<std::unique_ptr<QtVariantPropertyManager>> managers(3);
        struct Held
        {
            int manager;
            QVariant value;
            QString tip;
        };
        QHash<QtVariantProperty *, Held> model;
        QVector<QtVariantProperty *> live;
        const int types[] = {QVariant::String, QVariant::Int, QVariant::Double, QVariant::Bool, QVariant::Color, QVariant::PointF, QtVariantPropertyManager::enumTypeId()};
        for (int step = 0; step < 12000; ++step) {
            const int m = random.bounded(3), pick = random.bounded(100);
            if (!managers[m] || step % 4000 == 1999) {
                const auto gone = std::partition(live.begin(), live.end(), [&](QtVariantProperty *p) { return model.value(p).manager != m; });
                for (auto it = gone; it != live.end(); ++it)
                    model.remove(*it);
                live.erase(gone, live.end());
                managers[m].reset(new QtVariantPropertyManager);
            } else if (pick < 30 && !live.isEmpty()) {
                const int at = random.bounded(live.size());
                delete live[at];
                model.remove(live[at]);
                live[at] = live.last();
                live.removeLast();
            } else {
                const int type = types[step % 7];
                QtVariantProperty *p = managers[m]->addProperty(type, QString::number(step));
                const QVariant value = type == QVariant::String ? QVariant(QString("s%1").arg(step))
                                       : type == QVariant::Color ? QVariant(QColor::fromHsv(step % 360, 200, 100))
                                       : type == QVariant::PointF ? QVariant(QPointF(step, -step))
                                       : type == QVariant::Bool ? QVariant(true) : QVariant(step % 3 + step * (type == QVariant::Double ? 0.25 : 1));
                if (type == QtVariantPropertyManager::enumTypeId())
                    p->setAttribute("enumNames", QStringList{"a", "b", "c"});
                else if (type == QVariant::Int && step % 2)
                    p->setAttribute("maximum", 3000);
                p->setValue(type == QtVariantPropertyManager::enumTypeId() ? QVariant(step % 3) : value);
                const QString tip = step % 5 ? QString() : QString("tip %1").arg(step);
                p->setToolTip(tip);
                live.append(p);
                model.insert(p, {m, type == QtVariantPropertyManager::enumTypeId() ? QVariant(step % 3) : type == QVariant::Int && step % 2 ? QVariant(qMin(value.toInt(), 3000)) : value, tip});
            }
        }
        QVERIFY(model.size() > 2000);
        for (auto it = model.cbegin(); it != model.cend(); ++it) {
            const QString seen = QString("%1 %2 %3").arg(it.key()->propertyName(), it.key()->toolTip(), it.key()->value().toString());
            QVERIFY2(it.key()->propertyManager() == managers[it->manager].get() && it.key()->value() == it->value && it.key()->toolTip() == it->tip, qPrintable(seen));
            if (it->value.userType() == QVariant::PointF)
                QCOMPARE(managers[it->manager]->variantProperty(it.key()->subProperties().value(1))->value().toDouble(), it->value.toPointF().y());
        }
    }

    // Several parents, never itself, a descendant or twice one parent; told by the parent's manager. A deleted
    // property leaves its parents; a deleted parent leaves its children alive.
    void subPropertiesRefuseCyclesAndLeaveParentsOnDelete()
    {
        QtGroupPropertyManager groups;
        QtIntPropertyManager ints;
        QtProperty *outer = groups.addProperty("Editing Properties"), *inner = groups.addProperty("Inner");
        QtProperty *value = ints.addProperty("radius");
        QVERIFY(!outer->hasValue() && value->hasValue());
        QSignalSpy inserted(&groups, &QtAbstractPropertyManager::propertyInserted);
        outer->addSubProperty(inner);
        inner->addSubProperty(value);
        outer->addSubProperty(value);
        inner->addSubProperty(outer);
        inner->addSubProperty(inner);
        outer->addSubProperty(value);
        QCOMPARE(inserted.count(), 3);
        QCOMPARE(inner->subProperties(), QList<QtProperty *>({value}));
        QCOMPARE(outer->subProperties(), QList<QtProperty *>({inner, value}));
        QSignalSpy removed(&groups, &QtAbstractPropertyManager::propertyRemoved);
        QSignalSpy destroyed(&ints, &QtAbstractPropertyManager::propertyDestroyed);
        delete value;
        QCOMPARE(QString("%1 %2").arg(removed.count()).arg(destroyed.count()), QString("2 1"));
        QCOMPARE(outer->subProperties(), QList<QtProperty *>({inner}));
        QVERIFY(inner->subProperties().isEmpty());
        QtProperty *again = ints.addProperty("again");
        inner->addSubProperty(again);
        delete inner;
        outer->addSubProperty(again);
        QCOMPARE(outer->subProperties(), QList<QtProperty *>({again}));
    }
};

QTEST_MAIN(TestPropertyBrowser)
#include "tst_propertybrowser.moc"
