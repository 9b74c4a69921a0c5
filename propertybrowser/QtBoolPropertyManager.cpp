#include "propertybrowser/QtBoolPropertyManager.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

QtBoolPropertyManager::QtBoolPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtBoolPropertyManager::~QtBoolPropertyManager()
{
    clear();
}

bool QtBoolPropertyManager::value(const QtProperty *property) const
{
    return m_values.value(property, false);
}

void QtBoolPropertyManager::setValue(QtProperty *property, bool value)
{
    if (!storeValue(m_values, property, value))
        return;
    emit propertyChanged(property);
    emit valueChanged(property, value);
}

QString QtBoolPropertyManager::valueText(const QtProperty *property) const
{
    const auto it = m_values.constFind(property);
    return it == m_values.constEnd() ? QString() : QtPropertyBrowserUtils::boolValueText(it.value());
}

void QtBoolPropertyManager::initializeProperty(QtProperty *property)
{
    m_values.insert(property, false);
}

void QtBoolPropertyManager::uninitializeProperty(QtProperty *property)
{
    m_values.remove(property);
}
