#ifndef SOFTTYPEORIGINATEASYMPTOTIC_H
#define SOFTTYPEORIGINATEASYMPTOTIC_H

#include "softtypes/SoftType.h"

// Moves every outline point within the radius back toward its place in the
// rest outline by 1 / partitions of its offset per frame, landing on it once
// the offset is at most one unit.
class SoftTypeOriginateAsymptotic : public SoftType
{
public:
    static constexpr const char *Key = "originate asymptotic";

    explicit SoftTypeOriginateAsymptotic(const QString &name);

    SoftType *clone() const override;
    void deform(Glyph *glyph, const Frame &frame) override;
    bool deformsAlone() const override { return true; }

    double partitions() const { return parameter(m_partitions); }

private:
    // A partition of the offset toward the rest place, or onto it within
    // one unit.
    static QPointF restoredPlace(const Offset &offset, double parameter);

    int m_partitions = -1;
};

#endif // SOFTTYPEORIGINATEASYMPTOTIC_H
