#ifndef SOFTTYPELEAK_H
#define SOFTTYPELEAK_H

#include "softtypes/SoftType.h"

// Pulls the outline point nearest to the mouse toward it by
// strength / (attenuation + distance) per frame; the points after and before
// it in the outline each move a tenth of the way toward their neighbour, so
// the outline runs out toward the pointer.
class SoftTypeLeak : public SoftType
{
public:
    static constexpr const char *Key = "leak";

    explicit SoftTypeLeak(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }

    double strength() const { return parameter(m_strength); }
    double attenuation() const { return parameter(m_attenuation); }

private:
    int m_strength = -1;
    int m_attenuation = -1;
};

#endif // SOFTTYPELEAK_H
