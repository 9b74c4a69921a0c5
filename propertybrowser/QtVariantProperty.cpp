#include "propertybrowser/QtVariantProperty.h"

#include "propertybrowser/QtVariantPropertyManager.h"

QtVariantProperty::QtVariantProperty(QtVariantPropertyManager *manager)
    : QtProperty(manager)
{
}

QtVariantProperty::~QtVariantProperty()
{
    release();
}

QtVariantPropertyManager *QtVariantProperty::manager() const
{
    return static_cast<QtVariantPropertyManager *>(propertyManager());
}

QVariant QtVariantProperty::value() const
{
    return manager()->value(this);
}

QVariant QtVariantProperty::attributeValue(const QString &attribute) const
{
    return manager()->attributeValue(this, attribute);
}

int QtVariantProperty::valueType() const
{
    return manager()->valueType(this);
}

int QtVariantProperty::propertyType() const
{
    return manager()->propertyType(this);
}

void QtVariantProperty::setValue(const QVariant &value)
{
    manager()->setValue(this, value);
}

void QtVariantProperty::setAttribute(const QString &attribute, const QVariant &value)
{
    manager()->setAttribute(this, attribute, value);
}
