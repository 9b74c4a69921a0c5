#ifndef SOFTTYPECLAY_H
#define SOFTTYPECLAY_H

#include "softtypes/SoftType.h"

// Drags the outline points along with the mouse's motion, each by the motion
// times strength / (attenuation + distance to the mouse), like soft clay
// under the pointer; a still mouse moves nothing.
class SoftTypeClay : public SoftType
{
public:
    static constexpr const char *Key = "clay";

    explicit SoftTypeClay(const QString &name);

    SoftType *clone() const override;
    void apply(Glyph *glyph) override;

    double strength() const { return doubleValue(m_strength); }
    double attenuation() const { return doubleValue(m_attenuation); }

private:
    QtVariantProperty *m_strength = nullptr;
    QtVariantProperty *m_attenuation = nullptr;
};

#endif // SOFTTYPECLAY_H
