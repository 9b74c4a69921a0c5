#include "propertybrowser/QtCheckBoxFactory.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

#include <QCheckBox>

QtCheckBoxFactory::QtCheckBoxFactory(QObject *parent)
    : QtAbstractEditorFactory<QtBoolPropertyManager>(parent)
{
}

void QtCheckBoxFactory::connectPropertyManager(QtBoolPropertyManager *manager)
{
    connect(manager, &QtBoolPropertyManager::valueChanged, this, &QtCheckBoxFactory::refresh);
}

QWidget *QtCheckBoxFactory::createManagerEditor(QtBoolPropertyManager *manager, QtProperty *property,
                                                QWidget *parent)
{
    auto *editor = new QCheckBox(parent);
    fill(manager, property, editor);
    connect(editor, &QCheckBox::toggled, this, [this, editor](bool checked) { commit(editor, checked); });
    return editor;
}

void QtCheckBoxFactory::fill(QtBoolPropertyManager *manager, QtProperty *property, QCheckBox *editor)
{
    QtPropertyBrowserUtils::setCheckBox(editor, manager->value(property));
}

void QtCheckBoxFactory::refresh(QtProperty *property)
{
    updateEditors<QCheckBox>(property, &QtCheckBoxFactory::fill);
}
