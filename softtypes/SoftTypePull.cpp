#include "softtypes/SoftTypePull.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"

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

void SoftTypePull::apply(Glyph *glyph)
{
    Frame frame;
    if (!beginFrame(glyph, frame))
        return;
    const double s = strength();
    const double a = attenuation();
    const QPainterPath &current = glyph->path()->current;
    const int n = current.elementCount();
    for (int i = 0; i < n; ++i) {
        const MouseVector v = frame.toMouse(elementPosition(current, i));
        const double d = v.length;
        if (!frame.reaches(d) || d <= 1.0)
            continue;
        const double k = s / (a + d);
        glyph->moveElementBy(i, QPointF(v.x * k / d, v.y * k / d));
    }
    step(frame.scene);
}
