#ifndef QTVARIANTPROPERTYMANAGER_H
#define QTVARIANTPROPERTYMANAGER_H

#include "propertybrowser/QtAbstractPropertyManager.h"
#include "propertybrowser/QtChildPropertyMap.h"
#include "propertybrowser/QtVariantProperty.h"

#include <QStringList>

// Properties of several types in one manager, with variant values: Bool,
// Int, Double, String, Color, PointF (with "X" and "Y" children of type
// Double) and enumeration (enumTypeId(), an Int index into "enumNames").
// Attributes: "minimum", "maximum", "singleStep" (Int, Double), "decimals"
// (Double, PointF), "enumNames" (enumeration). Values are held as the typed
// managers hold them: clamped to the range, a bad enumeration index ignored.
class QtVariantPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtVariantPropertyManager(QObject *parent = nullptr);
    ~QtVariantPropertyManager() override;

    static int enumTypeId();
    static bool isPropertyTypeSupported(int propertyType);
    // Null for an unsupported type.
    QtVariantProperty *addProperty(int propertyType, const QString &name = QString());
    // The variant property behind a property of this manager, or null.
    QtVariantProperty *variantProperty(const QtProperty *property) const;

    QVariant value(const QtProperty *property) const;
    int valueType(const QtProperty *property) const;
    int propertyType(const QtProperty *property) const;
    QVariant attributeValue(const QtProperty *property, const QString &attribute) const;
    QStringList attributes(int propertyType) const;

public slots:
    // A value that cannot be converted to the property's type is ignored.
    void setValue(QtProperty *property, const QVariant &value);
    // An attribute the property's type does not have, or a value that does
    // not convert to the attribute's type, is ignored.
    void setAttribute(QtProperty *property, const QString &attribute, const QVariant &value);

signals:
    void valueChanged(QtProperty *property, const QVariant &value);
    void attributeChanged(QtProperty *property, const QString &attribute, const QVariant &value);

protected:
    bool hasValue(const QtProperty *property) const override;
    QString valueText(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;
    QtProperty *createProperty() override;

private:
    using Data = QtVariantProperty::Data;
    // The data of a live property of this manager; null for any other.
    Data *dataOf(const QtProperty *property) const;
    static QVariant valueOf(const Data &data);
    // Takes the variant into the data; false, leaving the data as it was,
    // when it cannot be converted or changes nothing.
    static bool assign(Data &data, const QVariant &value);
    void changed(QtProperty *property, int type);
    void setPointChildren(QtProperty *point);

    int m_typeOfNextProperty = QVariant::Invalid;
    QtChildPropertyMap m_pointChildren;
};

#endif // QTVARIANTPROPERTYMANAGER_H
