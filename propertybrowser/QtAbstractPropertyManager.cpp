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

QSet<QtProperty *> QtAbstractPropertyManager::properties() const
{
    return QSet<QtProperty *>(m_properties.cbegin(), m_properties.cend());
}

void QtAbstractPropertyManager::clear()
{
    // Deleted as they lie, sub-properties would leave long lists of siblings
    // from anywhere in them. The order is taken first, one in which no
    // deletion searches a long list: properties without a parent first, so
    // that their sub-properties no longer have them as parent; then the
    // others in the order of their first parent's sub-properties, so that
    // each is the first of its remaining siblings. Properties made meanwhile
    // go in a next round.
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
            const QList<QtProperty *> children = parent->subProperties();
            for (QtProperty *child : children) {
                if (child->firstParent() == parent && child->propertyManager() == this)
                    order.append(child);
            }
        }
        QSet<const QtProperty *> goneAlong;
        m_goneAlong = &goneAlong;
        for (QtProperty *property : qAsConst(order)) {
            if (goneAlong.contains(property))
                continue;
            m_deleting = property;
            delete property;
        }
        m_goneAlong = nullptr;
        m_deleting = nullptr;
    }
}

QtProperty *QtAbstractPropertyManager::addProperty(const QString &name)
{
    QtProperty *property = createProperty();
    property->m_name = name;
    property->m_registered = m_properties.size();
    m_properties.append(property);
    initializeProperty(property);
    return property;
}

void QtAbstractPropertyManager::reserve(int count)
{
    m_properties.reserve(count);
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
    const int place = property->m_registered;
    if (place < 0 || place >= m_properties.size() || m_properties.at(place) != property)
        return;
    if (m_goneAlong && property != m_deleting)
        m_goneAlong->insert(property);
    emit propertyDestroyed(property);
    uninitializeProperty(property);
    // The last property takes the place, which may have moved meanwhile (a
    // point's children went first).
    QtProperty *last = m_properties.takeLast();
    if (last != property) {
        m_properties[property->m_registered] = last;
        last->m_registered = property->m_registered;
    }
    property->m_registered = -1;
}
