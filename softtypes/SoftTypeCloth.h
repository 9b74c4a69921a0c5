#ifndef SOFTTYPECLOTH_H
#define SOFTTYPECLOTH_H

#include "softtypes/SoftType.h"

// Drags the outline point nearest to the mouse with the mouse's motion;
// every other point stretched away from it beyond the elasticity moves a
// tenth of the way toward where it was, like cloth held at one point.
class SoftTypeCloth : public SoftType
{
public:
    static constexpr const char *Key = "cloth";

    explicit SoftTypeCloth(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }

    double strength() const { return parameter(m_strength); }
    double elasticity() const { return parameter(m_elasticity); }

private:
    int m_strength = -1;
    int m_elasticity = -1;
};

#endif // SOFTTYPECLOTH_H
