#include "propertybrowser/QtBoolPropertyManager.h"
#include "propertybrowser/QtColorPropertyManager.h"
#include "propertybrowser/QtDoublePropertyManager.h"
#include "propertybrowser/QtEnumPropertyManager.h"
#include "propertybrowser/QtGroupPropertyManager.h"
#include "propertybrowser/QtIntPropertyManager.h"
#include "propertybrowser/QtPointFPropertyManager.h"
#include "propertybrowser/QtPropertyBrowserUtils.h"
#include "propertybrowser/QtRectFPropertyManager.h"
#include "propertybrowser/QtStringPropertyManager.h"
#include "propertybrowser/QtVariantPropertyManager.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(QtProperty *)

class TestPropertyManagers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void intClampsToRangeAndEmitsOnlyRealChanges();
    void doubleDefaultsAndRangeChangeClampsValue();
    void enumIgnoresBadIndexAndNewNamesRestartChoice();
    void stringBoolAndColorEmitOnlyOnChange();
    void colorPropertyHasNoChildren();
    void colorValueTextTruncatesPercent_data();
    void colorValueTextTruncatesPercent();
    void pointChildEditEmitsWholePointOnce();
    void rectHasFourChildrenAndFollowsThem();
    void childDeletedAloneIsForgotten();
    void subPropertiesRefuseCyclesAndLeaveParentsOnDelete();
    void variantSupportsItsTypesOnly();
    void variantClampsAndIgnoresBadEnumIndex();
    void variantAttributes();
    void variantPointKeepsChildrenInStep();
    void variantRefusesUnconvertibleValues();
    void variantFrameByFrameValueEmitsOncePerChange();
    void variantRefusesUnconvertibleAttributes();
    void variantPointTakesEveryRealChange();
};

void TestPropertyManagers::initTestCase()
{
    qRegisterMetaType<QtProperty *>();
}

void TestPropertyManagers::intClampsToRangeAndEmitsOnlyRealChanges()
{
    QtIntPropertyManager manager;
    QtProperty *p = manager.addProperty("Font Size");
    QCOMPARE(p->propertyName(), QString("Font Size"));
    QCOMPARE(manager.value(p), 0);
    QCOMPARE(manager.minimum(p), -2147483647);
    QCOMPARE(manager.maximum(p), 2147483647);
    QCOMPARE(manager.singleStep(p), 1);

    QSignalSpy values(&manager, &QtIntPropertyManager::valueChanged);
    manager.setRange(p, 0, 65535);
    QCOMPARE(values.count(), 0); // 0 is inside the new range
    manager.setValue(p, 70000);
    QCOMPARE(manager.value(p), 65535);
    manager.setValue(p, -5);
    QCOMPARE(manager.value(p), 0);
    manager.setValue(p, 0);
    QCOMPARE(values.count(), 2);
    QCOMPARE(values.at(0).at(1).toInt(), 65535);

    // Narrowing the range pulls the value in and reports it.
    manager.setValue(p, 500);
    values.clear();
    manager.setMaximum(p, 100);
    QCOMPARE(manager.value(p), 100);
    QCOMPARE(values.count(), 1);
    // A minimum above the maximum carries the maximum along.
    manager.setMinimum(p, 200);
    QCOMPARE(manager.maximum(p), 200);
    QCOMPARE(manager.value(p), 200);

    manager.setSingleStep(p, 0); // refused
    QCOMPARE(manager.singleStep(p), 1);
}

void TestPropertyManagers::doubleDefaultsAndRangeChangeClampsValue()
{
    QtDoublePropertyManager manager;
    QtProperty *p = manager.addProperty("Rotation");
    QCOMPARE(manager.decimals(p), 2);
    QCOMPARE(manager.minimum(p), -2147483647.0);
    QCOMPARE(manager.maximum(p), 2147483647.0);
    QCOMPARE(manager.singleStep(p), 1.0);
    QCOMPARE(p->valueText(), QString("0.00"));

    QSignalSpy values(&manager, &QtDoublePropertyManager::valueChanged);
    manager.setValue(p, 12.345);
    QCOMPARE(p->valueText(), QString("12.35"));
    manager.setValue(p, 12.345);
    QCOMPARE(values.count(), 1);
    // A change smaller than any fuzzy comparison still counts.
    manager.setValue(p, 12.345 + 1e-12);
    QCOMPARE(values.count(), 2);

    manager.setDecimals(p, 20);
    QCOMPARE(manager.decimals(p), 13);
    manager.setRange(p, -1.5, 1.5);
    QCOMPARE(manager.value(p), 1.5);
    QCOMPARE(values.count(), 3);
}

void TestPropertyManagers::enumIgnoresBadIndexAndNewNamesRestartChoice()
{
    QtEnumPropertyManager manager;
    QtProperty *p = manager.addProperty("Font Style");
    QCOMPARE(manager.value(p), -1);
    QSignalSpy values(&manager, &QtEnumPropertyManager::valueChanged);

    manager.setValue(p, 0); // empty list: ignored
    QCOMPARE(manager.value(p), -1);
    QCOMPARE(values.count(), 0);

    manager.setEnumNames(p, {"Regular", "Bold"});
    QCOMPARE(manager.value(p), 0);
    QCOMPARE(values.count(), 1);
    manager.setValue(p, 1);
    QCOMPARE(p->valueText(), QString("Bold"));
    for (int bad : {2, -1, -7}) {
        manager.setValue(p, bad);
        QCOMPARE(manager.value(p), 1);
    }
    QCOMPARE(values.count(), 2);

    // The same list again changes nothing.
    manager.setEnumNames(p, {"Regular", "Bold"});
    QCOMPARE(manager.value(p), 1);
    QCOMPARE(values.count(), 2);

    // A different list restarts at 0 and reports it, even when the index
    // already was 0.
    manager.setValue(p, 0);
    values.clear();
    manager.setEnumNames(p, {"Book", "Oblique", "Bold"});
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.at(0).at(1).toInt(), 0);

    manager.setEnumNames(p, {});
    QCOMPARE(manager.value(p), -1);
    QCOMPARE(values.count(), 2);
    QCOMPARE(p->valueText(), QString());
}

void TestPropertyManagers::stringBoolAndColorEmitOnlyOnChange()
{
    QtStringPropertyManager strings;
    QtProperty *s = strings.addProperty("Selected Text");
    QSignalSpy stringSpy(&strings, &QtStringPropertyManager::valueChanged);
    strings.setValue(s, "abc");
    strings.setValue(s, "abc");
    QCOMPARE(stringSpy.count(), 1);
    QCOMPARE(s->valueText(), QString("abc"));

    QtBoolPropertyManager bools;
    QtProperty *b = bools.addProperty("enabled");
    QSignalSpy boolSpy(&bools, &QtBoolPropertyManager::valueChanged);
    bools.setValue(b, false);
    bools.setValue(b, true);
    bools.setValue(b, true);
    QCOMPARE(boolSpy.count(), 1);

    QtColorPropertyManager colors;
    QtProperty *c = colors.addProperty("Fill");
    QVERIFY(!colors.value(c).isValid());
    QSignalSpy colorSpy(&colors, &QtColorPropertyManager::valueChanged);
    colors.setValue(c, QColor());
    QCOMPARE(colorSpy.count(), 0);
    colors.setValue(c, QColor(255, 0, 0, 128));
    colors.setValue(c, QColor(255, 0, 0, 128));
    QCOMPARE(colorSpy.count(), 1);
    QCOMPARE(c->valueText(), QString("#ff0000 (50%)"));

    // A property the manager does not know is left alone.
    QtColorPropertyManager other;
    other.setValue(c, Qt::blue);
    QCOMPARE(colors.value(c), QColor(255, 0, 0, 128));
}

void TestPropertyManagers::colorPropertyHasNoChildren()
{
    QtColorPropertyManager colors;
    QtProperty *c = colors.addProperty("Stroke");
    colors.setValue(c, Qt::green);
    QVERIFY(c->subProperties().isEmpty());
    QCOMPARE(colors.properties().size(), 1);
}

void TestPropertyManagers::colorValueTextTruncatesPercent_data()
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

void TestPropertyManagers::colorValueTextTruncatesPercent()
{
    QFETCH(QColor, color);
    QFETCH(QString, text);
    QCOMPARE(QtPropertyBrowserUtils::colorValueText(color), text);
}

void TestPropertyManagers::pointChildEditEmitsWholePointOnce()
{
    QtPointFPropertyManager manager;
    QtProperty *p = manager.addProperty("Position");
    const QList<QtProperty *> children = p->subProperties();
    QCOMPARE(children.size(), 2);
    QCOMPARE(children[0]->propertyName(), QString("X"));
    QCOMPARE(children[1]->propertyName(), QString("Y"));
    QCOMPARE(children[0]->propertyManager(), manager.subDoublePropertyManager());

    manager.setValue(p, QPointF(3, 4));
    QCOMPARE(manager.subDoublePropertyManager()->value(children[1]), 4.0);
    QCOMPARE(p->valueText(), QString("(3.00, 4.00)"));

    QSignalSpy parent(&manager, &QtPointFPropertyManager::valueChanged);
    QSignalSpy child(manager.subDoublePropertyManager(), &QtDoublePropertyManager::valueChanged);
    manager.subDoublePropertyManager()->setValue(children[0], 7.5);
    QCOMPARE(parent.count(), 1);
    QCOMPARE(parent.at(0).at(0).value<QtProperty *>(), p);
    QCOMPARE(parent.at(0).at(1).toPointF(), QPointF(7.5, 4));
    QCOMPARE(child.count(), 1);

    // Setting the point moves both children, each once.
    child.clear();
    manager.setValue(p, QPointF(1, 2));
    QCOMPARE(child.count(), 2);
    QCOMPARE(parent.count(), 2);
    manager.setValue(p, QPointF(1, 2));
    QCOMPARE(parent.count(), 2);
}

void TestPropertyManagers::rectHasFourChildrenAndFollowsThem()
{
    QtRectFPropertyManager manager;
    QtProperty *r = manager.addProperty("Selection Area");
    QStringList names;
    for (QtProperty *child : r->subProperties())
        names << child->propertyName();
    QCOMPARE(names, QStringList({"X", "Y", "Width", "Height"}));
    QCOMPARE(manager.value(r), QRectF(0, 0, 0, 0));

    QSignalSpy spy(&manager, &QtRectFPropertyManager::valueChanged);
    manager.subDoublePropertyManager()->setValue(r->subProperties()[3], 9);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(manager.value(r), QRectF(0, 0, 0, 9));
    QCOMPARE(r->valueText(), QString("[(0.00, 0.00), 0.00 x 9.00]"));

    // Deleting the rectangle deletes its children from the sub-manager.
    delete r;
    QVERIFY(manager.properties().isEmpty());
    QVERIFY(manager.subDoublePropertyManager()->properties().isEmpty());
}

void TestPropertyManagers::childDeletedAloneIsForgotten()
{
    QtPointFPropertyManager manager;
    QtProperty *p = manager.addProperty("Caret");
    delete p->subProperties()[0];
    QCOMPARE(p->subProperties().size(), 1);
    manager.setValue(p, QPointF(5, 6)); // must not touch the deleted child
    QCOMPARE(manager.value(p), QPointF(5, 6));
    QCOMPARE(manager.subDoublePropertyManager()->value(p->subProperties()[0]), 6.0);
}

void TestPropertyManagers::subPropertiesRefuseCyclesAndLeaveParentsOnDelete()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtProperty *outer = groups.addProperty("Editing Properties");
    QtProperty *inner = groups.addProperty("Inner");
    QtProperty *value = ints.addProperty("radius");
    QVERIFY(!outer->hasValue());
    QVERIFY(value->hasValue());

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

void TestPropertyManagers::variantSupportsItsTypesOnly()
{
    QtVariantPropertyManager manager;
    const int enumType = QtVariantPropertyManager::enumTypeId();
    for (int type : {int(QVariant::Bool), int(QVariant::Int), int(QVariant::Double), int(QVariant::String),
                     int(QVariant::Color), int(QVariant::PointF), enumType}) {
        QVERIFY(manager.isPropertyTypeSupported(type));
        QtVariantProperty *p = manager.addProperty(type, "p");
        QVERIFY(p);
        QCOMPARE(p->propertyType(), type);
    }
    QCOMPARE(manager.addProperty(enumType, "e")->valueType(), int(QVariant::Int));
    QVERIFY(!manager.isPropertyTypeSupported(QVariant::Invalid));
    QVERIFY(!manager.addProperty(QVariant::Invalid, "x"));
    QVERIFY(!manager.addProperty(QVariant::ByteArray, "x"));
    QCOMPARE(manager.properties().size(), 8 + 2); // the point's X and Y
}

void TestPropertyManagers::variantClampsAndIgnoresBadEnumIndex()
{
    QtVariantPropertyManager manager;
    QtVariantProperty *radius = manager.addProperty(QVariant::Int, "radius");
    radius->setAttribute("minimum", 0);
    radius->setAttribute("maximum", 65535);
    QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
    radius->setValue(-3);
    QCOMPARE(radius->value().toInt(), 0);
    QCOMPARE(values.count(), 0); // clamped onto the old value
    radius->setValue(100000);
    QCOMPARE(radius->value(), QVariant(65535));
    radius->setValue(65535);
    QCOMPARE(values.count(), 1);

    QtVariantProperty *trigger = manager.addProperty(QtVariantPropertyManager::enumTypeId(), "trigger");
    QCOMPARE(trigger->value().toInt(), -1);
    trigger->setAttribute("enumNames", QStringList({"always active", "mouse left button",
                                                    "mouse middle button", "mouse right button"}));
    QCOMPARE(trigger->value().toInt(), 0);
    trigger->setValue(1);
    QCOMPARE(trigger->valueText(), QString("mouse left button"));
    trigger->setValue(4);
    trigger->setValue(-1);
    QCOMPARE(trigger->value().toInt(), 1);
    // A new list restarts the choice at 0, and says so.
    values.clear();
    trigger->setAttribute("enumNames", QStringList({"1", "2"}));
    QCOMPARE(trigger->value().toInt(), 0);
    QCOMPARE(values.count(), 1);
}

void TestPropertyManagers::variantAttributes()
{
    QtVariantPropertyManager manager;
    QtVariantProperty *d = manager.addProperty(QVariant::Double, "strength");
    QCOMPARE(d->attributeValue("decimals").toInt(), 2);
    QCOMPARE(d->attributeValue("minimum").toDouble(), -2147483647.0);
    QCOMPARE(d->attributeValue("singleStep").toDouble(), 1.0);
    QVERIFY(!d->attributeValue("enumNames").isValid());

    QSignalSpy attributes(&manager, &QtVariantPropertyManager::attributeChanged);
    d->setValue(0.75);
    d->setAttribute("maximum", 0.5);
    QCOMPARE(d->value().toDouble(), 0.5);
    QCOMPARE(attributes.count(), 1);
    d->setAttribute("maximum", 0.5); // the same: silent
    d->setAttribute("enumNames", QStringList({"a"})); // not a double's attribute
    d->setAttribute("singleStep", -1.0); // refused
    QCOMPARE(attributes.count(), 1);
    d->setAttribute("decimals", 3);
    QCOMPARE(d->valueText(), QString("0.500"));

    QtVariantProperty *i = manager.addProperty(QVariant::Int, "count");
    i->setAttribute("minimum", 10);
    QCOMPARE(i->value().toInt(), 10);
    QVERIFY(!i->attributeValue("decimals").isValid());
    QCOMPARE(manager.attributes(QVariant::Int), QStringList({"minimum", "maximum", "singleStep"}));
}

void TestPropertyManagers::variantPointKeepsChildrenInStep()
{
    QtVariantPropertyManager manager;
    QtVariantProperty *p = manager.addProperty(QVariant::PointF, "centre");
    QCOMPARE(p->subProperties().size(), 2);
    QtVariantProperty *x = manager.variantProperty(p->subProperties()[0]);
    QtVariantProperty *y = manager.variantProperty(p->subProperties()[1]);
    QCOMPARE(x->propertyName(), QString("X"));
    QCOMPARE(x->propertyType(), int(QVariant::Double));

    p->setValue(QPointF(1, 2));
    QCOMPARE(y->value().toDouble(), 2.0);
    QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
    x->setValue(8.0);
    QCOMPARE(p->value().toPointF(), QPointF(8, 2));
    int parentChanges = 0;
    for (const QList<QVariant> &args : values)
        parentChanges += args.at(0).value<QtProperty *>() == p;
    QCOMPARE(parentChanges, 1);

    p->setAttribute("decimals", 1);
    QCOMPARE(x->attributeValue("decimals").toInt(), 1);
    QCOMPARE(p->valueText(), QString("(8.0, 2.0)"));
}

void TestPropertyManagers::variantRefusesUnconvertibleValues()
{
    QtVariantPropertyManager manager;
    QtVariantProperty *i = manager.addProperty(QVariant::Int, "radius");
    i->setValue(5);
    i->setValue(QString("many"));
    i->setValue(QVariant());
    QCOMPARE(i->value().toInt(), 5);
    QtVariantProperty *c = manager.addProperty(QVariant::Color, "colour");
    QVERIFY(!c->value().value<QColor>().isValid());
    c->setValue(QColor(0, 0, 255, 127));
    QCOMPARE(c->valueText(), QString("#0000ff (49%)"));
    QtVariantProperty *s = manager.addProperty(QVariant::String, "name");
    s->setValue(QString("clay"));
    QCOMPARE(s->value().toString(), QString("clay"));
    QVERIFY(!manager.variantProperty(nullptr));
}

void TestPropertyManagers::variantFrameByFrameValueEmitsOncePerChange()
{
    // A SoftType's clock: a Double set on every frame, wrapping in its range.
    QtVariantPropertyManager manager;
    QtVariantProperty *time = manager.addProperty(QVariant::Double, "time");
    time->setAttribute("minimum", 0);
    time->setAttribute("maximum", 4);
    QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
    QSignalSpy changes(&manager, &QtAbstractPropertyManager::propertyChanged);
    const QList<double> frames = {1, 2, 2, 3, 4, 5, 0, 0, 1e-15, -1};
    const QList<double> held = {1, 2, 2, 3, 4, 4, 0, 0, 1e-15, 0};
    for (int i = 0; i < frames.size(); ++i) {
        time->setValue(frames[i]);
        QCOMPARE(time->value().toDouble(), held[i]);
    }
    // 1, 2, 3, 4, 0, 1e-15 and 0 are changes; repeats and clamped repeats are not.
    QCOMPARE(values.count(), 7);
    QCOMPARE(changes.count(), 7);
    QCOMPARE(values.at(5).at(1).toDouble(), 1e-15);

    // A refused value leaves what was held, and the next real change emits.
    time->setValue(2.5);
    time->setValue(QString("soon"));
    QCOMPARE(time->value().toDouble(), 2.5);
    QtVariantProperty *flag = manager.addProperty(QVariant::Bool, "enabled");
    flag->setValue(true);
    flag->setValue(QVariant::fromValue(QPointF(1, 1)));
    QCOMPARE(flag->value(), QVariant(true));
    QtVariantProperty *choice = manager.addProperty(QtVariantPropertyManager::enumTypeId(), "trigger");
    choice->setAttribute("enumNames", QStringList({"a", "b"}));
    choice->setValue(1);
    choice->setValue(2);
    QCOMPARE(choice->value().toInt(), 1);
    values.clear();
    time->setValue(3.5);
    QCOMPARE(values.count(), 1);
}

void TestPropertyManagers::variantRefusesUnconvertibleAttributes()
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

void TestPropertyManagers::variantPointTakesEveryRealChange()
{
    // Like a double, a point takes a change however small, and its children
    // and the point never disagree.
    QtVariantPropertyManager manager;
    QtVariantProperty *p = manager.addProperty(QVariant::PointF, "centre");
    QtVariantProperty *x = manager.variantProperty(p->subProperties()[0]);
    p->setValue(QPointF(1, 2));
    QSignalSpy values(&manager, &QtVariantPropertyManager::valueChanged);
    const double nudged = 1 + 1e-13;
    x->setValue(nudged);
    QCOMPARE(p->value().toPointF().x(), nudged);
    QCOMPARE(values.count(), 2); // the point, then "X"
    QCOMPARE(values.at(0).at(1).toPointF().x(), nudged);

    p->setValue(QPointF(1e-14, 2));
    QCOMPARE(x->value().toDouble(), 1e-14);
    QCOMPARE(values.count(), 4);
    p->setValue(QPointF(1e-14, 2)); // the same: silent
    QCOMPARE(values.count(), 4);
}

QTEST_MAIN(TestPropertyManagers)
#include "tst_propertymanagers.moc"
