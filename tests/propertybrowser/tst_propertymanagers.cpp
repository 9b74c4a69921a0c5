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

#include <QMetaMethod>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(QtProperty *)

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

class TestPropertyManagers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QtProperty *>(); }
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

void TestPropertyManagers::valuesAreClampedAndEmittedOnlyWhenTheyChange_data()
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

void TestPropertyManagers::valuesAreClampedAndEmittedOnlyWhenTheyChange()
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
    QTEST(QtPropertyBrowserUtils::colorValueText(color), "text");
}

void TestPropertyManagers::attributesOfTheNumbers()
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

void TestPropertyManagers::childDeletedAloneIsForgotten()
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

void TestPropertyManagers::subPropertiesRefuseCyclesAndLeaveParentsOnDelete()
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

void TestPropertyManagers::variantSupportsItsTypesOnly()
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

QTEST_MAIN(TestPropertyManagers)
#include "tst_propertymanagers.moc"
