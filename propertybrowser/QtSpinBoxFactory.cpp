#include "propertybrowser/QtSpinBoxFactory.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

#include <QSpinBox>

QtSpinBoxFactory::QtSpinBoxFactory(QObject *parent)
    : QtAbstractEditorFactory<QtIntPropertyManager>(parent)
{
}

void QtSpinBoxFactory::connectPropertyManager(QtIntPropertyManager *manager)
{
    connect(manager, &QtIntPropertyManager::valueChanged, this, &QtSpinBoxFactory::refresh);
    connect(manager, &QtIntPropertyManager::rangeChanged, this, &QtSpinBoxFactory::refresh);
    connect(manager, &QtIntPropertyManager::singleStepChanged, this, &QtSpinBoxFactory::refresh);
}

QWidget *QtSpinBoxFactory::createManagerEditor(QtIntPropertyManager *manager, QtProperty *property, QWidget *parent)
{
    QSpinBox *editor = QtPropertyBrowserUtils::createSpinBox(parent);
    fill(manager, property, editor);
    connect(editor, qOverload<int>(&QSpinBox::valueChanged), this,
            [this, editor](int value) { commit(editor, value); });
    return editor;
}

void QtSpinBoxFactory::fill(QtIntPropertyManager *manager, QtProperty *property, QSpinBox *editor)
{
    QtPropertyBrowserUtils::setSpinBox(editor, manager->value(property), manager->minimum(property),
                                       manager->maximum(property), manager->singleStep(property));
}

void QtSpinBoxFactory::refresh(QtProperty *property)
{
    updateEditors<QSpinBox>(property, &QtSpinBoxFactory::fill);
}
