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
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }

    double strength() const { return parameter(m_strength); }
    double attenuation() const { return parameter(m_attenuation); }

private:
    int m_strength = -1;
    int m_attenuation = -1;
};

#endif // SOFTTYPECLAY_H
