#include "propertybrowser/QtStringPropertyManager.h"

QtStringPropertyManager::QtStringPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtStringPropertyManager::~QtStringPropertyManager()
{
    clear();
}

QString QtStringPropertyManager::value(const QtProperty *property) const
{
    return m_values.value(property);
}

void QtStringPropertyManager::setValue(QtProperty *property, const QString &value)
{
    if (!storeValue(m_values, property, value))
        return;
    emit propertyChanged(property);
    emit valueChanged(property, value);
}

QString QtStringPropertyManager::valueText(const QtProperty *property) const
{
    const auto it = m_values.constFind(property);
    return it == m_values.constEnd() ? QString() : it.value();
}

void QtStringPropertyManager::initializeProperty(QtProperty *property)
{
    m_values.insert(property, QString());
}

void QtStringPropertyManager::uninitializeProperty(QtProperty *property)
{
    m_values.remove(property);
}
