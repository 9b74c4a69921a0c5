#ifndef SOFTTYPEPULL_H
#define SOFTTYPEPULL_H

#include "softtypes/SoftType.h"

// Draws every outline point more than one unit from the mouse straight
// toward it, by strength / (attenuation + distance) per frame.
class SoftTypePull : public SoftType
{
public:
    static constexpr const char *Key = "pull";

    explicit SoftTypePull(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }

    double strength() const { return parameter(m_strength); }
    double attenuation() const { return parameter(m_attenuation); }

private:
    int m_strength = -1;
    int m_attenuation = -1;
};

#endif // SOFTTYPEPULL_H
