#include "softtypes/SoftTypeExplode.h"

#include "softtypes/PseudoRandom.h"

SoftTypeExplode::SoftTypeExplode(const QString &name)
    : PhysicsSoftType(QString::fromLatin1(Key), name)
{
    m_strength = addDoubleParameter(QStringLiteral("strength"), 1.0, 0, 65535);
    m_attenuation = addDoubleParameter(QStringLiteral("attenuation"), 0.0, 0, 65535);
    m_friction = addDoubleParameter(QStringLiteral("friction"), 0.1, 0, 65535);
    m_randomness = addDoubleParameter(QStringLiteral("randomness"), 0.0, 0, 65535);
}

SoftType *SoftTypeExplode::clone() const
{
    return cloneAs<SoftTypeExplode>();
}

inline SoftTypeExplode::Reach SoftTypeExplode::reach(const Frame &frame, int i) const
{
    Reach r;
    r.point = frame.sceneAt(i);
    r.toMouse = MouseVector(frame.mouse, r.point);
    const double d = r.toMouse.length;
    const double a = attenuation();
    r.moves = frame.reaches(d);
    // A point under the mouse has no direction to be kicked in.
    r.kicked = r.moves && (a == 0 || d < a) && d != 0;
    return r;
}

int SoftTypeExplode::randomDraws(const Frame &frame) const
{
    int draws = 0;
    const int n = frame.outline->elementCount();
    for (int i = 0; i < n; ++i) {
        if (reach(frame, i).kicked)
            draws += 2;
    }
    return draws;
}

void SoftTypeExplode::deform(Glyph *, const Frame &frame)
{
    const double s = strength();
    const double spread = randomness();
    const double keep = 1.0 - friction();
    const int n = frame.outline->elementCount();
    for (int i = 0; i < n; ++i) {
        ElementVectors::Vector &speed = velocity(i);
        const Reach r = reach(frame, i);
        if (!r.moves)
            continue;
        if (r.kicked) {
            const double d = r.toMouse.length;
            const double sx = (r.toMouse.x / d) * s;
            const double sy = (r.toMouse.y / d) * s;
            const int r1 = frame.random->draw();
            const int r2 = frame.random->draw();
            speed.x = float(speed.x - (sx + spread * sx * r1 / 32767.0));
            speed.y = float(speed.y - (sy + spread * sy * r2 / 32767.0));
        }
        frame.moveBy(i, r.point, QPointF(speed.x, speed.y));
        speed.x = float(speed.x * keep);
        speed.y = float(speed.y * keep);
    }
}
