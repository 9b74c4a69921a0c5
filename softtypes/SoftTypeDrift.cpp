#include "softtypes/SoftTypeDrift.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"

SoftTypeDrift::SoftTypeDrift(const QString &name)
    : PhysicsSoftType(QString::fromLatin1(Key), name)
{
    m_strength = addDoubleParameter(QStringLiteral("strength"), 1.0, 0, 65535);
    m_attenuation = addDoubleParameter(QStringLiteral("attenuation"), 10.0, 0, 65535);
    m_inertia = addDoubleParameter(QStringLiteral("inertia"), 0.15, 0, 65535);
    m_friction = addDoubleParameter(QStringLiteral("friction"), 0.02, 0, 65535);
}

SoftType *SoftTypeDrift::clone() const
{
    return cloneAs<SoftTypeDrift>();
}

void SoftTypeDrift::deform(Glyph *glyph, const Frame &frame)
{
    const double s = strength();
    const double a = attenuation();
    const double pull = inertia();
    const double keep = 1.0 - friction();
    const QPainterPath &rest = glyph->path()->rest;
    const int n = pairedCount(*glyph->path());
    for (int i = 0; i < n; ++i) {
        ElementVectors::Vector &speed = velocity(i);
        const QPointF p = frame.sceneAt(i);
        const double d = MouseVector(frame.mouse, p).length;
        const QPointF q = frame.map(elementPosition(rest, i));
        const float ex = float(p.x() - q.x());
        const float ey = float(p.y() - q.y());
        const double offset = length(ex, ey);

        // Without attenuation the mouse's share at its own point is undefined.
        const double k = frame.reaches(d) && a + d != 0 ? s / (a + d) : 0.0;
        double ax = frame.motion.x() * k;
        double ay = frame.motion.y() * k;
        if (offset > 0.25) {
            ax -= pull * ex / offset;
            ay -= pull * ey / offset;
        }
        speed.x += float(ax);
        speed.y += float(ay);
        frame.moveBy(i, p, QPointF(speed.x, speed.y));
        speed.x = float(speed.x * keep);
        speed.y = float(speed.y * keep);
    }
}
