#include "softtypes/SoftTypeRubber.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"

SoftTypeRubber::SoftTypeRubber(const QString &name)
    : SoftType(QString::fromLatin1(Key), name)
{
    m_strength = addDoubleParameter(QStringLiteral("strength"), 1.0, 0, 65535);
    m_elasticity = addDoubleParameter(QStringLiteral("elasticity"), 1.0, 0, 65535);
}

SoftType *SoftTypeRubber::clone() const
{
    return cloneAs<SoftTypeRubber>();
}

void SoftTypeRubber::deform(Glyph *glyph, const Frame &frame)
{
    QPainterPath &current = glyph->path()->current;
    const QPainterPath &rest = glyph->path()->rest;
    const int n = pairedCount(*glyph->path());
    const Nearest grabbed = nearestElement(current, n, frame);
    if (grabbed.index >= 0 && frame.reaches(grabbed.toMouse.length)) {
        const int g = grabbed.index;
        const double s = strength();
        const double e = elasticity();
        const QRectF bounds = glyph->boundingRect();
        const QPointF centre(bounds.x() + 0.5 * bounds.width(), bounds.y() + 0.5 * bounds.height());
        const double reach = MouseVector(frame.mouse, frame.map(centre)).length;
        // With the mouse on the centre the share of the motion is undefined.
        if (reach != 0) {
            const double k = (reach - grabbed.toMouse.length) / reach * s;
            frame.moveBy(g, frame.sceneAt(g), QPointF(frame.motion.x() * k, frame.motion.y() * k));
        }
        // Each neighbour, both ways round the element list, follows a tenth of
        // the way while the pair is stretched.
        for (const int direction : {1, n - 1}) {
            int p = g;
            for (int j = (g + direction) % n; j != g; j = (j + direction) % n) {
                const QPointF cp = elementPosition(current, p);
                const QPointF cj = elementPosition(current, j);
                if (!isStretched(cp, cj, elementPosition(rest, p), elementPosition(rest, j), e))
                    break;
                current.setElementPositionAt(j, cj.x() + 0.1 * (cp.x() - cj.x()), cj.y() + 0.1 * (cp.y() - cj.y()));
                p = j;
            }
        }
    }
}
