#include "softtypes/SoftType.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "propertybrowser/QtNumberRange.h"
#include "propertybrowser/QtPropertyBrowserUtils.h"
#include "propertybrowser/QtVariantPropertyManager.h"
#include "softtypes/PseudoRandom.h"

#include <QDataStream>

namespace {

const QString kName = QStringLiteral("name");
const QString kEnabled = QStringLiteral("enabled");
const QString kTrigger = QStringLiteral("trigger");
const QString kRadius = QStringLiteral("radius");
const QString kToggleKey = QStringLiteral("toggle key");
const QString kMinimum = QStringLiteral("minimum");
const QString kMaximum = QStringLiteral("maximum");
const QString kEnumNames = QStringLiteral("enumNames");

// The choices of "trigger" and "toggle key", shared by every SoftType.
const QStringList &triggerNames()
{
    static const QStringList names = {QStringLiteral("always active"), QStringLiteral("mouse left button"),
                                      QStringLiteral("mouse middle button"), QStringLiteral("mouse right button")};
    return names;
}

const QStringList &toggleKeyNames()
{
    static const QStringList names = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                      QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                                      QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"),
                                      QStringLiteral("0")};
    return names;
}

QString triggerToolTip()
{
    return QStringLiteral("Indicates when the SoftType is active.\n"
                          "Select 'always active' to apply the SoftType\n"
                          "as soon as the Play button is pressed, or\n"
                          "select a mouse button to activate the SoftType\n"
                          "only when the button is pressed.");
}

} // namespace

// The manager, with one property per parameter (by slot), and the
// connections through which the parameters follow the properties.
struct SoftType::Sheet
{
    ~Sheet()
    {
        // The properties the manager deletes with itself no longer report.
        QObject::disconnect(valueChanged);
        QObject::disconnect(destroyed);
        delete manager;
    }

    QtVariantPropertyManager *manager = new QtVariantPropertyManager;
    QVector<QtVariantProperty *> properties;
    QMetaObject::Connection valueChanged;
    QMetaObject::Connection destroyed;
};

bool SoftType::Parameter::isDeclaredAs(const Parameter &p) const
{
    return type == p.type && name == p.name && number == p.number && other == p.other && minimum == p.minimum
           && maximum == p.maximum && enumNames == p.enumNames;
}

bool SoftType::Parameter::isNumber() const
{
    return type != QVariant::String && type != QVariant::Color && type != QVariant::PointF;
}

QHash<QString, SoftType::KindTable> &SoftType::kindTables()
{
    static QHash<QString, KindTable> tables;
    return tables;
}

SoftType::SoftType(const QString &typeKey, const QString &name)
{
    // Every SoftType of a kind holds the same key string.
    auto kind = kindTables().find(typeKey);
    if (kind == kindTables().end())
        kind = kindTables().insert(typeKey, KindTable());
    m_typeKey = kind.key();
    m_table = kind->parameters;
    m_numbers = kind->numbers;

    // The name's value lives in m_name; its entry only describes it.
    declare(newParameter(QVariant::String, kName));
    Parameter enabled = newParameter(QVariant::Bool, kEnabled);
    enabled.number = 1;
    declare(enabled);
    Parameter trigger = newParameter(QtVariantPropertyManager::enumTypeId(), kTrigger);
    trigger.enumNames = &triggerNames();
    trigger.number = MouseLeftButton;
    declare(trigger);
    Parameter radius = newParameter(QVariant::Int, kRadius);
    radius.minimum = 0;
    radius.maximum = 65535;
    declare(radius);
    Parameter toggleKey = newParameter(QtVariantPropertyManager::enumTypeId(), kToggleKey);
    toggleKey.enumNames = &toggleKeyNames();
    toggleKey.number = 0;
    declare(toggleKey);

    m_name = name;
}

SoftType::~SoftType() = default;

void SoftType::apply(Glyph *glyph)
{
    Frame frame;
    if (!beginFrame(glyph, frame))
        return;
    deform(glyph, frame);
    endFrame(frame);
}

void SoftType::deform(Glyph *, const Frame &)
{
}

int SoftType::randomDraws(const Frame &) const
{
    return 0;
}

void SoftType::endFrame(const Frame &frame)
{
    step(frame.scene);
}

void SoftType::reset(QVorrelScene *scene)
{
    if (!scene)
        return;
    m_lastMousePosition = scene->mousePosition();
    m_lastFrame = scene->frameCounter();
}

void SoftType::step(QVorrelScene *scene)
{
    SoftType::reset(scene);
}

QString SoftType::kindText() const
{
    return m_typeKey.left(1).toUpper() + m_typeKey.mid(1).toLower();
}

QtVariantPropertyManager *SoftType::propertyManager() const
{
    return sheet().manager;
}

QStringList SoftType::propertyNames() const
{
    QStringList names;
    names.reserve(count());
    for (int slot = 0; slot < count(); ++slot)
        names.append(at(slot).name);
    return names;
}

QtVariantProperty *SoftType::property(const QString &name) const
{
    const int slot = slotOf(name);
    return slot < 0 ? nullptr : sheet().properties.at(slot);
}

QVector<QtVariantProperty *> SoftType::properties() const
{
    return sheet().properties;
}

void SoftType::setName(const QString &name)
{
    setValueAt(NameSlot, name);
}

bool SoftType::isEnabled() const
{
    return parameter(EnabledSlot) != 0;
}

void SoftType::setEnabled(bool enabled)
{
    setParameter(EnabledSlot, QVariant(enabled));
}

int SoftType::trigger() const
{
    return int(parameter(TriggerSlot));
}

int SoftType::radius() const
{
    return int(parameter(RadiusSlot));
}

void SoftType::setParameter(int slot, const QVariant &value)
{
    if (slot >= 0)
        setValueAt(slot, value);
}

void SoftType::setParameter(int slot, double value)
{
    if (slot < 0)
        return;
    const Parameter &p = at(slot);
    if (p.type != QVariant::Double || slot >= m_count || (m_sheet && m_sheet->properties.at(slot))) {
        setValueAt(slot, value);
        return;
    }
    // What the Double property does with it.
    const double bounded = qBound(p.minimum, value, p.maximum);
    if (bounded != m_numbers.at(slot))
        m_numbers.data()[slot] = bounded;
}

SoftType::Parameter SoftType::newParameter(int type, const QString &name)
{
    // A new property's value: false, 0, an empty text, an invalid colour,
    // the origin, and no choice of an enumeration.
    Parameter p;
    p.name = name;
    p.type = type;
    switch (type) {
    case QVariant::String:
        p.other = QString();
        break;
    case QVariant::Color:
        p.other = QColor();
        break;
    case QVariant::PointF:
        p.other = QPointF();
        break;
    case QVariant::Bool:
    case QVariant::Int:
    case QVariant::Double:
        break;
    default:
        p.number = -1;
        break;
    }
    return p;
}

const SoftType::Parameter &SoftType::at(int slot) const
{
    return slot < m_count ? m_table.at(slot) : m_extras.at(slot - m_count);
}

int SoftType::declare(const Parameter &parameter)
{
    // Only constructors declare, before any parameter of a file's.
    Q_ASSERT(m_extras.isEmpty());
    const int slot = m_count++;
    if (slot >= m_table.size() || !m_table.at(slot).isDeclaredAs(parameter)) {
        m_table.resize(slot);
        m_table.append(parameter);
        m_numbers.resize(slot);
        m_numbers.append(parameter.number);
        // The SoftTypes of the kind made from now on share the table so far.
        kindTables()[m_typeKey] = {m_table, m_numbers};
    }
    if (m_index)
        m_index->insert(parameter.name, slot);
    if (m_sheet)
        show(slot);
    return slot;
}

int SoftType::append(const Parameter &parameter)
{
    m_extras.append(parameter);
    const int slot = count() - 1;
    if (m_index)
        m_index->insert(parameter.name, slot);
    if (m_sheet)
        show(slot);
    return slot;
}

void SoftType::replace(int slot, const Parameter &parameter)
{
    if (slot >= m_count) {
        m_extras[slot - m_count] = parameter;
        return;
    }
    m_table.data()[slot] = parameter;
    m_numbers.data()[slot] = parameter.number;
    if (slot == NameSlot)
        m_name = parameter.other.toString();
}

int SoftType::slotOf(const QString &name) const
{
    // A few names are searched; a file may give a SoftType many more.
    constexpr int Searched = 16;
    if (count() <= Searched) {
        for (int slot = 0; slot < count(); ++slot) {
            if (at(slot).name == name)
                return slot;
        }
        return -1;
    }
    if (!m_index) {
        m_index.reset(new QMap<QString, int>);
        for (int slot = 0; slot < count(); ++slot)
            m_index->insert(at(slot).name, slot);
    }
    return m_index->value(name, -1);
}

QVariant SoftType::valueAt(int slot) const
{
    const Parameter &p = at(slot);
    if (p.isNumber()) {
        const double number = slot < m_count ? m_numbers.at(slot) : p.number;
        switch (p.type) {
        case QVariant::Bool:
            return number != 0;
        case QVariant::Double:
            return number;
        default:
            return int(number);
        }
    }
    return slot == NameSlot ? QVariant(m_name) : p.other;
}

void SoftType::setValueAt(int slot, const QVariant &value)
{
    if (m_sheet) {
        if (QtVariantProperty *property = m_sheet->properties.at(slot)) {
            property->setValue(value);
            return;
        }
    }
    // Exactly what QtVariantPropertyManager::setValue takes: the value
    // converted to the property's type, bounded into its range; refused
    // when it does not convert or names no choice.
    const Parameter &p = at(slot);
    bool ok = false;
    switch (p.type) {
    case QVariant::Bool:
        if (value.canConvert<bool>())
            store(slot, value.toBool());
        return;
    case QVariant::Int: {
        const int number = value.toInt(&ok);
        if (ok)
            store(slot, qBound(int(p.minimum), number, int(p.maximum)));
        return;
    }
    case QVariant::Double: {
        const double number = value.toDouble(&ok);
        if (ok)
            store(slot, qBound(p.minimum, number, p.maximum));
        return;
    }
    case QVariant::String:
        if (value.canConvert<QString>())
            store(slot, value.toString());
        return;
    case QVariant::Color:
        if (value.canConvert<QColor>())
            store(slot, value.value<QColor>());
        return;
    case QVariant::PointF:
        if (value.canConvert<QPointF>())
            store(slot, value.toPointF());
        return;
    default: {
        const int index = value.toInt(&ok);
        if (ok && QtPropertyBrowserUtils::isEnumIndexValid(index, p.enumNames ? p.enumNames->size() : 0))
            store(slot, index);
        return;
    }
    }
}

void SoftType::store(int slot, const QVariant &value)
{
    // Compared before writing, so that an unchanged value leaves the
    // kind's shared tables shared.
    const Parameter &p = at(slot);
    if (p.isNumber()) {
        const double number = value.toDouble();
        if (slot >= m_count)
            m_extras[slot - m_count].number = number;
        else if (number != m_numbers.at(slot))
            m_numbers.data()[slot] = number;
        return;
    }
    if (slot == NameSlot) {
        if (m_name != value.toString())
            m_name = value.toString();
        return;
    }
    // What the property compares: texts, colours, and points exactly.
    bool same = false;
    switch (p.type) {
    case QVariant::String:
        same = p.other.toString() == value.toString();
        break;
    case QVariant::Color:
        same = p.other.value<QColor>() == value.value<QColor>();
        break;
    default:
        same = p.other.toPointF().x() == value.toPointF().x() && p.other.toPointF().y() == value.toPointF().y();
        break;
    }
    if (same)
        return;
    if (slot >= m_count)
        m_extras[slot - m_count].other = value;
    else
        m_table.data()[slot].other = value;
}

SoftType::Sheet &SoftType::sheet() const
{
    if (m_sheet)
        return *m_sheet;
    m_sheet.reset(new Sheet);
    m_sheet->properties.reserve(count());
    m_sheet->manager->reserve(count());
    for (int slot = 0; slot < count(); ++slot)
        show(slot);
    // From now on the properties hold the values and the parameters follow.
    SoftType *self = const_cast<SoftType *>(this);
    Sheet *sheet = m_sheet.get();
    sheet->valueChanged = QObject::connect(sheet->manager, &QtVariantPropertyManager::valueChanged,
                                           [self](QtProperty *property, const QVariant &value) {
                                               const int slot = self->slotOfProperty(property);
                                               if (slot >= 0)
                                                   self->store(slot, value);
                                           });
    sheet->destroyed = QObject::connect(sheet->manager, &QtAbstractPropertyManager::propertyDestroyed,
                                        [self, sheet](QtProperty *property) {
                                            const int slot = self->slotOfProperty(property);
                                            if (slot >= 0)
                                                sheet->properties[slot] = nullptr;
                                        });
    return *m_sheet;
}

void SoftType::show(int slot) const
{
    const Parameter &p = at(slot);
    QtVariantProperty *property = m_sheet->manager->addProperty(p.type, p.name);
    if (p.type == QVariant::Int || p.type == QVariant::Double) {
        property->setAttribute(kMinimum, p.minimum);
        property->setAttribute(kMaximum, p.maximum);
    } else if (p.enumNames) {
        // An enumeration takes its index only once it has its names.
        property->setAttribute(kEnumNames, *p.enumNames);
    }
    property->setValue(valueAt(slot));
    if (slot == TriggerSlot)
        property->setToolTip(triggerToolTip());
    m_sheet->properties.insert(slot, property);
}

int SoftType::slotOfProperty(const QtProperty *property) const
{
    // Found by its name; a property being made is no parameter's yet, and
    // one renamed or replaced by another of its name is looked for.
    const QVector<QtVariantProperty *> &properties = m_sheet->properties;
    int slot = slotOf(property->propertyName());
    if (slot >= properties.size())
        return -1;
    if (slot < 0 || properties.at(slot) != property)
        slot = properties.indexOf(static_cast<QtVariantProperty *>(const_cast<QtProperty *>(property)));
    return slot;
}

QtVariantProperty *SoftType::createProperty(int type, const QString &name)
{
    if (!QtVariantPropertyManager::isPropertyTypeSupported(type))
        return nullptr;
    Sheet &s = sheet();
    const int slot = slotOf(name);
    if (slot < 0)
        return s.properties.at(append(newParameter(type, name)));
    // A new property of the type takes the name's place; the old one stays
    // in the manager, no longer a parameter.
    replace(slot, newParameter(type, name));
    s.properties.removeAt(slot);
    show(slot);
    return s.properties.at(slot);
}

QtVariantProperty *SoftType::addOrSetProperty(int type, const QString &name, const QVariant &value)
{
    sheet();
    return addOrSetValue(type, name, value) ? property(name) : nullptr;
}

bool SoftType::addOrSetValue(int type, const QString &name, const QVariant &value)
{
    int slot = slotOf(name);
    if (slot < 0) {
        if (!QtVariantPropertyManager::isPropertyTypeSupported(type))
            return false;
        slot = append(newParameter(type, name));
    }
    setValueAt(slot, value);
    return true;
}

int SoftType::addDoubleParameter(const QString &name, const QVariant &value, int minimum, int maximum)
{
    // The value as a new Double property takes it, then the range as the
    // attributes "minimum" and "maximum" set it, in that order.
    QtNumberRange<double> range;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (ok)
        range.setValue(number);
    range.setRange(minimum, qMax(double(minimum), range.maximum));
    range.setRange(qMin(range.minimum, double(maximum)), maximum);
    Parameter p = newParameter(QVariant::Double, name);
    p.number = range.value;
    p.minimum = range.minimum;
    p.maximum = range.maximum;
    const int slot = slotOf(name);
    if (slot < 0)
        return declare(p);
    // A name declared twice keeps its place and takes the new declaration.
    if (at(slot).type == QVariant::Double) {
        replace(slot, p);
        if (m_sheet && m_sheet->properties.at(slot)) {
            m_sheet->properties.at(slot)->setAttribute(kMinimum, p.minimum);
            m_sheet->properties.at(slot)->setAttribute(kMaximum, p.maximum);
            m_sheet->properties.at(slot)->setValue(p.number);
        }
    }
    return slot;
}

QHash<QString, QVariant> SoftType::values() const
{
    QHash<QString, QVariant> result;
    result.reserve(count());
    for (int slot = 0; slot < count(); ++slot)
        result.insert(at(slot).name, valueAt(slot));
    return result;
}

void SoftType::setValues(const QHash<QString, QVariant> &values)
{
    // A hash has no order of its own; sorting keeps new parameters in the
    // same order in every process.
    QStringList names = values.keys();
    names.sort();
    for (const QString &name : qAsConst(names)) {
        const QVariant value = values.value(name);
        addOrSetValue(value.userType(), name, value);
    }
}

void SoftType::copyValuesFrom(const SoftType &source)
{
    const int enumType = QtVariantPropertyManager::enumTypeId();
    const auto copy = [&](int slot) {
        const Parameter &p = source.at(slot);
        addOrSetValue(p.type == enumType ? int(QVariant::Int) : p.type, p.name, source.valueAt(slot));
    };
    for (int slot = 0; slot < source.m_count; ++slot)
        copy(slot);
    // The extras are taken whole, shared until either SoftType changes one,
    // when that gives what taking them one at a time would: this SoftType
    // has only its declared parameters, named as the source's, and no extra
    // is an enumeration (which a copy takes as an Int). So copies of a
    // SoftType of many parameters cost next to nothing.
    bool whole = m_extras.isEmpty() && !m_sheet && count() == source.m_count;
    for (int slot = 0; whole && slot < m_count; ++slot)
        whole = at(slot).name == source.at(slot).name;
    for (const Parameter &p : source.m_extras)
        whole = whole && p.type != enumType;
    if (!whole) {
        for (int slot = source.m_count; slot < source.count(); ++slot)
            copy(slot);
        return;
    }
    m_extras = source.m_extras;
    m_index.reset(source.m_index ? new QMap<QString, int>(*source.m_index) : nullptr);
}

bool SoftType::isTriggered(Qt::MouseButtons buttons) const
{
    switch (trigger()) {
    case AlwaysActive:
        return true;
    case MouseLeftButton:
        return buttons & Qt::LeftButton;
    case MouseMiddleButton:
        return buttons & Qt::MiddleButton;
    case MouseRightButton:
        return buttons & Qt::RightButton;
    default:
        return false;
    }
}

bool SoftType::beginFrame(Glyph *glyph, Frame &frame)
{
    QVorrelScene *scene = glyph->documentScene();
    return scene && beginFrame(glyph, scene, glyph->sceneTransform(), frame);
}

bool SoftType::beginFrame(Glyph *glyph, QVorrelScene *scene, const QTransform &toScene, Frame &frame)
{
    if (!isTriggered(scene->mouseButtons()) || !isNextFrame(scene->frameCounter())) {
        reset(scene);
        return false;
    }
    frame.scene = scene;
    frame.mouse = scene->mousePosition();
    frame.motion = frame.mouse - m_lastMousePosition;
    frame.radius = radius();
    frame.toScene = toScene;
    frame.translateOnly = frame.toScene.type() <= QTransform::TxTranslate;
    if (!frame.translateOnly)
        frame.fromScene = frame.toScene.inverted();
    frame.outline = &glyph->path()->current;
    frame.random = &PseudoRandom::shared();
    return true;
}

SoftType::Nearest SoftType::nearestElement(const QPainterPath &outline, int count, const Frame &frame)
{
    Nearest nearest;
    for (int i = 0; i < count; ++i) {
        const MouseVector v(frame.mouse, frame.map(elementPosition(outline, i)));
        if (i == 0 || v.length < nearest.toMouse.length) {
            nearest.index = i;
            nearest.toMouse = v;
        }
    }
    return nearest;
}

bool SoftType::isStretched(const QPointF &a, const QPointF &b, const QPointF &ra, const QPointF &rb,
                           double elasticity)
{
    const float current = float(length(float(a.x() - b.x()), float(a.y() - b.y())));
    const float rest = float(length(float(ra.x() - rb.x()), float(ra.y() - rb.y())));
    if (rest == 0)
        return current != 0;
    return current / rest > elasticity;
}

void SoftType::restoreElements(Glyph *glyph, const Frame &frame, double parameter, RestorePlace place)
{
    QPainterPath &current = glyph->path()->current;
    const QPainterPath &rest = glyph->path()->rest;
    const int n = pairedCount(*glyph->path());
    for (int i = 0; i < n; ++i) {
        Offset offset;
        offset.current = elementPosition(current, i);
        if (!frame.reaches(MouseVector(frame.mouse, frame.map(offset.current)).length))
            continue;
        offset.rest = elementPosition(rest, i);
        offset.x = float(offset.current.x() - offset.rest.x());
        offset.y = float(offset.current.y() - offset.rest.y());
        offset.length = length(offset.x, offset.y);
        const QPointF to = place(offset, parameter);
        current.setElementPositionAt(i, to.x(), to.y());
    }
}

int SoftType::pairedCount(const GlyphPath &path)
{
    return qMin(path.current.elementCount(), path.rest.elementCount());
}

QDataStream &operator<<(QDataStream &out, const SoftType &softType)
{
    out << qint32(softType.count());
    for (int slot = 0; slot < softType.count(); ++slot)
        out << softType.at(slot).name << softType.valueAt(slot);
    return out;
}

QDataStream &operator>>(QDataStream &in, SoftType &softType)
{
    quint32 count = 0;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString name;
        QVariant value;
        in >> name >> value;
        if (in.status() != QDataStream::Ok)
            break;
        softType.addOrSetValue(value.userType(), name, value);
    }
    return in;
}
