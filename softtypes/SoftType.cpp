#include "softtypes/SoftType.h"

SoftType::SoftType(const QString &typeKey, const QString &name)
    : m_typeKey(typeKey), m_name(name)
{
}

SoftType::~SoftType() = default;
