#ifndef SOFTTYPEPULSE_H
#define SOFTTYPEPULSE_H

#include "softtypes/SoftType.h"

// Makes the glyph breathe: each active frame scales the rest shape about the
// glyph's centre by |amplitude * sin(2 pi time / phase)|, adding only the
// change since the previous frame, and advances "time" through the period.
// With a radius the glyph is active only while the mouse is within its
// bounds grown by the radius. A phase below 1 has no period: the Pulse then
// rests.
class SoftTypePulse : public SoftType
{
public:
    static constexpr const char *Key = "pulse";

    explicit SoftTypePulse(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }
    void endFrame(const Frame &frame) override;

    double phase() const { return parameter(m_phase); }
    double amplitude() const { return parameter(m_amplitude); }
    double time() const { return parameter(m_time); }

private:
    int m_phase = -1;
    int m_amplitude = -1;
    int m_time = -1;
    // "time" at the previous active frame; neither streamed nor cloned.
    double m_previousTime = 0.0;
    // The "time" a deforming frame moved on to, -1 when it did not move.
    int m_nextTime = -1;
};

#endif // SOFTTYPEPULSE_H
