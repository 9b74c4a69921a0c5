#include "softtypes/SoftTypeCloth.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"

SoftTypeCloth::SoftTypeCloth(const QString &name)
    : SoftType(QString::fromLatin1(Key), name)
{
    m_strength = addDoubleParameter(QStringLiteral("strength"), 1.0, 0, 65535);
    m_elasticity = addDoubleParameter(QStringLiteral("elasticity"), 1.0, 0, 65535);
}

SoftType *SoftTypeCloth::clone() const
{
    return cloneAs<SoftTypeCloth>();
}

void SoftTypeCloth::deform(Glyph *glyph, const Frame &frame)
{
    QPainterPath &current = glyph->path()->current;
    const QPainterPath &rest = glyph->path()->rest;
    const int n = pairedCount(*glyph->path());
    const Nearest grabbed = nearestElement(current, n, frame);
    if (grabbed.index >= 0 && frame.reaches(grabbed.toMouse.length)) {
        const int g = grabbed.index;
        const QRectF bounds = frame.toScene.mapRect(glyph->boundingRect());
        const QPointF centre(bounds.x() + 0.5 * bounds.width(), bounds.y() + 0.5 * bounds.height());
        const double reach = MouseVector(frame.mouse, centre).length;
        const QPointF o = elementPosition(current, g);
        // With the mouse on the centre the share of the motion is undefined.
        if (reach != 0) {
            const double k = (reach - grabbed.toMouse.length) / reach * strength();
            frame.moveBy(g, frame.sceneAt(g), QPointF(frame.motion.x() * k, frame.motion.y() * k));
        }
        // Every point stretched away from where the grabbed one was moves a
        // tenth of the way toward that place.
        const QPointF r = elementPosition(rest, g);
        const double e = elasticity();
        for (int j = 0; j < n; ++j) {
            if (j == g)
                continue;
            const QPointF cj = elementPosition(current, j);
            if (!isStretched(o, cj, r, elementPosition(rest, j), e))
                continue;
            const float tx = float((o.x() - cj.x()) * 0.1f);
            const float ty = float((o.y() - cj.y()) * 0.1f);
            current.setElementPositionAt(j, cj.x() + tx, cj.y() + ty);
        }
    }
}
