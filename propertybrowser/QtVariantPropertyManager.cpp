#include "propertybrowser/QtVariantPropertyManager.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

#include <QLocale>

// The type id of enumeration properties; never stored in a value.
struct QtEnumPropertyType
{
};
Q_DECLARE_METATYPE(QtEnumPropertyType)

namespace {
const QString kMinimum = QStringLiteral("minimum");
const QString kMaximum = QStringLiteral("maximum");
const QString kSingleStep = QStringLiteral("singleStep");
const QString kDecimals = QStringLiteral("decimals");
const QString kEnumNames = QStringLiteral("enumNames");

// QVariant compares doubles fuzzily; a property takes every real change.
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.userType() == QMetaType::Double && b.userType() == QMetaType::Double)
        return a.toDouble() == b.toDouble();
    return a == b;
}

// Takes a new value; false when it equals the held one.
template <class T>
bool takeValue(T &held, const T &value)
{
    if (held == value)
        return false;
    held = value;
    return true;
}

// QPointF compares fuzzily; a point compares its doubles exactly, as its
// "X" and "Y" children do, so the two never disagree.
bool takeValue(QPointF &held, const QPointF &value)
{
    if (held.x() == value.x() && held.y() == value.y())
        return false;
    held = value;
    return true;
}

template <class T>
void setRangeAttribute(QtNumberRange<T> &range, const QString &attribute, T value)
{
    if (attribute == kMinimum)
        range.setRange(value, qMax(value, range.maximum));
    else if (attribute == kMaximum)
        range.setRange(qMin(range.minimum, value), value);
    else if (attribute == kSingleStep && value > 0)
        range.singleStep = value;
}
} // namespace

QtVariantPropertyManager::QtVariantPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtVariantPropertyManager::~QtVariantPropertyManager()
{
    clear();
}

int QtVariantPropertyManager::enumTypeId()
{
    return qMetaTypeId<QtEnumPropertyType>();
}

bool QtVariantPropertyManager::isPropertyTypeSupported(int propertyType)
{
    switch (propertyType) {
    case QVariant::Bool:
    case QVariant::Int:
    case QVariant::Double:
    case QVariant::String:
    case QVariant::Color:
    case QVariant::PointF:
        return true;
    default:
        return propertyType == enumTypeId();
    }
}

QtVariantProperty *QtVariantPropertyManager::addProperty(int propertyType, const QString &name)
{
    if (!isPropertyTypeSupported(propertyType))
        return nullptr;
    const int outer = m_typeOfNextProperty;
    m_typeOfNextProperty = propertyType;
    QtProperty *property = QtAbstractPropertyManager::addProperty(name);
    m_typeOfNextProperty = outer;
    return variantProperty(property);
}

QtVariantProperty *QtVariantPropertyManager::variantProperty(const QtProperty *property) const
{
    return m_variantProperties.value(property);
}

QVariant QtVariantPropertyManager::value(const QtProperty *property) const
{
    const auto it = m_data.constFind(property);
    return it == m_data.constEnd() ? QVariant() : valueOf(it.value());
}

int QtVariantPropertyManager::valueType(const QtProperty *property) const
{
    const int type = propertyType(property);
    return type == enumTypeId() ? int(QVariant::Int) : type;
}

int QtVariantPropertyManager::propertyType(const QtProperty *property) const
{
    return m_data.value(property).type;
}

QVariant QtVariantPropertyManager::attributeValue(const QtProperty *property, const QString &attribute) const
{
    const auto it = m_data.constFind(property);
    if (it == m_data.constEnd() || !attributes(it->type).contains(attribute))
        return QVariant();
    if (attribute == kEnumNames)
        return it->enumNames;
    if (attribute == kDecimals)
        return it->decimals;
    const bool isInt = it->type == QVariant::Int;
    if (attribute == kMinimum)
        return isInt ? QVariant(it->intValue.minimum) : QVariant(it->doubleValue.minimum);
    if (attribute == kMaximum)
        return isInt ? QVariant(it->intValue.maximum) : QVariant(it->doubleValue.maximum);
    return isInt ? QVariant(it->intValue.singleStep) : QVariant(it->doubleValue.singleStep);
}

QStringList QtVariantPropertyManager::attributes(int propertyType) const
{
    switch (propertyType) {
    case QVariant::Int:
        return {kMinimum, kMaximum, kSingleStep};
    case QVariant::Double:
        return {kMinimum, kMaximum, kSingleStep, kDecimals};
    case QVariant::PointF:
        return {kDecimals};
    default:
        return propertyType == enumTypeId() ? QStringList{kEnumNames} : QStringList();
    }
}

void QtVariantPropertyManager::setValue(QtProperty *property, const QVariant &value)
{
    // Runs on every play frame for some SoftType parameters: the value is
    // taken in place, without copying the property's data.
    const auto it = m_data.find(property);
    if (it == m_data.end() || !assign(it.value(), value))
        return;
    changed(property, it->type);
}

void QtVariantPropertyManager::setAttribute(QtProperty *property, const QString &attribute, const QVariant &value)
{
    const auto it = m_data.find(property);
    const QVariant oldAttribute = attributeValue(property, attribute);
    if (it == m_data.end() || !oldAttribute.isValid() || !value.isValid())
        return;
    Data data = it.value();
    const QVariant oldValue = valueOf(data);
    bool ok = true;
    if (attribute == kEnumNames) {
        const QStringList names = value.toStringList();
        if (!value.canConvert<QStringList>() || names == data.enumNames)
            return;
        data.enumNames = names;
        data.enumIndex = names.isEmpty() ? -1 : 0;
    } else if (attribute == kDecimals) {
        data.decimals = qBound(0, value.toInt(&ok), 13);
    } else if (data.type == QVariant::Int) {
        setRangeAttribute(data.intValue, attribute, value.toInt(&ok));
    } else {
        setRangeAttribute(data.doubleValue, attribute, value.toDouble(&ok));
    }
    // A value that is not a number leaves the attribute as it was.
    if (!ok)
        return;
    it.value() = data;
    const QVariant newAttribute = attributeValue(property, attribute);
    if (newAttribute != oldAttribute)
        emit attributeChanged(property, attribute, newAttribute);
    // A new list of names always restarts the choice, like QtEnumPropertyManager.
    if (attribute == kEnumNames || !sameValue(valueOf(data), oldValue))
        changed(property, data.type);
    else if (attribute == kDecimals && newAttribute != oldAttribute)
        emit propertyChanged(property);
    if (attribute == kDecimals && data.type == QVariant::PointF)
        setPointChildren(property);
}

bool QtVariantPropertyManager::hasValue(const QtProperty *property) const
{
    return m_data.value(property).type != QVariant::Invalid;
}

QString QtVariantPropertyManager::valueText(const QtProperty *property) const
{
    const Data data = m_data.value(property);
    switch (data.type) {
    case QVariant::Bool:
        return QtPropertyBrowserUtils::boolValueText(data.boolValue);
    case QVariant::Int:
        return QString::number(data.intValue.value);
    case QVariant::Double:
        return QLocale().toString(data.doubleValue.value, 'f', data.decimals);
    case QVariant::String:
        return data.text;
    case QVariant::Color:
        return QtPropertyBrowserUtils::colorValueText(data.color);
    case QVariant::PointF:
        return QtPropertyBrowserUtils::pointText(data.point, data.decimals);
    default:
        return data.enumNames.value(data.enumIndex);
    }
}

void QtVariantPropertyManager::initializeProperty(QtProperty *property)
{
    Data data;
    data.type = m_typeOfNextProperty;
    m_data.insert(property, data);
    m_variantProperties.insert(property, static_cast<QtVariantProperty *>(property));
    if (data.type != QVariant::PointF)
        return;
    const QVector<QtProperty *> children = {addProperty(QVariant::Double, tr("X")),
                                            addProperty(QVariant::Double, tr("Y"))};
    m_pointChildren.insert(property, children);
    for (QtProperty *child : children)
        property->addSubProperty(child);
}

void QtVariantPropertyManager::uninitializeProperty(QtProperty *property)
{
    m_pointChildren.forgetChild(property);
    m_pointChildren.deleteChildren(property);
    m_data.remove(property);
    m_variantProperties.remove(property);
}

QtProperty *QtVariantPropertyManager::createProperty()
{
    return new QtVariantProperty(this);
}

QVariant QtVariantPropertyManager::valueOf(const Data &data)
{
    switch (data.type) {
    case QVariant::Bool:
        return data.boolValue;
    case QVariant::Int:
        return data.intValue.value;
    case QVariant::Double:
        return data.doubleValue.value;
    case QVariant::String:
        return data.text;
    case QVariant::Color:
        return data.color;
    case QVariant::PointF:
        return data.point;
    case QVariant::Invalid:
        return QVariant();
    default:
        return data.enumIndex;
    }
}

bool QtVariantPropertyManager::assign(Data &data, const QVariant &value)
{
    bool ok = false;
    switch (data.type) {
    case QVariant::Bool:
        return value.canConvert<bool>() && takeValue(data.boolValue, value.toBool());
    case QVariant::Int: {
        const int number = value.toInt(&ok);
        return ok && data.intValue.setValue(number);
    }
    case QVariant::Double: {
        const double number = value.toDouble(&ok);
        return ok && data.doubleValue.setValue(number);
    }
    case QVariant::String:
        return value.canConvert<QString>() && takeValue(data.text, value.toString());
    case QVariant::Color:
        return value.canConvert<QColor>() && takeValue(data.color, value.value<QColor>());
    case QVariant::PointF:
        return value.canConvert<QPointF>() && takeValue(data.point, value.toPointF());
    case QVariant::Invalid:
        return false;
    default: {
        const int index = value.toInt(&ok);
        return ok && QtPropertyBrowserUtils::isEnumIndexValid(index, data.enumNames.size())
            && takeValue(data.enumIndex, index);
    }
    }
}

void QtVariantPropertyManager::changed(QtProperty *property, int type)
{
    // Keep a point and its "X" and "Y" children (doubles) in step before
    // anyone hears.
    int index = 0;
    QtProperty *point = nullptr;
    if (type == QVariant::PointF) {
        setPointChildren(property);
    } else if (type == QVariant::Double && (point = m_pointChildren.parentOf(property, &index))) {
        QVector<double> parts = QtPropertyBrowserUtils::components(m_data.value(point).point);
        parts[index] = m_data.value(property).doubleValue.value;
        setValue(point, QtPropertyBrowserUtils::pointFromComponents(parts));
    }
    emit propertyChanged(property);
    emit valueChanged(property, value(property));
}

void QtVariantPropertyManager::setPointChildren(QtProperty *point)
{
    const Data data = m_data.value(point);
    const QVector<double> parts = QtPropertyBrowserUtils::components(data.point);
    for (int i = 0; i < parts.size(); ++i) {
        if (QtProperty *child = m_pointChildren.child(point, i)) {
            setAttribute(child, kDecimals, data.decimals);
            setValue(child, parts[i]);
        }
    }
}
