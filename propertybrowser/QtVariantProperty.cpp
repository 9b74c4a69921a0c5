#include "propertybrowser/QtVariantProperty.h"

#include "propertybrowser/QtVariantPropertyManager.h"

QtVariantProperty::QtVariantProperty(QtVariantPropertyManager *manager)
    : QtProperty(manager)
    , m_variantManager(manager)
{
}

QtVariantProperty::~QtVariantProperty() = default;

QVariant QtVariantProperty::value() const
{
    return m_variantManager->value(this);
}

QVariant QtVariantProperty::attributeValue(const QString &attribute) const
{
    return m_variantManager->attributeValue(this, attribute);
}

int QtVariantProperty::valueType() const
{
    return m_variantManager->valueType(this);
}

int QtVariantProperty::propertyType() const
{
    return m_variantManager->propertyType(this);
}

void QtVariantProperty::setValue(const QVariant &value)
{
    m_variantManager->setValue(this, value);
}

void QtVariantProperty::setAttribute(const QString &attribute, const QVariant &value)
{
    m_variantManager->setAttribute(this, attribute, value);
}
