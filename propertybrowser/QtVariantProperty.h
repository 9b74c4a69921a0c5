#ifndef QTVARIANTPROPERTY_H
#define QTVARIANTPROPERTY_H

#include "propertybrowser/QtProperty.h"

#include <QVariant>

class QtVariantPropertyManager;

// A property of a QtVariantPropertyManager: its value and attributes are
// variants, read and written through the manager.
class QtVariantProperty : public QtProperty
{
public:
    ~QtVariantProperty() override;

    QVariant value() const;
    QVariant attributeValue(const QString &attribute) const;
    int valueType() const;
    int propertyType() const;

    void setValue(const QVariant &value);
    void setAttribute(const QString &attribute, const QVariant &value);

protected:
    explicit QtVariantProperty(QtVariantPropertyManager *manager);

private:
    friend class QtVariantPropertyManager;
    QtVariantPropertyManager *m_variantManager;
};

#endif // QTVARIANTPROPERTY_H
