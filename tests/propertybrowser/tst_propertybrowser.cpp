#include "propertybrowser/QtColorEditWidget.h"
#include "propertybrowser/QtColorEditorFactory.h"
#include "propertybrowser/QtDoubleSpinBoxFactory.h"
#include "propertybrowser/QtEnumEditorFactory.h"
#include "propertybrowser/QtGroupBoxPropertyBrowser.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtLineEditFactory.h"
#include "propertybrowser/QtPointFPropertyManager.h"
#include "propertybrowser/QtRectFPropertyManager.h"
#include "propertybrowser/QtSpinBoxFactory.h"
#include "propertybrowser/QtVariantEditorFactory.h"
#include "support/ModalRecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

QTEST_MAIN(TestPropertyBrowser)
#include "tst_propertybrowser.moc"
