#ifndef QTVARIANTPROPERTY_H
#define QTVARIANTPROPERTY_H

#include "propertybrowser/QtNumberRange.h"
#include "propertybrowser/QtProperty.h"

#include <QStringList>
#include <QVariant>

class QColor;
class QPointF;
class QtVariantPropertyManager;

// A property of a QtVariantPropertyManager: its value and attributes are
// variants, read and written through the manager.
class QtVariantProperty : public QtProperty
{
public:
    ~QtVariantProperty() override;

    // Variant properties come from a pool (QtPropertyPool): a sheet of a
    // hundred thousand costs no allocator's word for each.
    static void *operator new(std::size_t size);
    static void operator delete(void *pointer, std::size_t size);

    QVariant value() const;
    QVariant attributeValue(const QString &attribute) const;
    int valueType() const;
    int propertyType() const;

    void setValue(const QVariant &value);
    void setAttribute(const QString &attribute, const QVariant &value);

protected:
    explicit QtVariantProperty(QtVariantPropertyManager *manager);
    Extra *createExtra() const override;

private:
    Q_DISABLE_COPY(QtVariantProperty)
    friend class QtVariantPropertyManager;
    QtVariantPropertyManager *manager() const;

    // What the manager holds of the property, kept with it: a sheet of a
    // hundred thousand properties costs no table beside them. A Bool, Int,
    // Double, String or enumeration with the default range and no names
    // keeps it all here, in seven words with the property's own; a colour or
    // point takes its value beside it, a range or names go into the extra
    // record.
    enum Kind : quint8 { NoKind, BoolKind, IntKind, DoubleKind, StringKind, ColorKind, PointKind, EnumKind };
    static Kind kindOf(int propertyType);
    static int typeOf(Kind kind);
    struct More : Extra
    {
        // The range and step of an Int or Double (its value is kept here).
        QtNumberRange<double> range;
        QStringList enumNames;
    };
    const More *more() const { return static_cast<const More *>(extra()); }
    More &ensureMore() { return static_cast<More &>(ensureExtra()); }
    // Takes the kind, with the value a new property of it has.
    void setKind(Kind kind);
    // Back to no kind and no value, as before the manager took the property.
    void resetValue();

    // From the manager's initializeProperty to its uninitializeProperty.
    bool m_live = false;
    Kind m_kind = NoKind;
    quint8 m_decimals = 2;
    // The value of a Bool (0 or 1), Int or Double, the index of an
    // enumeration; the text of a String, the colour of a Color, the point of
    // a PointF, held while the property is of that kind.
    union Value {
        Value() : number(0) {}
        ~Value() {}
        double number;
        QString text;
        QColor *color;
        QPointF *point;
    } m_value;
};

#endif // QTVARIANTPROPERTY_H
