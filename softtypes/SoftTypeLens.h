#ifndef SOFTTYPELENS_H
#define SOFTTYPELENS_H

#include "softtypes/ElementVectors.h"
#include "softtypes/SoftType.h"

// Pushes the outline points within the radius away from the mouse by
// magnification times a factor that is 1 at the mouse and approaches half
// the diameter far from it. It remembers the offset applied to each
// element since its last reset and moves an element only by the change.
class SoftTypeLens : public SoftType
{
public:
    static constexpr const char *Key = "lens";

    explicit SoftTypeLens(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }
    void reset(QVorrelScene *scene) override;
    // The displacement applied to an element since the last reset.
    ElementVectors::Vector &appliedOffset(int index) { return m_offsets.at(index); }

    double magnification() const { return parameter(m_magnification); }
    double diameter() const { return parameter(m_diameter); }

private:
    int m_magnification = -1;
    int m_diameter = -1;
    ElementVectors m_offsets;
};

#endif // SOFTTYPELENS_H
