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
    return held(property);
}

QtVariantProperty *QtVariantPropertyManager::held(const QtProperty *property) const
{
    // Every property this manager makes is a QtVariantProperty.
    if (!property || property->propertyManager() != this)
        return nullptr;
    auto *variant = static_cast<QtVariantProperty *>(const_cast<QtProperty *>(property));
    return variant->m_live ? variant : nullptr;
}

QVariant QtVariantPropertyManager::value(const QtProperty *property) const
{
    const QtVariantProperty *p = held(property);
    return p ? valueOf(*p) : QVariant();
}

int QtVariantPropertyManager::valueType(const QtProperty *property) const
{
    const int type = propertyType(property);
    return type == enumTypeId() ? int(QVariant::Int) : type;
}

int QtVariantPropertyManager::propertyType(const QtProperty *property) const
{
    const QtVariantProperty *p = held(property);
    return p ? QtVariantProperty::typeOf(p->m_kind) : int(QVariant::Invalid);
}

QVariant QtVariantPropertyManager::attributeValue(const QtProperty *property, const QString &attribute) const
{
    const QtVariantProperty *p = held(property);
    if (!p || !attributes(QtVariantProperty::typeOf(p->m_kind)).contains(attribute))
        return QVariant();
    if (attribute == kEnumNames)
        return p->more() ? p->more()->enumNames : QStringList();
    if (attribute == kDecimals)
        return int(p->m_decimals);
    const QtNumberRange<double> range = rangeOf(*p);
    const double number = attribute == kMinimum   ? range.minimum
                          : attribute == kMaximum ? range.maximum
                                                  : range.singleStep;
    return p->m_kind == QtVariantProperty::IntKind ? QVariant(int(number)) : QVariant(number);
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
    QtVariantProperty *p = held(property);
    if (!p || !assign(*p, value))
        return;
    changed(property, QtVariantProperty::typeOf(p->m_kind));
}

void QtVariantPropertyManager::setAttribute(QtProperty *property, const QString &attribute, const QVariant &value)
{
    QtVariantProperty *p = held(property);
    const QVariant oldAttribute = attributeValue(property, attribute);
    if (!p || !oldAttribute.isValid() || !value.isValid())
        return;
    const Kind kind = p->m_kind;
    const int type = QtVariantProperty::typeOf(kind);
    Settings data = settingsOf(*p);
    const QVariant oldValue = valueOf(*p);
    bool ok = true;
    if (attribute == kEnumNames) {
        const QStringList names = value.toStringList();
        if (!value.canConvert<QStringList>() || names == data.enumNames)
            return;
        data.enumNames = names;
        data.enumIndex = names.isEmpty() ? -1 : 0;
    } else if (attribute == kDecimals) {
        data.decimals = qBound(0, value.toInt(&ok), 13);
    } else if (kind == QtVariantProperty::IntKind) {
        setRangeAttribute(data.number, attribute, double(value.toInt(&ok)));
    } else {
        setRangeAttribute(data.number, attribute, value.toDouble(&ok));
    }
    // A value that is not a number leaves the attribute as it was.
    if (!ok)
        return;
    setSettings(*p, data);
    const QVariant newValue = valueOf(*p);
    const QVariant newAttribute = attributeValue(property, attribute);
    if (newAttribute != oldAttribute)
        emit attributeChanged(property, attribute, newAttribute);
    // A new list of names always restarts the choice, like QtEnumPropertyManager.
    if (attribute == kEnumNames || !sameValue(newValue, oldValue))
        changed(property, type);
    else if (attribute == kDecimals && newAttribute != oldAttribute)
        emit propertyChanged(property);
    if (attribute == kDecimals && kind == QtVariantProperty::PointKind)
        setPointChildren(property);
}

bool QtVariantPropertyManager::hasValue(const QtProperty *property) const
{
    const QtVariantProperty *p = held(property);
    return p && p->m_kind != QtVariantProperty::NoKind;
}

QString QtVariantPropertyManager::valueText(const QtProperty *property) const
{
    const QtVariantProperty *p = held(property);
    if (!p)
        return QString();
    switch (p->m_kind) {
    case QtVariantProperty::BoolKind:
        return QtPropertyBrowserUtils::boolValueText(p->m_value.number != 0);
    case QtVariantProperty::IntKind:
        return QString::number(int(p->m_value.number));
    case QtVariantProperty::DoubleKind:
        return QLocale().toString(p->m_value.number, 'f', p->m_decimals);
    case QtVariantProperty::StringKind:
        return p->m_value.text;
    case QtVariantProperty::ColorKind:
        return QtPropertyBrowserUtils::colorValueText(*p->m_value.color);
    case QtVariantProperty::PointKind:
        return QtPropertyBrowserUtils::pointText(*p->m_value.point, p->m_decimals);
    case QtVariantProperty::EnumKind:
        return p->more() ? p->more()->enumNames.value(int(p->m_value.number)) : QString();
    default:
        return QString();
    }
}

void QtVariantPropertyManager::initializeProperty(QtProperty *property)
{
    auto *p = static_cast<QtVariantProperty *>(property);
    p->setKind(QtVariantProperty::kindOf(m_typeOfNextProperty));
    p->m_live = true;
    if (p->m_kind != QtVariantProperty::PointKind)
        return;
    // Every point's children share their names.
    static const QString x = tr("X"), y = tr("Y");
    const QVector<QtProperty *> children = {addProperty(QVariant::Double, x), addProperty(QVariant::Double, y)};
    m_pointChildren.insert(property, children);
    for (QtProperty *child : children)
        property->addSubProperty(child);
}

void QtVariantPropertyManager::uninitializeProperty(QtProperty *property)
{
    m_pointChildren.forgetChild(property);
    m_pointChildren.deleteChildren(property);
    auto *p = static_cast<QtVariantProperty *>(property);
    p->resetValue();
    p->m_live = false;
}

QtProperty *QtVariantPropertyManager::createProperty()
{
    return new QtVariantProperty(this);
}

QVariant QtVariantPropertyManager::valueOf(const QtVariantProperty &p)
{
    switch (p.m_kind) {
    case QtVariantProperty::BoolKind:
        return p.m_value.number != 0;
    case QtVariantProperty::IntKind:
    case QtVariantProperty::EnumKind:
        return int(p.m_value.number);
    case QtVariantProperty::DoubleKind:
        return p.m_value.number;
    case QtVariantProperty::StringKind:
        return p.m_value.text;
    case QtVariantProperty::ColorKind:
        return *p.m_value.color;
    case QtVariantProperty::PointKind:
        return *p.m_value.point;
    default:
        return QVariant();
    }
}

QtNumberRange<double> QtVariantPropertyManager::rangeOf(const QtVariantProperty &p)
{
    QtNumberRange<double> range = p.more() ? p.more()->range : QtNumberRange<double>();
    range.value = 0;
    const Kind kind = p.m_kind;
    if (kind == QtVariantProperty::BoolKind || kind == QtVariantProperty::IntKind
        || kind == QtVariantProperty::DoubleKind)
        range.value = p.m_value.number;
    return range;
}

QtVariantPropertyManager::Settings QtVariantPropertyManager::settingsOf(const QtVariantProperty &p)
{
    Settings settings;
    settings.decimals = p.m_decimals;
    settings.number = rangeOf(p);
    if (p.more())
        settings.enumNames = p.more()->enumNames;
    if (p.m_kind == QtVariantProperty::EnumKind)
        settings.enumIndex = int(p.m_value.number);
    return settings;
}

void QtVariantPropertyManager::setSettings(QtVariantProperty &p, const Settings &settings)
{
    p.m_decimals = quint8(settings.decimals);
    const Kind kind = p.m_kind;
    if (kind == QtVariantProperty::BoolKind || kind == QtVariantProperty::IntKind
        || kind == QtVariantProperty::DoubleKind)
        p.m_value.number = settings.number.value;
    else if (kind == QtVariantProperty::EnumKind)
        p.m_value.number = settings.enumIndex;
    // The default range and no names need no record.
    const QtNumberRange<double> plain;
    if (!p.more() && settings.number.minimum == plain.minimum && settings.number.maximum == plain.maximum
        && settings.number.singleStep == plain.singleStep && settings.enumNames.isEmpty())
        return;
    QtVariantProperty::More &more = p.ensureMore();
    more.range = settings.number;
    more.range.value = 0;
    more.enumNames = settings.enumNames;
}

bool QtVariantPropertyManager::assign(QtVariantProperty &p, const QVariant &value)
{
    bool ok = false;
    double &number = p.m_value.number;
    switch (p.m_kind) {
    case QtVariantProperty::BoolKind: {
        if (!value.canConvert<bool>() || value.toBool() == (number != 0))
            return false;
        number = value.toBool() ? 1 : 0;
        return true;
    }
    case QtVariantProperty::IntKind:
    case QtVariantProperty::DoubleKind: {
        const double v = p.m_kind == QtVariantProperty::IntKind ? double(value.toInt(&ok)) : value.toDouble(&ok);
        QtNumberRange<double> range = rangeOf(p);
        if (!ok || !range.setValue(v))
            return false;
        number = range.value;
        return true;
    }
    case QtVariantProperty::StringKind: {
        if (!value.canConvert<QString>() || value.toString() == p.m_value.text)
            return false;
        p.m_value.text = value.toString();
        return true;
    }
    case QtVariantProperty::ColorKind: {
        if (!value.canConvert<QColor>() || value.value<QColor>() == *p.m_value.color)
            return false;
        *p.m_value.color = value.value<QColor>();
        return true;
    }
    case QtVariantProperty::PointKind: {
        // QPointF compares fuzzily; a point compares its doubles exactly, as
        // its "X" and "Y" children do, so the two never disagree.
        const QPointF point = value.toPointF(), kept = *p.m_value.point;
        if (!value.canConvert<QPointF>() || (point.x() == kept.x() && point.y() == kept.y()))
            return false;
        *p.m_value.point = point;
        return true;
    }
    case QtVariantProperty::EnumKind: {
        const int index = value.toInt(&ok);
        const int count = p.more() ? p.more()->enumNames.size() : 0;
        if (!ok || !QtPropertyBrowserUtils::isEnumIndexValid(index, count) || index == int(number))
            return false;
        number = index;
        return true;
    }
    default:
        return false;
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
        QVector<double> parts = QtPropertyBrowserUtils::components(*held(point)->m_value.point);
        parts[index] = held(property)->m_value.number;
        setValue(point, QtPropertyBrowserUtils::pointFromComponents(parts));
    }
    emit propertyChanged(property);
    emit valueChanged(property, value(property));
}

void QtVariantPropertyManager::setPointChildren(QtProperty *point)
{
    const QtVariantProperty *p = held(point);
    const int decimals = p->m_decimals;
    const QVector<double> parts = QtPropertyBrowserUtils::components(*p->m_value.point);
    for (int i = 0; i < parts.size(); ++i) {
        if (QtProperty *child = m_pointChildren.child(point, i)) {
            setAttribute(child, kDecimals, decimals);
            setValue(child, parts[i]);
        }
    }
}
