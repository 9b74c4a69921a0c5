#include "propertybrowser/QtEnumPropertyManager.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

QtEnumPropertyManager::QtEnumPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtEnumPropertyManager::~QtEnumPropertyManager()
{
    clear();
}

int QtEnumPropertyManager::value(const QtProperty *property) const
{
    return m_values.value(property).value;
}

QStringList QtEnumPropertyManager::enumNames(const QtProperty *property) const
{
    return m_values.value(property).names;
}

void QtEnumPropertyManager::setValue(QtProperty *property, int value)
{
    const auto it = m_values.find(property);
    if (it == m_values.end() || it->value == value
        || !QtPropertyBrowserUtils::isEnumIndexValid(value, it->names.size()))
        return;
    it->value = value;
    emit propertyChanged(property);
    emit valueChanged(property, value);
}

void QtEnumPropertyManager::setEnumNames(QtProperty *property, const QStringList &names)
{
    const auto it = m_values.find(property);
    if (it == m_values.end() || it->names == names)
        return;
    it->names = names;
    it->value = names.isEmpty() ? -1 : 0;
    const int value = it->value;
    emit enumNamesChanged(property, names);
    emit propertyChanged(property);
    emit valueChanged(property, value);
}

QString QtEnumPropertyManager::valueText(const QtProperty *property) const
{
    const Data data = m_values.value(property);
    return data.names.value(data.value);
}

void QtEnumPropertyManager::initializeProperty(QtProperty *property)
{
    m_values.insert(property, Data());
}

void QtEnumPropertyManager::uninitializeProperty(QtProperty *property)
{
    m_values.remove(property);
}
