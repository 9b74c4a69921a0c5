#ifndef SOFTTYPEDRIFT_H
#define SOFTTYPEDRIFT_H

#include "softtypes/PhysicsSoftType.h"

// Lets the outline points follow the mouse's motion like a wake, by
// strength / (attenuation + distance) of it within the radius, while a pull
// of length inertia draws each displaced point back toward its rest place;
// every point coasts with its velocity, slowed by friction.
class SoftTypeDrift : public PhysicsSoftType
{
public:
    static constexpr const char *Key = "drift";

    explicit SoftTypeDrift(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }

    double strength() const { return parameter(m_strength); }
    double attenuation() const { return parameter(m_attenuation); }
    double inertia() const { return parameter(m_inertia); }
    double friction() const { return parameter(m_friction); }

private:
    int m_strength = -1;
    int m_attenuation = -1;
    int m_inertia = -1;
    int m_friction = -1;
};

#endif // SOFTTYPEDRIFT_H
