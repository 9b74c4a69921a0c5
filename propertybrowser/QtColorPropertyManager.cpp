#include "propertybrowser/QtColorPropertyManager.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

QtColorPropertyManager::QtColorPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtColorPropertyManager::~QtColorPropertyManager()
{
    clear();
}

QColor QtColorPropertyManager::value(const QtProperty *property) const
{
    return m_values.value(property);
}

void QtColorPropertyManager::setValue(QtProperty *property, const QColor &value)
{
    if (!storeValue(m_values, property, value))
        return;
    emit propertyChanged(property);
    emit valueChanged(property, value);
}

QString QtColorPropertyManager::valueText(const QtProperty *property) const
{
    const auto it = m_values.constFind(property);
    return it == m_values.constEnd() ? QString() : QtPropertyBrowserUtils::colorValueText(it.value());
}

void QtColorPropertyManager::initializeProperty(QtProperty *property)
{
    m_values.insert(property, QColor());
}

void QtColorPropertyManager::uninitializeProperty(QtProperty *property)
{
    m_values.remove(property);
}
