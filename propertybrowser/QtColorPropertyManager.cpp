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
    const auto it = m_values.find(property);
    if (it == m_values.end() || it.value() == value)
        return;
    it.value() = value;
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
