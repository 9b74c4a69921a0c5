#include "propertybrowser/QtAbstractPropertyManager.h"

#include <QVector>

namespace {
// QtProperty's constructor is protected: managers create plain properties
// through this.
class QtPlainProperty : public QtProperty
{
public:
    explicit QtPlainProperty(QtAbstractPropertyManager *manager) : QtProperty(manager) {}
};
} // namespace

QtAbstractPropertyManager::QtAbstractPropertyManager(QObject *parent)
    : QObject(parent)
{
}

QtAbstractPropertyManager::~QtAbstractPropertyManager()
{
    clear();
}

void QtAbstractPropertyManager::clear()
{
    // Taking the properties one at a time from the front of the set would
    // walk its emptied buckets again for each. The order is taken first, one
    // in which no deletion searches a long list: properties without a parent
    // first, so that their sub-properties no longer have them as parent;
    // then the others in the order of their first parent's sub-properties,
    // so that each is the first of its remaining siblings. Properties made
    // meanwhile go in a next round.
    while (!m_properties.isEmpty()) {
        QVector<QtProperty *> order;
        order.reserve(m_properties.size());
        QSet<const QtProperty *> parents;
        for (QtProperty *property : qAsConst(m_properties)) {
            if (!property->firstParent())
                order.append(property);
            else
                parents.insert(property->firstParent());
        }
        for (const QtProperty *parent : qAsConst(parents)) {
            for (QtProperty *child : parent->m_children) {
                if (child->firstParent() == parent && m_properties.contains(child))
                    order.append(child);
            }
        }
        // Kept at its size, the set is not rehashed as it empties.
        m_properties.reserve(m_properties.size());
        for (QtProperty *property : qAsConst(order)) {
            if (m_properties.contains(property))
                delete property;
        }
        m_properties.squeeze();
    }
}

QtProperty *QtAbstractPropertyManager::addProperty(const QString &name)
{
    QtProperty *property = createProperty();
    property->m_name = name;
    m_properties.insert(property);
    initializeProperty(property);
    return property;
}

bool QtAbstractPropertyManager::hasValue(const QtProperty *) const
{
    return true;
}

QString QtAbstractPropertyManager::valueText(const QtProperty *) const
{
    return QString();
}

void QtAbstractPropertyManager::uninitializeProperty(QtProperty *)
{
}

QtProperty *QtAbstractPropertyManager::createProperty()
{
    return new QtPlainProperty(this);
}

void QtAbstractPropertyManager::forgetProperty(QtProperty *property)
{
    if (!m_properties.contains(property))
        return;
    emit propertyDestroyed(property);
    uninitializeProperty(property);
    m_properties.remove(property);
}
