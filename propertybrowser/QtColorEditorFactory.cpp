#include "propertybrowser/QtColorEditorFactory.h"

#include "propertybrowser/QtColorEditWidget.h"

QtColorEditorFactory::QtColorEditorFactory(QObject *parent)
    : QtAbstractEditorFactory<QtColorPropertyManager>(parent)
{
}

void QtColorEditorFactory::connectPropertyManager(QtColorPropertyManager *manager)
{
    connect(manager, &QtColorPropertyManager::valueChanged, this, &QtColorEditorFactory::refresh);
}

QWidget *QtColorEditorFactory::createManagerEditor(QtColorPropertyManager *manager, QtProperty *property,
                                                   QWidget *parent)
{
    auto *editor = new QtColorEditWidget(parent);
    fill(manager, property, editor);
    connect(editor, &QtColorEditWidget::valueChanged, this,
            [this, editor](const QColor &color) { commit(editor, color); });
    return editor;
}

void QtColorEditorFactory::fill(QtColorPropertyManager *manager, QtProperty *property, QtColorEditWidget *editor)
{
    editor->setValue(manager->value(property));
}

void QtColorEditorFactory::refresh(QtProperty *property)
{
    updateEditors<QtColorEditWidget>(property, &QtColorEditorFactory::fill);
}
