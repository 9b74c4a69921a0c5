#ifndef SOFTTYPETWIRL_H
#define SOFTTYPETWIRL_H

#include "softtypes/SoftType.h"

// Pushes the outline points by strength / (attenuation + distance) along
// the direction to the mouse turned by spin radians (clockwise on screen),
// so the outline swirls around the pointer.
class SoftTypeTwirl : public SoftType
{
public:
    static constexpr const char *Key = "Twirl";

    explicit SoftTypeTwirl(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }

    double strength() const { return parameter(m_strength); }
    double spin() const { return parameter(m_spin); }
    double attenuation() const { return parameter(m_attenuation); }

private:
    int m_strength = -1;
    int m_spin = -1;
    int m_attenuation = -1;
};

#endif // SOFTTYPETWIRL_H
