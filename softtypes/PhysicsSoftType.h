#ifndef PHYSICSSOFTTYPE_H
#define PHYSICSSOFTTYPE_H

#include "softtypes/ElementVectors.h"
#include "softtypes/SoftType.h"

// A SoftType whose outline points keep a velocity from frame to frame. The
// velocities are dropped at every reset: when the trigger is let go, after a
// gap in the frames and at the start of each play run.
class PhysicsSoftType : public SoftType
{
public:
    void reset(QVorrelScene *scene) override;

    // The velocity of an element, in scene units per frame.
    ElementVectors::Vector &velocity(int index) { return m_velocities.at(index); }
    int velocityCount() const { return m_velocities.size(); }

protected:
    PhysicsSoftType(const QString &typeKey, const QString &name);

private:
    ElementVectors m_velocities;
};

#endif // PHYSICSSOFTTYPE_H
