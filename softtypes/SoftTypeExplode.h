#ifndef SOFTTYPEEXPLODE_H
#define SOFTTYPEEXPLODE_H

#include "softtypes/PhysicsSoftType.h"

// Kicks the outline points within reach of the mouse away from it by
// strength per frame, each component spread by a random factor between 1
// and 1 + randomness, and lets every point within the radius coast with its
// velocity, slowed by friction. With an attenuation only points closer than
// it are kicked. Each kick draws two values from the random sequence, in
// element order; which points are kicked depends on the frame and the
// outline alone, so the play step knows each glyph's count beforehand and
// glyphs deform side by side with the values they would draw in turn.
class SoftTypeExplode : public PhysicsSoftType
{
public:
    static constexpr const char *Key = "explode";

    explicit SoftTypeExplode(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }
    bool drawsRandom() const override { return true; }
    int randomDraws(const Frame &frame) const override;

    double strength() const { return parameter(m_strength); }
    double attenuation() const { return parameter(m_attenuation); }
    double friction() const { return parameter(m_friction); }
    double randomness() const { return parameter(m_randomness); }

private:
    // Element i of the outline on a frame: its scene point, its vector to
    // the mouse, whether it is within the radius (and moves) and whether it
    // is kicked as well.
    struct Reach
    {
        QPointF point;
        MouseVector toMouse;
        bool moves = false;
        bool kicked = false;
    };
    Reach reach(const Frame &frame, int i) const;

    int m_strength = -1;
    int m_attenuation = -1;
    int m_friction = -1;
    int m_randomness = -1;
};

#endif // SOFTTYPEEXPLODE_H
