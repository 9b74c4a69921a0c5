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
    void apply(Glyph *glyph) override;

    double strength() const { return doubleValue(m_strength); }
    double attenuation() const { return doubleValue(m_attenuation); }

private:
    QtVariantProperty *m_strength = nullptr;
    QtVariantProperty *m_attenuation = nullptr;
};

#endif // SOFTTYPELEAK_H
