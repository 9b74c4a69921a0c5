#ifndef SOFTTYPEEXPLODE_H
#define SOFTTYPEEXPLODE_H

#include "softtypes/PhysicsSoftType.h"

// Kicks the outline points within reach of the mouse away from it by
// strength per frame, each component spread by a random factor between 1
// and 1 + randomness, and lets every point within the radius coast with its
// velocity, slowed by friction. With an attenuation only points closer than
// it are kicked. The kicks draw from the process-wide random sequence, whose
// order defines them: Explode deforms glyph after glyph on the GUI thread.
class SoftTypeExplode : public PhysicsSoftType
{
public:
    static constexpr const char *Key = "explode";

    explicit SoftTypeExplode(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;

    double strength() const { return parameter(m_strength); }
    double attenuation() const { return parameter(m_attenuation); }
    double friction() const { return parameter(m_friction); }
    double randomness() const { return parameter(m_randomness); }

private:
    int m_strength = -1;
    int m_attenuation = -1;
    int m_friction = -1;
    int m_randomness = -1;
};

#endif // SOFTTYPEEXPLODE_H
