#ifndef SOFTTYPERUBBER_H
#define SOFTTYPERUBBER_H

#include "softtypes/SoftType.h"

// Drags the outline point nearest to the mouse with the mouse's motion; its
// neighbours along the outline, both ways round, follow a tenth of the way
// for as long as they are stretched beyond the elasticity.
class SoftTypeRubber : public SoftType
{
public:
    static constexpr const char *Key = "rubber";

    explicit SoftTypeRubber(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }

    double strength() const { return parameter(m_strength); }
    double elasticity() const { return parameter(m_elasticity); }

private:
    int m_strength = -1;
    int m_elasticity = -1;
};

#endif // SOFTTYPERUBBER_H
