#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "propertybrowser/QtVariantProperty.h"
#include "propertybrowser/QtVariantPropertyManager.h"
#include "softtypes/PseudoRandom.h"
#include "softtypes/SoftTypeClay.h"
#include "softtypes/SoftTypeCloth.h"
#include "softtypes/SoftTypeDrift.h"
#include "softtypes/SoftTypeExplode.h"
#include "softtypes/SoftTypeLeak.h"
#include "softtypes/SoftTypeLens.h"
#include "softtypes/SoftTypeOriginateAsymptotic.h"
#include "softtypes/SoftTypeOriginateLinear.h"
#include "softtypes/SoftTypePull.h"
#include "softtypes/SoftTypePulse.h"
#include "softtypes/SoftTypeRubber.h"
#include "softtypes/SoftTypeTwirl.h"
#include "support/SoftTypeStage.h"

#include <QtTest>
#include <cmath>

namespace {

// A square outline, 10 wide, with its corner at the origin; its centre is (5, 5).
const QVector<QPointF> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
// A straight line of four points, 10 apart.
const QVector<QPointF> line = {{0, 0}, {10, 0}, {20, 0}, {30, 0}};

void set(SoftType *s, const char *name, const QVariant &value)
{
    QtVariantProperty *p = s->property(QString::fromLatin1(name));
    QVERIFY(p);
    p->setValue(value);
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

// Points whose coordinates and mouse vectors all round when taken to
// single precision.
const QVector<QPointF> fractional = {{0.1, 0.3}, {3.7, -2.9}, {-1.3, 0.7}, {0.31, 0.27}};

bool finite(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

class TestSoftTypeKinds : public QObject
{
    Q_OBJECT
private slots:
    void clayFollowsTheMouseMotion();
    void clayAtZeroAttenuationLeavesThePointUnderTheMouse();
    void pullDrawsTowardTheMouse();
    void twirlTurnsThePush();
    void originateLinearStepsToRest();
    void originateAsymptoticHalvesIntoRest();
    void originateRespectsRadius();
    void pulseSwellsOverAQuarterPeriod();
    void pulseRadiusAndShortPhase();
    void explodeKicksAndCoasts();
    void explodeAttenuationRandomnessAndRelease();
    void driftPullsBackToRest();
    void driftAtZeroAttenuationStaysFinite();
    void physicsAndLensRoundAsSpecified();
    void rubberChainsWrapAround();
    void rubberAndClothRestWithAStillMouse();
    void clothPullsTowardTheOldPlace();
    void leakRunsTowardTheMouse();
    void leakGrabsTheLowerIndexAndHonoursRadius();
    void lensPushesAway();
    void lensOffsetsAndRadius();
    void mouseOnCentreLeavesGrabbedPoint();
    void rotatedGlyphMovesInSceneUnits();
    void editsActOnTheNextFrame();
    void unpairedElementsAreLeftAlone();
};

void TestSoftTypeKinds::clayFollowsTheMouseMotion()
{
    SoftTypeStage stage(square);
    stage.add(new SoftTypeClay(QStringLiteral("c")));
    stage.frame(QPointF(7, -4));
    QCOMPARE(stage.at(1), QPointF(10, 0)); // the first frame only records
    stage.frame(QPointF(10, 0));           // motion (3, 4)

    // k = 10 / (10 + d): the point under the mouse moves by the motion, the
    // ones 10 away by half of it, the far corner (d = sqrt 200) by less.
    QCOMPARE(stage.at(1), QPointF(13, 4));
    QCOMPARE(stage.at(0), QPointF(1.5, 2));
    QCOMPARE(stage.at(2), QPointF(11.5, 12));
    const double k = 10.0 / (10.0 + std::sqrt(200.0));
    COMPARE_POINT(stage.at(3), QPointF(3 * k, 10 + 4 * k), 1e-12);

    // A still mouse moves nothing.
    const QPointF before = stage.at(3);
    stage.frame(QPointF(10, 0));
    QCOMPARE(stage.at(3), before);
    QCOMPARE(stage.at(1), QPointF(13, 4));
}

void TestSoftTypeKinds::clayAtZeroAttenuationLeavesThePointUnderTheMouse()
{
    SoftTypeStage stage(square);
    set(stage.add(new SoftTypeClay(QStringLiteral("c"))), "attenuation", 0.0);
    stage.frame(QPointF(10, -2));
    stage.frame(QPointF(10, 0)); // motion (0, 2), the mouse on element 1
    QCOMPARE(stage.at(1), QPointF(10, 0));
    QCOMPARE(stage.at(0), QPointF(0, 2)); // k = 10 / 10
    QCOMPARE(stage.at(2), QPointF(10, 12));
}

void TestSoftTypeKinds::pullDrawsTowardTheMouse()
{
    SoftTypeStage stage(QVector<QPointF>{{0, 0}, {2.5, 0}, {10, 0}});
    stage.add(new SoftTypePull(QStringLiteral("p")));
    const QPointF mouse(1.5, 0);
    stage.frame(mouse);
    stage.frame(mouse);
    // 1.5 away: 400 / 26.5 units toward the mouse, overshooting it.
    QCOMPARE(stage.at(0), QPointF(400 / 26.5, 0));
    // Exactly 1.0 away: left in place.
    QCOMPARE(stage.at(1), QPointF(2.5, 0));
    // 8.5 away: 400 / 33.5 toward the mouse.
    QCOMPARE(stage.at(2), QPointF(10 - 400 / 33.5, 0));

    // A still mouse goes on pulling on every consecutive frame: element 0,
    // now beyond the mouse, comes back toward it.
    stage.frame(mouse);
    const double d = 400 / 26.5 - 1.5;
    COMPARE_POINT(stage.at(0), QPointF(400 / 26.5 - 400 / (25 + d), 0), 1e-5);
}

void TestSoftTypeKinds::twirlTurnsThePush()
{
    // spin 0 pulls straight toward the mouse, with no lower distance bound.
    SoftTypeStage straight(QVector<QPointF>{{10, 0}, {0, 0.5}});
    set(straight.add(new SoftTypeTwirl(QStringLiteral("t"))), "spin", 0.0);
    straight.frame(QPointF());
    straight.frame(QPointF());
    // k = (200 / 15) / 10, w = k * (-10, 0) in single precision.
    const double push = double(float(200.0 / 15.0 / 10.0 * -10.0));
    COMPARE_POINT(straight.at(0), QPointF(10 + push, 0), 1e-12);
    COMPARE_POINT(straight.at(1), QPointF(0, 0.5 - double(float(200.0 / 5.5))), 1e-5);

    // spin pi/2 pushes at right angles, clockwise on screen: from the
    // direction (-1, 0) to (0, -1).
    SoftTypeStage turned(QVector<QPointF>{{10, 0}});
    set(turned.add(new SoftTypeTwirl(QStringLiteral("t"))), "spin", M_PI / 2);
    turned.frame(QPointF());
    turned.frame(QPointF());
    COMPARE_POINT(turned.at(0), QPointF(10, push), 1e-12);

    // The default spin, a third of a turn, and a point under the mouse,
    // which has no direction and stays.
    SoftTypeStage standard(QVector<QPointF>{{10, 0}, {0, 0}});
    standard.add(new SoftTypeTwirl(QStringLiteral("t")));
    standard.frame(QPointF());
    standard.frame(QPointF());
    const double a = M_PI + 1.0471975803375244;
    COMPARE_POINT(standard.at(0), QPointF(10 - push * std::cos(a), -push * std::sin(a)), 1e-12);
    QCOMPARE(standard.at(1), QPointF(0, 0));
}

void TestSoftTypeKinds::originateLinearStepsToRest()
{
    SoftTypeStage stage(square);
    stage.add(new SoftTypeOriginateLinear(QStringLiteral("o")));
    stage.frame(QPointF(50, 50));
    stage.frame(QPointF(50, 50));
    QCOMPARE(stage.at(2), QPointF(10, 10)); // undeformed: unchanged

    stage.displace(0, QPointF(3, 4)); // 5 from rest
    stage.frame(QPointF(50, 50));
    COMPARE_POINT(stage.at(0), QPointF(1.8, 2.4), 1e-12); // 3 from rest
    stage.frame(QPointF(50, 50));
    COMPARE_POINT(stage.at(0), QPointF(0.6, 0.8), 1e-6); // 1 from rest
    stage.frame(QPointF(50, 50));
    QCOMPARE(stage.at(0), QPointF(0, 0)); // exactly onto it

    // Speed 0 changes nothing.
    set(stage.glyph->softTypes().first(), "speed", 0.0);
    stage.displace(1, QPointF(13, 4));
    stage.frame(QPointF(50, 50));
    QCOMPARE(stage.at(1), QPointF(13, 4));
}

void TestSoftTypeKinds::originateAsymptoticHalvesIntoRest()
{
    SoftTypeStage stage(square);
    stage.add(new SoftTypeOriginateAsymptotic(QStringLiteral("o")));
    stage.frame(QPointF());
    stage.displace(1, QPointF(110, 0)); // 100 from rest
    stage.frame(QPointF());
    QCOMPARE(stage.at(1), QPointF(100, 0));
    stage.frame(QPointF());
    QCOMPARE(stage.at(1), QPointF(91, 0));
    // 100 * 0.9^44 = 0.97 is the first offset of at most 1: 44 frames shrink
    // it, the 45th lands exactly.
    for (int f = 3; f <= 44; ++f)
        stage.frame(QPointF());
    QVERIFY(stage.at(1).x() > 10.9 && stage.at(1).x() < 11.0);
    stage.frame(QPointF());
    QCOMPARE(stage.at(1), QPointF(10, 0));

    // With partitions 1 a point lands in one frame.
    set(stage.glyph->softTypes().first(), "partitions", 1.0);
    stage.displace(2, QPointF(-30, 70));
    stage.frame(QPointF());
    QCOMPARE(stage.at(2), QPointF(10, 10));
}

void TestSoftTypeKinds::originateRespectsRadius()
{
    SoftTypeStage stage(square);
    set(stage.add(new SoftTypeOriginateLinear(QStringLiteral("o"))), "radius", 30);
    stage.displace(0, QPointF(3, 4));    // 5 from the mouse
    stage.displace(1, QPointF(30.5, 0)); // 30.5: truncated to 30
    stage.displace(2, QPointF(31, 0));   // 31
    stage.frame(QPointF());
    stage.frame(QPointF());
    COMPARE_POINT(stage.at(0), QPointF(1.8, 2.4), 1e-12);
    QCOMPARE(stage.at(1), QPointF(28.5, 0));
    QCOMPARE(stage.at(2), QPointF(31, 0));

    // A moved glyph restores to its rest shape at its current position.
    SoftTypeStage moved(square);
    moved.glyph->setPos(100, 0);
    moved.add(new SoftTypeOriginateAsymptotic(QStringLiteral("o")));
    set(moved.glyph->softTypes().first(), "partitions", 1.0);
    moved.displace(3, QPointF(5, 15));
    moved.frame(QPointF());
    moved.frame(QPointF());
    QCOMPARE(moved.at(3), QPointF(0, 10));
}

void TestSoftTypeKinds::pulseSwellsOverAQuarterPeriod()
{
    // A square around the origin: its centre is (0, 0).
    SoftTypeStage stage(QVector<QPointF>{{-10, -10}, {10, -10}, {10, 10}, {-10, 10}});
    SoftType *pulse = stage.add(new SoftTypePulse(QStringLiteral("p")));
    set(pulse, "trigger", 0);
    stage.frame(QPointF(500, 500)); // records
    stage.frame(QPointF(500, 500)); // time 0, previous 0: nothing moves
    QCOMPARE(stage.at(1), QPointF(10, -10));
    QCOMPARE(pulse->property("time")->value().toDouble(), 1.0);

    // Nine more frames reach time 9 of 36, a quarter period: the scale is
    // |2 sin(2 pi / 4)| = 2, every point at rest + 2 (rest - centre).
    for (int f = 0; f < 9; ++f)
        stage.frame(QPointF(500, 500));
    QCOMPARE(pulse->property("time")->value().toDouble(), 10.0);
    COMPARE_POINT(stage.at(0), QPointF(-30, -30), 1e-12);
    COMPARE_POINT(stage.at(2), QPointF(30, 30), 1e-12);

    // Back to the starting shape on the frame that runs time 0 again, after
    // a whole period of 36 frames, with a second swell on the way.
    for (int f = 0; f < 18; ++f)
        stage.frame(QPointF(500, 500));
    COMPARE_POINT(stage.at(1), QPointF(30, -30), 1e-12); // time 27 ran
    for (int f = 0; f < 9; ++f)
        stage.frame(QPointF(500, 500));
    QCOMPARE(pulse->property("time")->value().toDouble(), 1.0);
    COMPARE_POINT(stage.at(1), QPointF(10, -10), 1e-12);

    // An edited time makes the next frame jump to its scale.
    set(pulse, "time", 18); // half period: scale |2 sin(pi)| = 0 ...
    set(pulse, "time", 27); // ... three quarters: 2 again
    stage.frame(QPointF(500, 500));
    COMPARE_POINT(stage.at(1), QPointF(30, -30), 1e-6);
    QCOMPARE(pulse->property("time")->value().toDouble(), 28.0);
}

void TestSoftTypeKinds::pulseRadiusAndShortPhase()
{
    SoftTypeStage stage(QVector<QPointF>{{-10, -10}, {10, -10}, {10, 10}, {-10, 10}});
    SoftType *pulse = stage.add(new SoftTypePulse(QStringLiteral("p")));
    set(pulse, "radius", 10);
    // Active only inside the bounds grown by 10: (-20, -20) to (20, 20).
    stage.frame(QPointF(20.5, 0));
    stage.frame(QPointF(20.5, 0));
    QCOMPARE(pulse->property("time")->value().toDouble(), 0.0);
    QCOMPARE(pulse->lastFrame(), 2);
    stage.frame(QPointF(19.5, 0));
    QCOMPARE(pulse->property("time")->value().toDouble(), 1.0);

    // A phase of 36.5 runs time through 0..35, the sine over 36.5.
    set(pulse, "phase", 36.5);
    set(pulse, "time", 35);
    stage.frame(QPointF(0, 0));
    QCOMPARE(pulse->property("time")->value().toDouble(), 0.0);

    // A phase below 1 rests: nothing moves, time stands, the frame counts.
    set(pulse, "phase", 0.5);
    set(pulse, "time", 3);
    const QPointF before = stage.at(2);
    stage.frame(QPointF(0, 0));
    stage.frame(QPointF(0, 0));
    QCOMPARE(stage.at(2), before);
    QCOMPARE(pulse->property("time")->value().toDouble(), 3.0);
    QCOMPARE(pulse->lastFrame(), stage.scene.frameCounter());
    set(pulse, "phase", 0.0);
    stage.frame(QPointF(0, 0));
    QCOMPARE(stage.at(2), before);
}

void TestSoftTypeKinds::explodeKicksAndCoasts()
{
    // Randomness 0 and friction 0: a kick of exactly strength per frame away
    // from the mouse, and no loss of speed.
    SoftTypeStage stage(QVector<QPointF>{{10, 0}, {0, 0}});
    auto *explode = static_cast<SoftTypeExplode *>(stage.add(new SoftTypeExplode(QStringLiteral("e"))));
    set(explode, "friction", 0.0);
    stage.frame(QPointF());
    stage.frame(QPointF());
    QCOMPARE(stage.at(0), QPointF(11, 0)); // velocity 1
    stage.frame(QPointF());
    QCOMPARE(stage.at(0), QPointF(13, 0)); // velocity 2
    stage.frame(QPointF());
    QCOMPARE(stage.at(0), QPointF(16, 0)); // velocity 3
    // The point under the mouse has no direction: it keeps its (zero) velocity.
    QCOMPARE(stage.at(1), QPointF(0, 0));
    QCOMPARE(explode->velocity(1).x, 0.0f);

    // Attenuation 5: only points closer than 5 are kicked; the others coast
    // at their speed.
    SoftTypeStage coast(QVector<QPointF>{{3, 0}});
    auto *e2 = coast.add(new SoftTypeExplode(QStringLiteral("e")));
    set(e2, "friction", 0.0);
    set(e2, "attenuation", 5.0);
    coast.frame(QPointF());
    coast.frame(QPointF());
    QCOMPARE(coast.at(0), QPointF(4, 0)); // kicked: velocity 1
    coast.frame(QPointF());
    QCOMPARE(coast.at(0), QPointF(6, 0)); // kicked again: velocity 2
    coast.frame(QPointF());
    QCOMPARE(coast.at(0), QPointF(8, 0)); // 6 away: coasts at 2
    coast.frame(QPointF());
    QCOMPARE(coast.at(0), QPointF(10, 0));
}

void TestSoftTypeKinds::explodeAttenuationRandomnessAndRelease()
{
    // Friction 0.1: the velocity keeps 0.9 of itself after each move.
    SoftTypeStage stage(QVector<QPointF>{{3, 0}, {30, 0}});
    auto *explode = static_cast<SoftTypeExplode *>(stage.add(new SoftTypeExplode(QStringLiteral("e"))));
    set(explode, "attenuation", 20.0);
    set(explode, "randomness", 1.0);
    stage.frame(QPointF());
    PseudoRandom::seed(1); // draws 41 and 18467
    stage.frame(QPointF());
    // X = sx + 1 * sx * 41 / 32767 with sx = -1; Y from sy = 0.
    const float v = float(1 + 41 / 32767.0);
    QCOMPARE(stage.at(0), QPointF(3 + double(v), 0));
    QCOMPARE(explode->velocity(0).x, float(v * 0.9));
    // 30 away: not kicked, no velocity of its own.
    QCOMPARE(stage.at(1), QPointF(30, 0));
    QCOMPARE(explode->velocityCount(), 2);

    // Letting go of the button for one frame drops every velocity.
    stage.frame(QPointF(), Qt::NoButton);
    QCOMPARE(explode->velocityCount(), 0);
    const QPointF held = stage.at(0);
    stage.frame(QPointF(1000, 1000), Qt::NoButton);
    QCOMPARE(stage.at(0), held);
}

void TestSoftTypeKinds::driftPullsBackToRest()
{
    SoftTypeStage stage(QVector<QPointF>{{0, 0}, {10, 0}});
    auto *drift = stage.add(new SoftTypeDrift(QStringLiteral("d")));
    set(drift, "radius", 5);
    stage.displace(1, QPointF(20, 0)); // 10 beyond its rest place
    stage.displace(0, QPointF(0.2, 0)); // within 0.25: no pull
    stage.frame(QPointF(300, 300));
    // The mouse moves, but out of the radius of both points.
    stage.frame(QPointF(310, 300));
    // velocity -0.15 toward rest, moved, then kept at 0.98 of itself.
    const float v1 = float(-0.15);
    COMPARE_POINT(stage.at(1), QPointF(20 + double(v1), 0), 1e-12);
    QCOMPARE(stage.at(0), QPointF(0.2, 0));
    stage.frame(QPointF(310, 300));
    const float v2 = float(v1 * 0.98) + float(-0.15);
    COMPARE_POINT(stage.at(1), QPointF(20 + double(v1) + double(v2), 0), 1e-6);
    QCOMPARE(stage.at(0), QPointF(0.2, 0));

    // Within the radius the mouse's motion carries the point along:
    // k = 1 / (10 + 0), motion (1, 0).
    SoftTypeStage follow(QVector<QPointF>{{0, 0}});
    follow.add(new SoftTypeDrift(QStringLiteral("d")));
    follow.frame(QPointF(-1, 0));
    follow.frame(QPointF(0, 0));
    QCOMPARE(follow.at(0), QPointF(double(float(0.1)), 0));
}

void TestSoftTypeKinds::driftAtZeroAttenuationStaysFinite()
{
    SoftTypeStage stage(QVector<QPointF>{{0, 0}, {10, 0}});
    auto *drift = static_cast<SoftTypeDrift *>(stage.add(new SoftTypeDrift(QStringLiteral("d"))));
    set(drift, "attenuation", 0.0);
    stage.frame(QPointF(0, -4));
    stage.frame(QPointF(0, 0)); // the mouse lands on element 0
    QCOMPARE(stage.at(0), QPointF(0, 0));
    QCOMPARE(drift->velocity(0).x, 0.0f);
    QCOMPARE(drift->velocity(0).y, 0.0f);
    // Element 1: k = 1 / 10 of the motion (0, 4).
    COMPARE_POINT(stage.at(1), QPointF(10, double(float(0.4))), 1e-12);
    stage.frame(QPointF(0, 0));
    QVERIFY(finite(stage.at(0)));
    QVERIFY(finite(stage.at(1)));
}

void TestSoftTypeKinds::physicsAndLensRoundAsSpecified()
{
    // The single-precision steps of Drift, Explode and Lens, worked out with
    // each float rounding in its place: one rounding skipped or added shows
    // in the last bits.

    // Drift with a still mouse: each point is displaced from its rest place
    // by a fractional offset e; velocity = -0.15 * e / |e| from the rounded e.
    SoftTypeStage drift(QVector<QPointF>{{0, 0}, {100, 0}, {200, 0}, {300, 0}});
    for (int i = 0; i < 4; ++i)
        drift.displace(i, drift.restAt(i) + fractional.at(i));
    auto *d = static_cast<SoftTypeDrift *>(drift.add(new SoftTypeDrift(QStringLiteral("d"))));
    drift.frame(QPointF(500, 500));
    drift.frame(QPointF(500, 500));
    COMPARE_EXACT(drift.at(0), 0.05256583765149117, 0.1576975017786026);
    COMPARE_EXACT(drift.at(1), 103.58194161653519, -2.8074677526950835);
    COMPARE_EXACT(drift.at(2), 198.8320706605911, 0.6288850277662277);
    COMPARE_EXACT(drift.at(3), 300.19688775897026, 0.17148288756608965);
    QCOMPARE(d->velocity(2).x, float(0.1320706605911255 * 0.98));

    // Explode from the origin, randomness 0: a kick of the unit vector away
    // from the mouse, kept in single precision, then 0.9 of it.
    SoftTypeStage explode(fractional);
    auto *e = static_cast<SoftTypeExplode *>(explode.add(new SoftTypeExplode(QStringLiteral("e"))));
    explode.frame(QPointF());
    explode.frame(QPointF());
    COMPARE_EXACT(explode.at(0), 0.41622776389122007, 1.2486833214759827);
    COMPARE_EXACT(explode.at(1), 4.487055909633637, -3.5168816685676574);
    COMPARE_EXACT(explode.at(2), -2.180471110343933, 1.1740998446941375);
    COMPARE_EXACT(explode.at(3), 1.0640816068649293, 0.9267807793617249);
    QCOMPARE(e->velocity(1).x, 0.7083503007888794f);
    QCOMPARE(e->velocity(1).y, -0.5551934838294983f);

    // Lens from the origin with the defaults: the target t in single
    // precision, applied in full on the first deforming frame.
    SoftTypeStage lens(QVector<QPointF>{{10.06, -34.76}, {10.79, 29.44}, {17.51, 30.31}, {-8.4, 24.07}});
    auto *l = static_cast<SoftTypeLens *>(lens.add(new SoftTypeLens(QStringLiteral("l"))));
    lens.frame(QPointF());
    lens.frame(QPointF());
    COMPARE_EXACT(lens.at(0), 12.77276068687439, -44.13331485748291);
    COMPARE_EXACT(lens.at(1), 14.13551167488098, 38.56806892395019);
    COMPARE_EXACT(lens.at(2), 22.38721109390259, 38.7525048828125);
    COMPARE_EXACT(lens.at(3), -11.583010816574097, 33.19084197998047);
    QCOMPARE(l->appliedOffset(3).x, -3.1830108165740967f);
    QCOMPARE(l->appliedOffset(3).y, 9.120841979980469f);
}

void TestSoftTypeKinds::rubberChainsWrapAround()
{
    SoftTypeStage stage(square);
    stage.add(new SoftTypeRubber(QStringLiteral("r")));
    stage.frame(QPointF(0, 11));
    stage.frame(QPointF(0, 12)); // motion (0, 1); element 3 is 2 away
    // k = (D - 2) / D with D = |(0, 12) - (5, 5)| = sqrt 74.
    const double k = (std::sqrt(74.0) - 2) / std::sqrt(74.0);
    QCOMPARE(stage.at(3), QPointF(0, 10 + k));
    // Forward from element 3 round to element 0, then 1; both stretched.
    QCOMPARE(stage.at(0), QPointF(0, 0.1 * (10 + k)));
    QCOMPARE(stage.at(1), QPointF(9, 0.1 * (0.1 * (10 + k))));
    // Backward to element 2, which stops at element 1 as the forward chain
    // left it (unmoved, the pair would have been stretched).
    QCOMPARE(stage.at(2), QPointF(9, 10 + 0.1 * k));
}

void TestSoftTypeKinds::rubberAndClothRestWithAStillMouse()
{
    for (SoftType *s : {static_cast<SoftType *>(new SoftTypeRubber(QStringLiteral("r"))),
                        static_cast<SoftType *>(new SoftTypeCloth(QStringLiteral("c")))}) {
        SoftTypeStage stage(square);
        stage.add(s);
        for (int f = 0; f < 3; ++f)
            stage.frame(QPointF(2, 0));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(stage.at(i), square.at(i));
    }

    // After a drag a still mouse goes on relaxing: Rubber with strength 10
    // drags element 0 to (K, 0) and pulls element 3 a tenth of the way; the
    // pair is still stretched, so the next frame pulls it another tenth.
    SoftTypeStage stage(square);
    set(stage.add(new SoftTypeRubber(QStringLiteral("r"))), "strength", 10.0);
    stage.frame(QPointF(1, 0));
    stage.frame(QPointF(2, 0)); // motion (1, 0), element 0 is 2 away, D = sqrt 34
    const double K = (std::sqrt(34.0) - 2) / std::sqrt(34.0) * 10;
    QCOMPARE(stage.at(0), QPointF(K, 0));
    const QPointF pulled(0 + 0.1 * (K - 0), 10 + 0.1 * (0 - 10.0));
    QCOMPARE(stage.at(3), pulled);
    QCOMPARE(stage.at(1), QPointF(10, 0));
    stage.frame(QPointF(2, 0));
    QCOMPARE(stage.at(0), QPointF(K, 0));
    QCOMPARE(stage.at(3), QPointF(pulled.x() + 0.1 * (K - pulled.x()), pulled.y() + 0.1 * (0 - pulled.y())));
    QCOMPARE(stage.at(2), QPointF(10, 10));
}

void TestSoftTypeKinds::clothPullsTowardTheOldPlace()
{
    SoftTypeStage stage(square);
    stage.add(new SoftTypeCloth(QStringLiteral("c")));
    stage.frame(QPointF(1, 0));
    stage.frame(QPointF(2, 0));
    // The same grab as Rubber; no other point is stretched from (0, 0).
    const double k = (std::sqrt(34.0) - 2) / std::sqrt(34.0);
    QCOMPARE(stage.at(0), QPointF(k, 0));
    QCOMPARE(stage.at(3), QPointF(0, 10));

    // Next frame, motion (1, 0): element 0 at (k, 0) is grabbed and moved
    // on; element 3, stretched from where element 0 was, moves a tenth of
    // the way toward (k, 0), not toward its new place.
    stage.frame(QPointF(3, 0));
    const double dmin = double(float(3 - k));
    const double k2 = (std::sqrt(29.0) - dmin) / std::sqrt(29.0);
    QCOMPARE(stage.at(0), QPointF(k + k2, 0));
    QCOMPARE(stage.at(3), QPointF(double(float(k * double(0.1f))), 9));
    QCOMPARE(stage.at(1), QPointF(10, 0));
    QCOMPARE(stage.at(2), QPointF(10, 10));
}

void TestSoftTypeKinds::leakRunsTowardTheMouse()
{
    SoftTypeStage stage(line);
    stage.add(new SoftTypeLeak(QStringLiteral("l")));
    stage.frame(QPointF(40, 0));
    stage.frame(QPointF(40, 0));
    // Element 3 is 10 away: 20 / (10 + 10) = 1 unit toward the mouse; the
    // run back to element 0 moves each a tenth of the 10 to its neighbour.
    QCOMPARE(stage.at(3), QPointF(31, 0));
    QCOMPARE(stage.at(2), QPointF(21, 0));
    QCOMPARE(stage.at(1), QPointF(11, 0));
    QCOMPARE(stage.at(0), QPointF(1, 0));
    stage.frame(QPointF(40, 0));
    QCOMPARE(stage.at(3), QPointF(31 + 20 / 19.0, 0));
    QCOMPARE(stage.at(0), QPointF(2, 0));

    // From a middle point the runs go both ways and end at the ends.
    SoftTypeStage middle(line);
    middle.add(new SoftTypeLeak(QStringLiteral("l")));
    middle.frame(QPointF(10, 10));
    middle.frame(QPointF(10, 10));
    QCOMPARE(middle.at(1), QPointF(10, 1));
    QCOMPARE(middle.at(2), QPointF(19, 0));
    QCOMPARE(middle.at(3), QPointF(29, 0));
    QCOMPARE(middle.at(0), QPointF(1, 0));

    // A point exactly under the mouse stays; with attenuation 0 too.
    for (const double attenuation : {10.0, 0.0}) {
        SoftTypeStage under(line);
        set(under.add(new SoftTypeLeak(QStringLiteral("l"))), "attenuation", attenuation);
        under.frame(QPointF(30, 0));
        under.frame(QPointF(30, 0));
        QCOMPARE(under.at(3), QPointF(30, 0));
        QCOMPARE(under.at(2), QPointF(21, 0));
    }

    // An outline of one element: only it moves.
    SoftTypeStage single(QVector<QPointF>{{0, 0}});
    single.add(new SoftTypeLeak(QStringLiteral("l")));
    single.frame(QPointF(10, 0));
    single.frame(QPointF(10, 0));
    QCOMPARE(single.at(0), QPointF(1, 0));
}

void TestSoftTypeKinds::leakGrabsTheLowerIndexAndHonoursRadius()
{
    SoftTypeStage tie(line);
    tie.add(new SoftTypeLeak(QStringLiteral("l")));
    tie.frame(QPointF(5, 0));
    tie.frame(QPointF(5, 0)); // elements 0 and 1 are both 5 away
    QCOMPARE(tie.at(0), QPointF(20 / 15.0, 0));
    QCOMPARE(tie.at(1), QPointF(9, 0));

    // Radius 10: the nearest point 10.9 away acts, 11.0 away it does not,
    // and the frame is recorded either way.
    for (const double gap : {10.9, 11.0}) {
        SoftTypeStage stage(line);
        SoftType *leak = stage.add(new SoftTypeLeak(QStringLiteral("l")));
        set(leak, "radius", 10);
        stage.frame(QPointF(30 + gap, 0));
        stage.frame(QPointF(30 + gap, 0));
        QCOMPARE(stage.at(3).x() > 30, gap < 11);
        QCOMPARE(leak->lastFrame(), 2);
    }
}

void TestSoftTypeKinds::lensPushesAway()
{
    SoftTypeStage stage(QVector<QPointF>{{9, 0}, {0, 0}, {0, 30}});
    auto *lens = static_cast<SoftTypeLens *>(stage.add(new SoftTypeLens(QStringLiteral("l"))));
    stage.frame(QPointF());
    stage.frame(QPointF());
    // Distance 9: k = 10 - 9 / 10 = 9.1 units away from the mouse.
    COMPARE_POINT(stage.at(0), QPointF(9 + 9.1, 0), 1e-5);
    QCOMPARE(lens->appliedOffset(0).x, float(9 + 9.1 - 9));
    // At the mouse: no move.
    QCOMPARE(stage.at(1), QPointF(0, 0));
    // Distance 30: 10 - 9 / 31.
    COMPARE_POINT(stage.at(2), QPointF(0, 30 + 10 - 9 / 31.0), 1e-5);

    // A still mouse: each element sits at its rest place plus the target
    // of its present distance, moved only by the change.
    stage.frame(QPointF());
    const double d = 9 + double(float(9.1));
    COMPARE_POINT(stage.at(0), QPointF(9 + (10 - 9 / (d + 1)), 0), 1e-5);

    // Diameter 2: k is 1 at every distance.
    SoftTypeStage flat(QVector<QPointF>{{9, 0}, {0, 40}});
    set(flat.add(new SoftTypeLens(QStringLiteral("l"))), "diameter", 2.0);
    flat.frame(QPointF());
    flat.frame(QPointF());
    QCOMPARE(flat.at(0), QPointF(10, 0));
    QCOMPARE(flat.at(1), QPointF(0, 41));
}

void TestSoftTypeKinds::lensOffsetsAndRadius()
{
    SoftTypeStage stage(QVector<QPointF>{{9, 0}, {0, 6}});
    auto *lens = static_cast<SoftTypeLens *>(stage.add(new SoftTypeLens(QStringLiteral("l"))));
    set(lens, "diameter", 2.0);
    set(lens, "radius", 5);
    stage.frame(QPointF(5, 0));
    stage.frame(QPointF(5, 0));
    // Element 0 is 4 away: pushed 1; element 1 is sqrt 61 > 6 away: untouched.
    QCOMPARE(stage.at(0), QPointF(10, 0));
    QCOMPARE(stage.at(1), QPointF(0, 6));
    QCOMPARE(lens->appliedOffset(0).x, 1.0f);

    // Letting go for one frame empties the offsets; the next activation
    // pushes the displaced element again by its full target.
    stage.frame(QPointF(5, 0), Qt::NoButton);
    stage.frame(QPointF(5, 0));
    QCOMPARE(stage.at(0), QPointF(11, 0));

    // An outline with no elements only records the frame.
    SoftTypeStage empty{QPainterPath()};
    SoftType *l2 = empty.add(new SoftTypeLens(QStringLiteral("l")));
    empty.frame(QPointF());
    empty.frame(QPointF());
    QCOMPARE(l2->lastFrame(), 2);
}

void TestSoftTypeKinds::mouseOnCentreLeavesGrabbedPoint()
{
    // With the mouse on the glyph's centre the share of the motion is not
    // defined: the grabbed point stays, nothing turns into NaN.
    for (SoftType *s : {static_cast<SoftType *>(new SoftTypeRubber(QStringLiteral("r"))),
                        static_cast<SoftType *>(new SoftTypeCloth(QStringLiteral("c")))}) {
        SoftTypeStage stage(square);
        stage.add(s);
        stage.frame(QPointF(4, 5));
        stage.frame(QPointF(5, 5));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(stage.at(i), square.at(i));
    }
}

void TestSoftTypeKinds::rotatedGlyphMovesInSceneUnits()
{
    // Turned by 90 degrees, the glyph maps (x, y) to the scene as (-y, x):
    // element (10, 0) stands at (0, 10). Under the mouse, Clay moves it by
    // the mouse motion (3, 4) in the scene, to (3, 14), that is (14, -3) in
    // the glyph.
    SoftTypeStage stage(square);
    stage.glyph->setRotation(90);
    stage.add(new SoftTypeClay(QStringLiteral("c")));
    stage.frame(QPointF(-3, 6));
    stage.frame(QPointF(0, 10));
    QCOMPARE(stage.at(1), QPointF(14, -3));
    QCOMPARE(stage.glyph->mapToScene(stage.at(1)), QPointF(3, 14));
}

void TestSoftTypeKinds::editsActOnTheNextFrame()
{
    // A Pull point 8.5 from the mouse moves strength / (25 + 8.5) toward it.
    SoftTypeStage stage(QVector<QPointF>{{10, 0}});
    SoftType *pull = stage.add(new SoftTypePull(QStringLiteral("p")));
    stage.frame(QPointF(1.5, 0));
    // Through the property manager, as the SoftType dialog edits.
    pull->propertyManager()->setValue(pull->property(QStringLiteral("strength")), 33.5);
    stage.frame(QPointF(1.5, 0));
    QCOMPARE(stage.at(0), QPointF(9, 0));
    // Through setValues, as the edit command does: 8.5 - 1 = 7.5 away now.
    QHash<QString, QVariant> values;
    values.insert(QStringLiteral("strength"), 62.5);
    values.insert(QStringLiteral("attenuation"), 5.0);
    pull->setValues(values);
    stage.frame(QPointF(1.5, 0));
    QCOMPARE(stage.at(0), QPointF(4, 0));
    // A clone acts with its source's values.
    SoftTypeStage copy(QVector<QPointF>{{10, 0}});
    copy.add(pull->clone());
    copy.frame(QPointF(1.5, 0));
    copy.frame(QPointF(1.5, 0));
    QCOMPARE(copy.at(0), QPointF(10 - 62.5 / 13.5, 0));
}

void TestSoftTypeKinds::unpairedElementsAreLeftAlone()
{
    // A document may hold a rest outline with fewer elements than the
    // current one: the kinds that read the rest outline touch only the
    // elements both have, and read nothing beyond the shorter one.
    const QList<SoftType *> kinds = {new SoftTypeOriginateLinear(QStringLiteral("o")),
                                     new SoftTypeDrift(QStringLiteral("d")), new SoftTypePulse(QStringLiteral("p")),
                                     new SoftTypeRubber(QStringLiteral("r")), new SoftTypeCloth(QStringLiteral("c"))};
    for (SoftType *s : kinds) {
        SoftTypeStage stage(square);
        GlyphPath paths;
        paths.setPaths(SoftTypeStage::polyline({{0, 0}, {10, 0}}),
                       SoftTypeStage::polyline({{0, 0}, {20, 0}, {10, 10}, {0, 10}}));
        stage.glyph->copyPathsFrom(paths);
        set(stage.add(s), "trigger", 0);
        for (int f = 0; f < 3; ++f)
            stage.frame(QPointF(30, 4 * f));
        QVERIFY2(stage.at(1) != QPointF(20, 0), qPrintable(s->typeKey()));
        QCOMPARE(stage.at(2), QPointF(10, 10));
        QCOMPARE(stage.at(3), QPointF(0, 10));
    }
}

QTEST_MAIN(TestSoftTypeKinds)
#include "tst_softtypekinds.moc"
