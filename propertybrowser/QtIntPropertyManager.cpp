#include "propertybrowser/QtIntPropertyManager.h"

QtIntPropertyManager::QtIntPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtIntPropertyManager::~QtIntPropertyManager()
{
    clear();
}

int QtIntPropertyManager::value(const QtProperty *property) const
{
    return m_values.value(property).value;
}

int QtIntPropertyManager::minimum(const QtProperty *property) const
{
    return m_values.value(property).minimum;
}

int QtIntPropertyManager::maximum(const QtProperty *property) const
{
    return m_values.value(property).maximum;
}

int QtIntPropertyManager::singleStep(const QtProperty *property) const
{
    return m_values.value(property).singleStep;
}

void QtIntPropertyManager::setValue(QtProperty *property, int value)
{
    const auto it = m_values.find(property);
    if (it == m_values.end() || !it->setValue(value))
        return;
    value = it->value;
    emit propertyChanged(property);
    emit valueChanged(property, value);
}

void QtIntPropertyManager::setMinimum(QtProperty *property, int minimum)
{
    setRange(property, minimum, qMax(minimum, maximum(property)));
}

void QtIntPropertyManager::setMaximum(QtProperty *property, int maximum)
{
    setRange(property, qMin(minimum(property), maximum), maximum);
}

void QtIntPropertyManager::setRange(QtProperty *property, int minimum, int maximum)
{
    const auto it = m_values.find(property);
    if (it == m_values.end())
        return;
    const int old = it->value;
    if (!it->setRange(minimum, maximum))
        return;
    const QtNumberRange<int> data = *it;
    emit rangeChanged(property, data.minimum, data.maximum);
    if (data.value != old) {
        emit propertyChanged(property);
        emit valueChanged(property, data.value);
    }
}

void QtIntPropertyManager::setSingleStep(QtProperty *property, int step)
{
    const auto it = m_values.find(property);
    if (it == m_values.end() || step <= 0 || it->singleStep == step)
        return;
    it->singleStep = step;
    emit singleStepChanged(property, step);
}

QString QtIntPropertyManager::valueText(const QtProperty *property) const
{
    const auto it = m_values.constFind(property);
    return it == m_values.constEnd() ? QString() : QString::number(it->value);
}

void QtIntPropertyManager::initializeProperty(QtProperty *property)
{
    m_values.insert(property, QtNumberRange<int>());
}

void QtIntPropertyManager::uninitializeProperty(QtProperty *property)
{
    m_values.remove(property);
}
