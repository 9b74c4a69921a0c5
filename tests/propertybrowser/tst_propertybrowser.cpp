#include "propertybrowser/QtBoolPropertyManager.h"
#include "propertybrowser/QtColorEditWidget.h"
#include "propertybrowser/QtColorEditorFactory.h"
#include "propertybrowser/QtColorPropertyManager.h"
#include "propertybrowser/QtDoublePropertyManager.h"
#include "propertybrowser/QtDoubleSpinBoxFactory.h"
#include "propertybrowser/QtEnumEditorFactory.h"
#include "propertybrowser/QtEnumPropertyManager.h"
#include "propertybrowser/QtGroupBoxPropertyBrowser.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtIntPropertyManager.h"
#include "propertybrowser/QtLineEditFactory.h"
#include "propertybrowser/QtPointFPropertyManager.h"
#include "propertybrowser/QtPropertyBrowserUtils.h"
#include "propertybrowser/QtRectFPropertyManager.h"
#include "propertybrowser/QtSpinBoxFactory.h"
#include "propertybrowser/QtStringPropertyManager.h"
#include "propertybrowser/QtVariantEditorFactory.h"
#include "propertybrowser/QtVariantPropertyManager.h"
#include "support/ModalRecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPointer>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

Q_DECLARE_METATYPE(QtProperty *)

namespace {
// Visible editors only: editors dropped by the browser wait hidden for
// their deferred deletion.
template <class Editor>
QList<Editor *> visibleEditors(QWidget *browser)
{
    QList<Editor *> result;
    for (Editor *editor : browser->findChildren<Editor *>()) {
        if (editor->isVisibleTo(browser))
            result.append(editor);
    }
    return result;
}

// The line edit of a text property, not the one inside a spin box.
QLineEdit *textEditor(QWidget *browser)
{
    for (QLineEdit *edit : visibleEditors<QLineEdit>(browser)) {
        if (!qobject_cast<QAbstractSpinBox *>(edit->parentWidget()))
            return edit;
    }
    return nullptr;
}

// A group property holding the given sub-properties, in order.
QtProperty *groupOf(QtGroupPropertyManager &groups, const QString &title,
                    std::initializer_list<QtProperty *> children)
{
    QtProperty *group = groups.addProperty(title);
    for (QtProperty *child : children)
        group->addSubProperty(child);
    return group;
}

void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool hasLabel(QWidget *browser, const QString &text)
{
    for (QLabel *label : browser->findChildren<QLabel *>()) {
        if (label->text() == text && label->isVisibleTo(browser))
            return true;
    }
    return false;
}

void showAndActivate(QWidget *widget)
{
    widget->show();
    QApplication::setActiveWindow(widget);
    QVERIFY(QTest::qWaitForWindowActive(widget));
}
} // namespace

namespace {

// One property of a manager of the given kind ("int", "variant double",
// ...), set and read through the manager's own typed calls; ":name=value"
// steps set a range, the decimals or the enumeration names.
struct Subject
{
    QScopedPointer<QtAbstractPropertyManager> manager;
    QtProperty *property = nullptr;
    QScopedPointer<QSignalSpy> values;
    std::function<QVariant()> value;
    std::function<void(const QVariant &)> setValue;
    std::function<void(const QString &, double, double, const QStringList &)> setting;

    template<class M, class T>
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
                name == "range" ? m->setRange(property, int(a), int(b)) : name == "minimum" ? m->setMinimum(property, int(a))
                                                                                             : m->setMaximum(property, int(a));
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
            const QString type = kind.section(' ', 1);
            QtVariantProperty *p = m->addProperty(type == "enum" ? QtVariantPropertyManager::enumTypeId()
                                                  : type == "int" ? int(QVariant::Int) : type == "double" ? int(QVariant::Double)
                                                  : type == "bool" ? int(QVariant::Bool) : type == "color" ? int(QVariant::Color)
                                                  : type == "point" ? int(QVariant::PointF) : int(QVariant::String), "p");
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
        for (int i = 0; i < mo->methodCount(); ++i) {
            if (mo->method(i).name() == "valueChanged")
                values.reset(new QSignalSpy(manager.data(), QByteArray("2" + mo->method(i).methodSignature()).constData()));
        }
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
    void initTestCase();
    void typedNumberReachesManagerOnceOnEnter();
    void managerChangeReachesEditorWithoutEcho();
    void pointChildEditedInBrowserEmitsWholePoint();
    void eachBrowserGetsItsOwnEditors();
    void groupBoxesAndRowsFollowTheTree();
    void subPropertyOfAManagerNotYetShownGetsItsRow();
    void enabledStatePropagates();
    void editorSurvivesRemovalInsideItsOwnSignal();
    void editorSurvivesBrowserDeletedInsideItsOwnEdit();
    void editorSurvivesFactoryDeletedInsideItsOwnEdit();
    void deletionInAnyOrder_data();
    void deletionInAnyOrder();
    void variantFactoryFollowsAttributes();
    void colorRowShowsSwatchTextAndNoChildren();
    void pickEmitsOnlyForANewColour();
    void valuesAreClampedAndEmittedOnlyWhenTheyChange_data();
    void valuesAreClampedAndEmittedOnlyWhenTheyChange();
    void colorValueTextTruncatesPercent_data();
    void colorValueTextTruncatesPercent();
    void attributesOfTheNumbers();
    void childDeletedAloneIsForgotten();
    void subPropertiesRefuseCyclesAndLeaveParentsOnDelete();
    void variantSupportsItsTypesOnly();
    void variantRefusesUnconvertibleAttributes();
    void variantPointTakesEveryRealChange();
};

void TestPropertyBrowser::initTestCase()
{
    qRegisterMetaType<QtProperty *>();
}

void TestPropertyBrowser::typedNumberReachesManagerOnceOnEnter()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtDoublePropertyManager doubles;
    QtStringPropertyManager strings;
    QtSpinBoxFactory spinFactory;
    QtDoubleSpinBoxFactory doubleFactory;
    QtLineEditFactory lineFactory;
    QtProperty *size = ints.addProperty("Font Size");
    QtProperty *width = doubles.addProperty("Stroke Width");
    QtProperty *text = strings.addProperty("Selected Text");
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(&ints, &spinFactory);
    browser.setFactoryForManager(&doubles, &doubleFactory);
    browser.setFactoryForManager(&strings, &lineFactory);
    browser.addProperty(groupOf(groups, "Text Properties", {size, width, text}));
    showAndActivate(&browser);
    QSpinBox *spin = visibleEditors<QSpinBox>(&browser).value(0);
    QDoubleSpinBox *doubleSpin = visibleEditors<QDoubleSpinBox>(&browser).value(0);
    QLineEdit *line = textEditor(&browser);
    QVERIFY(spin && doubleSpin && line);
    QSignalSpy intValues(&ints, &QtIntPropertyManager::valueChanged);
    QSignalSpy doubleValues(&doubles, &QtDoublePropertyManager::valueChanged);
    QSignalSpy stringValues(&strings, &QtStringPropertyManager::valueChanged);
    // Typing "123" is one value, taken on Enter, not on each keystroke.
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "123");
    QCOMPARE(intValues.count(), 0);
    QTest::keyClick(spin, Qt::Key_Return);
    QCOMPARE(intValues.count(), 1);
    QCOMPARE(ints.value(size), 123);
    QTest::keyClick(spin, Qt::Key_Return); // nothing new to take
    QCOMPARE(intValues.count(), 1);
    // A typed value is also taken when the focus leaves.
    doubleSpin->setFocus();
    doubleSpin->selectAll();
    QTest::keyClicks(doubleSpin, "2.5");
    QCOMPARE(doubleValues.count(), 0);
    line->setFocus();
    QCOMPARE(doubleValues.count(), 1);
    QCOMPARE(doubles.value(width), 2.5);
    QTest::keyClicks(line, "abc");
    QCOMPARE(stringValues.count(), 0);
    spin->setFocus();
    QCOMPARE(stringValues.count(), 1);
    QCOMPARE(strings.value(text), QString("abc"));
    QCOMPARE(doubleValues.count(), 1);
    QCOMPARE(intValues.count(), 1);
}

void TestPropertyBrowser::managerChangeReachesEditorWithoutEcho()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtEnumPropertyManager enums;
    QtSpinBoxFactory spinFactory;
    QtEnumEditorFactory enumFactory;
    QtProperty *size = ints.addProperty("Font Size");
    QtProperty *style = enums.addProperty("Font Style");
    QtProperty *group = groupOf(groups, "Text Properties", {size, style});
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(&ints, &spinFactory);
    browser.setFactoryForManager(&enums, &enumFactory);
    browser.addProperty(group);

    QSpinBox *spin = visibleEditors<QSpinBox>(&browser).value(0);
    QComboBox *combo = visibleEditors<QComboBox>(&browser).value(0);
    QVERIFY(spin && combo);
    QSignalSpy spinSignals(spin, qOverload<int>(&QSpinBox::valueChanged));
    QSignalSpy comboSignals(combo, qOverload<int>(&QComboBox::currentIndexChanged));
    QSignalSpy intValues(&ints, &QtIntPropertyManager::valueChanged);
    QSignalSpy enumValues(&enums, &QtEnumPropertyManager::valueChanged);

    ints.setRange(size, 1, 500);
    ints.setValue(size, 72);
    QCOMPARE(spin->value(), 72);
    QCOMPARE(spin->minimum(), 1);
    QCOMPARE(spin->maximum(), 500);
    enums.setEnumNames(style, {"Regular", "Bold", "Italic"});
    enums.setValue(style, 2);
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->currentText(), QString("Italic"));

    QCOMPARE(spinSignals.count(), 0);
    QCOMPARE(comboSignals.count(), 0);
    QCOMPARE(intValues.count(), 2); // the range pulled 0 up to 1, then 72
    QCOMPARE(enumValues.count(), 2);

    // An edit in the combo box comes back once.
    combo->setCurrentIndex(1);
    QCOMPARE(enumValues.count(), 3);
    QCOMPARE(enums.value(style), 1);
}

void TestPropertyBrowser::pointChildEditedInBrowserEmitsWholePoint()
{
    QtGroupPropertyManager groups;
    QtPointFPropertyManager points;
    QtDoubleSpinBoxFactory factory;
    QtProperty *position = points.addProperty("Position");
    QtProperty *group = groupOf(groups, "Text Properties", {position});
    points.setValue(position, QPointF(10, 20));
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(points.subDoublePropertyManager(), &factory);
    browser.addProperty(group);
    showAndActivate(&browser);

    const QList<QDoubleSpinBox *> spins = visibleEditors<QDoubleSpinBox>(&browser);
    QCOMPARE(spins.size(), 2);
    QDoubleSpinBox *x = spins[0]->value() == 10 ? spins[0] : spins[1];
    QCOMPARE(x->value(), 10.0);
    QVERIFY(hasLabel(&browser, "(10.00, 20.00)"));
    QSignalSpy spy(&points, &QtPointFPropertyManager::valueChanged);
    x->setFocus();
    x->selectAll();
    QTest::keyClicks(x, "15");
    QTest::keyClick(x, Qt::Key_Enter);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<QtProperty *>(), position);
    QCOMPARE(spy.at(0).at(1).toPointF(), QPointF(15, 20));
    QVERIFY(hasLabel(&browser, "(15.00, 20.00)"));
}

void TestPropertyBrowser::eachBrowserGetsItsOwnEditors()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtPointFPropertyManager points;
    auto *factory = new QtSpinBoxFactory;
    QtDoubleSpinBoxFactory doubleFactory;
    QtProperty *size = ints.addProperty("Font Size");
    QtProperty *group = groupOf(groups, "Text Properties", {size, points.addProperty("Mouse")});
    QtGroupBoxPropertyBrowser first;
    QtGroupBoxPropertyBrowser second;
    for (QtGroupBoxPropertyBrowser *browser : {&first, &second}) {
        browser->setFactoryForManager(&ints, factory);
        browser->setFactoryForManager(points.subDoublePropertyManager(), &doubleFactory);
        browser->addProperty(group);
    }
    // One factory serves both browsers, each with editors of its own.
    QCOMPARE(visibleEditors<QDoubleSpinBox>(&first).size(), 2);
    QSpinBox *a = first.findChild<QSpinBox *>();
    QSpinBox *b = second.findChild<QSpinBox *>();
    QVERIFY(a && b && a != b);
    QSignalSpy values(&ints, &QtIntPropertyManager::valueChanged);
    a->setValue(12); // a step, as the arrows make it
    QCOMPARE(values.count(), 1);
    QCOMPARE(b->value(), 12);
    // Without a factory, a browser shows the value as text.
    QtGroupBoxPropertyBrowser third;
    third.setFactoryForManager(&ints, factory);
    third.unsetFactoryForManager(&ints);
    third.addProperty(group);
    QVERIFY(!third.findChild<QSpinBox *>());
    QVERIFY(hasLabel(&third, "12"));
    // A factory deleted takes its editors along and leaves the value text,
    // also for rows added later.
    delete factory;
    QVERIFY(hasLabel(&first, "12"));
    ints.setValue(size, 48);
    QVERIFY(hasLabel(&first, "48"));
    group->addSubProperty(ints.addProperty("More"));
    QVERIFY(hasLabel(&first, "0"));
    QVERIFY(first.findChildren<QSpinBox *>().isEmpty());
}

void TestPropertyBrowser::groupBoxesAndRowsFollowTheTree()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtSpinBoxFactory factory;
    QtProperty *first = groups.addProperty("Editing Properties");
    QtProperty *second = groups.addProperty("Text Properties");
    QtProperty *a = ints.addProperty("a");
    QtProperty *b = ints.addProperty("b");
    second->addSubProperty(a);
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(&ints, &factory);
    browser.addProperty(second);
    browser.insertProperty(first, nullptr);
    QCOMPARE(browser.properties(), QList<QtProperty *>({first, second}));
    QStringList titles;
    for (QGroupBox *box : browser.findChildren<QGroupBox *>())
        titles << box->title();
    QCOMPARE(titles.size(), 2);
    QVERIFY(titles.contains("Editing Properties") && titles.contains("Text Properties"));

    // Changes to the tree after the property was added show up at once.
    second->addSubProperty(b);
    QCOMPARE(visibleEditors<QSpinBox>(&browser).size(), 2);
    QVERIFY(hasLabel(&browser, "b"));
    b->setPropertyName("renamed");
    QVERIFY(hasLabel(&browser, "renamed"));
    second->removeSubProperty(a);
    QCOMPARE(visibleEditors<QSpinBox>(&browser).size(), 1);
    QVERIFY(!hasLabel(&browser, "a"));
    // A sub-property inserted in the middle gets its row in the middle.
    QtProperty *c = ints.addProperty("c");
    second->addSubProperty(a);
    second->insertSubProperty(c, b);
    QFormLayout *rows = nullptr;
    for (QFormLayout *form : browser.findChildren<QFormLayout *>()) {
        if (form->rowCount() == 3)
            rows = form;
    }
    QVERIFY(rows && rows->rowCount() == 3);
    QStringList order;
    for (int row = 0; row < 3; ++row)
        order << qobject_cast<QLabel *>(rows->itemAt(row, QFormLayout::LabelRole)->widget())->text();
    QCOMPARE(order, QStringList({"renamed", "c", "a"}));
    second->removeSubProperty(a);
    second->removeSubProperty(c);

    // The same property under two shown parents gets two editors.
    first->addSubProperty(b);
    QCOMPARE(visibleEditors<QSpinBox>(&browser).size(), 2);
    browser.removeProperty(second);
    QCOMPARE(browser.properties(), QList<QtProperty *>({first}));
    QCOMPARE(visibleEditors<QSpinBox>(&browser).size(), 1);
    flushDeferredDeletes();
    QCOMPARE(browser.findChildren<QSpinBox *>().size(), 1);
}

void TestPropertyBrowser::subPropertyOfAManagerNotYetShownGetsItsRow()
{
    // The group is on show before any property of the int manager is.
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtSpinBoxFactory factory;
    QtProperty *group = groups.addProperty("Properties");
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(&ints, &factory);
    browser.addProperty(group);
    QtProperty *radius = ints.addProperty("radius");
    group->addSubProperty(radius);
    QVERIFY(hasLabel(&browser, "radius"));
    QCOMPARE(visibleEditors<QSpinBox>(&browser).size(), 1);
    QCOMPARE(browser.items(radius).size(), 1);
    // Inserting it again after itself elsewhere, and removing it, follow too.
    group->removeSubProperty(radius);
    QVERIFY(!hasLabel(&browser, "radius"));
    QVERIFY(visibleEditors<QSpinBox>(&browser).isEmpty());
    QVERIFY(browser.items(radius).isEmpty());
}

void TestPropertyBrowser::enabledStatePropagates()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtSpinBoxFactory factory;
    QtProperty *size = ints.addProperty("Font Size");
    QtProperty *other = ints.addProperty("Other");
    QtProperty *group = groupOf(groups, "Text Properties", {size, other});
    size->setEnabled(false);
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(&ints, &factory);
    browser.addProperty(group);
    browser.show();

    QSpinBox *sizeSpin = nullptr;
    QSpinBox *otherSpin = nullptr;
    for (QSpinBox *spin : visibleEditors<QSpinBox>(&browser))
        (spin->isEnabled() ? otherSpin : sizeSpin) = spin;
    QVERIFY(sizeSpin && otherSpin); // one disabled from the start
    size->setEnabled(true);
    QVERIFY(sizeSpin->isEnabled());

    QGroupBox *box = browser.findChild<QGroupBox *>();
    group->setEnabled(false);
    QVERIFY(!box->isEnabled());
    QVERIFY(!sizeSpin->isEnabled() && !otherSpin->isEnabled());
    group->setEnabled(true);
    QVERIFY(box->isEnabled() && sizeSpin->isEnabled() && otherSpin->isEnabled());
}

void TestPropertyBrowser::editorSurvivesRemovalInsideItsOwnSignal()
{
    QtGroupPropertyManager groups;
    auto *ints = new QtIntPropertyManager;
    QtSpinBoxFactory factory;
    QtProperty *radius = ints->addProperty("radius");
    QtProperty *group = groupOf(groups, "SoftType", {radius});
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(ints, &factory);
    browser.addProperty(group);
    showAndActivate(&browser);

    // The edit's consequence deletes the property's whole manager, while the
    // spin box is still inside its valueChanged emission.
    int seen = -1;
    connect(ints, &QtIntPropertyManager::valueChanged, this, [&](QtProperty *, int value) {
        seen = value;
        delete ints;
    });
    QPointer<QSpinBox> spin = visibleEditors<QSpinBox>(&browser).value(0);
    QVERIFY(spin);
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "42");
    QTest::keyClick(spin, Qt::Key_Return);
    QCOMPARE(seen, 42);
    QVERIFY(spin); // still alive, hidden
    QVERIFY(!spin->isVisibleTo(&browser));
    QVERIFY(group->subProperties().isEmpty());
    flushDeferredDeletes();
    QVERIFY(!spin);
}

void TestPropertyBrowser::editorSurvivesBrowserDeletedInsideItsOwnEdit()
{
    // The edit's consequence deletes the whole browser (say, its window
    // closes) while the spin box is inside its valueChanged emission.
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtSpinBoxFactory factory;
    QtProperty *radius = ints.addProperty("radius");
    QtProperty *other = ints.addProperty("other");
    QtProperty *group = groupOf(groups, "SoftType", {radius, other});
    auto *browser = new QtGroupBoxPropertyBrowser;
    browser->setFactoryForManager(&ints, &factory);
    browser->addProperty(group);
    showAndActivate(browser);
    connect(&ints, &QtIntPropertyManager::valueChanged, browser, [browser] { delete browser; });

    QPointer<QSpinBox> spin;
    QPointer<QSpinBox> otherSpin;
    for (QSpinBox *editor : visibleEditors<QSpinBox>(browser)) {
        QLabel *label = qobject_cast<QLabel *>(
            editor->parentWidget()->parentWidget()->findChild<QFormLayout *>()->labelForField(
                editor->parentWidget()));
        (label->text() == "radius" ? spin : otherSpin) = editor;
    }
    QVERIFY(spin && otherSpin);
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "42");
    QTest::keyClick(spin, Qt::Key_Return);
    QCOMPARE(ints.value(radius), 42);
    QVERIFY(spin);       // waits for the end of its edit
    QVERIFY(!otherSpin); // went with the browser
    flushDeferredDeletes();
    QVERIFY(!spin);
    ints.setValue(radius, 7); // the factory no longer knows the editor
}

void TestPropertyBrowser::editorSurvivesFactoryDeletedInsideItsOwnEdit()
{
    QtGroupPropertyManager groups;
    QtStringPropertyManager strings;
    auto *factory = new QtLineEditFactory;
    QtProperty *text = strings.addProperty("Selected Text");
    QtProperty *group = groupOf(groups, "Text Properties", {text});
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(&strings, factory);
    browser.addProperty(group);
    showAndActivate(&browser);
    connect(&strings, &QtStringPropertyManager::valueChanged, factory, [factory] { delete factory; });

    QPointer<QLineEdit> edit = textEditor(&browser);
    QVERIFY(edit);
    edit->setFocus();
    QTest::keyClicks(edit, "abc");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(strings.value(text), QString("abc"));
    QVERIFY(edit);
    flushDeferredDeletes();
    QVERIFY(!edit);
    // The browser shows the value as text once the editor is gone (the new
    // label in the shown browser appears with the next events).
    QCoreApplication::processEvents();
    QVERIFY(hasLabel(&browser, "abc"));
}

void TestPropertyBrowser::deletionInAnyOrder_data()
{
    QTest::addColumn<QString>("order"); // m manager, f factory, b browser
    for (const char *order : {"mfb", "mbf", "fmb", "fbm", "bmf", "bfm"})
        QTest::newRow(order) << QString(order);
}

void TestPropertyBrowser::deletionInAnyOrder()
{
    QFETCH(QString, order);
    QtGroupPropertyManager groups;
    auto *manager = new QtVariantPropertyManager;
    auto *points = new QtPointFPropertyManager(manager); // goes with the variant manager
    auto *factory = new QtVariantEditorFactory;
    auto *doubleFactory = new QtDoubleSpinBoxFactory(factory);
    auto *browser = new QtGroupBoxPropertyBrowser;
    QtProperty *group = groups.addProperty("Properties");
    for (int type : {int(QVariant::Int), int(QVariant::Double), int(QVariant::Bool), int(QVariant::String),
                     int(QVariant::Color), int(QVariant::PointF), QtVariantPropertyManager::enumTypeId()})
        group->addSubProperty(manager->addProperty(type, "p"));
    group->addSubProperty(points->addProperty("Position"));
    browser->setFactoryForManager(manager, factory);
    browser->setFactoryForManager(points->subDoublePropertyManager(), doubleFactory);
    browser->addProperty(group);
    browser->addProperty(manager->addProperty(QVariant::Int, "top level"));
    browser->show();
    QVERIFY(visibleEditors<QWidget>(browser).size() > 8);
    QPointer<QWidget> anEditor = visibleEditors<QSpinBox>(browser).value(0);

    QPointer<QtVariantPropertyManager> managerGuard(manager);
    QPointer<QtVariantEditorFactory> factoryGuard(factory);
    QPointer<QtGroupBoxPropertyBrowser> browserGuard(browser);
    for (const QChar c : order) {
        if (c == 'm') {
            delete manager;
            if (browserGuard) {
                QCOMPARE(browserGuard->properties(), QList<QtProperty *>({group}));
                QVERIFY(group->subProperties().isEmpty());
            }
        } else if (c == 'f') {
            delete factory;
            if (managerGuard)
                QVERIFY(!anEditor); // a factory takes its editors along
        } else {
            delete browser;
            QVERIFY(!anEditor);
        }
    }
    flushDeferredDeletes();
    QVERIFY(!managerGuard && !factoryGuard && !browserGuard);
}

void TestPropertyBrowser::variantFactoryFollowsAttributes()
{
    QtGroupPropertyManager groups;
    QtVariantPropertyManager manager;
    QtVariantEditorFactory factory;
    QtVariantProperty *radius = manager.addProperty(QVariant::Int, "radius");
    radius->setAttribute("minimum", 0);
    radius->setAttribute("maximum", 65535);
    QtVariantProperty *trigger = manager.addProperty(QtVariantPropertyManager::enumTypeId(), "trigger");
    trigger->setAttribute("enumNames", QStringList({"always active", "mouse left button"}));
    trigger->setValue(1);
    QtVariantProperty *enabled = manager.addProperty(QVariant::Bool, "enabled");
    enabled->setValue(true);
    QtVariantProperty *name = manager.addProperty(QVariant::String, "name");
    name->setValue(QString("rubber"));
    QtVariantProperty *strength = manager.addProperty(QVariant::Double, "strength");
    strength->setAttribute("decimals", 3);
    QtProperty *group = groupOf(groups, "Properties", {name, enabled, trigger, radius, strength});
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(&manager, &factory);
    browser.addProperty(group);

    QSpinBox *spin = browser.findChild<QSpinBox *>();
    QComboBox *combo = browser.findChild<QComboBox *>();
    QCheckBox *check = browser.findChild<QCheckBox *>();
    QLineEdit *line = textEditor(&browser);
    QDoubleSpinBox *doubleSpin = browser.findChild<QDoubleSpinBox *>();
    QVERIFY(spin && combo && check && line && doubleSpin);
    QCOMPARE(spin->maximum(), 65535);
    QCOMPARE(combo->currentText(), QString("mouse left button"));
    QVERIFY(check->isChecked());
    QCOMPARE(line->text(), QString("rubber"));
    QCOMPARE(doubleSpin->decimals(), 3);

    radius->setAttribute("maximum", 10);
    QCOMPARE(spin->maximum(), 10);
    QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
    check->setChecked(false);
    QCOMPARE(enabled->value(), QVariant(false));
    combo->setCurrentIndex(0);
    QCOMPARE(trigger->value().toInt(), 0);
    QCOMPARE(values.count(), 2);
}

void TestPropertyBrowser::colorRowShowsSwatchTextAndNoChildren()
{
    QtGroupPropertyManager groups;
    QtColorPropertyManager colors;
    QtColorEditorFactory factory;
    QtProperty *fill = colors.addProperty("Fill");
    QtProperty *group = groupOf(groups, "Text Properties", {fill});
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(&colors, &factory);
    browser.addProperty(group);

    const QList<QtColorEditWidget *> editors = browser.findChildren<QtColorEditWidget *>();
    QCOMPARE(editors.size(), 1);
    QCOMPARE(browser.findChildren<QGroupBox *>().size(), 1); // no nested box for children
    QVERIFY(hasLabel(&browser, "#000000 (100%)"));
    colors.setValue(fill, QColor(255, 0, 0, 127));
    QCOMPARE(editors[0]->value(), QColor(255, 0, 0, 127));
    QVERIFY(hasLabel(&browser, "#ff0000 (49%)"));
}

void TestPropertyBrowser::pickEmitsOnlyForANewColour()
{
    ModalRecorder recorder;
    QtColorEditWidget editor;
    QSignalSpy spy(&editor, &QtColorEditWidget::valueChanged);
    QToolButton *button = editor.findChild<QToolButton *>();

    // Over the invalid start value even opaque black is a new colour.
    recorder.colors.enqueue(QColor(0, 0, 0));
    button->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(editor.value(), QColor(0, 0, 0));

    recorder.colors.enqueue(QColor(0, 0, 0)); // the same colour again
    button->click();
    button->click(); // cancelled: the recorder answers an invalid colour
    QCOMPARE(spy.count(), 1);

    recorder.colors.enqueue(QColor(0, 128, 255, 128));
    button->click();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).value<QColor>(), QColor(0, 128, 255, 128));
    QCOMPARE(editor.findChildren<QLabel *>().at(1)->text(), QString("#0080ff (50%)"));
    QCOMPARE(recorder.calls.size(), 4);
    QCOMPARE(recorder.calls[0].what, QString("color"));

    // Through a factory, the pick reaches the manager once.
    QtGroupPropertyManager groups;
    QtColorPropertyManager colors;
    QtColorEditorFactory factory;
    QtProperty *stroke = colors.addProperty("Stroke");
    QtProperty *group = groupOf(groups, "Text Properties", {stroke});
    QtGroupBoxPropertyBrowser browser;
    browser.setFactoryForManager(&colors, &factory);
    browser.addProperty(group);
    QSignalSpy values(&colors, &QtColorPropertyManager::valueChanged);
    recorder.colors.enqueue(QColor(1, 2, 3));
    browser.findChild<QtColorEditWidget *>()->findChild<QToolButton *>()->click();
    QCOMPARE(values.count(), 1);
    QCOMPARE(colors.value(stroke), QColor(1, 2, 3));
}

void TestPropertyBrowser::valuesAreClampedAndEmittedOnlyWhenTheyChange_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariantList>("steps");
    QTest::addColumn<QVariantList>("held"); // the value first, then after each step
    QTest::addColumn<int>("emitted");       // valueChanged signals
    QTest::addColumn<QString>("text");      // the value text at the end
    // Narrowing the range pulls the value in and reports it; a minimum
    // above the maximum carries the maximum along.
    QTest::newRow("int") << "int" << QVariantList{":range=0,65535", 70000, -5, 0, 500, ":maximum=100", ":minimum=200"}
                         << QVariantList{0, 0, 65535, 0, 0, 500, 100, 200} << 5 << "200";
    // Any change of a double counts, however small; at most 13 decimals.
    QTest::newRow("doubleDefaultsAndRangeChangeClampsValue")
        << "double" << QVariantList{12.345, 12.345, 12.345 + 1e-12, ":decimals=20", ":range=-1.5,1.5"}
        << QVariantList{0.0, 12.345, 12.345, 12.345 + 1e-12, 12.345 + 1e-12, 1.5} << 3 << "1.5000000000000";
    QTest::newRow("double text") << "double" << QVariantList{12.345} << QVariantList{0.0, 12.345} << 1 << "12.35";
    // A bad index is ignored; new names restart at 0 and report it even when
    // the index stays, the same names change nothing; no names is -1.
    QTest::newRow("enum") << "enum" << QVariantList{0, ":enumNames=Regular,Bold", 1, 2, -1, -7, ":enumNames=Regular,Bold", 0,
                                                    ":enumNames=Book,Oblique,Bold", ":enumNames="}
                          << QVariantList{-1, -1, 0, 1, 1, 1, 1, 1, 0, 0, -1} << 5 << "";
    QTest::newRow("enum text") << "enum" << QVariantList{":enumNames=Regular,Bold", 1} << QVariantList{-1, 0, 1} << 2 << "Bold";
    QTest::newRow("string") << "string" << QVariantList{"abc", "abc"} << QVariantList{"", "abc", "abc"} << 1 << "abc";
    QTest::newRow("bool") << "bool" << QVariantList{false, true, true} << QVariantList{false, false, true, true} << 1 << "";
    const QColor half(255, 0, 0, 128);
    QTest::newRow("color") << "color" << QVariantList{QColor(), half, half} << QVariantList{QColor(), QColor(), half, half}
                           << 1 << "#ff0000 (50%)";
    // The variant manager holds the same rules, and refuses values it
    // cannot convert.
    QTest::newRow("variant int") << "variant int" << QVariantList{":range=0,65535", -3, 100000, 65535, 5, "many", QVariant()}
                                 << QVariantList{0, 0, 0, 65535, 65535, 5, 5, 5} << 2 << "5";
    QTest::newRow("variant enum")
        << "variant enum"
        << QVariantList{":enumNames=always active,mouse left button,mouse middle button,mouse right button", 1, 4, -1, 2,
                        ":enumNames=1,2"}
        << QVariantList{-1, 0, 1, 1, 1, 2, 0} << 4 << "1";
    // A SoftType's clock: a double set on every frame, wrapping in its range.
    QTest::newRow("variantFrameByFrameValueEmitsOncePerChange")
        << "variant double" << QVariantList{":range=0,4", 1, 2, 2, 3, 4, 5, 0, 0, 1e-15, -1, 2.5, "soon", 3.5}
        << QVariantList{0.0, 0.0, 1.0, 2.0, 2.0, 3.0, 4.0, 4.0, 0.0, 0.0, 1e-15, 0.0, 2.5, 2.5, 3.5} << 9 << "3.50";
    QTest::newRow("variant bool") << "variant bool" << QVariantList{true, QVariant::fromValue(QPointF(1, 1))}
                                  << QVariantList{false, true, true} << 1 << "";
    QTest::newRow("variant color") << "variant color" << QVariantList{QColor(0, 0, 255, 127)}
                                   << QVariantList{QColor(), QColor(0, 0, 255, 127)} << 1 << "#0000ff (49%)";
    QTest::newRow("variant string") << "variant string" << QVariantList{"clay"} << QVariantList{"", "clay"} << 1 << "clay";
    QTest::newRow("variant point") << "variant point" << QVariantList{QPointF(1, 2), QPointF(1e-14, 2), QPointF(1e-14, 2)}
                                   << QVariantList{QPointF(), QPointF(1, 2), QPointF(1e-14, 2), QPointF(1e-14, 2)} << 2
                                   << "(0.00, 2.00)";
}

void TestPropertyBrowser::valuesAreClampedAndEmittedOnlyWhenTheyChange()
{
    QFETCH(QString, kind);
    QFETCH(QVariantList, steps);
    QFETCH(QVariantList, held);
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
    QFETCH(QString, text);
    if (!text.isEmpty())
        QCOMPARE(s.property->valueText(), text);
    // A property of another manager is left alone.
    QtIntPropertyManager other;
    other.setValue(s.property, 9);
    QVERIFY(same(s.value(), held.last()));
}

void TestPropertyBrowser::colorValueTextTruncatesPercent_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("text");
    // alpha * 100 / 255, truncated: 128 -> 50.19, 127 -> 49.80, 254 -> 99.60.
    QTest::newRow("opaque red") << QColor(255, 0, 0) << "#ff0000 (100%)";
    QTest::newRow("alpha 128") << QColor(0x12, 0xab, 0xcd, 128) << "#12abcd (50%)";
    QTest::newRow("alpha 127") << QColor(0, 0, 255, 127) << "#0000ff (49%)";
    QTest::newRow("alpha 254") << QColor(0, 255, 0, 254) << "#00ff00 (99%)";
    QTest::newRow("transparent") << QColor(10, 20, 30, 0) << "#0a141e (0%)";
    // An invalid colour is named black and reads fully opaque.
    QTest::newRow("invalid") << QColor() << "#000000 (100%)";
}

void TestPropertyBrowser::colorValueTextTruncatesPercent()
{
    QFETCH(QColor, color);
    QTEST(QtPropertyBrowserUtils::colorValueText(color), "text");
}

void TestPropertyBrowser::attributesOfTheNumbers()
{
    QtIntPropertyManager ints;
    QtProperty *i = ints.addProperty("Font Size");
    QCOMPARE(i->propertyName(), QString("Font Size"));
    QCOMPARE(ints.minimum(i), -2147483647);
    QCOMPARE(ints.maximum(i), 2147483647);
    ints.setSingleStep(i, 0); // refused
    QCOMPARE(ints.singleStep(i), 1);
    QtDoublePropertyManager doubles;
    QtProperty *d = doubles.addProperty("Rotation");
    QCOMPARE(doubles.decimals(d), 2);
    QCOMPARE(doubles.minimum(d), -2147483647.0);
    QCOMPARE(doubles.singleStep(d), 1.0);

    QtVariantPropertyManager manager;
    QtVariantProperty *v = manager.addProperty(QVariant::Double, "strength");
    QCOMPARE(v->attributeValue("decimals").toInt(), 2);
    QCOMPARE(v->attributeValue("minimum").toDouble(), -2147483647.0);
    QCOMPARE(v->attributeValue("singleStep").toDouble(), 1.0);
    QVERIFY(!v->attributeValue("enumNames").isValid());
    QSignalSpy attributes(&manager, &QtVariantPropertyManager::attributeChanged);
    v->setValue(0.75);
    v->setAttribute("maximum", 0.5);
    QCOMPARE(v->value().toDouble(), 0.5);
    v->setAttribute("maximum", 0.5);                  // the same: silent
    v->setAttribute("enumNames", QStringList({"a"})); // not a double's attribute
    v->setAttribute("singleStep", -1.0);              // refused
    QCOMPARE(attributes.count(), 1);
    v->setAttribute("decimals", 3);
    QCOMPARE(v->valueText(), QString("0.500"));
    QtVariantProperty *n = manager.addProperty(QVariant::Int, "count");
    n->setAttribute("minimum", 10);
    QCOMPARE(n->value().toInt(), 10);
    QVERIFY(!n->attributeValue("decimals").isValid());
    QCOMPARE(manager.attributes(QVariant::Int), QStringList({"minimum", "maximum", "singleStep"}));
}

void TestPropertyBrowser::childDeletedAloneIsForgotten()
{
    // A point's children are doubles of its sub-manager; an edit of one
    // emits the whole point once; setting the point moves both children.
    QtPointFPropertyManager manager;
    QtProperty *p = manager.addProperty("Position");
    QList<QtProperty *> children = p->subProperties();
    QCOMPARE(children.size(), 2);
    QCOMPARE(children[0]->propertyName(), QString("X"));
    QCOMPARE(children[1]->propertyName(), QString("Y"));
    QCOMPARE(children[0]->propertyManager(), manager.subDoublePropertyManager());
    manager.setValue(p, QPointF(3, 4));
    QCOMPARE(p->valueText(), QString("(3.00, 4.00)"));
    QSignalSpy parent(&manager, &QtPointFPropertyManager::valueChanged);
    QSignalSpy child(manager.subDoublePropertyManager(), &QtDoublePropertyManager::valueChanged);
    manager.subDoublePropertyManager()->setValue(children[0], 7.5);
    QCOMPARE(parent.count(), 1);
    QCOMPARE(parent.at(0).at(1).toPointF(), QPointF(7.5, 4));
    manager.setValue(p, QPointF(1, 2));
    manager.setValue(p, QPointF(1, 2));
    QCOMPARE(child.count(), 3);
    QCOMPARE(parent.count(), 2);
    // A child deleted alone is forgotten.
    delete children[0];
    QCOMPARE(p->subProperties().size(), 1);
    manager.setValue(p, QPointF(5, 6)); // must not touch the deleted child
    QCOMPARE(manager.value(p), QPointF(5, 6));
    QCOMPARE(manager.subDoublePropertyManager()->value(p->subProperties()[0]), 6.0);

    // A rectangle likewise, with four children, which go with it.
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
    // A colour has none.
    QtColorPropertyManager colors;
    QVERIFY(colors.addProperty("Stroke")->subProperties().isEmpty());
}

void TestPropertyBrowser::subPropertiesRefuseCyclesAndLeaveParentsOnDelete()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtProperty *outer = groups.addProperty("Editing Properties");
    QtProperty *inner = groups.addProperty("Inner");
    QtProperty *value = ints.addProperty("radius");
    QVERIFY(!outer->hasValue() && value->hasValue());
    // Insertions and removals are told by the parent's manager.
    QSignalSpy inserted(&groups, &QtAbstractPropertyManager::propertyInserted);
    outer->addSubProperty(inner);
    inner->addSubProperty(value);
    outer->addSubProperty(value); // a property may sit under several parents
    QCOMPARE(inserted.count(), 3);
    inner->addSubProperty(outer); // cycle: refused
    inner->addSubProperty(inner);
    QCOMPARE(inner->subProperties(), QList<QtProperty *>({value}));
    outer->addSubProperty(value); // already a child
    QCOMPARE(outer->subProperties(), QList<QtProperty *>({inner, value}));
    QCOMPARE(inserted.count(), 3);
    QSignalSpy removed(&groups, &QtAbstractPropertyManager::propertyRemoved);
    QSignalSpy destroyed(&ints, &QtAbstractPropertyManager::propertyDestroyed);
    delete value;
    QCOMPARE(removed.count(), 2);
    QCOMPARE(destroyed.count(), 1);
    QCOMPARE(outer->subProperties(), QList<QtProperty *>({inner}));
    QVERIFY(inner->subProperties().isEmpty());
    // Deleting a parent leaves its children alive and parentless.
    QtProperty *again = ints.addProperty("again");
    inner->addSubProperty(again);
    delete inner;
    QCOMPARE(ints.properties().size(), 1);
    outer->addSubProperty(again);
    QCOMPARE(outer->subProperties().size(), 1);
}

void TestPropertyBrowser::variantSupportsItsTypesOnly()
{
    QtVariantPropertyManager manager;
    const int enumType = QtVariantPropertyManager::enumTypeId();
    for (int type : {int(QVariant::Bool), int(QVariant::Int), int(QVariant::Double), int(QVariant::String),
                     int(QVariant::Color), int(QVariant::PointF), enumType}) {
        QVERIFY(manager.isPropertyTypeSupported(type));
        QCOMPARE(manager.addProperty(type, "p")->propertyType(), type);
    }
    QCOMPARE(manager.addProperty(enumType, "e")->valueType(), int(QVariant::Int));
    QVERIFY(!manager.isPropertyTypeSupported(QVariant::Invalid));
    QVERIFY(!manager.addProperty(QVariant::Invalid, "x"));
    QVERIFY(!manager.addProperty(QVariant::ByteArray, "x"));
    QCOMPARE(manager.properties().size(), 8 + 2); // the point's X and Y
    QVERIFY(!manager.variantProperty(nullptr));
}

void TestPropertyBrowser::variantRefusesUnconvertibleAttributes()
{
    QtVariantPropertyManager manager;
    QtVariantProperty *radius = manager.addProperty(QVariant::Int, "radius");
    radius->setAttribute("maximum", 100);
    radius->setValue(50);
    QtVariantProperty *strength = manager.addProperty(QVariant::Double, "strength");
    strength->setValue(-2.5);
    QtVariantProperty *trigger = manager.addProperty(QtVariantPropertyManager::enumTypeId(), "trigger");
    trigger->setAttribute("enumNames", QStringList({"a", "b"}));
    trigger->setValue(1);
    QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
    QSignalSpy attributes(&manager, &QtVariantPropertyManager::attributeChanged);
    // None of these is a number or a list: the old attribute and value stay.
    radius->setAttribute("maximum", QString("lots"));
    radius->setAttribute("minimum", QVariant::fromValue(QPointF(1, 2)));
    strength->setAttribute("minimum", QString("low"));
    strength->setAttribute("decimals", QString("some"));
    strength->setAttribute("singleStep", QColor(Qt::red));
    trigger->setAttribute("enumNames", QVariant::fromValue(QPointF(1, 2)));
    QCOMPARE(radius->attributeValue("maximum"), QVariant(100));
    QCOMPARE(radius->attributeValue("minimum"), QVariant(-2147483647));
    QCOMPARE(radius->value(), QVariant(50));
    QCOMPARE(strength->attributeValue("minimum").toDouble(), -2147483647.0);
    QCOMPARE(strength->attributeValue("decimals"), QVariant(2));
    QCOMPARE(strength->attributeValue("singleStep").toDouble(), 1.0);
    QCOMPARE(strength->value().toDouble(), -2.5);
    QCOMPARE(trigger->attributeValue("enumNames").toStringList(), QStringList({"a", "b"}));
    QCOMPARE(trigger->value(), QVariant(1));
    QCOMPARE(values.count(), 0);
    QCOMPARE(attributes.count(), 0);
    // Numbers given as text that reads as a number are taken.
    radius->setAttribute("maximum", QString("40"));
    QCOMPARE(radius->value(), QVariant(40));
    QCOMPARE(values.count(), 1);
}

void TestPropertyBrowser::variantPointTakesEveryRealChange()
{
    // Like a double, a point takes a change however small, and its children
    // and the point never disagree.
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
    QCOMPARE(p->value().toPointF().x(), nudged);
    QCOMPARE(values.count(), 2); // the point, then "X"
    QCOMPARE(values.at(0).at(0).value<QtProperty *>(), p);
    QCOMPARE(values.at(0).at(1).toPointF().x(), nudged);
    p->setValue(QPointF(1e-14, 2));
    QCOMPARE(x->value().toDouble(), 1e-14);
    p->setAttribute("decimals", 1);
    QCOMPARE(x->attributeValue("decimals").toInt(), 1);
    QCOMPARE(p->valueText(), QString("(0.0, 2.0)"));
}

QTEST_MAIN(TestPropertyBrowser)
#include "tst_propertybrowser.moc"
