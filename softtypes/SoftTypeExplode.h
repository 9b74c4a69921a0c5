#ifndef SOFTTYPEEXPLODE_H
#define SOFTTYPEEXPLODE_H

#include "softtypes/PhysicsSoftType.h"

// Kicks the outline points within reach of the mouse away from it by
// strength per frame, each component spread by a random factor between 1
// and 1 + randomness, and lets every point within the radius coast with its
// velocity, slowed by friction. With an attenuation only points closer than
// it are kicked.
class SoftTypeExplode : public PhysicsSoftType
{
public:
    static constexpr const char *Key = "explode";

    explicit SoftTypeExplode(const QString &name);

    SoftType *clone() const override;
    void apply(Glyph *glyph) override;

    double strength() const { return doubleValue(m_strength); }
    double attenuation() const { return doubleValue(m_attenuation); }
    double friction() const { return doubleValue(m_friction); }
    double randomness() const { return doubleValue(m_randomness); }

private:
    QtVariantProperty *m_strength = nullptr;
    QtVariantProperty *m_attenuation = nullptr;
    QtVariantProperty *m_friction = nullptr;
    QtVariantProperty *m_randomness = nullptr;
};

#endif // SOFTTYPEEXPLODE_H
