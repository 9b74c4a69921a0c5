#include "softtypes/SoftTypePulse.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"

#include <cmath>

SoftTypePulse::SoftTypePulse(const QString &name)
    : SoftType(QString::fromLatin1(Key), name)
{
    m_phase = addDoubleParameter(QStringLiteral("phase"), 36, 0, 65535);
    m_amplitude = addDoubleParameter(QStringLiteral("amplitude"), 2.0, 0, 65535);
    m_time = addDoubleParameter(QStringLiteral("time"), 0, 0, 65535);
}

SoftType *SoftTypePulse::clone() const
{
    return cloneAs<SoftTypePulse>();
}

void SoftTypePulse::deform(Glyph *glyph, const Frame &frame)
{
    const double period = phase();
    const QRectF bounds = glyph->boundingRect();
    const int r = frame.radius;
    // A period shorter than one frame has no whole position to run through.
    const bool active = period >= 1.0
        && (r == 0 || frame.toScene.mapRect(bounds.adjusted(-r, -r, r, r)).contains(frame.mouse));
    if (active) {
        const double cx = bounds.x() + 0.5 * bounds.width();
        const double cy = bounds.y() + 0.5 * bounds.height();
        const float turn = 6.2831855f;
        const double a = amplitude();
        const double t = time();
        const double before = std::abs(a * std::sin(turn * (m_previousTime / period)));
        const double now = std::abs(a * std::sin(turn * (t / period)));
        const double f = now - before;

        QPainterPath &current = glyph->path()->current;
        const QPainterPath &rest = glyph->path()->rest;
        const int n = pairedCount(*glyph->path());
        for (int i = 0; i < n; ++i) {
            const QPointF c = elementPosition(current, i);
            const QPointF q = elementPosition(rest, i);
            const float dx = float(q.x() - cx);
            const float dy = float(q.y() - cy);
            current.setElementPositionAt(i, c.x() + f * dx, c.y() + f * dy);
        }
        m_previousTime = t;
        m_nextTime = int(t + 1) % int(period);
    }
}

void SoftTypePulse::endFrame(const Frame &frame)
{
    // "time" may be shown in a property editor: it is written here, on the
    // GUI thread.
    if (m_nextTime >= 0)
        setParameter(m_time, m_nextTime);
    m_nextTime = -1;
    SoftType::endFrame(frame);
}
