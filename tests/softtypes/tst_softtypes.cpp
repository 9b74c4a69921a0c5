#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/TextGroup.h"
#include "propertybrowser/QtVariantProperty.h"
#include "propertybrowser/QtVariantPropertyManager.h"
#include "softtypes/PhysicsSoftType.h"
#include "softtypes/PseudoRandom.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "softtypes/SoftTypeLens.h"
#include "softtypes/SoftTypePull.h"
#include "support/SoftTypeStage.h"

#include <QDataStream>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {

using SoftTypePtr = std::unique_ptr<SoftType>;

SoftTypePtr create(const QString &key, const QString &name = QStringLiteral("s"))
{
    return SoftTypePtr(SoftTypeFactory::create(key, name));
}

// Reads a record into s; the stream's status afterwards.
QDataStream::Status read(const QByteArray &bytes, SoftType &s)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_4_6);
    in >> s;
    return in.status();
}

// A square outline, 10 wide, with its corner at the origin; its centre is (5, 5).
const QVector<QPointF> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};

QList<QPointF> outline(const SoftTypeStage &stage)
{
    QList<QPointF> points;
    for (int i = 0; i < 4; ++i)
        points << stage.at(i);
    return points;
}

// Moves every element of the glyph by a fixed scene displacement through
// the frame's own mapping, the one every kind uses, and keeps where the
// frame put each element in the scene.
class MappingProbe : public SoftType
{
public:
    MappingProbe() : SoftType(QStringLiteral("probe"), QStringLiteral("probe")) {}
    SoftType *clone() const override { return new MappingProbe; }
    void apply(Glyph *glyph) override
    {
        Frame frame;
        if (!beginFrame(glyph, frame))
            return;
        scenePoints.clear();
        for (int i = 0; i < frame.outline->elementCount(); ++i) {
            const QPointF p = frame.sceneAt(i);
            scenePoints << p;
            frame.moveBy(i, p, shift);
        }
        step(frame.scene);
    }

    QPointF shift{0.3, -1.7};
    QList<QPointF> scenePoints;
};


// A square around the origin.
const QVector<QPointF> around = {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}};
// A straight line of four points, 10 apart.
const QVector<QPointF> line = {{0, 0}, {10, 0}, {20, 0}, {30, 0}};
// Points whose coordinates and mouse vectors all round when taken to
// single precision.
const QVector<QPointF> fractional = {{0.1, 0.3}, {3.7, -2.9}, {-1.3, 0.7}, {0.31, 0.27}};
const double n = qQNaN(); // an element not checked
const QPointF skip(n, n);

// Runs a script on the stage: "x,y" is a frame with the mouse there and the
// left button held ("x,y/0" without a button, "x,y*k" k such frames);
// "@i=x,y" moves element i; "pos=x,y" and "rot=r" place the glyph;
// "seed=s" seeds the generator; "name=value" sets a parameter.
void play(SoftTypeStage &stage, SoftType *s, const QString &script)
{
    for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
        const QString key = step.section('=', 0, 0);
        const QString value = step.section('=', 1);
        const QPointF point(value.section(',', 0, 0).toDouble(), value.section(',', 1).toDouble());
        if (!step.contains('=')) {
            const QPointF mouse(step.section(',', 0, 0).toDouble(), step.section(',', 1).section(QRegularExpression("[/*]"), 0, 0).toDouble());
            for (int i = step.contains('*') ? step.section('*', 1).toInt() : 1; i > 0; --i)
                stage.frame(mouse, step.endsWith(QLatin1String("/0")) ? Qt::NoButton : Qt::LeftButton);
        } else if (key.startsWith('@')) {
            stage.displace(key.mid(1).toInt(), point);
        } else if (key == "pos") {
            stage.glyph->setPos(point);
        } else if (key == "rot") {
            stage.glyph->setRotation(value.toDouble());
        } else if (key == "seed") {
            PseudoRandom::seed(value.toUInt());
        } else {
            QtVariantProperty *p = s->property(key);
            QVERIFY2(p, qPrintable(key));
            p->setValue(value.contains('.') ? QVariant(value.toDouble()) : QVariant(value.toInt()));
        }
    }
}

bool near(double actual, double expected, double tolerance)
{
    if (tolerance == 0)
        return actual == expected;
    return qFuzzyCompare(actual, expected) || (qFuzzyIsNull(actual) && qFuzzyIsNull(expected))
        || qAbs(actual - expected) <= tolerance;
}

// Fails the running test unless the point has exactly these coordinates,
// bit for bit (QCOMPARE on doubles forgives the last digits).
#define COMPARE_EXACT(actual, ex, ey)                                                                   \
    do {                                                                                               \
        const QPointF a_ = (actual);                                                                   \
        QVERIFY2(a_.x() == (ex) && a_.y() == (ey),                                                     \
                 qPrintable(QStringLiteral("(%1, %2) != expected (%3, %4)")                            \
                                .arg(a_.x(), 0, 'g', 17).arg(a_.y(), 0, 'g', 17)                       \
                                .arg(double(ex), 0, 'g', 17).arg(double(ey), 0, 'g', 17)));            \
    } while (false)

} // namespace

class TestSoftTypes : public QObject
{
    Q_OBJECT
private slots:
    void kindParametersInCreationOrder_data();
    void kindParametersInCreationOrder();
    void baseParameters();
    void factoryKeysAreExact();
    void triggerFollowsButtons();
    void deformsOnlyOnConsecutiveFrames();
    void noSceneRecordsNothing();
    void cloneIsIndependent();
    void setValuesCreatesUnknownNamesInOrder();
    void recordEdgeCases();
    void toggleKeyChangesNothing();
    void randomSequenceIsTheClassicOne();
    void frameMapsAsTheGraphicsItem_data();
    void frameMapsAsTheGraphicsItem();
    void frames_data();
    void frames();
    void pulseRadiusAndShortPhase();
    void physicsAndLensRoundAsSpecified();
    void editsActOnTheNextFrame();
    void unpairedElementsAreLeftAlone();
};


void TestSoftTypes::kindParametersInCreationOrder_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<double>>("defaults");
    QTest::addColumn<int>("minimum");

    const QStringList sa = {QStringLiteral("strength"), QStringLiteral("attenuation")};
    const QStringList se = {QStringLiteral("strength"), QStringLiteral("elasticity")};
    QTest::newRow("clay") << "clay" << sa << QList<double>{10.0, 10.0} << 0;
    QTest::newRow("pull") << "pull" << sa << QList<double>{400.0, 25.0} << 0;
    QTest::newRow("Twirl") << "Twirl" << QStringList{"strength", "spin", "attenuation"}
                           << QList<double>{200.0, double(float(M_PI / 3)), 5.0} << 0;
    QTest::newRow("originate linear") << "originate linear" << QStringList{"speed"} << QList<double>{2.0} << 0;
    QTest::newRow("originate asymptotic") << "originate asymptotic" << QStringList{"partitions"}
                                          << QList<double>{10.0} << 1;
    QTest::newRow("pulse") << "pulse" << QStringList{"phase", "amplitude", "time"}
                           << QList<double>{36.0, 2.0, 0.0} << 0;
    QTest::newRow("explode") << "explode" << QStringList{"strength", "attenuation", "friction", "randomness"}
                             << QList<double>{1.0, 0.0, 0.1, 0.0} << 0;
    QTest::newRow("drift") << "drift" << QStringList{"strength", "attenuation", "inertia", "friction"}
                           << QList<double>{1.0, 10.0, 0.15, 0.02} << 0;
    QTest::newRow("rubber") << "rubber" << se << QList<double>{1.0, 1.0} << 0;
    QTest::newRow("cloth") << "cloth" << se << QList<double>{1.0, 1.0} << 0;
    QTest::newRow("leak") << "leak" << QStringList{"strength", "attenuation"} << QList<double>{20.0, 10.0} << 0;
    QTest::newRow("lens") << "lens" << QStringList{"magnification", "diameter"} << QList<double>{1.0, 20.0} << 0;
}

void TestSoftTypes::kindParametersInCreationOrder()
{
    QFETCH(QString, key);
    QFETCH(QStringList, names);
    QFETCH(QList<double>, defaults);
    QFETCH(int, minimum);

    const SoftTypePtr s = create(key, QStringLiteral("mine"));
    QVERIFY(s);
    QCOMPARE(s->typeKey(), key);
    const QStringList base = {"name", "enabled", "trigger", "radius", "toggle key"};
    QCOMPARE(s->propertyNames(), base + names);
    QCOMPARE(s->values().size(), 5 + names.size());
    for (int i = 0; i < names.size(); ++i) {
        QtVariantProperty *p = s->property(names.at(i));
        QVERIFY(p);
        QCOMPARE(p->propertyType(), int(QVariant::Double));
        QVERIFY2(p->value().toDouble() == defaults.at(i), qPrintable(names.at(i)));
        QCOMPARE(p->attributeValue(QStringLiteral("minimum")).toDouble(), double(minimum));
        QCOMPARE(p->attributeValue(QStringLiteral("maximum")).toDouble(), 65535.0);
        // The range holds: values beyond it are clamped.
        p->setValue(70000.0);
        QCOMPARE(p->value().toDouble(), 65535.0);
        p->setValue(-3.0);
        QCOMPARE(p->value().toDouble(), double(minimum));
    }
    QVERIFY(!s->property(QStringLiteral("no such")));
}

void TestSoftTypes::baseParameters()
{
    const SoftTypePtr s = create(QStringLiteral("rubber"), QStringLiteral("rubber-3"));
    QCOMPARE(s->name(), QStringLiteral("rubber-3"));
    QCOMPARE(s->property("name")->propertyType(), int(QVariant::String));
    QVERIFY(s->isEnabled());
    QCOMPARE(s->property("enabled")->propertyType(), int(QVariant::Bool));
    QtVariantProperty *trigger = s->property("trigger");
    QCOMPARE(trigger->propertyType(), QtVariantPropertyManager::enumTypeId());
    QCOMPARE(s->trigger(), 1);
    QCOMPARE(trigger->attributeValue("enumNames").toStringList(),
             QStringList({"always active", "mouse left button", "mouse middle button", "mouse right button"}));
    QCOMPARE(trigger->toolTip(), QStringLiteral("Indicates when the SoftType is active.\n"
                                                "Select 'always active' to apply the SoftType\n"
                                                "as soon as the Play button is pressed, or\n"
                                                "select a mouse button to activate the SoftType\n"
                                                "only when the button is pressed."));
    trigger->setValue(4); // not an index: refused
    QCOMPARE(s->trigger(), 1);
    QtVariantProperty *radius = s->property("radius");
    QCOMPARE(radius->propertyType(), int(QVariant::Int));
    QCOMPARE(s->radius(), 0);
    QCOMPARE(radius->attributeValue("maximum").toInt(), 65535);
    radius->setValue(-1);
    QCOMPARE(s->radius(), 0);
    QtVariantProperty *toggle = s->property("toggle key");
    QCOMPARE(toggle->propertyType(), QtVariantPropertyManager::enumTypeId());
    QCOMPARE(toggle->value().toInt(), 0);
    QCOMPARE(toggle->attributeValue("enumNames").toStringList(),
             QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}));
    QCOMPARE(s->lastFrame(), -1);
    QCOMPARE(s->lastMousePosition(), QPointF(0, 0));
    QCOMPARE(s->propertyManager()->properties().size(), 7);

    // The trigger's buttons, and the radius against a truncated distance.
    QVERIFY(s->isTriggered(Qt::LeftButton) && s->isTriggered(Qt::LeftButton | Qt::RightButton));
    QVERIFY(!s->isTriggered(Qt::MiddleButton));
    trigger->setValue(0);
    QVERIFY(s->isTriggered(Qt::NoButton));
    trigger->setValue(2);
    QVERIFY(s->isTriggered(Qt::MiddleButton) && !s->isTriggered(Qt::LeftButton | Qt::RightButton));
    trigger->setValue(3);
    QVERIFY(s->isTriggered(Qt::RightButton) && !s->isTriggered(Qt::LeftButton));
    QVERIFY(s->isInRadius(1000000));
    radius->setValue(5);
    QVERIFY(s->isInRadius(5) && !s->isInRadius(6));
}

void TestSoftTypes::factoryKeysAreExact()
{
    const QStringList keys = {"clay", "cloth", "drift", "explode", "leak", "lens", "originate asymptotic",
                              "originate linear", "pull", "pulse", "rubber", "Twirl"};
    QCOMPARE(SoftTypeFactory::typeKeys(), keys);
    for (const QString &key : keys) {
        const SoftTypePtr s = create(key, QStringLiteral("n"));
        QCOMPARE(s->typeKey(), key);
        QCOMPARE(s->name(), QStringLiteral("n"));
    }
    QVERIFY(!create(QStringLiteral("twirl")));
    QVERIFY(!create(QStringLiteral("Clay")));
    QVERIFY(!create(QString()));
}

void TestSoftTypes::triggerFollowsButtons()
{
    // "mouse middle button" deforms only while the middle button is held,
    // and records the frames on which it is not.
    SoftTypeStage middle(square);
    middle.add(new SoftTypePull(QStringLiteral("m")))->property("trigger")->setValue(2);
    middle.frame(QPointF(50, 0), Qt::LeftButton);
    middle.frame(QPointF(50, 0), Qt::LeftButton);
    QCOMPARE(middle.at(0), QPointF(0, 0));
    QCOMPARE(middle.glyph->softTypes().first()->lastFrame(), 2);
    middle.frame(QPointF(50, 0), Qt::MiddleButton);
    QCOMPARE(middle.at(0), QPointF(400 / 75.0, 0));
    // "always active" deforms whatever the buttons.
    SoftTypeStage always(square);
    always.add(new SoftTypePull(QStringLiteral("a")))->property("trigger")->setValue(0);
    always.frame(QPointF(50, 0), Qt::NoButton);
    always.frame(QPointF(50, 0), Qt::NoButton);
    QCOMPARE(always.at(0), QPointF(400 / 75.0, 0));
    // In a frame the element distance is truncated: 5.9 is within radius
    // 5, 6.0 is not.
    SoftTypeStage stage(QVector<QPointF>{{0, 0}, {5.9, 0}, {16.0, 0}});
    stage.add(new SoftTypePull(QStringLiteral("p")))->property("radius")->setValue(5);
    stage.frame(QPointF(10, 0));
    stage.frame(QPointF(10, 0));
    QCOMPARE(stage.at(0), QPointF(0, 0));
    QVERIFY(stage.at(1).x() > 5.9);
    QCOMPARE(stage.at(2), QPointF(16.0, 0));
}

void TestSoftTypes::deformsOnlyOnConsecutiveFrames()
{
    SoftTypeStage stage(square);
    SoftType *pull = stage.add(new SoftTypePull(QStringLiteral("p")));
    const QPointF mouse(50, 5);
    QList<int> deformed;
    for (const int f : {1, 2, 3, 5, 6}) {
        const QList<QPointF> before = outline(stage);
        stage.scene.setFrameCounter(f - 1);
        stage.frame(mouse);
        QCOMPARE(pull->lastFrame(), f);
        QCOMPARE(pull->lastMousePosition(), mouse);
        if (outline(stage) != before)
            deformed << f;
    }
    QCOMPARE(deformed, QList<int>({2, 3, 6}));
}

void TestSoftTypes::noSceneRecordsNothing()
{
    Glyph glyph(QLatin1Char('x'), QFont(), Qt::black, Qt::black, 0.0, QPointF());
    const QPainterPath before = glyph.path()->current;
    SoftTypePull pull(QStringLiteral("p"));
    pull.apply(&glyph);
    QCOMPARE(pull.lastFrame(), -1);
    QVERIFY(glyph.path()->current == before);
    pull.reset(nullptr);
    pull.step(nullptr);
    QCOMPARE(pull.lastFrame(), -1);
}

void TestSoftTypes::cloneIsIndependent()
{
    const SoftTypePtr source = create(QStringLiteral("pulse"), QStringLiteral("pulse-2"));
    source->property("time")->setValue(7);
    source->property("radius")->setValue(12);
    source->addOrSetProperty(QVariant::String, QStringLiteral("zeta"), QStringLiteral("z"));
    source->addOrSetProperty(QVariant::Double, QStringLiteral("alpha"), 2.5);
    SoftTypeStage stage(square);
    stage.frame(QPointF());
    source->reset(&stage.scene);
    QCOMPARE(source->lastFrame(), 1);

    const SoftTypePtr copy(source->clone());
    QCOMPARE(copy->typeKey(), QStringLiteral("pulse"));
    QCOMPARE(copy->name(), QStringLiteral("pulse-2"));
    QCOMPARE(copy->values(), source->values());
    QCOMPARE(copy->propertyNames(), source->propertyNames()); // extras in the source's order
    QCOMPARE(copy->lastFrame(), -1);
    QVERIFY(copy->propertyManager() != source->propertyManager());

    copy->property("time")->setValue(3);
    copy->setName(QStringLiteral("other"));
    copy->property("alpha")->setValue(9.0);
    QCOMPARE(source->property("time")->value().toDouble(), 7.0);
    QCOMPARE(source->name(), QStringLiteral("pulse-2"));
    QCOMPARE(source->property("alpha")->value().toDouble(), 2.5);
}

void TestSoftTypes::setValuesCreatesUnknownNamesInOrder()
{
    const SoftTypePtr s = create(QStringLiteral("leak"));
    QHash<QString, QVariant> values;
    values.insert(QStringLiteral("strength"), 3.5);
    values.insert(QStringLiteral("b"), 1.0);
    values.insert(QStringLiteral("a"), QStringLiteral("x"));
    values.insert(QStringLiteral("bytes"), QByteArray("no property type"));
    s->setValues(values);
    QCOMPARE(s->property("strength")->value().toDouble(), 3.5);
    QCOMPARE(s->propertyNames().mid(7), QStringList({"a", "b"}));
    QCOMPARE(s->property("a")->propertyType(), int(QVariant::String));
    QCOMPARE(s->property("b")->propertyType(), int(QVariant::Double));
}

void TestSoftTypes::recordEdgeCases()
{
    const SoftTypePtr defaults = create(QStringLiteral("clay"), QStringLiteral("c"));

    // Count 0 leaves the defaults.
    const SoftTypePtr empty = create(QStringLiteral("clay"), QStringLiteral("c"));
    QCOMPARE(read(QByteArray::fromHex("00000000"), *empty), QDataStream::Ok);
    QCOMPARE(empty->values(), defaults->values());

    // A count larger than the record stops at the first pair that is not
    // there, keeping what was read, and does not loop through the count.
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_4_6);
        out << quint32(0xffffffff) << QStringLiteral("strength") << QVariant(3.0);
    }
    const SoftTypePtr truncated = create(QStringLiteral("clay"), QStringLiteral("c"));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(read(bytes, *truncated), QDataStream::ReadPastEnd);
    QVERIFY(timer.elapsed() < 1000);
    QCOMPARE(truncated->property("strength")->value().toDouble(), 3.0);
    QCOMPARE(truncated->propertyNames().size(), 7);

    // A value of a type no property holds is skipped; one that does not fit
    // an existing property leaves it; one beyond the range is clamped.
    bytes.clear();
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_4_6);
        out << qint32(3) << QStringLiteral("blob") << QVariant(QByteArray("xyz"))
            << QStringLiteral("attenuation") << QVariant(QStringLiteral("soft"))
            << QStringLiteral("strength") << QVariant(99999.0);
    }
    const SoftTypePtr odd = create(QStringLiteral("clay"), QStringLiteral("c"));
    QCOMPARE(read(bytes, *odd), QDataStream::Ok);
    QVERIFY(!odd->property("blob"));
    QCOMPARE(odd->property("attenuation")->value().toDouble(), 10.0);
    QCOMPARE(odd->property("strength")->value().toDouble(), 65535.0);
    QCOMPARE(odd->propertyNames().size(), 7);
}

void TestSoftTypes::toggleKeyChangesNothing()
{
    SoftTypeStage plain(square);
    SoftTypeStage toggled(square);
    plain.add(new SoftTypePull(QStringLiteral("p")));
    toggled.add(new SoftTypePull(QStringLiteral("p")))->property("toggle key")->setValue(4);
    for (int f = 0; f < 4; ++f) {
        plain.frame(QPointF(20 + f, 3));
        toggled.frame(QPointF(20 + f, 3));
    }
    QVERIFY(plain.at(0) != QPointF(0, 0));
    QCOMPARE(outline(toggled), outline(plain));
}

void TestSoftTypes::randomSequenceIsTheClassicOne()
{
    // The sequence of the classic 15-bit runtime generator seeded with 1.
    PseudoRandom::seed(1);
    QList<int> values;
    for (int i = 0; i < 5; ++i)
        values << PseudoRandom::next();
    QCOMPARE(values, QList<int>({41, 18467, 6334, 26500, 19169}));
    PseudoRandom::seed(1);
    QCOMPARE(PseudoRandom::next(), 41);
}

void TestSoftTypes::frameMapsAsTheGraphicsItem_data()
{
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<double>("rotation");
    QTest::addColumn<QPointF>("parent");
    QTest::newRow("fractional") << QPointF(12.3, -7.77) << 0.0 << QPointF();
    QTest::newRow("fractional in a moved group") << QPointF(0.1, 0.7) << 0.0 << QPointF(1.1, 2.9);
    QTest::newRow("turned back to 0") << QPointF(0.1, 0.7) << -0.0 << QPointF(1.1, 2.9);
    QTest::newRow("rotated 33.3") << QPointF(12.3, -7.77) << 33.3 << QPointF(1.1, 2.9);
    QTest::newRow("rotated 90") << QPointF(0.1, 0.7) << 90.0 << QPointF();
    QTest::newRow("rotated -170.5") << QPointF(-3.3, 0.01) << -170.5 << QPointF(0.7, 0);
}

void TestSoftTypes::frameMapsAsTheGraphicsItem()
{
    // The frame takes the glyph's transformation once and, for a mere
    // translation, adds and subtracts its offset: every point must come out
    // bit for bit as QGraphicsItem::mapToScene, mapFromScene and
    // Glyph::moveElementBy give it.
    QFETCH(QPointF, position);
    QFETCH(double, rotation);
    QFETCH(QPointF, parent);
    QPainterPath outline;
    outline.moveTo(0.3, 0.1);
    outline.lineTo(10.7, 0.2);
    outline.cubicTo(13.1, 4.4, 12.9, 8.3, 10.1, 10.9);
    outline.lineTo(-3.3, 5.5);
    SoftTypeStage probed(outline);
    SoftTypeStage twin(outline);
    for (SoftTypeStage *s : {&probed, &twin}) {
        s->scene.root()->setPos(parent);
        s->glyph->setPos(position);
        s->glyph->setRotation(rotation);
    }
    auto *probe = static_cast<MappingProbe *>(probed.add(new MappingProbe));
    probe->property(QStringLiteral("trigger"))->setValue(0);
    const int n = outline.elementCount();
    for (int f = 0; f < 4; ++f) {
        const QList<QPointF> before = [&] {
            QList<QPointF> points;
            for (int i = 0; i < n; ++i)
                points << twin.glyph->mapToScene(twin.at(i));
            return points;
        }();
        probed.frame(QPointF());
        if (f == 0)
            continue; // the first frame only records
        for (int i = 0; i < n; ++i)
            twin.glyph->moveElementBy(i, probe->shift);
        for (int i = 0; i < n; ++i) {
            const QPointF p = probe->scenePoints.at(i);
            QVERIFY(p.x() == before.at(i).x() && p.y() == before.at(i).y());
            const QPointF a = probed.at(i);
            const QPointF b = twin.at(i);
            QVERIFY2(a.x() == b.x() && a.y() == b.y(),
                     qPrintable(QStringLiteral("frame %1 element %2: (%3, %4) != (%5, %6)")
                                    .arg(f).arg(i).arg(a.x(), 0, 'g', 17).arg(a.y(), 0, 'g', 17)
                                    .arg(b.x(), 0, 'g', 17).arg(b.y(), 0, 'g', 17)));
        }
    }
}


void TestSoftTypes::frames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVector<QPointF>>("outline");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QVector<QPointF>>("expected");
    QTest::addColumn<double>("tolerance"); // 0 exact; else as QCOMPARE, or within the tolerance
    // Parameters, the frame last recorded ("last"), velocities ("v1.x") and
    // lens offsets ("o0.x", single precision) after the run.
    QTest::addColumn<QVariantMap>("probes");
    auto row = [](const char *name, const char *kind, const QVector<QPointF> &outline, const QString &script,
                  const QVector<QPointF> &expected, double tolerance = -1, const QVariantMap &probes = {}) {
        QTest::newRow(name) << QString(kind) << outline << script << expected << tolerance << probes;
    };

    // Clay: k = 10 / (10 + d) of the mouse's motion; the first frame only
    // records, a still mouse moves nothing.
    const double kc = 10.0 / (10.0 + std::sqrt(200.0));
    row("clay records", "clay", square, "7,-4", square, 0);
    row("clay follows the motion", "clay", square, "7,-4 10,0", {{1.5, 2}, {13, 4}, {11.5, 12}, {3 * kc, 10 + 4 * kc}}, 1e-12);
    row("clay, still mouse", "clay", square, "7,-4 10,0 10,0", {{1.5, 2}, {13, 4}, {11.5, 12}, {3 * kc, 10 + 4 * kc}}, 1e-12);
    row("clayAtZeroAttenuationLeavesThePointUnderTheMouse", "clay", square, "attenuation=0.0 10,-2 10,0",
        {{0, 2}, {10, 0}, {10, 12}, skip});
    // Turned by 90 degrees: the motion (3, 4) in the scene is (4, -3) in the glyph.
    row("clay on a rotated glyph", "clay", square, "rot=90 -3,6 0,10", {skip, {14, -3}, skip, skip});

    // Pull: 400 / (25 + d) toward the mouse, none at distance 1, on every
    // frame while the mouse stays.
    row("pull", "pull", {{0, 0}, {2.5, 0}, {10, 0}}, "1.5,0 1.5,0", {{400 / 26.5, 0}, {2.5, 0}, {10 - 400 / 33.5, 0}});
    const double dp = 400 / 26.5 - 1.5;
    row("pull, still mouse", "pull", {{0, 0}, {2.5, 0}, {10, 0}}, "1.5,0*3", {{400 / 26.5 - 400 / (25 + dp), 0}, skip, skip}, 1e-5);

    // Twirl: k = (200 / 15) / d, the push w = k * (mouse - point) in single
    // precision, turned by the spin, with no lower bound on d.
    const double push = double(float(200.0 / 15.0 / 10.0 * -10.0));
    const double a = M_PI + 1.0471975803375244;
    row("twirlTurnsThePush: spin 0", "Twirl", {{10, 0}, {0, 0.5}}, "spin=0.0 0,0 0,0", {{10 + push, 0}, skip}, 1e-12);
    row("twirlTurnsThePush: close", "Twirl", {{10, 0}, {0, 0.5}}, "spin=0.0 0,0 0,0", {skip, {0, 0.5 - double(float(200.0 / 5.5))}}, 1e-5);
    row("twirlTurnsThePush: quarter turn", "Twirl", {{10, 0}}, "spin=1.5707963267948966 0,0 0,0", {{10, push}}, 1e-12);
    row("twirlTurnsThePush: default spin", "Twirl", {{10, 0}, {0, 0}}, "0,0 0,0", {{10 - push * std::cos(a), -push * std::sin(a)}, {0, 0}}, 1e-12);

    // Originate linear: 2 units a frame toward rest, exactly onto it.
    row("originate linear at rest", "originate linear", square, "50,50 50,50", square);
    const QString linear = QStringLiteral("50,50 50,50 @0=3,4 50,50");
    row("originate linear, 3 from rest", "originate linear", square, linear, {{1.8, 2.4}, skip, skip, skip}, 1e-12);
    row("originate linear, 1 from rest", "originate linear", square, linear + " 50,50", {{0.6, 0.8}, skip, skip, skip}, 1e-6);
    row("originate linear, at rest", "originate linear", square, linear + " 50,50*2", {{0, 0}, skip, skip, skip});
    row("originate linear, speed 0", "originate linear", square, linear + " speed=0.0 @1=13,4 50,50", {skip, {13, 4}, skip, skip});
    // Radius 30: 30.5 truncates to 30.
    row("originate radius", "originate linear", square, "radius=30 @0=3,4 @1=30.5,0 @2=31,0 0,0 0,0",
        {{1.8, 2.4}, {28.5, 0}, {31, 0}, skip}, 1e-12);
    // Originate asymptotic: a tenth of the way a frame; 100 * 0.9^44 = 0.97
    // is the first offset of at most 1: 44 frames shrink it, the 45th lands.
    const QString asym = QStringLiteral("0,0 @1=110,0");
    row("asymptotic, first", "originate asymptotic", square, asym + " 0,0", {skip, {100, 0}, skip, skip});
    row("asymptotic, second", "originate asymptotic", square, asym + " 0,0*2", {skip, {91, 0}, skip, skip});
    row("asymptotic, 44 shrinking frames", "originate asymptotic", square, asym + " 0,0*44", {skip, {10.95, 0}, skip, skip}, 0.05);
    row("asymptotic lands", "originate asymptotic", square, asym + " 0,0*45", {skip, {10, 0}, skip, skip});
    row("asymptotic, partitions 1", "originate asymptotic", square, "0,0 partitions=1 @2=-30,70 0,0", {skip, skip, {10, 10}, skip});
    row("asymptotic, moved glyph", "originate asymptotic", square, "pos=100,0 partitions=1 @3=5,15 0,0 0,0", {skip, skip, skip, {0, 10}});

    // Pulse from the centre: |2 sin(2 pi time / 36)| of each point's offset
    // from it; time runs 0..35 and back.
    row("pulse records", "pulse", around, "trigger=0 500,500*2", around, -1, {{"time", 1.0}});
    row("pulse quarter period", "pulse", around, "trigger=0 500,500*11", {{-30, -30}, skip, {30, 30}, skip}, 1e-12, {{"time", 10.0}});
    row("pulse three quarters", "pulse", around, "trigger=0 500,500*29", {skip, {30, -30}, skip, skip}, 1e-12);
    row("pulse whole period", "pulse", around, "trigger=0 500,500*38", {skip, {10, -10}, skip, skip}, 1e-12, {{"time", 1.0}});
    row("pulse, time edited", "pulse", around, "trigger=0 500,500*38 time=18 time=27 500,500", {skip, {30, -30}, skip, skip}, 1e-6, {{"time", 28.0}});

    // Explode with randomness 0: a kick of strength away from the mouse per
    // frame, slowed by friction; none at the mouse; with an attenuation only
    // closer points are kicked, the others coast.
    row("explodeKicksAndCoasts", "explode", {{10, 0}, {0, 0}}, "friction=0.0 0,0 0,0", {{11, 0}, {0, 0}});
    row("explodeKicksAndCoasts, v2", "explode", {{10, 0}, {0, 0}}, "friction=0.0 0,0*3", {{13, 0}, {0, 0}});
    row("explodeKicksAndCoasts, v3", "explode", {{10, 0}, {0, 0}}, "friction=0.0 0,0*4", {{16, 0}, {0, 0}}, -1, {{"v1.x", 0.0f}});
    const QString coast = QStringLiteral("friction=0.0 attenuation=5.0 0,0");
    row("explode kicked", "explode", {{3, 0}}, coast + " 0,0", {{4, 0}});
    row("explode kicked again", "explode", {{3, 0}}, coast + " 0,0*2", {{6, 0}});
    row("explode coasts", "explode", {{3, 0}}, coast + " 0,0*3", {{8, 0}});
    row("explode coasts on", "explode", {{3, 0}}, coast + " 0,0*4", {{10, 0}});
    // Randomness 1 draws 41 and 18467: X = sx + sx * 41 / 32767 with sx = -1.
    const float v = float(1 + 41 / 32767.0);
    const QString random = QStringLiteral("attenuation=20.0 randomness=1.0 0,0 seed=1 0,0");
    row("explode at random", "explode", {{3, 0}, {30, 0}}, random, {{3 + double(v), 0}, {30, 0}}, -1,
        {{"v0.x", float(v * 0.9)}, {"vcount", 2}});
    // Letting go of the button for one frame drops every velocity.
    row("explode let go", "explode", {{3, 0}, {30, 0}}, random + " 0,0/0 1000,1000/0", {{3 + double(v), 0}, {30, 0}}, -1,
        {{"vcount", 0}});

    // Drift: pulled back toward rest at -0.15 a frame, keeping 0.98 of its
    // speed, out of the mouse's radius; within 0.25 of rest no pull.
    const float v1 = float(-0.15);
    const float v2 = float(v1 * 0.98) + float(-0.15);
    const QString drift = QStringLiteral("radius=5 @1=20,0 @0=0.2,0 300,300 310,300");
    row("drift", "drift", {{0, 0}, {10, 0}}, drift, {{0.2, 0}, {20 + double(v1), 0}}, 1e-12);
    row("drift on", "drift", {{0, 0}, {10, 0}}, drift + " 310,300", {{0.2, 0}, {20 + double(v1) + double(v2), 0}}, 1e-6);
    // Within the radius the mouse's motion carries the point: k = 1 / 10.
    row("drift follows", "drift", {{0, 0}}, "-1,0 0,0", {{double(float(0.1)), 0}});
    row("driftAtZeroAttenuationStaysFinite", "drift", {{0, 0}, {10, 0}}, "attenuation=0.0 0,-4 0,0",
        {{0, 0}, {10, double(float(0.4))}}, 1e-12, {{"v0.x", 0.0f}, {"v0.y", 0.0f}});
    row("driftAtZeroAttenuationStaysFinite on", "drift", {{0, 0}, {10, 0}}, "attenuation=0.0 0,-4 0,0*2", {skip, skip});

    // Rubber: the point nearest the mouse moves by k = (D - d) / D of the
    // motion (D from the centre), its neighbours follow a tenth of their
    // stretch, both ways round the outline.
    const double kr = (std::sqrt(74.0) - 2) / std::sqrt(74.0);
    row("rubber chains wrap around", "rubber", square, "0,11 0,12",
        {{0, 0.1 * (10 + kr)}, {9, 0.1 * (0.1 * (10 + kr))}, {9, 10 + 0.1 * kr}, {0, 10 + kr}});
    for (const char *kind : {"rubber", "cloth"}) {
        row(qPrintable(QStringLiteral("%1 with a still mouse").arg(kind)), kind, square, "2,0*3", square);
        row(qPrintable(QStringLiteral("mouseOnCentreLeavesGrabbedPoint: %1").arg(kind)), kind, square, "4,5 5,5", square);
    }
    const double K = (std::sqrt(34.0) - 2) / std::sqrt(34.0) * 10;
    const QPointF pulled(0.1 * K, 10 + 0.1 * (0 - 10.0));
    row("rubber relaxes", "rubber", square, "strength=10.0 1,0 2,0", {{K, 0}, {10, 0}, skip, pulled});
    row("rubber relaxes on", "rubber", square, "strength=10.0 1,0 2,0 2,0",
        {{K, 0}, skip, {10, 10}, {pulled.x() + 0.1 * (K - pulled.x()), pulled.y() + 0.1 * (0 - pulled.y())}});
    // Cloth pulls toward where the grabbed point was, not where it is.
    const double k1 = (std::sqrt(34.0) - 2) / std::sqrt(34.0);
    const double k2 = (std::sqrt(29.0) - double(float(3 - k1))) / std::sqrt(29.0);
    row("cloth", "cloth", square, "1,0 2,0", {{k1, 0}, skip, skip, {0, 10}});
    row("cloth pulls toward the old place", "cloth", square, "1,0 2,0 3,0",
        {{k1 + k2, 0}, {10, 0}, {10, 10}, {double(float(k1 * double(0.1f))), 9}});

    // Leak: the nearest point 20 / (10 + d) toward the mouse, the runs from
    // it a tenth of the way to each neighbour, to the ends.
    row("leakRunsTowardTheMouse", "leak", line, "40,0 40,0", {{1, 0}, {11, 0}, {21, 0}, {31, 0}});
    row("leakRunsTowardTheMouse on", "leak", line, "40,0*3", {{2, 0}, skip, skip, {31 + 20 / 19.0, 0}});
    row("leakRunsTowardTheMouse from the middle", "leak", line, "10,10 10,10", {{1, 0}, {10, 1}, {19, 0}, {29, 0}});
    row("leakRunsTowardTheMouse under it", "leak", line, "30,0 30,0", {skip, skip, {21, 0}, {30, 0}});
    row("leakRunsTowardTheMouse under it, attenuation 0", "leak", line, "attenuation=0.0 30,0 30,0", {skip, skip, {21, 0}, {30, 0}});
    row("leakRunsTowardTheMouse, one element", "leak", {{0, 0}}, "10,0 10,0", {{1, 0}});
    row("leak grabs the lower index", "leak", line, "5,0 5,0", {{20 / 15.0, 0}, {9, 0}, skip, skip});
    row("leak within its radius", "leak", line, "radius=10 40.9,0 40.9,0", {skip, skip, skip, {30 + 20 / 20.9, 0}}, 1e-6, {{"last", 2}});
    row("leak beyond its radius", "leak", line, "radius=10 41,0 41,0", {skip, skip, skip, {30, 0}}, -1, {{"last", 2}});

    // Lens: pushed away by 10 - 9 / d (diameter 20), from the rest place by
    // the target of the present distance.
    const double dl = 9 + double(float(9.1));
    row("lens pushes away", "lens", {{9, 0}, {0, 0}, {0, 30}}, "0,0 0,0", {{18.1, 0}, {0, 0}, {0, 40 - 9 / 31.0}}, 1e-5,
        {{"o0.x", float(9 + 9.1 - 9)}});
    row("lens, still mouse", "lens", {{9, 0}, {0, 0}, {0, 30}}, "0,0*3", {{9 + (10 - 9 / (dl + 1)), 0}, skip, skip}, 1e-5);
    row("lens of diameter 2", "lens", {{9, 0}, {0, 40}}, "diameter=2.0 0,0 0,0", {{10, 0}, {0, 41}});
    const QString radius = QStringLiteral("diameter=2.0 radius=5 5,0 5,0");
    row("lens radius", "lens", {{9, 0}, {0, 6}}, radius, {{10, 0}, {0, 6}}, -1, {{"o0.x", 1.0f}});
    row("lens let go", "lens", {{9, 0}, {0, 6}}, radius + " 5,0/0 5,0", {{11, 0}, {0, 6}});
    row("lens of no elements", "lens", {}, "0,0 0,0", {}, -1, {{"last", 2}});
}

// Each row runs one SoftType of a kind on a drawn outline and checks every
// element it names; no element is ever left not finite.
void TestSoftTypes::frames()
{
    QFETCH(QString, kind);
    QFETCH(QVector<QPointF>, outline);
    QFETCH(QString, script);
    QFETCH(QVector<QPointF>, expected);
    QFETCH(double, tolerance);
    QFETCH(QVariantMap, probes);
    SoftTypeStage stage(outline.isEmpty() ? QPainterPath() : SoftTypeStage::polyline(outline));
    SoftType *s = stage.add(SoftTypeFactory::create(kind, QStringLiteral("s")));
    play(stage, s, script);
    for (int i = 0; i < stage.glyph->path()->current.elementCount(); ++i)
        QVERIFY(std::isfinite(stage.at(i).x()) && std::isfinite(stage.at(i).y()));
    for (int i = 0; i < expected.size(); ++i) {
        const QPointF a = stage.at(i), e = expected.at(i);
        if (!qIsNaN(e.x()))
            QVERIFY2(near(a.x(), e.x(), tolerance) && near(a.y(), e.y(), tolerance),
                     qPrintable(QStringLiteral("element %1 at (%2, %3), expected (%4, %5)").arg(i)
                                    .arg(a.x(), 0, 'g', 17).arg(a.y(), 0, 'g', 17).arg(e.x(), 0, 'g', 17).arg(e.y(), 0, 'g', 17)));
    }
    for (auto p = probes.cbegin(); p != probes.cend(); ++p) {
        const QString &key = p.key();
        if (key == "last") {
            QCOMPARE(s->lastFrame(), p.value().toInt());
        } else if (key == "vcount") {
            QCOMPARE(static_cast<PhysicsSoftType *>(s)->velocityCount(), p.value().toInt());
        } else if (key.startsWith('v') || key.startsWith('o')) {
            const int i = key.mid(1).section('.', 0, 0).toInt();
            const auto &vec = key.startsWith('v') ? static_cast<PhysicsSoftType *>(s)->velocity(i)
                                                  : static_cast<SoftTypeLens *>(s)->appliedOffset(i);
            QCOMPARE(key.endsWith('x') ? vec.x : vec.y, p.value().toFloat());
        } else {
            QCOMPARE(s->property(key)->value().toDouble(), p.value().toDouble());
        }
    }
}

void TestSoftTypes::pulseRadiusAndShortPhase()
{
    SoftTypeStage stage(around);
    SoftType *pulse = stage.add(SoftTypeFactory::create(QStringLiteral("pulse"), QStringLiteral("p")));
    auto time = [pulse] { return pulse->property(QStringLiteral("time"))->value().toDouble(); };
    // Active only inside the bounds grown by radius 10: (-20, -20) to (20, 20).
    play(stage, pulse, QStringLiteral("radius=10 20.5,0 20.5,0"));
    QCOMPARE(time(), 0.0);
    QCOMPARE(pulse->lastFrame(), 2);
    play(stage, pulse, QStringLiteral("19.5,0"));
    QCOMPARE(time(), 1.0);
    // A phase of 36.5 runs time through 0..35, the sine over 36.5.
    play(stage, pulse, QStringLiteral("phase=36.5 time=35 0,0"));
    QCOMPARE(time(), 0.0);
    // A phase below 1 rests: nothing moves, time stands, the frame counts.
    play(stage, pulse, QStringLiteral("phase=0.5 time=3"));
    const QPointF before = stage.at(2);
    play(stage, pulse, QStringLiteral("0,0*2"));
    QCOMPARE(stage.at(2), before);
    QCOMPARE(time(), 3.0);
    QCOMPARE(pulse->lastFrame(), stage.scene.frameCounter());
    play(stage, pulse, QStringLiteral("phase=0.0 0,0"));
    QCOMPARE(stage.at(2), before);
}

void TestSoftTypes::physicsAndLensRoundAsSpecified()
{
    // The single-precision steps of Drift, Explode and Lens, worked out with
    // each float rounding in its place: one rounding skipped or added shows
    // in the last bits.

    // Drift with a still mouse: each point is displaced from its rest place
    // by a fractional offset e; velocity = -0.15 * e / |e| from the rounded e.
    SoftTypeStage drift(QVector<QPointF>{{0, 0}, {100, 0}, {200, 0}, {300, 0}});
    for (int i = 0; i < 4; ++i)
        drift.displace(i, drift.restAt(i) + fractional.at(i));
    auto *d = static_cast<PhysicsSoftType *>(drift.add(SoftTypeFactory::create(QStringLiteral("drift"), "d")));
    play(drift, d, QStringLiteral("500,500*2"));
    COMPARE_EXACT(drift.at(0), 0.05256583765149117, 0.1576975017786026);
    COMPARE_EXACT(drift.at(1), 103.58194161653519, -2.8074677526950835);
    COMPARE_EXACT(drift.at(2), 198.8320706605911, 0.6288850277662277);
    COMPARE_EXACT(drift.at(3), 300.19688775897026, 0.17148288756608965);
    QCOMPARE(d->velocity(2).x, float(0.1320706605911255 * 0.98));

    // Explode from the origin, randomness 0: a kick of the unit vector away
    // from the mouse, kept in single precision, then 0.9 of it.
    SoftTypeStage explode(fractional);
    auto *e = static_cast<PhysicsSoftType *>(explode.add(SoftTypeFactory::create(QStringLiteral("explode"), "e")));
    play(explode, e, QStringLiteral("0,0*2"));
    COMPARE_EXACT(explode.at(0), 0.41622776389122007, 1.2486833214759827);
    COMPARE_EXACT(explode.at(1), 4.487055909633637, -3.5168816685676574);
    COMPARE_EXACT(explode.at(2), -2.180471110343933, 1.1740998446941375);
    COMPARE_EXACT(explode.at(3), 1.0640816068649293, 0.9267807793617249);
    QCOMPARE(e->velocity(1).x, 0.7083503007888794f);
    QCOMPARE(e->velocity(1).y, -0.5551934838294983f);

    // Lens from the origin with the defaults: the target t in single
    // precision, applied in full on the first deforming frame.
    SoftTypeStage lens(QVector<QPointF>{{10.06, -34.76}, {10.79, 29.44}, {17.51, 30.31}, {-8.4, 24.07}});
    auto *l = static_cast<SoftTypeLens *>(lens.add(SoftTypeFactory::create(QStringLiteral("lens"), "l")));
    play(lens, l, QStringLiteral("0,0*2"));
    COMPARE_EXACT(lens.at(0), 12.77276068687439, -44.13331485748291);
    COMPARE_EXACT(lens.at(1), 14.13551167488098, 38.56806892395019);
    COMPARE_EXACT(lens.at(2), 22.38721109390259, 38.7525048828125);
    COMPARE_EXACT(lens.at(3), -11.583010816574097, 33.19084197998047);
    QCOMPARE(l->appliedOffset(3).x, -3.1830108165740967f);
    QCOMPARE(l->appliedOffset(3).y, 9.120841979980469f);
}

void TestSoftTypes::editsActOnTheNextFrame()
{
    // A Pull point 8.5 from the mouse moves strength / (25 + 8.5) toward it.
    SoftTypeStage stage(QVector<QPointF>{{10, 0}});
    SoftType *pull = stage.add(SoftTypeFactory::create(QStringLiteral("pull"), QStringLiteral("p")));
    stage.frame(QPointF(1.5, 0));
    // Through the property manager, as the SoftType dialog edits.
    pull->propertyManager()->setValue(pull->property(QStringLiteral("strength")), 33.5);
    stage.frame(QPointF(1.5, 0));
    QCOMPARE(stage.at(0), QPointF(9, 0));
    // Through setValues, as the edit command does: 8.5 - 1 = 7.5 away now.
    pull->setValues({{QStringLiteral("strength"), 62.5}, {QStringLiteral("attenuation"), 5.0}});
    stage.frame(QPointF(1.5, 0));
    QCOMPARE(stage.at(0), QPointF(4, 0));
    // A clone acts with its source's values.
    SoftTypeStage copy(QVector<QPointF>{{10, 0}});
    copy.add(pull->clone());
    play(copy, pull, QStringLiteral("1.5,0*2"));
    QCOMPARE(copy.at(0), QPointF(10 - 62.5 / 13.5, 0));
}

void TestSoftTypes::unpairedElementsAreLeftAlone()
{
    // A document may hold a rest outline with fewer elements than the
    // current one: the kinds that read the rest outline touch only the
    // elements both have, and read nothing beyond the shorter one.
    for (const char *kind : {"originate linear", "drift", "pulse", "rubber", "cloth"}) {
        SoftTypeStage stage(square);
        GlyphPath paths;
        paths.setPaths(SoftTypeStage::polyline({{0, 0}, {10, 0}}),
                       SoftTypeStage::polyline({{0, 0}, {20, 0}, {10, 10}, {0, 10}}));
        stage.glyph->copyPathsFrom(paths);
        SoftType *s = stage.add(SoftTypeFactory::create(QLatin1String(kind), QStringLiteral("s")));
        play(stage, s, QStringLiteral("trigger=0 30,0 30,4 30,8"));
        QVERIFY2(stage.at(1) != QPointF(20, 0), kind);
        QCOMPARE(stage.at(2), QPointF(10, 10));
        QCOMPARE(stage.at(3), QPointF(0, 10));
    }
}

QTEST_MAIN(TestSoftTypes)
#include "tst_softtypes.moc"
