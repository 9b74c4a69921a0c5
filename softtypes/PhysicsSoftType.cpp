#include "softtypes/PhysicsSoftType.h"

PhysicsSoftType::PhysicsSoftType(const QString &typeKey, const QString &name)
    : SoftType(typeKey, name)
{
}

void PhysicsSoftType::reset(QVorrelScene *scene)
{
    m_velocities.clear();
    SoftType::reset(scene);
}
