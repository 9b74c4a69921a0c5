#include "propertybrowser/QtPointFPropertyManager.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

QtPointFPropertyManager::QtPointFPropertyManager(QObject *parent)
    : QtCompositePropertyManager({tr("X"), tr("Y")}, parent)
{
}

QtPointFPropertyManager::~QtPointFPropertyManager()
{
    clear();
}

QPointF QtPointFPropertyManager::value(const QtProperty *property) const
{
    return QtPropertyBrowserUtils::pointFromComponents(components(property));
}

void QtPointFPropertyManager::setValue(QtProperty *property, const QPointF &value)
{
    setComponents(property, QtPropertyBrowserUtils::components(value));
}

QString QtPointFPropertyManager::componentsText(const QVector<double> &components) const
{
    return QtPropertyBrowserUtils::pointText(QtPropertyBrowserUtils::pointFromComponents(components), 2);
}

void QtPointFPropertyManager::emitValueChanged(QtProperty *property)
{
    emit valueChanged(property, value(property));
}
