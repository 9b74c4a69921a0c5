#include "propertybrowser/QtDoublePropertyManager.h"

#include <QLocale>

QtDoublePropertyManager::QtDoublePropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtDoublePropertyManager::~QtDoublePropertyManager()
{
    clear();
}

double QtDoublePropertyManager::value(const QtProperty *property) const
{
    return m_values.value(property).value;
}

double QtDoublePropertyManager::minimum(const QtProperty *property) const
{
    return m_values.value(property).minimum;
}

double QtDoublePropertyManager::maximum(const QtProperty *property) const
{
    return m_values.value(property).maximum;
}

double QtDoublePropertyManager::singleStep(const QtProperty *property) const
{
    return m_values.value(property).singleStep;
}

int QtDoublePropertyManager::decimals(const QtProperty *property) const
{
    return m_values.value(property).decimals;
}

void QtDoublePropertyManager::setValue(QtProperty *property, double value)
{
    const auto it = m_values.find(property);
    if (it == m_values.end() || !it->setValue(value))
        return;
    value = it->value;
    emit propertyChanged(property);
    emit valueChanged(property, value);
}

void QtDoublePropertyManager::setMinimum(QtProperty *property, double minimum)
{
    setRange(property, minimum, qMax(minimum, maximum(property)));
}

void QtDoublePropertyManager::setMaximum(QtProperty *property, double maximum)
{
    setRange(property, qMin(minimum(property), maximum), maximum);
}

void QtDoublePropertyManager::setRange(QtProperty *property, double minimum, double maximum)
{
    const auto it = m_values.find(property);
    if (it == m_values.end())
        return;
    const double old = it->value;
    if (!it->setRange(minimum, maximum))
        return;
    const Data data = *it;
    emit rangeChanged(property, data.minimum, data.maximum);
    if (data.value != old) {
        emit propertyChanged(property);
        emit valueChanged(property, data.value);
    }
}

void QtDoublePropertyManager::setSingleStep(QtProperty *property, double step)
{
    const auto it = m_values.find(property);
    if (it == m_values.end() || step <= 0 || it->singleStep == step)
        return;
    it->singleStep = step;
    emit singleStepChanged(property, step);
}

void QtDoublePropertyManager::setDecimals(QtProperty *property, int decimals)
{
    const auto it = m_values.find(property);
    decimals = qBound(0, decimals, 13);
    if (it == m_values.end() || it->decimals == decimals)
        return;
    it->decimals = decimals;
    emit propertyChanged(property);
    emit decimalsChanged(property, decimals);
}

QString QtDoublePropertyManager::valueText(const QtProperty *property) const
{
    const auto it = m_values.constFind(property);
    return it == m_values.constEnd() ? QString() : QLocale().toString(it->value, 'f', it->decimals);
}

void QtDoublePropertyManager::initializeProperty(QtProperty *property)
{
    m_values.insert(property, Data());
}

void QtDoublePropertyManager::uninitializeProperty(QtProperty *property)
{
    m_values.remove(property);
}
