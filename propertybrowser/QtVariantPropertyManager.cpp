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
    return dataOf(property) ? static_cast<QtVariantProperty *>(const_cast<QtProperty *>(property)) : nullptr;
}

QtVariantPropertyManager::Data *QtVariantPropertyManager::dataOf(const QtProperty *property) const
{
    // Every property this manager makes is a QtVariantProperty.
    if (!property || property->propertyManager() != this)
        return nullptr;
    Data &data = static_cast<QtVariantProperty *>(const_cast<QtProperty *>(property))->m_data;
    return data.live ? &data : nullptr;
}

QVariant QtVariantPropertyManager::value(const QtProperty *property) const
{
    const Data *data = dataOf(property);
    return data ? valueOf(*data) : QVariant();
}

int QtVariantPropertyManager::valueType(const QtProperty *property) const
{
    const int type = propertyType(property);
    return type == enumTypeId() ? int(QVariant::Int) : type;
}

int QtVariantPropertyManager::propertyType(const QtProperty *property) const
{
    const Data *data = dataOf(property);
    return data ? data->type : int(QVariant::Invalid);
}

QVariant QtVariantPropertyManager::attributeValue(const QtProperty *property, const QString &attribute) const
{
    const Data *data = dataOf(property);
    if (!data || !attributes(data->type).contains(attribute))
        return QVariant();
    if (attribute == kEnumNames)
        return data->enumNames;
    if (attribute == kDecimals)
        return data->decimals;
    const double number = attribute == kMinimum   ? data->number.minimum
                          : attribute == kMaximum ? data->number.maximum
                                                  : data->number.singleStep;
    return data->type == QVariant::Int ? QVariant(int(number)) : QVariant(number);
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
    Data *data = dataOf(property);
    if (!data || !assign(*data, value))
        return;
    changed(property, data->type);
}

void QtVariantPropertyManager::setAttribute(QtProperty *property, const QString &attribute, const QVariant &value)
{
    Data *held = dataOf(property);
    const QVariant oldAttribute = attributeValue(property, attribute);
    if (!held || !oldAttribute.isValid() || !value.isValid())
        return;
    Data data = *held;
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
        setRangeAttribute(data.number, attribute, double(value.toInt(&ok)));
    } else {
        setRangeAttribute(data.number, attribute, value.toDouble(&ok));
    }
    // A value that is not a number leaves the attribute as it was.
    if (!ok)
        return;
    *held = data;
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
    const Data *data = dataOf(property);
    return data && data->type != QVariant::Invalid;
}

QString QtVariantPropertyManager::valueText(const QtProperty *property) const
{
    const Data *data = dataOf(property);
    if (!data)
        return QString();
    switch (data->type) {
    case QVariant::Bool:
        return QtPropertyBrowserUtils::boolValueText(data->number.value != 0);
    case QVariant::Int:
        return QString::number(int(data->number.value));
    case QVariant::Double:
        return QLocale().toString(data->number.value, 'f', data->decimals);
    case QVariant::String:
        return data->other.toString();
    case QVariant::Color:
        return QtPropertyBrowserUtils::colorValueText(data->other.value<QColor>());
    case QVariant::PointF:
        return QtPropertyBrowserUtils::pointText(data->other.toPointF(), data->decimals);
    default:
        return data->enumNames.value(data->enumIndex);
    }
}

void QtVariantPropertyManager::initializeProperty(QtProperty *property)
{
    Data &data = static_cast<QtVariantProperty *>(property)->m_data;
    data = Data();
    data.type = m_typeOfNextProperty;
    data.live = true;
    // A new property's value: an empty text, an invalid colour, the origin.
    if (data.type == QVariant::String)
        data.other = QString();
    else if (data.type == QVariant::Color)
        data.other = QColor();
    else if (data.type == QVariant::PointF)
        data.other = QPointF();
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
    static_cast<QtVariantProperty *>(property)->m_data = Data();
}

QtProperty *QtVariantPropertyManager::createProperty()
{
    return new QtVariantProperty(this);
}

QVariant QtVariantPropertyManager::valueOf(const Data &data)
{
    switch (data.type) {
    case QVariant::Bool:
        return data.number.value != 0;
    case QVariant::Int:
        return int(data.number.value);
    case QVariant::Double:
        return data.number.value;
    case QVariant::String:
    case QVariant::Color:
    case QVariant::PointF:
        return data.other;
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
    case QVariant::Bool: {
        if (!value.canConvert<bool>() || value.toBool() == (data.number.value != 0))
            return false;
        data.number.value = value.toBool() ? 1 : 0;
        return true;
    }
    case QVariant::Int: {
        const int number = value.toInt(&ok);
        return ok && data.number.setValue(number);
    }
    case QVariant::Double: {
        const double number = value.toDouble(&ok);
        return ok && data.number.setValue(number);
    }
    case QVariant::String: {
        if (!value.canConvert<QString>() || value.toString() == data.other.toString())
            return false;
        data.other = value.toString();
        return true;
    }
    case QVariant::Color: {
        if (!value.canConvert<QColor>() || value.value<QColor>() == data.other.value<QColor>())
            return false;
        data.other = value.value<QColor>();
        return true;
    }
    case QVariant::PointF: {
        // QPointF compares fuzzily; a point compares its doubles exactly, as
        // its "X" and "Y" children do, so the two never disagree.
        const QPointF point = value.toPointF(), held = data.other.toPointF();
        if (!value.canConvert<QPointF>() || (point.x() == held.x() && point.y() == held.y()))
            return false;
        data.other = point;
        return true;
    }
    case QVariant::Invalid:
        return false;
    default: {
        const int index = value.toInt(&ok);
        if (!ok || !QtPropertyBrowserUtils::isEnumIndexValid(index, data.enumNames.size()) || index == data.enumIndex)
            return false;
        data.enumIndex = index;
        return true;
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
        QVector<double> parts = QtPropertyBrowserUtils::components(dataOf(point)->other.toPointF());
        parts[index] = dataOf(property)->number.value;
        setValue(point, QtPropertyBrowserUtils::pointFromComponents(parts));
    }
    emit propertyChanged(property);
    emit valueChanged(property, value(property));
}

void QtVariantPropertyManager::setPointChildren(QtProperty *point)
{
    const Data data = *dataOf(point);
    const QVector<double> parts = QtPropertyBrowserUtils::components(data.other.toPointF());
    for (int i = 0; i < parts.size(); ++i) {
        if (QtProperty *child = m_pointChildren.child(point, i)) {
            setAttribute(child, kDecimals, data.decimals);
            setValue(child, parts[i]);
        }
    }
}
