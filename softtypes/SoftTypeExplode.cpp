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

void SoftTypeExplode::deform(Glyph *glyph, const Frame &frame)
{
    const double s = strength();
    const double a = attenuation();
    const double spread = randomness();
    const double keep = 1.0 - friction();
    const int n = frame.outline->elementCount();
    for (int i = 0; i < n; ++i) {
        ElementVectors::Vector &speed = velocity(i);
        const QPointF p = frame.sceneAt(i);
        const MouseVector v(frame.mouse, p);
        const double d = v.length;
        if (!frame.reaches(d))
            continue;
        // A point under the mouse has no direction to be kicked in.
        if ((a == 0 || d < a) && d != 0) {
            const double sx = (v.x / d) * s;
            const double sy = (v.y / d) * s;
            const int r1 = PseudoRandom::next();
            const int r2 = PseudoRandom::next();
            speed.x = float(speed.x - (sx + spread * sx * r1 / 32767.0));
            speed.y = float(speed.y - (sy + spread * sy * r2 / 32767.0));
        }
        frame.moveBy(i, p, QPointF(speed.x, speed.y));
        speed.x = float(speed.x * keep);
        speed.y = float(speed.y * keep);
    }
}
