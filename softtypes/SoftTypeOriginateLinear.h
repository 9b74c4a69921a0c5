#ifndef SOFTTYPEORIGINATELINEAR_H
#define SOFTTYPEORIGINATELINEAR_H

#include "softtypes/SoftType.h"

// Moves every outline point within the radius a fixed distance, speed, per
// frame back toward its place in the rest outline.
class SoftTypeOriginateLinear : public SoftType
{
public:
    static constexpr const char *Key = "originate linear";

    explicit SoftTypeOriginateLinear(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }

    double speed() const { return parameter(m_speed); }

private:
    // speed units straight toward the rest place, or onto it when closer.
    static QPointF restoredPlace(const Offset &offset, double parameter);

    int m_speed = -1;
};

#endif // SOFTTYPEORIGINATELINEAR_H
