// The property layer: managers' values and attributes, the property tree,
// and the group-box browser with its editors, driven by QTest key events.
#include "propertybrowser/QtBoolPropertyManager.h"
#include "propertybrowser/QtColorEditWidget.h"
#include "propertybrowser/QtColorEditorFactory.h"
#include "propertybrowser/QtDoubleSpinBoxFactory.h"
#include "propertybrowser/QtEnumEditorFactory.h"
#include "propertybrowser/QtGroupBoxPropertyBrowser.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtLineEditFactory.h"
#include "propertybrowser/QtPointFPropertyManager.h"
#include "propertybrowser/QtPropertyBrowserUtils.h"
#include "propertybrowser/QtRectFPropertyManager.h"
#include "propertybrowser/QtSpinBoxFactory.h"
#include "propertybrowser/QtVariantEditorFactory.h"
#include "support/ModalRecorder.h"

#include <QtTest>
#include <QtWidgets>

Q_DECLARE_METATYPE(QtProperty *)

namespace {

// Visible editors only: editors dropped by the browser wait hidden for
// their deferred deletion.
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
    for (QLineEdit *edit : visibleEditors<QLineEdit>(browser))
        if (!qobject_cast<QAbstractSpinBox *>(edit->parentWidget()))
            return edit;
    return nullptr;
}

bool hasLabel(QWidget *browser, const QString &text)
{
    for (QLabel *label : browser->findChildren<QLabel *>())
        if (label->text() == text && label->isVisibleTo(browser))
            return true;
    return false;
}

QtProperty *groupOf(QtGroupPropertyManager &groups, std::initializer_list<QtProperty *> children)
{
    QtProperty *group = groups.addProperty("Properties");
    for (QtProperty *child : children)
        group->addSubProperty(child);
    return group;
}

void showAndActivate(QWidget *widget)
{
    widget->show();
    QApplication::setActiveWindow(widget);
    QVERIFY(QTest::qWaitForWindowActive(widget));
}

void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class Editor>
void type(Editor *editor, const QString &text)
{
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, text);
}

// The typed managers with their factories, one double factory serving two
// managers, and a browser of a group of their properties, as the Properties
// dock has them; the browser goes first.
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

    // Puts the properties into the group and the group into the browser.
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

// One property of a manager of the given kind ("int", "variant double",
// "variant QPointF", ...), set and read through the manager's own typed calls; ":name=value"
// steps set a range, the decimals or the enumeration names.
struct Subject
{
    QScopedPointer<QtAbstractPropertyManager> manager;
    QtProperty *property = nullptr;
    QScopedPointer<QSignalSpy> values;
    std::function<QVariant()> value;
    std::function<void(const QVariant &)> setValue;
    std::function<void(const QString &, double, double, const QStringList &)> setting;

    template <class M, class T>
    M *make()
    {
        auto *m = new M;
        manager.reset(m);
        QtProperty *p = property = m->addProperty("p");
        value = [m, p] { return QVariant::fromValue(m->value(p)); };
        setValue = [m, p](const QVariant &v) { m->setValue(p, v.value<T>()); };
        return m;
    }
    explicit Subject(const QString &kind)
    {
        if (kind == "int") {
            auto *m = make<QtIntPropertyManager, int>();
            setting = [m, this](const QString &name, double a, double b, const QStringList &) {
                name == "range" ? m->setRange(property, int(a), int(b))
                                : name == "minimum" ? m->setMinimum(property, int(a)) : m->setMaximum(property, int(a));
            };
        } else if (kind == "double") {
            auto *m = make<QtDoublePropertyManager, double>();
            setting = [m, this](const QString &name, double a, double b, const QStringList &) {
                name == "range" ? m->setRange(property, a, b) : m->setDecimals(property, int(a));
            };
        } else if (kind == "enum") {
            auto *m = make<QtEnumPropertyManager, int>();
            setting = [m, this](const QString &, double, double, const QStringList &names) { m->setEnumNames(property, names); };
        } else if (kind == "string") {
            make<QtStringPropertyManager, QString>();
        } else if (kind == "bool") {
            make<QtBoolPropertyManager, bool>();
        } else if (kind == "color") {
            make<QtColorPropertyManager, QColor>();
        } else {
            auto *m = new QtVariantPropertyManager;
            manager.reset(m);
            const QByteArray type = kind.section(' ', 1).toLatin1(); // a type name, or "enum"
            QtVariantProperty *p = m->addProperty(type == "enum" ? QtVariantPropertyManager::enumTypeId() : int(QVariant::nameToType(type)), "p");
            property = p;
            value = [p] { return p->value(); };
            setValue = [p](const QVariant &v) { p->setValue(v); };
            setting = [p](const QString &name, double a, double b, const QStringList &names) {
                const bool isInt = p->valueType() == QVariant::Int;
                if (name == "range") {
                    p->setAttribute("minimum", isInt ? QVariant(int(a)) : QVariant(a));
                    p->setAttribute("maximum", isInt ? QVariant(int(b)) : QVariant(b));
                } else {
                    p->setAttribute(name, name == "enumNames" ? QVariant(names) : QVariant(a));
                }
            };
        }
        const QMetaObject *mo = manager->metaObject();
        for (int i = 0; i < mo->methodCount(); ++i)
            if (mo->method(i).name() == "valueChanged")
                values.reset(new QSignalSpy(manager.data(), QByteArray("2" + mo->method(i).methodSignature()).constData()));
    }
    void set(const QVariant &v)
    {
        const QString step = v.toString();
        if (v.userType() != QMetaType::QString || !step.startsWith(':'))
            return setValue(v);
        const QString arguments = step.section('=', 1);
        setting(step.mid(1).section('=', 0, 0), arguments.section(',', 0, 0).toDouble(), arguments.section(',', 1).toDouble(),
                arguments.isEmpty() ? QStringList() : arguments.split(','));
    }
};

// Doubles compare exactly: QVariant compares them loosely.
bool same(const QVariant &a, const QVariant &b)
{
    if (a.userType() == QMetaType::Double || b.userType() == QMetaType::Double)
        return a.toDouble() == b.toDouble();
    return a == b;
}

} // namespace

class TestPropertyBrowser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QtProperty *>(); }

    // Typing "123" is one value, taken on Enter, not on each keystroke; a
    // typed value is also taken when the focus leaves. A point's child edited
    // emits the whole point once.
    void typedNumberReachesManagerOnceOnEnter()
    {
        Sheet s;
        QtProperty *size = s.ints.addProperty("Font Size");
        QtProperty *width = s.doubles.addProperty("Stroke Width");
        QtProperty *text = s.strings.addProperty("Selected Text");
        QtProperty *position = s.points.addProperty("Position");
        s.points.setValue(position, QPointF(10, 20));
        s.add({size, width, text, position});
        showAndActivate(&s.browser);
        QSpinBox *spin = s.browser.findChild<QSpinBox *>();
        QLineEdit *line = textEditor(&s.browser);
        QDoubleSpinBox *doubleSpin = nullptr;
        QDoubleSpinBox *x = nullptr;
        for (QDoubleSpinBox *editor : visibleEditors<QDoubleSpinBox>(&s.browser)) {
            if (editor->value() == 0)
                doubleSpin = editor;
            else if (editor->value() == 10)
                x = editor;
        }
        QVERIFY(spin && line && doubleSpin && x);
        QSignalSpy intValues(&s.ints, &QtIntPropertyManager::valueChanged);
        QSignalSpy doubleValues(&s.doubles, &QtDoublePropertyManager::valueChanged);
        QSignalSpy stringValues(&s.strings, &QtStringPropertyManager::valueChanged);
        QSignalSpy pointValues(&s.points, &QtPointFPropertyManager::valueChanged);
        type(spin, "123");
        QCOMPARE(intValues.count(), 0);
        QTest::keyClick(spin, Qt::Key_Return);
        QCOMPARE(intValues.count(), 1);
        QTest::keyClick(spin, Qt::Key_Return); // nothing new to take
        type(doubleSpin, "2.5");
        QCOMPARE(doubleValues.count(), 0);
        type(line, "abc");
        QCOMPARE(doubleValues.count(), 1);
        QCOMPARE(stringValues.count(), 0);
        QVERIFY(hasLabel(&s.browser, "(10.00, 20.00)"));
        type(x, "15");
        QTest::keyClick(x, Qt::Key_Enter);
        QCOMPARE(intValues.count() + doubleValues.count() + stringValues.count() + pointValues.count(), 4);
        QCOMPARE(s.ints.value(size), 123);
        QCOMPARE(s.doubles.value(width), 2.5);
        QCOMPARE(s.strings.value(text), QString("abc"));
        QCOMPARE(pointValues.at(0).at(0).value<QtProperty *>(), position);
        QCOMPARE(pointValues.at(0).at(1).toPointF(), QPointF(15, 20));
        QVERIFY(hasLabel(&s.browser, "(15.00, 20.00)"));
    }

    // Manager changes fill the editors with their signals blocked; an edit
    // comes back once. Enabled states reach the editors and the group box.
    void managerChangeReachesEditorWithoutEcho()
    {
        Sheet s;
        QtProperty *size = s.ints.addProperty("Font Size");
        QtProperty *style = s.enums.addProperty("Font Style");
        size->setEnabled(false);
        s.add({style});
        s.group->insertSubProperty(size, nullptr); // its row goes first
        QGroupBox *box = s.browser.findChild<QGroupBox *>();
        QFormLayout *rows = box->findChild<QFormLayout *>();
        QCOMPARE(box->title(), QString("Text Properties"));
        QCOMPARE(qobject_cast<QLabel *>(rows->itemAt(1, QFormLayout::LabelRole)->widget())->text(), QString("Font Style"));
        QSpinBox *spin = s.browser.findChild<QSpinBox *>();
        QComboBox *combo = s.browser.findChild<QComboBox *>();
        QVERIFY(spin && combo && !spin->isEnabled() && combo->isEnabled());
        QSignalSpy spinSignals(spin, qOverload<int>(&QSpinBox::valueChanged));
        QSignalSpy comboSignals(combo, qOverload<int>(&QComboBox::currentIndexChanged));
        QSignalSpy intValues(&s.ints, &QtIntPropertyManager::valueChanged);
        QSignalSpy enumValues(&s.enums, &QtEnumPropertyManager::valueChanged);
        s.ints.setRange(size, 1, 500);
        s.ints.setValue(size, 72);
        s.enums.setEnumNames(style, {"Regular", "Bold", "Italic"});
        s.enums.setValue(style, 2);
        QCOMPARE(spin->value(), 72);
        QCOMPARE(spin->minimum(), 1);
        QCOMPARE(spin->maximum(), 500);
        QCOMPARE(combo->currentText(), QString("Italic"));
        QCOMPARE(combo->count(), 3);
        QCOMPARE(spinSignals.count() + comboSignals.count(), 0);
        QCOMPARE(intValues.count(), 2); // the range pulled 0 up to 1, then 72
        QCOMPARE(enumValues.count(), 2);
        combo->setCurrentIndex(1);
        QCOMPARE(enumValues.count(), 3);
        QCOMPARE(s.enums.value(style), 1);
        size->setEnabled(true);
        QVERIFY(spin->isEnabled());
        s.group->setEnabled(false);
        QVERIFY(!box->isEnabled() && !spin->isEnabled() && !combo->isEnabled());
        s.group->setEnabled(true);
        QVERIFY(box->isEnabled() && spin->isEnabled() && combo->isEnabled());
    }

    // Rows follow the tree once it is shown, also for a manager new to the
    // browser; a property may be shown twice, renamed, or added without a factory.
    void subPropertyOfAManagerNotYetShownGetsItsRow()
    {
        Sheet s;
        s.add({}); // no int property is on show yet
        QtProperty *radius = s.ints.addProperty("radius");
        s.group->addSubProperty(radius);
        QVERIFY(hasLabel(&s.browser, "radius"));
        QCOMPARE(visibleEditors<QSpinBox>(&s.browser).size(), 1);
        QCOMPARE(s.browser.items(radius).size(), 1);
        s.group->removeSubProperty(radius);
        QVERIFY(!hasLabel(&s.browser, "radius") && visibleEditors<QSpinBox>(&s.browser).isEmpty());
        s.group->addSubProperty(radius);
        s.browser.addProperty(radius); // shown twice: both editors follow the manager
        s.ints.setValue(radius, 3);
        radius->setPropertyName("Radius");
        const QList<QSpinBox *> spins = visibleEditors<QSpinBox>(&s.browser);
        QVERIFY(spins.size() == 2 && spins[0]->value() == 3 && spins[1]->value() == 3 && hasLabel(&s.browser, "Radius"));
        s.browser.unsetFactoryForManager(&s.doubles); // rows added later show the value as text
        s.group->addSubProperty(s.doubles.addProperty("Width"));
        QVERIFY(visibleEditors<QDoubleSpinBox>(&s.browser).isEmpty() && hasLabel(&s.browser, "0.00"));
        s.browser.insertProperty(s.groups.addProperty("Editing Properties"), nullptr);
        QCOMPARE(s.browser.properties().first()->propertyName(), QString("Editing Properties"));
    }

    void editorSurvivesDeletionInsideItsOwnEdit_data()
    {
        QTest::addColumn<QString>("deleted");
        QTest::newRow("editorSurvivesRemovalInsideItsOwnSignal: manager") << "manager";
        QTest::newRow("editorSurvivesBrowserDeletedInsideItsOwnEdit") << "browser";
        QTest::newRow("editorSurvivesFactoryDeletedInsideItsOwnEdit") << "factory";
    }

    // The edit's consequence deletes the property's manager, the browser (say,
    // its window closes) or the factory, while the spin box is still inside
    // its valueChanged emission: the editor goes once its edit is over.
    void editorSurvivesDeletionInsideItsOwnEdit()
    {
        QFETCH(QString, deleted);
        QtGroupPropertyManager groups;
        QPointer<QtIntPropertyManager> ints = new QtIntPropertyManager;
        QPointer<QtSpinBoxFactory> factory = new QtSpinBoxFactory;
        QPointer<QtGroupBoxPropertyBrowser> browser = new QtGroupBoxPropertyBrowser;
        QtProperty *radius = ints->addProperty("radius");
        QtProperty *other = ints->addProperty("other");
        ints->setValue(other, 5);
        QtProperty *group = groupOf(groups, {radius, other});
        browser->setFactoryForManager(ints.data(), factory.data());
        browser->addProperty(group);
        showAndActivate(browser);
        QObject *victim = browser;
        if (deleted != "browser")
            victim = deleted == "manager" ? static_cast<QObject *>(ints) : factory;
        int seen = -1;
        connect(ints, &QtIntPropertyManager::valueChanged, victim, [&seen, victim](QtProperty *, int value) {
            seen = value;
            delete victim;
        });
        QPointer<QSpinBox> spin;
        QPointer<QSpinBox> otherSpin;
        for (QSpinBox *editor : visibleEditors<QSpinBox>(browser))
            (editor->value() == 5 ? otherSpin : spin) = editor;
        type(spin.data(), "42");
        QTest::keyClick(spin, Qt::Key_Return);
        QCOMPARE(seen, 42);
        QVERIFY(spin); // waits for the end of its edit
        QVERIFY(deleted != "manager" || (!spin->isVisibleTo(browser) && group->subProperties().isEmpty()));
        flushDeferredDeletes();
        QVERIFY(!spin && !otherSpin);
        if (ints)
            ints->setValue(radius, 7); // no editor left to fill
        if (ints && browser)
            group->addSubProperty(ints->addProperty("later")); // after its factory: shown as text
        QCoreApplication::processEvents();
        QVERIFY(deleted != "factory" || (hasLabel(browser, "7") && hasLabel(browser, "0")));
        delete browser.data();
        delete factory.data();
        delete ints.data();
    }

    void deletionInAnyOrder_data()
    {
        QTest::addColumn<QString>("order"); // m manager, f factory, b browser
        for (const char *order : {"mfb", "mbf", "fmb", "fbm", "bmf", "bfm"})
            QTest::newRow(order) << QString(order);
    }

    // A browser of a variant property of every type, as a SoftType shows its
    // parameters: the editors follow the attributes and an edit comes back
    // once. Then its manager, factory and browser go in any order.
    void deletionInAnyOrder()
    {
        QtGroupPropertyManager groups;
        auto *manager = new QtVariantPropertyManager;
        auto *points = new QtPointFPropertyManager(manager); // goes with the variant manager
        auto *factory = new QtVariantEditorFactory;
        auto *doubleFactory = new QtDoubleSpinBoxFactory(factory);
        auto *browser = new QtGroupBoxPropertyBrowser;
        QtVariantProperty *radius = manager->addProperty(QVariant::Int, "radius");
        radius->setAttribute("maximum", 65535);
        QtVariantProperty *trigger = manager->addProperty(QtVariantPropertyManager::enumTypeId(), "trigger");
        trigger->setAttribute("enumNames", QStringList({"always active", "mouse left button"}));
        trigger->setValue(1);
        QtVariantProperty *enabled = manager->addProperty(QVariant::Bool, "enabled");
        enabled->setValue(true);
        QtVariantProperty *strength = manager->addProperty(QVariant::Double, "strength");
        strength->setAttribute("decimals", 3);
        QtProperty *group = groupOf(groups, {manager->addProperty(QVariant::String, "name"), enabled, trigger, radius, strength,
                                             points->addProperty("Position"), manager->addProperty(QVariant::Color, "c"),
                                             manager->addProperty(QVariant::PointF, "p")});
        browser->setFactoryForManager(manager, factory);
        browser->setFactoryForManager(points->subDoublePropertyManager(), doubleFactory);
        browser->addProperty(group);
        browser->addProperty(manager->addProperty(QVariant::Int, "top level"));
        QVERIFY(visibleEditors<QWidget>(browser).size() > 8 && textEditor(browser));
        QSpinBox *spin = browser->findChild<QSpinBox *>();
        QComboBox *combo = browser->findChild<QComboBox *>();
        QCheckBox *check = browser->findChild<QCheckBox *>();
        QCOMPARE(spin->maximum(), 65535);
        QCOMPARE(combo->currentText(), QString("mouse left button"));
        QVERIFY(check->isChecked());
        QCOMPARE(browser->findChild<QDoubleSpinBox *>()->decimals(), 3);
        radius->setAttribute("maximum", 10);
        QCOMPARE(spin->maximum(), 10);
        QSignalSpy values(manager, &QtVariantPropertyManager::valueChanged);
        check->setChecked(false);
        combo->setCurrentIndex(0);
        QCOMPARE(values.count(), 2);
        QCOMPARE(enabled->value(), QVariant(false));
        QCOMPARE(trigger->value(), QVariant(0));

        QFETCH(QString, order);
        QPointer<QSpinBox> anEditor = spin;
        QPointer<QtVariantPropertyManager> managerGuard(manager);
        QPointer<QtVariantEditorFactory> factoryGuard(factory);
        QPointer<QtGroupBoxPropertyBrowser> browserGuard(browser);
        for (const QChar c : order) {
            if (c == 'm') {
                delete manager;
                QVERIFY(group->subProperties().isEmpty());
                QVERIFY(!browserGuard || browserGuard->properties() == QList<QtProperty *>({group}));
            } else if (c == 'f') {
                delete factory;
                QVERIFY(!managerGuard || !anEditor); // a factory takes its editors along
            } else {
                delete browser;
                QVERIFY(!anEditor);
            }
        }
        flushDeferredDeletes();
        QVERIFY(!managerGuard && !factoryGuard && !browserGuard);
    }

    // Over the invalid start value even opaque black is a new colour; the
    // same colour again and a cancelled pick (an invalid colour) are not. In
    // a browser the colour is a row without a box for children.
    void pickEmitsOnlyForANewColour()
    {
        ModalRecorder recorder;
        QtColorEditWidget editor;
        QSignalSpy spy(&editor, &QtColorEditWidget::valueChanged);
        QToolButton *button = editor.findChild<QToolButton *>();
        recorder.colors << QColor(0, 0, 0) << QColor(0, 0, 0);
        button->click();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(editor.value(), QColor(0, 0, 0));
        button->click();
        button->click();
        QCOMPARE(spy.count(), 1);
        recorder.colors.enqueue(QColor(0, 128, 255, 128));
        button->click();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).value<QColor>(), QColor(0, 128, 255, 128));
        QCOMPARE(editor.findChildren<QLabel *>().at(1)->text(), QString("#0080ff (50%)"));
        QCOMPARE(recorder.calls.size(), 4);
        QCOMPARE(recorder.calls[0].what, QString("color"));
        Sheet s;
        QtProperty *stroke = s.colors.addProperty("Stroke");
        s.add({stroke});
        QCOMPARE(s.browser.findChildren<QtColorEditWidget *>().size(), 1);
        QCOMPARE(s.browser.findChildren<QGroupBox *>().size(), 1);
        QVERIFY(hasLabel(&s.browser, "#000000 (100%)"));
        s.colors.setValue(stroke, QColor(255, 0, 0, 127));
        QtColorEditWidget *row = s.browser.findChild<QtColorEditWidget *>();
        QCOMPARE(row->value(), QColor(255, 0, 0, 127));
        QVERIFY(hasLabel(&s.browser, "#ff0000 (49%)"));
        QSignalSpy values(&s.colors, &QtColorPropertyManager::valueChanged);
        recorder.colors.enqueue(QColor(1, 2, 3));
        row->findChild<QToolButton *>()->click();
        QCOMPARE(values.count(), 1);
        QCOMPARE(s.colors.value(stroke), QColor(1, 2, 3));
        QVERIFY(hasLabel(&s.browser, "#010203 (100%)"));
    }

    void valuesAreClampedAndEmittedOnlyWhenTheyChange_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QVariantList>("steps");
        QTest::addColumn<QVariantList>("held"); // the value first, then after each step
        QTest::addColumn<int>("emitted");       // valueChanged signals
        QTest::addColumn<QString>("text");      // the value text at the end
        // Narrowing the range pulls the value in and reports it; a minimum
        // above the maximum carries the maximum along.
        QTest::newRow("int") << "int" << QVariantList{":range=0,65535", 70000, -5, 0, 500, ":maximum=100", ":minimum=200"} << QVariantList{0, 0, 65535, 0, 0, 500, 100, 200} << 5 << "200";
        // Any change of a double counts, however small; at most 13 decimals.
        QTest::newRow("doubleDefaultsAndRangeChangeClampsValue") << "double" << QVariantList{12.345, 12.345, 12.345 + 1e-12, ":decimals=20", ":range=-1.5,1.5"} << QVariantList{0.0, 12.345, 12.345, 12.345 + 1e-12, 12.345 + 1e-12, 1.5} << 3 << "1.5000000000000";
        QTest::newRow("double text") << "double" << QVariantList{12.345} << QVariantList{0.0, 12.345} << 1 << "12.35";
        // A bad index is ignored; new names restart at 0 and report it even
        // when the index stays, the same names change nothing; no names is -1.
        QTest::newRow("enum") << "enum" << QVariantList{0, ":enumNames=Regular,Bold", 1, 2, -1, -7, ":enumNames=Regular,Bold", 0, ":enumNames=Book,Oblique,Bold", ":enumNames="} << QVariantList{-1, -1, 0, 1, 1, 1, 1, 1, 0, 0, -1} << 5 << "";
        QTest::newRow("enum text") << "enum" << QVariantList{":enumNames=Regular,Bold", 1} << QVariantList{-1, 0, 1} << 2 << "Bold";
        QTest::newRow("string") << "string" << QVariantList{"abc", "abc"} << QVariantList{"", "abc", "abc"} << 1 << "abc";
        QTest::newRow("bool") << "bool" << QVariantList{false, true, true} << QVariantList{false, false, true, true} << 1 << "";
        // The alpha in percent is truncated: 254 -> 99.60; an invalid colour
        // is named black and reads opaque.
        QTest::newRow("color") << "color" << QVariantList{QColor(), QColor(255, 0, 0, 254), QColor(255, 0, 0, 254)} << QVariantList{QColor(), QColor(), QColor(255, 0, 0, 254), QColor(255, 0, 0, 254)} << 1 << "#ff0000 (99%)";
        QTest::newRow("color transparent") << "color" << QVariantList{QColor(10, 20, 30, 0)} << QVariantList{QColor(), QColor(10, 20, 30, 0)} << 1 << "#0a141e (0%)";
        // The variant manager holds the same rules, and refuses values it cannot convert.
        QTest::newRow("variant int") << "variant int" << QVariantList{":range=0,65535", -3, 100000, 65535, 5, "many", QVariant()} << QVariantList{0, 0, 0, 65535, 65535, 5, 5, 5} << 2 << "5";
        QTest::newRow("variant enum") << "variant enum" << QVariantList{":enumNames=always active,mouse left button,mouse middle button,mouse right button", 1, 4, -1, 2, ":enumNames=1,2"} << QVariantList{-1, 0, 1, 1, 1, 2, 0} << 4 << "1";
        // A SoftType's clock: a double set on every frame, wrapping in its range.
        QTest::newRow("variantFrameByFrameValueEmitsOncePerChange") << "variant double" << QVariantList{":range=0,4", 1, 2, 2, 3, 4, 5, 0, 0, 1e-15, -1, 2.5, "soon", 3.5} << QVariantList{0.0, 0.0, 1.0, 2.0, 2.0, 3.0, 4.0, 4.0, 0.0, 0.0, 1e-15, 0.0, 2.5, 2.5, 3.5} << 9 << "3.50";
        QTest::newRow("variant decimals") << "variant double" << QVariantList{0.5, ":decimals=3"} << QVariantList{0.0, 0.5, 0.5} << 1 << "0.500";
        QTest::newRow("variant bool") << "variant bool" << QVariantList{true, QVariant::fromValue(QPointF(1, 1))} << QVariantList{false, true, true} << 1 << "";
        QTest::newRow("variant color") << "variant QColor" << QVariantList{QColor(0, 0, 255, 127)} << QVariantList{QColor(), QColor(0, 0, 255, 127)} << 1 << "#0000ff (49%)";
        QTest::newRow("variant string") << "variant QString" << QVariantList{"clay"} << QVariantList{"", "clay"} << 1 << "clay";
        QTest::newRow("variant point") << "variant QPointF" << QVariantList{QPointF(1, 2), QPointF(1e-14, 2), QPointF(1e-14, 2)} << QVariantList{QPointF(), QPointF(1, 2), QPointF(1e-14, 2), QPointF(1e-14, 2)} << 2 << "(0.00, 2.00)";
    }

    void valuesAreClampedAndEmittedOnlyWhenTheyChange()
    {
        QFETCH(QString, kind);
        QFETCH(QVariantList, steps);
        QFETCH(QVariantList, held);
        QFETCH(QString, text);
        Subject s(kind);
        QVERIFY(s.values);
        QVERIFY2(same(s.value(), held.first()), qPrintable(s.value().toString()));
        for (int i = 0; i < steps.size(); ++i) {
            s.set(steps.at(i));
            QVERIFY2(same(s.value(), held.at(i + 1)), qPrintable(QStringLiteral("step %1: %2").arg(i).arg(s.value().toString())));
        }
        // Signals for the property itself (a point's children have their own).
        int emitted = 0;
        for (const QList<QVariant> &args : qAsConst(*s.values))
            emitted += args.at(0).value<QtProperty *>() == s.property;
        QTEST(emitted, "emitted");
        QVERIFY(text.isEmpty() || s.property->valueText() == text);
        // A property of another manager is left alone.
        QtIntPropertyManager().setValue(s.property, 9);
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
        QTest::addColumn<int>("attributeSignals");
        QTest::addColumn<int>("valueSignals");
        const int i = QVariant::Int;
        const int d = QVariant::Double;
        const int e = QtVariantPropertyManager::enumTypeId(); // named "a", "b"
        QTest::newRow("maximum pulls the value") << i << QVariant(50) << "maximum" << QVariant(40) << QVariant(40) << QVariant(40) << 1 << 1;
        QTest::newRow("a number as text") << i << QVariant(50) << "maximum" << QVariant("40") << QVariant(40) << QVariant(40) << 1 << 1;
        QTest::newRow("minimum pulls the value") << i << QVariant(0) << "minimum" << QVariant(10) << QVariant(10) << QVariant(10) << 1 << 1;
        QTest::newRow("the same again") << d << QVariant(0.75) << "decimals" << QVariant(2) << QVariant(2) << QVariant(0.75) << 0 << 0;
        QTest::newRow("steps are positive") << d << QVariant(0.75) << "singleStep" << QVariant(-1.0) << QVariant(1.0) << QVariant(0.75) << 0 << 0;
        QTest::newRow("not an int's") << i << QVariant(0) << "decimals" << QVariant(3) << QVariant() << QVariant(0) << 0 << 0;
        QTest::newRow("not a double's") << d << QVariant(0.75) << "enumNames" << QVariant(QStringList{"a"}) << QVariant() << QVariant(0.75) << 0 << 0;
        // None of these is a number or a list: the attribute and the value stay.
        QTest::newRow("variantRefusesUnconvertibleAttributes: int maximum") << i << QVariant(50) << "maximum" << QVariant("lots") << QVariant(2147483647) << QVariant(50) << 0 << 0;
        QTest::newRow("variantRefusesUnconvertibleAttributes: int minimum") << i << QVariant(50) << "minimum" << QVariant(QPointF(1, 2)) << QVariant(-2147483647) << QVariant(50) << 0 << 0;
        QTest::newRow("variantRefusesUnconvertibleAttributes: double minimum") << d << QVariant(-2.5) << "minimum" << QVariant("low") << QVariant(-2147483647.0) << QVariant(-2.5) << 0 << 0;
        QTest::newRow("variantRefusesUnconvertibleAttributes: decimals") << d << QVariant(-2.5) << "decimals" << QVariant("some") << QVariant(2) << QVariant(-2.5) << 0 << 0;
        QTest::newRow("variantRefusesUnconvertibleAttributes: step") << d << QVariant(-2.5) << "singleStep" << QVariant(QColor(Qt::red)) << QVariant(1.0) << QVariant(-2.5) << 0 << 0;
        QTest::newRow("variantRefusesUnconvertibleAttributes: names") << e << QVariant(1) << "enumNames" << QVariant(QPointF(1, 2)) << QVariant(QStringList{"a", "b"}) << QVariant(1) << 0 << 0;
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
        QCOMPARE(p->valueType(), type == QVariant::Double ? type : int(QVariant::Int));
        if (type == QtVariantPropertyManager::enumTypeId())
            p->setAttribute("enumNames", QStringList{"a", "b"});
        p->setValue(start);
        QSignalSpy attributes(&manager, &QtVariantPropertyManager::attributeChanged);
        QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
        p->setAttribute(attribute, given);
        QVERIFY2(same(p->attributeValue(attribute), held), qPrintable(p->attributeValue(attribute).toString()));
        QVERIFY(same(p->value(), value));
        QTEST(attributes.count(), "attributeSignals");
        QTEST(values.count(), "valueSignals");
    }

    // A point's children "X" and "Y" are doubles of its sub-manager that
    // follow the point; one deleted alone is forgotten. A rectangle's four
    // children go with it; a colour has none.
    void childDeletedAloneIsForgotten()
    {
        QtPointFPropertyManager manager;
        QtProperty *p = manager.addProperty("Position");
        const QList<QtProperty *> children = p->subProperties();
        QCOMPARE(children.size(), 2);
        QCOMPARE(children[1]->propertyName(), QString("Y"));
        QCOMPARE(children[0]->propertyManager(), manager.subDoublePropertyManager());
        QSignalSpy child(manager.subDoublePropertyManager(), &QtDoublePropertyManager::valueChanged);
        manager.setValue(p, QPointF(1, 2));
        manager.setValue(p, QPointF(1, 2));
        QCOMPARE(child.count(), 2);
        delete children[0];
        QCOMPARE(p->subProperties(), QList<QtProperty *>({children[1]}));
        manager.setValue(p, QPointF(5, 6)); // must not touch the deleted child
        QCOMPARE(manager.value(p), QPointF(5, 6));
        QCOMPARE(manager.subDoublePropertyManager()->value(children[1]), 6.0);
        QtRectFPropertyManager rects;
        QtProperty *r = rects.addProperty("Selection Area");
        QStringList names;
        for (QtProperty *c : r->subProperties())
            names << c->propertyName();
        QCOMPARE(names, QStringList({"X", "Y", "Width", "Height"}));
        rects.subDoublePropertyManager()->setValue(r->subProperties()[3], 9);
        QCOMPARE(rects.value(r), QRectF(0, 0, 0, 9));
        QCOMPARE(r->valueText(), QString("[(0.00, 0.00), 0.00 x 9.00]"));
        delete r;
        QVERIFY(rects.properties().isEmpty() && rects.subDoublePropertyManager()->properties().isEmpty());
        QtColorPropertyManager colors;
        QVERIFY(colors.addProperty("Stroke")->subProperties().isEmpty());
    }

    // A property may sit under several parents, never under itself or its
    // descendants, nor twice under one parent; insertions and removals are
    // told by the parent's manager. Deleting a property detaches it from its
    // parents; deleting a parent leaves its children alive.
    void subPropertiesRefuseCyclesAndLeaveParentsOnDelete()
    {
        QtGroupPropertyManager groups;
        QtIntPropertyManager ints;
        QtProperty *outer = groups.addProperty("Editing Properties");
        QtProperty *inner = groups.addProperty("Inner");
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
        QCOMPARE(removed.count(), 2);
        QCOMPARE(destroyed.count(), 1);
        QCOMPARE(outer->subProperties(), QList<QtProperty *>({inner}));
        QVERIFY(inner->subProperties().isEmpty());
        QtProperty *again = ints.addProperty("again");
        inner->addSubProperty(again);
        delete inner;
        outer->addSubProperty(again);
        QCOMPARE(outer->subProperties(), QList<QtProperty *>({again}));
    }

    // Like a double, a point takes a change however small, and its children
    // and the point never disagree.
    void variantPointTakesEveryRealChange()
    {
        QtVariantPropertyManager manager;
        QtVariantProperty *p = manager.addProperty(QVariant::PointF, "centre");
        QtVariantProperty *x = manager.variantProperty(p->subProperties()[0]);
        QtVariantProperty *y = manager.variantProperty(p->subProperties()[1]);
        QCOMPARE(x->propertyName(), QString("X"));
        QCOMPARE(x->propertyType(), int(QVariant::Double));
        p->setValue(QPointF(1, 2));
        QCOMPARE(y->value().toDouble(), 2.0);
        QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
        const double nudged = 1 + 1e-13;
        x->setValue(nudged);
        QCOMPARE(values.count(), 2); // the point, then "X"
        QCOMPARE(values.at(0).at(0).value<QtProperty *>(), p);
        QCOMPARE(values.at(0).at(1).toPointF().x(), nudged);
        p->setValue(QPointF(1e-14, 2));
        QCOMPARE(x->value().toDouble(), 1e-14);
        p->setAttribute("decimals", 1);
        QCOMPARE(x->attributeValue("decimals").toInt(), 1);
        QCOMPARE(p->valueText(), QString("(0.0, 2.0)"));
    }
};

QTEST_MAIN(TestPropertyBrowser)
#include "tst_propertybrowser.moc"
