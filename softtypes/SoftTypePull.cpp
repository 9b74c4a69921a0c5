#include "softtypes/SoftTypePull.h"

SoftTypePull::SoftTypePull(const QString &name)
    : SoftType(QString::fromLatin1(Key), name)
{
    m_strength = addDoubleParameter(QStringLiteral("strength"), 400.0, 0, 65535);
    m_attenuation = addDoubleParameter(QStringLiteral("attenuation"), 25.0, 0, 65535);
}

SoftType *SoftTypePull::clone() const
{
    return cloneAs<SoftTypePull>();
}

void SoftTypePull::deform(Glyph *glyph, const Frame &frame)
{
    const double s = strength();
    const double a = attenuation();
    const int n = frame.outline->elementCount();
    for (int i = 0; i < n; ++i) {
        const QPointF p = frame.sceneAt(i);
        const MouseVector v(frame.mouse, p);
        const double d = v.length;
        if (!frame.reaches(d) || d <= 1.0)
            continue;
        const double k = s / (a + d);
        frame.moveBy(i, p, QPointF(v.x * k / d, v.y * k / d));
    }
}
