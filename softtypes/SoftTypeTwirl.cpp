#include "softtypes/SoftTypeTwirl.h"

#include <cmath>

SoftTypeTwirl::SoftTypeTwirl(const QString &name)
    : SoftType(QString::fromLatin1(Key), name)
{
    m_strength = addDoubleParameter(QStringLiteral("strength"), 200.0, 0, 65535);
    // A third of a turn in single precision, as documents have always held it.
    m_spin = addDoubleParameter(QStringLiteral("spin"), float(M_PI / 3), 0, 65535);
    m_attenuation = addDoubleParameter(QStringLiteral("attenuation"), 5.0, 0, 65535);
}

SoftType *SoftTypeTwirl::clone() const
{
    return cloneAs<SoftTypeTwirl>();
}

void SoftTypeTwirl::deform(Glyph *glyph, const Frame &frame)
{
    const double s = strength();
    const double a = attenuation();
    const double turn = spin();
    const int n = frame.outline->elementCount();
    for (int i = 0; i < n; ++i) {
        const QPointF p = frame.sceneAt(i);
        const MouseVector v(frame.mouse, p);
        const double d = v.length;
        // A point under the mouse has no direction to turn.
        if (!frame.reaches(d) || d == 0)
            continue;
        const double k = (s / (a + d)) / d;
        const float wx = float(k * v.x);
        const float wy = float(k * v.y);
        const double push = length(wx, wy);
        const double angle = std::atan2(double(wy), double(wx)) + turn;
        frame.moveBy(i, p, QPointF(push * std::cos(angle), push * std::sin(angle)));
    }
}
