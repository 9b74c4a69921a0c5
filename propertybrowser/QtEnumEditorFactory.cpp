#include "propertybrowser/QtEnumEditorFactory.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

#include <QComboBox>

QtEnumEditorFactory::QtEnumEditorFactory(QObject *parent)
    : QtAbstractEditorFactory<QtEnumPropertyManager>(parent)
{
}

void QtEnumEditorFactory::connectPropertyManager(QtEnumPropertyManager *manager)
{
    connect(manager, &QtEnumPropertyManager::valueChanged, this, &QtEnumEditorFactory::refresh);
    connect(manager, &QtEnumPropertyManager::enumNamesChanged, this, &QtEnumEditorFactory::refresh);
}

QWidget *QtEnumEditorFactory::createManagerEditor(QtEnumPropertyManager *manager, QtProperty *property,
                                                  QWidget *parent)
{
    auto *editor = new QComboBox(parent);
    fill(manager, property, editor);
    connect(editor, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this, editor](int index) { commit(editor, index); });
    return editor;
}

void QtEnumEditorFactory::fill(QtEnumPropertyManager *manager, QtProperty *property, QComboBox *editor)
{
    QtPropertyBrowserUtils::setComboBox(editor, manager->enumNames(property), manager->value(property));
}

void QtEnumEditorFactory::refresh(QtProperty *property)
{
    updateEditors<QComboBox>(property, &QtEnumEditorFactory::fill);
}
