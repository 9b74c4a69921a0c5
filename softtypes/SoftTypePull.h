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
    void apply(Glyph *glyph) override;

    double strength() const { return doubleValue(m_strength); }
    double attenuation() const { return doubleValue(m_attenuation); }

private:
    QtVariantProperty *m_strength = nullptr;
    QtVariantProperty *m_attenuation = nullptr;
};

#endif // SOFTTYPEPULL_H
