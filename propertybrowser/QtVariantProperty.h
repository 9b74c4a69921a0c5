#ifndef QTVARIANTPROPERTY_H
#define QTVARIANTPROPERTY_H

#include "propertybrowser/QtNumberRange.h"
#include "propertybrowser/QtProperty.h"

#include <QStringList>
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
    QtVariantPropertyManager *manager() const;

    // What the manager holds of the property, kept with it: a sheet of a
    // hundred thousand properties costs no table beside them.
    struct Data
    {
        int type = QVariant::Invalid;
        int decimals = 2;
        int enumIndex = -1;
        // From the manager's initializeProperty to its uninitializeProperty.
        bool live = false;
        // The value of a String, Color or PointF.
        QVariant other;
        // The value of a Bool (0 or 1), Int or Double, with the range and
        // step of an Int or Double.
        QtNumberRange<double> number;
        QStringList enumNames;
    };
    Data m_data;
};

#endif // QTVARIANTPROPERTY_H
