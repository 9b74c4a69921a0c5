#include "propertybrowser/QtProperty.h"

#include "propertybrowser/QtAbstractPropertyManager.h"

QtProperty::QtProperty(QtAbstractPropertyManager *manager)
    : m_manager(manager)
{
}

QtProperty::~QtProperty()
{
    release();
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
    for (QtProperty *child : qAsConst(m_children))
        child->removeParent(this);
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
    if (m_toolTip == toolTip)
        return;
    m_toolTip = toolTip;
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
    insertSubProperty(property, m_children.isEmpty() ? nullptr : m_children.last());
}

void QtProperty::insertSubProperty(QtProperty *property, QtProperty *afterProperty)
{
    // A child knows its few parents: asking it keeps filling a long list of
    // sub-properties linear, as does appending after the last one.
    if (!property || property == this || property->hasParent(this) || property->isAncestorOf(this))
        return;
    int index = 0;
    if (afterProperty) {
        index = !m_children.isEmpty() && m_children.last() == afterProperty ? m_children.size()
                                                                        : m_children.indexOf(afterProperty) + 1;
        if (index == 0)
            return;
    }
    m_children.insert(index, property);
    property->addParent(this);
    // The parent's manager tells: a browser showing the parent listens to
    // it, while the child's manager may be new to the browser.
    emit m_manager->propertyInserted(property, this, afterProperty);
}

void QtProperty::removeSubProperty(QtProperty *property)
{
    // Sub-properties leave from the back as often as from the front.
    if (!m_children.isEmpty() && m_children.last() == property)
        m_children.removeLast();
    else if (!m_children.removeOne(property))
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
    for (const QtProperty *child : m_children) {
        if (child == property || child->isAncestorOf(property))
            return true;
    }
    return false;
}

QList<QtProperty *> QtProperty::parentProperties() const
{
    if (!m_parent)
        return {};
    QList<QtProperty *> parents = m_otherParents;
    parents.prepend(m_parent);
    return parents;
}

bool QtProperty::hasParent(const QtProperty *parent) const
{
    return parent && (m_parent == parent || m_otherParents.contains(const_cast<QtProperty *>(parent)));
}

void QtProperty::addParent(QtProperty *parent)
{
    if (!m_parent)
        m_parent = parent;
    else
        m_otherParents.append(parent);
}

void QtProperty::removeParent(QtProperty *parent)
{
    m_otherParents.removeAll(parent);
    if (m_parent == parent)
        m_parent = m_otherParents.isEmpty() ? nullptr : m_otherParents.takeFirst();
}
