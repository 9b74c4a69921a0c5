#include "propertybrowser/QtCompositePropertyManager.h"

#include "propertybrowser/QtDoublePropertyManager.h"

QtCompositePropertyManager::QtCompositePropertyManager(const QStringList &childNames, QObject *parent)
    : QtAbstractPropertyManager(parent)
    , m_childNames(childNames)
    , m_doubleManager(new QtDoublePropertyManager(this))
{
    connect(m_doubleManager, &QtDoublePropertyManager::valueChanged,
            this, &QtCompositePropertyManager::childValueChanged);
    connect(m_doubleManager, &QtAbstractPropertyManager::propertyDestroyed, this,
            [this](QtProperty *child) { m_children.forgetChild(child); });
}

QtCompositePropertyManager::~QtCompositePropertyManager()
{
    clear();
}

QVector<double> QtCompositePropertyManager::components(const QtProperty *property) const
{
    return m_values.value(property, QVector<double>(m_childNames.size(), 0.0));
}

void QtCompositePropertyManager::setComponents(QtProperty *property, const QVector<double> &components)
{
    if (!storeValue(m_values, property, components))
        return;
    // The children echo into childValueChanged, which then finds the value equal.
    for (int i = 0; i < components.size(); ++i)
        m_doubleManager->setValue(m_children.child(property, i), components[i]);
    emit propertyChanged(property);
    emitValueChanged(property);
}

QString QtCompositePropertyManager::valueText(const QtProperty *property) const
{
    const auto it = m_values.constFind(property);
    return it == m_values.constEnd() ? QString() : componentsText(it.value());
}

void QtCompositePropertyManager::initializeProperty(QtProperty *property)
{
    m_values.insert(property, QVector<double>(m_childNames.size(), 0.0));
    QVector<QtProperty *> children;
    for (const QString &name : qAsConst(m_childNames))
        children.append(m_doubleManager->addProperty(name));
    m_children.insert(property, children);
    for (QtProperty *child : qAsConst(children))
        property->addSubProperty(child);
}

void QtCompositePropertyManager::uninitializeProperty(QtProperty *property)
{
    m_children.deleteChildren(property);
    m_values.remove(property);
}

void QtCompositePropertyManager::childValueChanged(QtProperty *child, double value)
{
    int index = 0;
    if (QtProperty *parent = m_children.parentOf(child, &index)) {
        QVector<double> parts = components(parent);
        parts[index] = value;
        setComponents(parent, parts);
    }
}
