#include "propertybrowser/QtAbstractPropertyManager.h"

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
    while (!m_properties.isEmpty())
        delete *m_properties.cbegin();
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
