#include "softtypes/ElementVectors.h"

ElementVectors::Vector &ElementVectors::at(int index)
{
    if (m_vectors.size() <= index)
        m_vectors.resize(index + 1);
    return m_vectors[index];
}
