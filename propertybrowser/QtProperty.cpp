#include "propertybrowser/QtProperty.h"

#include "propertybrowser/QtAbstractPropertyManager.h"

QtProperty::Extra::~Extra() = default;

QtProperty::QtProperty(QtAbstractPropertyManager *manager)
    : m_manager(manager)
    , m_enabled(true)
    , m_released(false)
{
}

QtProperty::~QtProperty()
{
    release();
    delete m_extra;
}

void QtProperty::release()
{
    if (m_released)
        return;
    m_released = true;
    // Leave every parent first (the browsers still see a whole property),
    // then let the manager drop its value, then release the children.
    const QList<QtProperty *> parents = parentProperties();
    for (QtProperty *parent : parents)
        parent->removeSubProperty(this);
    m_manager->forgetProperty(this);
    if (m_extra) {
        for (QtProperty *child : qAsConst(m_extra->children))
            child->removeParent(this);
    }
}

QtProperty::Extra &QtProperty::ensureExtra()
{
    if (!m_extra)
        m_extra = createExtra();
    return *m_extra;
}

QtProperty::Extra *QtProperty::createExtra() const
{
    return new Extra;
}

void QtProperty::setPropertyName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    propertyChanged();
}

void QtProperty::setToolTip(const QString &toolTip)
{
    if (this->toolTip() == toolTip)
        return;
    ensureExtra().toolTip = toolTip;
    propertyChanged();
}

void QtProperty::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    propertyChanged();
}

bool QtProperty::hasValue() const
{
    return m_manager->hasValue(this);
}

QString QtProperty::valueText() const
{
    return m_manager->valueText(this);
}

void QtProperty::addSubProperty(QtProperty *property)
{
    insertSubProperty(property, m_extra && !m_extra->children.isEmpty() ? m_extra->children.last() : nullptr);
}

void QtProperty::insertSubProperty(QtProperty *property, QtProperty *afterProperty)
{
    // A child knows its few parents: asking it keeps filling a long list of
    // sub-properties linear, as does appending after the last one.
    if (!property || property == this || property->hasParent(this) || property->isAncestorOf(this))
        return;
    int index = 0;
    if (afterProperty) {
        const QList<QtProperty *> *children = m_extra ? &m_extra->children : nullptr;
        if (children && !children->isEmpty() && children->last() == afterProperty)
            index = children->size();
        else
            index = children ? children->indexOf(afterProperty) + 1 : 0;
        if (index == 0)
            return;
    }
    ensureExtra().children.insert(index, property);
    property->addParent(this);
    // The parent's manager tells: a browser showing the parent listens to
    // it, while the child's manager may be new to the browser.
    emit m_manager->propertyInserted(property, this, afterProperty);
}

void QtProperty::removeSubProperty(QtProperty *property)
{
    if (!m_extra)
        return;
    // Sub-properties leave from the back as often as from the front.
    QList<QtProperty *> &children = m_extra->children;
    if (!children.isEmpty() && children.last() == property)
        children.removeLast();
    else if (!children.removeOne(property))
        return;
    property->removeParent(this);
    emit m_manager->propertyRemoved(property, this);
}

void QtProperty::propertyChanged()
{
    emit m_manager->propertyChanged(this);
}

bool QtProperty::isAncestorOf(const QtProperty *property) const
{
    if (!m_extra)
        return false;
    for (const QtProperty *child : qAsConst(m_extra->children)) {
        if (child == property || child->isAncestorOf(property))
            return true;
    }
    return false;
}

QList<QtProperty *> QtProperty::parentProperties() const
{
    if (!m_parent)
        return {};
    QList<QtProperty *> parents;
    if (m_extra)
        parents = m_extra->otherParents;
    parents.prepend(m_parent);
    return parents;
}

bool QtProperty::hasParent(const QtProperty *parent) const
{
    return parent
           && (m_parent == parent || (m_extra && m_extra->otherParents.contains(const_cast<QtProperty *>(parent))));
}

void QtProperty::addParent(QtProperty *parent)
{
    if (!m_parent)
        m_parent = parent;
    else
        ensureExtra().otherParents.append(parent);
}

void QtProperty::removeParent(QtProperty *parent)
{
    QList<QtProperty *> *others = m_extra ? &m_extra->otherParents : nullptr;
    if (others)
        others->removeAll(parent);
    if (m_parent == parent)
        m_parent = others && !others->isEmpty() ? others->takeFirst() : nullptr;
}
