#include "propertybrowser/QtVariantProperty.h"

#include "propertybrowser/QtPropertyPool.h"
#include "propertybrowser/QtVariantPropertyManager.h"

#include <QColor>
#include <QPointF>

// The small fields sit in the tail of QtProperty's last word.
static_assert(sizeof(void *) != 8 || sizeof(QtVariantProperty) <= 56, "a variant property grew beyond seven words");
static_assert(alignof(QtVariantProperty) <= alignof(void *), "a pool's slots are aligned to a word");

// Under the address sanitizer each property is its own allocation, so that
// a property used after its deletion is caught.
#ifndef __SANITIZE_ADDRESS__
namespace {
QtPropertyPool &pool()
{
    static QtPropertyPool *const pool = new QtPropertyPool(sizeof(QtVariantProperty));
    return *pool;
}
} // namespace
#endif

void *QtVariantProperty::operator new(std::size_t size)
{
#ifndef __SANITIZE_ADDRESS__
    if (size == sizeof(QtVariantProperty))
        return pool().allocate();
#endif
    return ::operator new(size);
}

void QtVariantProperty::operator delete(void *pointer, std::size_t size)
{
#ifndef __SANITIZE_ADDRESS__
    if (size == sizeof(QtVariantProperty)) {
        QtPropertyPool::deallocate(pointer);
        return;
    }
#endif
    ::operator delete(pointer);
}

QtVariantProperty::QtVariantProperty(QtVariantPropertyManager *manager)
    : QtProperty(manager)
{
}

QtVariantProperty::~QtVariantProperty()
{
    release();
    resetValue();
}

QtProperty::Extra *QtVariantProperty::createExtra() const
{
    return new More;
}

QtVariantProperty::Kind QtVariantProperty::kindOf(int propertyType)
{
    switch (propertyType) {
    case QVariant::Bool:
        return BoolKind;
    case QVariant::Int:
        return IntKind;
    case QVariant::Double:
        return DoubleKind;
    case QVariant::String:
        return StringKind;
    case QVariant::Color:
        return ColorKind;
    case QVariant::PointF:
        return PointKind;
    default:
        return propertyType == QtVariantPropertyManager::enumTypeId() ? EnumKind : NoKind;
    }
}

int QtVariantProperty::typeOf(Kind kind)
{
    switch (kind) {
    case BoolKind:
        return QVariant::Bool;
    case IntKind:
        return QVariant::Int;
    case DoubleKind:
        return QVariant::Double;
    case StringKind:
        return QVariant::String;
    case ColorKind:
        return QVariant::Color;
    case PointKind:
        return QVariant::PointF;
    case EnumKind:
        return QtVariantPropertyManager::enumTypeId();
    default:
        return QVariant::Invalid;
    }
}

void QtVariantProperty::setKind(Kind kind)
{
    resetValue();
    m_kind = kind;
    // A new property's value: false, 0, an empty text, no choice, an
    // invalid colour, the origin.
    if (kind == StringKind)
        new (&m_value.text) QString();
    else if (kind == EnumKind)
        m_value.number = -1;
    else if (kind == ColorKind)
        m_value.color = new QColor;
    else if (kind == PointKind)
        m_value.point = new QPointF;
}

void QtVariantProperty::resetValue()
{
    if (m_kind == StringKind)
        m_value.text.~QString();
    else if (m_kind == ColorKind)
        delete m_value.color;
    else if (m_kind == PointKind)
        delete m_value.point;
    m_value.number = 0;
    m_kind = NoKind;
    m_decimals = 2;
    if (extra()) {
        // The tool tip and the relatives stay: they are the property's own.
        More &rest = ensureMore();
        rest.range = QtNumberRange<double>();
        rest.enumNames = QStringList();
    }
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
