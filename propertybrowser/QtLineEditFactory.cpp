#include "propertybrowser/QtLineEditFactory.h"

#include "propertybrowser/QtPropertyBrowserUtils.h"

#include <QLineEdit>

QtLineEditFactory::QtLineEditFactory(QObject *parent)
    : QtAbstractEditorFactory<QtStringPropertyManager>(parent)
{
}

void QtLineEditFactory::connectPropertyManager(QtStringPropertyManager *manager)
{
    connect(manager, &QtStringPropertyManager::valueChanged, this, &QtLineEditFactory::refresh);
}

QWidget *QtLineEditFactory::createManagerEditor(QtStringPropertyManager *manager, QtProperty *property,
                                                QWidget *parent)
{
    auto *editor = new QLineEdit(parent);
    fill(manager, property, editor);
    connect(editor, &QLineEdit::editingFinished, this, [this, editor] { commit(editor, editor->text()); });
    return editor;
}

void QtLineEditFactory::fill(QtStringPropertyManager *manager, QtProperty *property, QLineEdit *editor)
{
    QtPropertyBrowserUtils::setLineEdit(editor, manager->value(property));
}

void QtLineEditFactory::refresh(QtProperty *property)
{
    updateEditors<QLineEdit>(property, &QtLineEditFactory::fill);
}
