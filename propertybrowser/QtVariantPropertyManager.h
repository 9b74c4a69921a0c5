#ifndef QTVARIANTPROPERTYMANAGER_H
#define QTVARIANTPROPERTYMANAGER_H

#include "propertybrowser/QtAbstractPropertyManager.h"
#include "propertybrowser/QtChildPropertyMap.h"
#include "propertybrowser/QtNumberRange.h"
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
    using Kind = QtVariantProperty::Kind;
    // What the attributes set, taken out of a property and put back.
    struct Settings
    {
        int decimals = 2;
        // The value of a Bool, Int or Double in its range.
        QtNumberRange<double> number;
        QStringList enumNames;
        int enumIndex = -1;
    };
    // The property behind a live property of this manager; null for any other.
    // It reads the property itself, so the pointer must name a property that
    // still exists: a deleted one's memory may already hold another (callers
    // drop their pointers on propertyDestroyed).
    QtVariantProperty *held(const QtProperty *property) const;
    static QVariant valueOf(const QtVariantProperty &property);
    static QtNumberRange<double> rangeOf(const QtVariantProperty &property);
    static Settings settingsOf(const QtVariantProperty &property);
    static void setSettings(QtVariantProperty &property, const Settings &settings);
    // Takes the variant into the property; false, leaving it as it was, when
    // it cannot be converted or changes nothing.
    static bool assign(QtVariantProperty &property, const QVariant &value);
    void changed(QtProperty *property, int type);
    void setPointChildren(QtProperty *point);

    int m_typeOfNextProperty = QVariant::Invalid;
    QtChildPropertyMap m_pointChildren;
};

#endif // QTVARIANTPROPERTYMANAGER_H
