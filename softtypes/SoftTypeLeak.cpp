#include "softtypes/SoftTypeLeak.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"

SoftTypeLeak::SoftTypeLeak(const QString &name)
    : SoftType(QString::fromLatin1(Key), name)
{
    m_strength = addDoubleParameter(QStringLiteral("strength"), 20.0, 0, 65535);
    m_attenuation = addDoubleParameter(QStringLiteral("attenuation"), 10.0, 0, 65535);
}

SoftType *SoftTypeLeak::clone() const
{
    return cloneAs<SoftTypeLeak>();
}

void SoftTypeLeak::deform(Glyph *glyph, const Frame &frame)
{
    QPainterPath &current = glyph->path()->current;
    const int n = current.elementCount();
    const Nearest grabbed = nearestElement(current, n, frame);
    if (grabbed.index >= 0 && frame.reaches(grabbed.toMouse.length)) {
        const int g = grabbed.index;
        const MouseVector &v = grabbed.toMouse;
        const double d = v.length;
        const double a = attenuation();
        const QPointF o = elementPosition(current, g);
        // Without attenuation a point under the mouse has no defined pull.
        if (a + d != 0) {
            const double f = strength() / (a + d);
            frame.moveBy(g, frame.sceneAt(g), d == 0 ? QPointF(f * v.x, f * v.y) : QPointF(f * v.x / d, f * v.y / d));
        }
        // The points after and before it each move a tenth of the way toward
        // where their neighbour nearer to it was before this frame.
        for (const int direction : {1, -1}) {
            QPointF q = o;
            for (int j = g + direction; j >= 0 && j < n; j += direction) {
                const QPointF c = elementPosition(current, j);
                const float tx = float(float(q.x() - c.x()) * 0.1);
                const float ty = float(float(q.y() - c.y()) * 0.1);
                current.setElementPositionAt(j, c.x() + tx, c.y() + ty);
                q = c;
            }
        }
    }
}
