#include "propertybrowser/QtDoubleSpinBoxFactory.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

#include <QDoubleSpinBox>

QtDoubleSpinBoxFactory::QtDoubleSpinBoxFactory(QObject *parent)
    : QtAbstractEditorFactory<QtDoublePropertyManager>(parent)
{
}

void QtDoubleSpinBoxFactory::connectPropertyManager(QtDoublePropertyManager *manager)
{
    connect(manager, &QtDoublePropertyManager::valueChanged, this, &QtDoubleSpinBoxFactory::refresh);
    connect(manager, &QtDoublePropertyManager::rangeChanged, this, &QtDoubleSpinBoxFactory::refresh);
    connect(manager, &QtDoublePropertyManager::singleStepChanged, this, &QtDoubleSpinBoxFactory::refresh);
    connect(manager, &QtDoublePropertyManager::decimalsChanged, this, &QtDoubleSpinBoxFactory::refresh);
}

QWidget *QtDoubleSpinBoxFactory::createManagerEditor(QtDoublePropertyManager *manager, QtProperty *property, QWidget *parent)
{
    QDoubleSpinBox *editor = QtPropertyBrowserUtils::createDoubleSpinBox(parent);
    fill(manager, property, editor);
    connect(editor, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            [this, editor](double value) { commit(editor, value); });
    return editor;
}

void QtDoubleSpinBoxFactory::fill(QtDoublePropertyManager *manager, QtProperty *property, QDoubleSpinBox *editor)
{
    QtPropertyBrowserUtils::setDoubleSpinBox(editor, manager->value(property), manager->minimum(property),
                                             manager->maximum(property), manager->singleStep(property),
                                             manager->decimals(property));
}

void QtDoubleSpinBoxFactory::refresh(QtProperty *property)
{
    updateEditors<QDoubleSpinBox>(property, &QtDoubleSpinBoxFactory::fill);
}
