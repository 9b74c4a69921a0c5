#include "propertybrowser/QtRectFPropertyManager.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

QtRectFPropertyManager::QtRectFPropertyManager(QObject *parent)
    : QtCompositePropertyManager({tr("X"), tr("Y"), tr("Width"), tr("Height")}, parent)
{
}

QtRectFPropertyManager::~QtRectFPropertyManager()
{
    clear();
}

QRectF QtRectFPropertyManager::value(const QtProperty *property) const
{
    return QtPropertyBrowserUtils::rectFromComponents(components(property));
}

void QtRectFPropertyManager::setValue(QtProperty *property, const QRectF &value)
{
    setComponents(property, QtPropertyBrowserUtils::components(value));
}

QString QtRectFPropertyManager::componentsText(const QVector<double> &components) const
{
    return QtPropertyBrowserUtils::rectText(QtPropertyBrowserUtils::rectFromComponents(components), 2);
}

void QtRectFPropertyManager::emitValueChanged(QtProperty *property)
{
    emit valueChanged(property, value(property));
}
