#include "softtypes/SoftTypeClay.h"

SoftTypeClay::SoftTypeClay(const QString &name)
    : SoftType(QString::fromLatin1(Key), name)
{
    m_strength = addDoubleParameter(QStringLiteral("strength"), 10.0, 0, 65535);
    m_attenuation = addDoubleParameter(QStringLiteral("attenuation"), 10.0, 0, 65535);
}

SoftType *SoftTypeClay::clone() const
{
    return cloneAs<SoftTypeClay>();
}

void SoftTypeClay::deform(Glyph *glyph, const Frame &frame)
{
    const double s = strength();
    const double a = attenuation();
    const int n = frame.outline->elementCount();
    for (int i = 0; i < n; ++i) {
        const QPointF p = frame.sceneAt(i);
        const double d = MouseVector(frame.mouse, p).length;
        // Without attenuation a point under the mouse has no defined share.
        if (!frame.reaches(d) || a + d == 0)
            continue;
        const double k = s / (a + d);
        frame.moveBy(i, p, QPointF(frame.motion.x() * k, frame.motion.y() * k));
    }
}
