#include "softtypes/SoftType.h"

#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "propertybrowser/QtVariantPropertyManager.h"

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

SoftType::SoftType(const QString &typeKey, const QString &name)
    : m_manager(new QtVariantPropertyManager), m_typeKey(typeKey)
{
    QObject::connect(m_manager, &QtVariantPropertyManager::valueChanged, m_manager,
                     [this](QtProperty *property, const QVariant &value) {
                         for (AtHand &a : m_atHand) {
                             if (a.property == property)
                                 a.value = value.toDouble();
                         }
                     });

    m_nameProperty = addOrSetProperty(QVariant::String, kName, QStringLiteral("unknown"));
    m_enabled = keepAtHand(addOrSetProperty(QVariant::Bool, kEnabled, true));

    // An enumeration takes its index only once it has its names.
    QtVariantProperty *trigger = createProperty(QtVariantPropertyManager::enumTypeId(), kTrigger);
    trigger->setAttribute(kEnumNames, triggerNames());
    trigger->setValue(int(MouseLeftButton));
    trigger->setToolTip(triggerToolTip());
    m_trigger = keepAtHand(trigger);

    QtVariantProperty *radius = addOrSetProperty(QVariant::Int, kRadius, 0);
    radius->setAttribute(kMinimum, 0);
    radius->setAttribute(kMaximum, 65535);
    m_radius = keepAtHand(radius);

    QtVariantProperty *toggleKey = createProperty(QtVariantPropertyManager::enumTypeId(), kToggleKey);
    toggleKey->setAttribute(kEnumNames, toggleKeyNames());
    toggleKey->setValue(0);

    setName(name);
}

SoftType::~SoftType()
{
    delete m_manager;
}

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

QString SoftType::name() const
{
    return m_nameProperty->value().toString();
}

void SoftType::setName(const QString &name)
{
    m_nameProperty->setValue(name);
}

bool SoftType::isEnabled() const
{
    return parameter(m_enabled) != 0;
}

void SoftType::setEnabled(bool enabled)
{
    setParameter(m_enabled, enabled);
}

int SoftType::trigger() const
{
    return int(parameter(m_trigger));
}

int SoftType::radius() const
{
    return int(parameter(m_radius));
}

void SoftType::setParameter(int slot, const QVariant &value)
{
    if (slot >= 0)
        m_atHand.at(slot).property->setValue(value);
}

int SoftType::keepAtHand(QtVariantProperty *property)
{
    if (!property)
        return -1;
    m_atHand.append({property, property->value().toDouble()});
    return m_atHand.size() - 1;
}

QtVariantProperty *SoftType::createProperty(int type, const QString &name)
{
    if (!m_manager->isPropertyTypeSupported(type))
        return nullptr;
    QtVariantProperty *property = m_manager->addProperty(type, name);
    if (!m_properties.contains(name))
        m_names.append(name);
    m_properties.insert(name, property);
    return property;
}

QtVariantProperty *SoftType::addOrSetProperty(int type, const QString &name, const QVariant &value)
{
    QtVariantProperty *property = m_properties.value(name);
    if (!property)
        property = createProperty(type, name);
    if (property)
        property->setValue(value);
    return property;
}

int SoftType::addDoubleParameter(const QString &name, const QVariant &value, int minimum, int maximum)
{
    QtVariantProperty *property = addOrSetProperty(QVariant::Double, name, value);
    if (property) {
        property->setAttribute(kMinimum, minimum);
        property->setAttribute(kMaximum, maximum);
    }
    return keepAtHand(property);
}

QHash<QString, QVariant> SoftType::values() const
{
    QHash<QString, QVariant> result;
    for (const QString &name : m_names)
        result.insert(name, m_properties.value(name)->value());
    return result;
}

void SoftType::setValues(const QHash<QString, QVariant> &values)
{
    // A hash has no order of its own; sorting keeps new properties in the
    // same order in every process.
    QStringList names = values.keys();
    names.sort();
    for (const QString &name : qAsConst(names)) {
        const QVariant value = values.value(name);
        addOrSetProperty(value.userType(), name, value);
    }
}

void SoftType::copyValuesFrom(const SoftType &source)
{
    for (const QString &name : source.m_names) {
        const QtVariantProperty *property = source.m_properties.value(name);
        addOrSetProperty(property->valueType(), name, property->value());
    }
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
    out << qint32(softType.m_names.size());
    for (const QString &name : softType.m_names)
        out << name << softType.m_properties.value(name)->value();
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
        softType.addOrSetProperty(value.userType(), name, value);
    }
    return in;
}
