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
    void apply(Glyph *glyph) override;

    double strength() const { return doubleValue(m_strength); }
    double spin() const { return doubleValue(m_spin); }
    double attenuation() const { return doubleValue(m_attenuation); }

private:
    QtVariantProperty *m_strength = nullptr;
    QtVariantProperty *m_spin = nullptr;
    QtVariantProperty *m_attenuation = nullptr;
};

#endif // SOFTTYPETWIRL_H
