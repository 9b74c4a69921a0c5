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
#include "support/SoftTypeStage.h"

#include <QtTest>

namespace {

using SoftTypePtr = std::unique_ptr<SoftType>;

SoftTypePtr create(const QString &key, const QString &name = QStringLiteral("s"))
{
    return SoftTypePtr(SoftTypeFactory::create(key, name));
}

template <typename... T>
QByteArray record(const T &...values)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_6);
    (out << ... << values);
    return bytes;
}

QDataStream::Status read(const QByteArray &bytes, SoftType &s)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_4_6);
    in >> s;
    return in.status();
}

// Moves every element by a fixed scene displacement through the frame's mapping, as every kind does.
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
            scenePoints << frame.sceneAt(i);
            frame.moveBy(i, scenePoints.last(), shift);
        }
        step(frame.scene);
    }

    QPointF shift{0.3, -1.7};
    QList<QPointF> scenePoints;
};

// Square (centre (5, 5)), square around the origin, line 10 apart, points that round in single precision.
const QVector<QPointF> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const QVector<QPointF> around = {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}};
const QVector<QPointF> line = {{0, 0}, {10, 0}, {20, 0}, {30, 0}};
const QVector<QPointF> fractional = {{0.1, 0.3}, {3.7, -2.9}, {-1.3, 0.7}, {0.31, 0.27}};
const double n = qQNaN(); // an element not checked
const QPointF skip(n, n);

// Runs a script: "x,y" a frame, mouse there, left button held ("x,y/b" buttons b, "x,y*k" k frames); "@i=x,y" moves
// element i; "pos", "rot" place the glyph; "seed", "frame" set the generator, frame counter; "name=value" a parameter.
void play(SoftTypeStage &stage, SoftType *s, const QString &script)
{
    for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
        const QString key = step.section('=', 0, 0);
        const QString value = step.section('=', 1);
        const QPointF point(value.section(',', 0, 0).toDouble(), value.section(',', 1).toDouble());
        if (!step.contains('=')) {
            const QPointF mouse(step.section(',', 0, 0).toDouble(), step.section(',', 1).section(QRegularExpression("[/*]"), 0, 0).toDouble());
            const Qt::MouseButtons buttons(step.contains('/') ? step.section('/', 1).section('*', 0, 0).toInt() : 1);
            for (int i = step.contains('*') ? step.section('*', 1).toInt() : 1; i > 0; --i)
                stage.frame(mouse, buttons);
        } else if (key.startsWith('@')) {
            stage.displace(key.mid(1).toInt(), point);
        } else if (key == "pos") {
            stage.glyph->setPos(point);
        } else if (key == "rot") {
            stage.glyph->setRotation(value.toDouble());
        } else if (key == "seed") {
            PseudoRandom::seed(value.toUInt());
        } else if (key == "frame") {
            stage.scene.setFrameCounter(value.toInt());
        } else {
            QtVariantProperty *p = s->property(QString(key).replace('_', ' '));
            QVERIFY2(p, qPrintable(key));
            p->setValue(value.contains('.') ? QVariant(value.toDouble()) : QVariant(value.toInt()));
        }
    }
}

QString text(const QPointF &p)
{
    return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'g', 17).arg(p.y(), 0, 'g', 17);
}

bool near(double actual, double expected, double tolerance)
{
    return tolerance == 0 ? actual == expected
                          : qFuzzyCompare(actual, expected) || (qFuzzyIsNull(actual) && qFuzzyIsNull(expected)) || qAbs(actual - expected) <= tolerance;
}

} // namespace

class TestSoftTypes : public QObject
{
    Q_OBJECT
private slots:
    void kindParametersInCreationOrder()
    {
        // Keys in factory order; parameters after the base ones in creation order, defaults, doubles from 0 (or '/m') to 65535.
        const QStringList kinds = {"clay: strength=10 attenuation=10", "cloth: strength=1 elasticity=1",
            "drift: strength=1 attenuation=10 inertia=0.15 friction=0.02", "explode: strength=1 attenuation=0 friction=0.1 randomness=0",
            "leak: strength=20 attenuation=10", "lens: magnification=1 diameter=20", "originate asymptotic: partitions=10/1",
            "originate linear: speed=2", "pull: strength=400 attenuation=25", "pulse: phase=36 amplitude=2 time=0",
            "rubber: strength=1 elasticity=1", "Twirl: strength=200 spin=1.0471975803375244 attenuation=5"};
        QStringList keys;
        for (const QString &kind : kinds) {
            keys << kind.section(':', 0, 0);
            const SoftTypePtr s = create(keys.last(), QStringLiteral("mine"));
            QCOMPARE(s->propertyNames().mid(0, 5), QStringList({"name", "enabled", "trigger", "radius", "toggle key"}));
            QCOMPARE(s->values().size(), s->propertyNames().size());
            QString read = s->typeKey() + ':';
            for (const QString &name : s->propertyNames().mid(5)) {
                const QtVariantProperty *p = s->property(name);
                const int minimum = p->attributeValue(QStringLiteral("minimum")).toInt();
                read += QStringLiteral(" %1=%2").arg(name, QString::number(p->value().toDouble(), 'g', QLocale::FloatingPointShortest))
                    + (minimum ? QStringLiteral("/%1").arg(minimum) : QString());
                QVERIFY(p->propertyType() == QVariant::Double && p->attributeValue(QStringLiteral("maximum")).toDouble() == 65535.0);
            }
            QCOMPARE(read, kind);
        }
        QCOMPARE(SoftTypeFactory::typeKeys(), keys);
        QVERIFY(!create(QStringLiteral("twirl")) && !create(QStringLiteral("Clay")) && !create(QString()));

        // The base parameters: types, refused values, defaults, attributes; which buttons trigger each setting.
        const SoftTypePtr s = create(QStringLiteral("rubber"), QStringLiteral("rubber-3"));
        QtVariantProperty *trigger = s->property("trigger");
        QStringList state;
        for (const QString &name : s->propertyNames().mid(0, 5))
            state << QString::number(s->property(name)->propertyType());
        trigger->setValue(4); // not an index: refused
        s->property("radius")->setValue(-1);
        state << s->name() << QString::number(s->isEnabled()) << QString::number(s->trigger()) << QString::number(s->radius())
              << s->property("toggle key")->value().toString() << QString::number(s->lastFrame())
              << QString::number(s->lastMousePosition().x()) << QString::number(s->propertyManager()->properties().size())
              << s->property("radius")->attributeValue("maximum").toString() << trigger->attributeValue("enumNames").toStringList().join('/')
              << s->property("toggle key")->attributeValue("enumNames").toStringList().join(QString());
        QCOMPARE(state.join(' '), QStringLiteral("10 1 %1 2 %1 rubber-3 1 1 0 0 -1 0 7 65535 always active/mouse left button/mouse middle button/"
                                                 "mouse right button 1234567890").arg(QtVariantPropertyManager::enumTypeId()));

        QStringList triggered;
        for (int t = 0; t < 4; ++t) {
            trigger->setValue(t);
            triggered << QString();
            for (int b : {0, 1, 4, 2, 3}) // Qt::MouseButton bits: none, left, middle, right, left and right
                triggered.last() += QString::number(s->isTriggered(Qt::MouseButtons(b)));
        }
        QCOMPARE(triggered.join(' '), QStringLiteral("11111 01001 00100 00011"));
    }

    void cloneIsIndependent()
    {
        const SoftTypePtr source = create(QStringLiteral("pulse"), QStringLiteral("pulse-2"));
        // guards: setValuesCreatesUnknownNamesInOrder (sorted, of a property type only)
        source->setValues({{QStringLiteral("time"), 7.0}, {QStringLiteral("radius"), 12}, {QStringLiteral("zeta"), QStringLiteral("z")},
                           {QStringLiteral("alpha"), 2.5}, {QStringLiteral("bytes"), QByteArray("no property type")}});
        QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(source->property("time")->value().toDouble()).arg(source->propertyNames().mid(8).join(','))
                     .arg(source->property("alpha")->propertyType()).arg(source->property("zeta")->propertyType()), QStringLiteral("7 alpha,zeta 6 10"));
        SoftTypeStage stage(square);
        stage.frame(QPointF());
        source->reset(&stage.scene);
        const QByteArray before = record(*source);
        // Every value, the extras in the source's order, no frame recorded; changes to the copy leave the source.
        const SoftTypePtr copy(source->clone());
        QCOMPARE(record(*copy), before);
        QVERIFY(copy->typeKey() == "pulse" && source->lastFrame() == 1 && copy->lastFrame() == -1 && copy->propertyManager() != source->propertyManager());
        copy->setValues({{QStringLiteral("time"), 3.0}, {QStringLiteral("name"), QStringLiteral("other")}, {QStringLiteral("alpha"), 9.0}});
        QCOMPARE(record(*source), before);
        // Past 16 names they are indexed; a copy shares extras and index until it changes them (guards: clonesShareExtras).
        for (int i = 0; i < 20; ++i)
            source->addOrSetValue(QVariant::Int, QStringLiteral("n%1").arg(i), i);
        const SoftTypePtr many(source->clone());
        many->setValues({{QStringLiteral("omega"), 1}, {QStringLiteral("n3"), 30}});
        QVERIFY(!source->property("omega") && source->property("n3")->value() == 3 && many->property("n3")->value() == 30);
        QCOMPARE(many->propertyNames(), source->propertyNames() << QStringLiteral("omega"));
    }

    void recordEdgeCases()
    {
        // Count 0 leaves the defaults; a count beyond the record stops at the first missing pair, keeping what was read.
        const SoftTypePtr empty = create(QStringLiteral("clay"));
        QCOMPARE(read(record(qint32(0)), *empty), QDataStream::Ok);
        QCOMPARE(empty->values(), create(QStringLiteral("clay"))->values());
        const SoftTypePtr truncated = create(QStringLiteral("clay"));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(read(record(quint32(0xffffffff), QStringLiteral("strength"), QVariant(3.0)), *truncated), QDataStream::ReadPastEnd);
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY(truncated->property("strength")->value().toDouble() == 3.0 && truncated->propertyNames().size() == 7);
        // A value of a type no property holds is skipped; one that does not fit a property leaves it; one beyond its range is clamped.
        const SoftTypePtr odd = create(QStringLiteral("clay"));
        QCOMPARE(read(record(qint32(3), QStringLiteral("blob"), QVariant(QByteArray("xyz")), QStringLiteral("attenuation"),
                             QVariant(QStringLiteral("soft")), QStringLiteral("strength"), QVariant(99999.0)), *odd), QDataStream::Ok);
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(odd->propertyNames().join(',')).arg(odd->property("attenuation")->value().toDouble())
                     .arg(odd->property("strength")->value().toDouble()), QStringLiteral("name,enabled,trigger,radius,toggle key,strength,attenuation 10 65535"));
    }

    void keptValuesAreWhatPropertiesTake()
    {
        // Parameters are kept without properties until shown: two Pulses, shown from the start and half way, get the same record.
        SoftTypeStage shownStage(square), keptStage(square);
        SoftType *shown = shownStage.add(create(QStringLiteral("pulse")).release());
        SoftType *kept = keptStage.add(create(QStringLiteral("pulse")).release());
        shown->propertyManager();
        const QStringList names = {"name", "enabled", "trigger", "radius", "toggle key", "phase", "time", "a", "b"};
        const QVariantList values = {true, 0, -7, 3, 70000, 4.75, -1e300, qQNaN(), QStringLiteral("12"), QString(), QString(""), QStringLiteral("x"),
                                     QColor(1, 2, 3, 4), QPointF(1.5, -2), QPoint(3, 4), QByteArray("5"), QVariant(), QSizeF(1, 2), QChar('9')};
        const int types[] = {QVariant::Bool, QVariant::Int, QVariant::Double, QVariant::String, QVariant::Color,
                             QVariant::PointF, QVariant::Size, QtVariantPropertyManager::enumTypeId()};
        QRandomGenerator random(20261207);
        for (int i = 0; i < 3000; ++i) {
            if (i == 1500)
                QVERIFY(kept->property(QStringLiteral("time")));
            if (random.bounded(4) == 0) {
                const QPointF mouse(random.bounded(20), random.bounded(20));
                shownStage.frame(mouse);
                keptStage.frame(mouse);
            } else {
                const QString name = names.at(random.bounded(names.size()));
                const QVariant value = values.at(random.bounded(values.size()));
                const int type = types[random.bounded(8)];
                QCOMPARE(kept->addOrSetValue(type, name, value), bool(shown->addOrSetProperty(type, name, value)));
            }
            QCOMPARE(record(*kept), record(*shown));
            QCOMPARE(keptStage.at(2), shownStage.at(2));
        }
        QCOMPARE(kept->propertyManager()->properties().size(), shown->propertyManager()->properties().size());
    }

    void randomSequenceIsTheClassicOne()
    {
        // The classic 15-bit runtime generator seeded with 1, from its start again when seeded again.
        PseudoRandom::seed(1);
        QList<int> values = {PseudoRandom::next(), PseudoRandom::next(), PseudoRandom::next(), PseudoRandom::next(), PseudoRandom::next()};
        PseudoRandom::seed(1);
        QCOMPARE(values << PseudoRandom::next(), QList<int>({41, 18467, 6334, 26500, 19169, 41}));
    }

    void frameMapsAsTheGraphicsItem()
    {
        // Bit for bit as mapToScene, mapFromScene, moveElementBy at (glyph position, rotation, parent position) placements.
        const QVector<QPointF> outline = {{0.3, 0.1}, {10.7, 0.2}, {13.1, 4.4}, {12.9, 8.3}, {10.1, 10.9}, {-3.3, 5.5}};
        const QList<std::tuple<QPointF, double, QPointF>> placements = {{{0.1, 0.7}, 0.0, {1.1, 2.9}}, {{0.1, 0.7}, -0.0, {1.1, 2.9}},
                                                                        {{12.3, -7.77}, 33.3, {1.1, 2.9}}, {{0.1, 0.7}, 90.0, {}}};
        for (const auto &[position, rotation, parent] : placements) {
            SoftTypeStage probed(outline), twin(outline);
            for (SoftTypeStage *s : {&probed, &twin}) {
                s->scene.root()->setPos(parent);
                s->glyph->setPos(position);
                s->glyph->setRotation(rotation);
            }
            auto *probe = static_cast<MappingProbe *>(probed.add(new MappingProbe));
            probe->property(QStringLiteral("trigger"))->setValue(0);
            auto exact = [](const QPointF &a, const QPointF &b) { return a.x() == b.x() && a.y() == b.y(); };
            for (int f = 0; f < 4; ++f) {
                QList<QPointF> before;
                for (int i = 0; i < outline.size(); ++i)
                    before << twin.glyph->mapToScene(twin.at(i));
                probed.frame(QPointF());
                for (int i = 0; f > 0 && i < outline.size(); ++i) { // the first frame only records
                    twin.glyph->moveElementBy(i, probe->shift);
                    QVERIFY2(exact(probe->scenePoints.at(i), before.at(i)) && exact(probed.at(i), twin.at(i)), qPrintable(QStringLiteral(
                        "rotation %1, frame %2, element %3: %4 != %5").arg(rotation).arg(f).arg(i).arg(text(probed.at(i)), text(twin.at(i)))));
                }
            }
        }
    }

    void frames_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QVector<QPointF>>("outline");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QVector<QPointF>>("expected");
        QTest::addColumn<double>("tolerance"); // 0 exact; else as QCOMPARE, or within the tolerance
        // After the run: parameters, the frame last recorded ("last"), velocities ("v1.x"), lens offsets ("o0.x").
        QTest::addColumn<QVariantMap>("probes");
        auto row = [](const char *name, const char *kind, const QVector<QPointF> &outline, const QString &script,
                      const QVector<QPointF> &expected, double tolerance = -1, const QVariantMap &probes = {}) {
            QTest::newRow(name) << QString(kind) << outline << script << expected << tolerance << probes;
        };

        // "mouse middle button" deforms only with the middle button held, recording the other frames. Pull: 400 / (25 + 50).
        row("triggerFollowsButtons: middle, left held", "pull", square, "trigger=2 50,0*2", square, 0, {{"last", 2}});
        row("triggerFollowsButtons: middle held", "pull", square, "trigger=2 50,0*2 50,0/4", {{400 / 75.0, 0}, skip, skip, skip});
        row("triggerFollowsButtons: always active", "pull", square, "trigger=0 50,0/0*2", {{400 / 75.0, 0}, skip, skip, skip});
        // The element distance is truncated against the radius: 5.9 is within radius 5, 6.0 is not.
        row("radius of a truncated distance", "pull", {{0, 0}, {5.9, 0}, {16, 0}}, "radius=5 10,0*2", {{0, 0}, {5.9 + 400 / (25 + (10 - 5.9)), 0}, {16, 0}}, 1e-6);
        row("deformsOnlyOnConsecutiveFrames: after a gap", "pull", square, "30,40 frame=5 30,40", square, 0, {{"last", 6}});
        row("deformsOnlyOnConsecutiveFrames: the next one", "pull", square, "30,40 frame=5 30,40*2", {{3.2, 64 / 15.0}, skip, skip, skip});

        // Clay: k = 10 / (10 + d) of the mouse's motion; the first frame only records, a still mouse moves nothing.
        const double kc = 10.0 / (10.0 + std::sqrt(200.0));
        row("clay, still mouse", "clay", square, "7,-4 10,0 10,0", {{1.5, 2}, {13, 4}, {11.5, 12}, {3 * kc, 10 + 4 * kc}}, 1e-12);
        row("clayAtZeroAttenuationLeavesThePointUnderTheMouse", "clay", square, "attenuation=0.0 10,-2 10,0", {{0, 2}, {10, 0}, {10, 12}, skip});
        // Turned by 90 degrees: the motion (3, 4) in the scene is (4, -3) in the glyph.
        row("clay on a rotated glyph", "clay", square, "rot=90 -3,6 0,10", {skip, {14, -3}, skip, skip});

        // Pull: 400 / (25 + d) toward the mouse, none at distance 1, on every frame while the mouse stays.
        row("pull; toggleKeyChangesNothing", "pull", {{0, 0}, {2.5, 0}, {10, 0}}, "toggle_key=4 1.5,0 1.5,0", {{400 / 26.5, 0}, {2.5, 0}, {10 - 400 / 33.5, 0}});
        const double dp = 400 / 26.5 - 1.5;
        row("pull, still mouse", "pull", {{0, 0}, {2.5, 0}, {10, 0}}, "1.5,0*3", {{400 / 26.5 - 400 / (25 + dp), 0}, skip, skip}, 1e-5);

        // Twirl: k = (200 / 15) / d, the push k * (mouse - point) in single precision turned by the spin; no lower bound on d.
        const double push = double(float(200.0 / 15.0 / 10.0 * -10.0));
        const double a = M_PI + 1.0471975803375244;
        row("twirlTurnsThePush: spin 0", "Twirl", {{10, 0}, {0, 0.5}}, "spin=0.0 0,0 0,0", {{10 + push, 0}, skip}, 1e-12);
        row("twirlTurnsThePush: close", "Twirl", {{10, 0}, {0, 0.5}}, "spin=0.0 0,0 0,0", {skip, {0, 0.5 - double(float(200.0 / 5.5))}}, 1e-5);
        row("twirlTurnsThePush: quarter turn", "Twirl", {{10, 0}}, "spin=1.5707963267948966 0,0 0,0", {{10, push}}, 1e-12);
        row("twirlTurnsThePush: default spin", "Twirl", {{10, 0}, {0, 0}}, "0,0 0,0", {{10 - push * std::cos(a), -push * std::sin(a)}, {0, 0}}, 1e-12);

        // Originate linear: 2 units a frame toward rest, exactly onto it.
        const QString linear = QStringLiteral("50,50 50,50 @0=3,4 50,50");
        row("originate linear, 1 from rest", "originate linear", square, linear + " 50,50", {{0.6, 0.8}, skip, skip, skip}, 1e-6);
        row("originate linear, at rest", "originate linear", square, linear + " 50,50*2", {{0, 0}, skip, skip, skip});
        row("originate linear, speed 0", "originate linear", square, linear + " speed=0.0 @1=13,4 50,50", {skip, {13, 4}, skip, skip});
        row("originate radius, 30.5 as 30", "originate linear", square, "radius=30 @0=3,4 @1=30.5,0 @2=31,0 0,0 0,0", {{1.8, 2.4}, {28.5, 0}, {31, 0}, skip}, 1e-12);
        // Originate asymptotic: a tenth of the way a frame; 100 * 0.9^44 = 0.97 is the first offset <= 1: the 45th frame lands.
        const QString asym = QStringLiteral("0,0 @1=110,0");
        row("asymptotic, 44 shrinking frames", "originate asymptotic", square, asym + " 0,0*44", {skip, {10.95, 0}, skip, skip}, 0.05);
        row("asymptotic lands", "originate asymptotic", square, asym + " 0,0*45", {skip, {10, 0}, skip, skip});
        row("asymptotic, partitions 1", "originate asymptotic", square, "0,0 partitions=1 @2=-30,70 0,0", {skip, skip, {10, 10}, skip});
        row("asymptotic, moved glyph", "originate asymptotic", square, "pos=100,0 partitions=1 @3=5,15 0,0 0,0", {skip, skip, skip, {0, 10}});

        // Pulse from the centre: |2 sin(2 pi time / 36)| of each point's offset from it; time runs 0..35 and back.
        row("pulse quarter period", "pulse", around, "trigger=0 500,500*11", {{-30, -30}, skip, {30, 30}, skip}, 1e-12, {{"time", 10.0}});
        row("pulse three quarters", "pulse", around, "trigger=0 500,500*29", {skip, {30, -30}, skip, skip}, 1e-12);
        row("pulse whole period", "pulse", around, "trigger=0 500,500*38", {skip, {10, -10}, skip, skip}, 1e-12, {{"time", 1.0}});
        row("pulse, time edited", "pulse", around, "trigger=0 500,500*38 time=18 time=27 500,500", {skip, {30, -30}, skip, skip}, 1e-6, {{"time", 28.0}});

        // Explode, randomness 0: a kick of strength away from the mouse per frame, less friction, none at the mouse; beyond the attenuation points coast.
        row("explodeKicksAndCoasts", "explode", {{10, 0}, {0, 0}}, "friction=0.0 0,0 0,0", {{11, 0}, {0, 0}});
        row("explodeKicksAndCoasts, v3", "explode", {{10, 0}, {0, 0}}, "friction=0.0 0,0*4", {{16, 0}, {0, 0}}, -1, {{"v1.x", 0.0f}});
        row("explode kicked again", "explode", {{3, 0}}, "friction=0.0 attenuation=5.0 0,0*3", {{6, 0}});
        row("explode coasts on, friction 0.1", "explode", {{3, 0}}, "attenuation=5.0 0,0*5", {{4 + 1.9 + 1.71 + 1.539, 0}}, 1e-5);
        // Randomness 1 draws 41 and 18467: X = sx + sx * 41 / 32767 with sx = -1.
        const float v = float(1 + 41 / 32767.0);
        const QString random = QStringLiteral("attenuation=20.0 randomness=1.0 0,0 seed=1 0,0");
        row("explode at random", "explode", {{3, 0}, {30, 0}}, random, {{3 + double(v), 0}, {30, 0}}, -1, {{"v0.x", float(v * 0.9)}, {"vcount", 2}});
        row("explode let go, velocities dropped", "explode", {{3, 0}, {30, 0}}, random + " 0,0/0 1000,1000/0", {{3 + double(v), 0}, {30, 0}}, -1, {{"vcount", 0}});

        // Drift: pulled toward rest at -0.15 a frame keeping 0.98 of its speed, out of the mouse's radius; none within 0.25.
        const float v1 = float(-0.15);
        const float v2 = float(v1 * 0.98) + float(-0.15);
        const QString drift = QStringLiteral("radius=5 @1=20,0 @0=0.2,0 300,300 310,300");
        row("drift", "drift", {{0, 0}, {10, 0}}, drift, {{0.2, 0}, {20 + double(v1), 0}}, 1e-12);
        row("drift on", "drift", {{0, 0}, {10, 0}}, drift + " 310,300", {{0.2, 0}, {20 + double(v1) + double(v2), 0}}, 1e-6);
        // Within the radius the mouse's motion carries the point: k = 1 / 10.
        row("drift follows", "drift", {{0, 0}}, "-1,0 0,0", {{double(float(0.1)), 0}});
        row("driftAtZeroAttenuationStaysFinite", "drift", {{0, 0}, {10, 0}}, "attenuation=0.0 0,-4 0,0", {{0, 0}, {10, double(float(0.4))}}, 1e-12, {{"v0.x", 0.0f}, {"v0.y", 0.0f}});
        row("driftAtZeroAttenuationStaysFinite on", "drift", {{0, 0}, {10, 0}}, "attenuation=0.0 0,-4 0,0*2", {skip, skip});

        // Rubber: the nearest point moves by k = (D - d) / D of the motion (D from the centre), its neighbours a tenth of their stretch.
        const double kr = (std::sqrt(74.0) - 2) / std::sqrt(74.0);
        row("rubber chains wrap around", "rubber", square, "0,11 0,12", {{0, 0.1 * (10 + kr)}, {9, 0.1 * (0.1 * (10 + kr))}, {9, 10 + 0.1 * kr}, {0, 10 + kr}});
        for (const char *kind : {"rubber", "cloth"}) {
            row(qPrintable(QStringLiteral("%1 with a still mouse").arg(kind)), kind, square, "2,0*3", square);
            row(qPrintable(QStringLiteral("mouseOnCentreLeavesGrabbedPoint: %1").arg(kind)), kind, square, "4,5 5,5", square);
        }
        const double K = (std::sqrt(34.0) - 2) / std::sqrt(34.0) * 10;
        const QPointF pulled(0.1 * K, 10 + 0.1 * (0 - 10.0));
        row("rubber relaxes on", "rubber", square, "strength=10.0 1,0 2,0 2,0", {{K, 0}, skip, {10, 10}, {pulled.x() + 0.1 * (K - pulled.x()), pulled.y() + 0.1 * (0 - pulled.y())}});
        const double k1 = (std::sqrt(34.0) - 2) / std::sqrt(34.0);
        const double k2 = (std::sqrt(29.0) - double(float(3 - k1))) / std::sqrt(29.0);
        row("cloth pulls toward the old place", "cloth", square, "1,0 2,0 3,0", {{k1 + k2, 0}, {10, 0}, {10, 10}, {double(float(k1 * double(0.1f))), 9}});
        // A flung point's tenth of the way overflows single precision: the element goes back to its rest place.
        row("outlineStaysFinite: cloth", "cloth", square, "@1=1e300,0 0,0 0,0", {{0, 0}, {10, 0}, skip, skip});

        // Leak: the nearest point 20 / (10 + d) toward the mouse, the runs from it a tenth of the way to each neighbour.
        row("leakRunsTowardTheMouse", "leak", line, "40,0 40,0", {{1, 0}, {11, 0}, {21, 0}, {31, 0}});
        row("leakRunsTowardTheMouse on", "leak", line, "40,0*3", {{2, 0}, skip, skip, {31 + 20 / 19.0, 0}});
        row("leakRunsTowardTheMouse from the middle", "leak", line, "10,10 10,10", {{1, 0}, {10, 1}, {19, 0}, {29, 0}});
        row("leakRunsTowardTheMouse under it", "leak", line, "30,0 30,0", {skip, skip, {21, 0}, {30, 0}});
        row("leakRunsTowardTheMouse under it, attenuation 0", "leak", line, "attenuation=0.0 30,0 30,0", {skip, skip, {21, 0}, {30, 0}});
        row("leakRunsTowardTheMouse, one element", "leak", {{0, 0}}, "10,0 10,0", {{1, 0}});
        row("leak grabs the lower index", "leak", line, "5,0 5,0", {{20 / 15.0, 0}, {9, 0}, skip, skip});
        row("leak within its radius", "leak", line, "radius=10 40.9,0 40.9,0", {skip, skip, skip, {30 + 20 / 20.9, 0}}, 1e-6, {{"last", 2}});
        row("leak beyond its radius", "leak", line, "radius=10 41,0 41,0", {skip, skip, skip, {30, 0}}, -1, {{"last", 2}});

        // Lens: pushed away by 10 - 9 / d (diameter 20), from the rest place by the target of the present distance.
        const double dl = 9 + double(float(9.1));
        row("lens pushes away", "lens", {{9, 0}, {0, 0}, {0, 30}}, "0,0 0,0", {{18.1, 0}, {0, 0}, {0, 40 - 9 / 31.0}}, 1e-5, {{"o0.x", float(9 + 9.1 - 9)}});
        row("lens, still mouse", "lens", {{9, 0}, {0, 0}, {0, 30}}, "0,0*3", {{9 + (10 - 9 / (dl + 1)), 0}, skip, skip}, 1e-5);
        row("lens of diameter 2", "lens", {{9, 0}, {0, 40}}, "diameter=2.0 0,0 0,0", {{10, 0}, {0, 41}});
        const QString radius = QStringLiteral("diameter=2.0 radius=5 5,0 5,0");
        row("lens radius", "lens", {{9, 0}, {0, 6}}, radius, {{10, 0}, {0, 6}}, -1, {{"o0.x", 1.0f}});
        row("lens let go", "lens", {{9, 0}, {0, 6}}, radius + " 5,0/0 5,0", {{11, 0}, {0, 6}});
        row("lens of no elements", "lens", {}, "0,0 0,0", {}, -1, {{"last", 2}});

        // Pulse only within its bounds grown by the radius; phase 36.5 runs time through 0..35; below 1 it rests, counting the frame.
        row("pulseRadiusAndShortPhase: outside", "pulse", around, "radius=10 20.5,0*2", around, 0, {{"time", 0.0}, {"last", 2}});
        row("pulseRadiusAndShortPhase: inside", "pulse", around, "radius=10 19.5,0*2", {}, -1, {{"time", 1.0}});
        row("pulseRadiusAndShortPhase: phase 36.5", "pulse", around, "phase=36.5 time=35 0,0*2", {}, -1, {{"time", 0.0}});
        const QString rests = QStringLiteral("trigger=0 500,500*11 phase=%1 time=3 500,500*2");
        row("pulseRadiusAndShortPhase: phase 0.5", "pulse", around, rests.arg("0.5"), {{-30, -30}, skip, {30, 30}, skip}, 1e-12, {{"time", 3.0}, {"last", 13}});
        row("pulseRadiusAndShortPhase: phase 0", "pulse", around, rests.arg("0.0"), {{-30, -30}, skip, {30, 30}, skip}, 1e-12, {{"time", 3.0}, {"last", 13}});

        // Drift, Explode, Lens bit for bit, each float rounding in place. Drift: offsets e from rest, velocity -0.15 * e / |e|.
        row("physicsAndLensRoundAsSpecified: drift", "drift", {{0, 0}, {100, 0}, {200, 0}, {300, 0}}, "@0=0.1,0.3 @1=103.7,-2.9 @2=198.7,0.7 @3=300.31,0.27 500,500*2", {{0.05256583765149117, 0.1576975017786026},
            {103.58194161653519, -2.8074677526950835}, {198.8320706605911, 0.6288850277662277}, {300.19688775897026, 0.17148288756608965}}, 0, {{"v2.x", float(0.1320706605911255 * 0.98)}});
        // Explode from the origin: a kick of the unit vector away from the mouse in single precision, then 0.9 of it.
        row("physicsAndLensRoundAsSpecified: explode", "explode", fractional, "0,0*2", {{0.41622776389122007, 1.2486833214759827}, {4.487055909633637, -3.5168816685676574},
            {-2.180471110343933, 1.1740998446941375}, {1.0640816068649293, 0.9267807793617249}}, 0, {{"v1.x", 0.7083503007888794f}, {"v1.y", -0.5551934838294983f}});
        // Lens from the origin: the target t in single precision, applied in full on the first deforming frame.
        row("physicsAndLensRoundAsSpecified: lens", "lens", {{10.06, -34.76}, {10.79, 29.44}, {17.51, 30.31}, {-8.4, 24.07}}, "0,0*2", {{12.77276068687439, -44.13331485748291},
            {14.13551167488098, 38.56806892395019}, {22.38721109390259, 38.7525048828125}, {-11.583010816574097, 33.19084197998047}}, 0, {{"o3.x", -3.1830108165740967f}, {"o3.y", 9.120841979980469f}});
    }

    // Each row runs one SoftType on a drawn outline and checks the elements it names; none is ever left not finite.
    void frames()
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
                         qPrintable(QStringLiteral("element %1 at %2, expected %3").arg(i).arg(text(a), text(e))));
        }
        auto vector = [s](const QString &key, int i) { // a velocity ("v1.x") or a lens offset ("o0.x")
            return key.startsWith('v') ? static_cast<PhysicsSoftType *>(s)->velocity(i) : static_cast<SoftTypeLens *>(s)->appliedOffset(i);
        };
        for (auto p = probes.cbegin(); p != probes.cend(); ++p) {
            const QString &key = p.key();
            const int i = key.mid(1).section('.', 0, 0).toInt();
            if (key == "last")
                QCOMPARE(s->lastFrame(), p.value().toInt());
            else if (key == "vcount")
                QCOMPARE(static_cast<PhysicsSoftType *>(s)->velocityCount(), p.value().toInt());
            else if (key.startsWith('v') || key.startsWith('o'))
                QCOMPARE(key.endsWith('x') ? vector(key, i).x : vector(key, i).y, p.value().toFloat());
            else
                QCOMPARE(s->property(key)->value().toDouble(), p.value().toDouble());
        }
    }

    void editsActOnTheNextFrame()
    {
        // Pull 8.5 from the mouse moves strength / (25 + 8.5): edited as the dialog, then as the command does; a clone acts alike.
        SoftTypeStage stage(QVector<QPointF>{{10, 0}});
        SoftType *pull = stage.add(SoftTypeFactory::create(QStringLiteral("pull"), QStringLiteral("p")));
        play(stage, pull, QStringLiteral("1.5,0 strength=33.5 1.5,0"));
        QCOMPARE(stage.at(0), QPointF(9, 0));
        pull->setValues({{QStringLiteral("strength"), 62.5}, {QStringLiteral("attenuation"), 5.0}});
        stage.frame(QPointF(1.5, 0));
        QCOMPARE(stage.at(0), QPointF(4, 0));
        SoftTypeStage copy(QVector<QPointF>{{10, 0}});
        copy.add(pull->clone());
        play(copy, pull, QStringLiteral("1.5,0*2"));
        QCOMPARE(copy.at(0), QPointF(10 - 62.5 / 13.5, 0));
        // guards: noSceneRecordsNothing (a glyph in no scene: nothing recorded or moved; reset and step without a scene are safe)
        Glyph alone(QLatin1Char('x'), QFont(), Qt::black, Qt::black, 0.0, QPointF());
        const QPainterPath before = alone.path()->current;
        const SoftTypePtr fresh = create(QStringLiteral("pull"));
        fresh->apply(&alone);
        fresh->reset(nullptr);
        fresh->step(nullptr);
        QVERIFY(fresh->lastFrame() == -1 && alone.path()->current == before);
    }

    void unpairedElementsAreLeftAlone()
    {
        // A rest outline shorter than the current one: the kinds reading it touch only the elements both have.
        for (const char *kind : {"originate linear", "drift", "pulse", "rubber", "cloth"}) {
            SoftTypeStage stage(square);
            GlyphPath paths;
            paths.setPaths(SoftTypeStage::polyline({{0, 0}, {10, 0}}), SoftTypeStage::polyline({{0, 0}, {20, 0}, {10, 10}, {0, 10}}));
            stage.glyph->copyPathsFrom(paths);
            SoftType *s = stage.add(SoftTypeFactory::create(QLatin1String(kind), QStringLiteral("s")));
            play(stage, s, QStringLiteral("trigger=0 30,0 30,4 30,8"));
            QVERIFY2(stage.at(1) != QPointF(20, 0) && stage.at(2) == QPointF(10, 10) && stage.at(3) == QPointF(0, 10), kind);
        }
    }
};

QTEST_MAIN(TestSoftTypes)
#include "tst_softtypes.moc"
