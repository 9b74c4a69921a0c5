#ifndef ELEMENTVECTORS_H
#define ELEMENTVECTORS_H

#include <QVector>

// Per-element vectors that a SoftType carries from frame to frame (the
// velocities of the physics kinds, the offsets a Lens has applied), one per
// element index of a glyph's current outline, in single precision.
class ElementVectors
{
public:
    struct Vector
    {
        float x = 0;
        float y = 0;
    };

    // The vector of an element, appending (0, 0) records up to its index.
    Vector &at(int index);
    int size() const { return m_vectors.size(); }
    void clear() { m_vectors.clear(); }

private:
    QVector<Vector> m_vectors;
};

#endif // ELEMENTVECTORS_H
