#include "propertybrowser/QtVariantEditorFactory.h"

#include "propertybrowser/QtColorEditWidget.h"
#include "propertybrowser/QtPropertyBrowserUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

QtVariantEditorFactory::QtVariantEditorFactory(QObject *parent)
    : QtAbstractEditorFactory<QtVariantPropertyManager>(parent)
{
}

void QtVariantEditorFactory::connectPropertyManager(QtVariantPropertyManager *manager)
{
    connect(manager, &QtVariantPropertyManager::valueChanged, this, &QtVariantEditorFactory::refresh);
    connect(manager, &QtVariantPropertyManager::attributeChanged, this, &QtVariantEditorFactory::refresh);
}

template <class Editor, class Signal>
Editor *QtVariantEditorFactory::wire(Editor *editor, Signal signal)
{
    connect(editor, signal, this, [this, editor](const auto &value) { commit(editor, QVariant(value)); });
    return editor;
}

QWidget *QtVariantEditorFactory::createManagerEditor(QtVariantPropertyManager *manager, QtProperty *property,
                                                     QWidget *parent)
{
    QWidget *editor = nullptr;
    switch (manager->propertyType(property)) {
    case QVariant::Int:
        editor = wire(QtPropertyBrowserUtils::createSpinBox(parent), qOverload<int>(&QSpinBox::valueChanged));
        break;
    case QVariant::Double:
        editor = wire(QtPropertyBrowserUtils::createDoubleSpinBox(parent),
                      qOverload<double>(&QDoubleSpinBox::valueChanged));
        break;
    case QVariant::Bool:
        editor = wire(new QCheckBox(parent), &QCheckBox::toggled);
        break;
    case QVariant::String: {
        auto *lineEdit = new QLineEdit(parent);
        connect(lineEdit, &QLineEdit::editingFinished, this,
                [this, lineEdit] { commit(lineEdit, QVariant(lineEdit->text())); });
        editor = lineEdit;
        break;
    }
    case QVariant::Color:
        editor = wire(new QtColorEditWidget(parent), &QtColorEditWidget::valueChanged);
        break;
    default:
        if (manager->propertyType(property) == QtVariantPropertyManager::enumTypeId())
            editor = wire(new QComboBox(parent), qOverload<int>(&QComboBox::currentIndexChanged));
        break;
    }
    if (editor)
        fill(manager, property, editor);
    return editor;
}

void QtVariantEditorFactory::fill(QtVariantPropertyManager *manager, QtProperty *property, QWidget *editor)
{
    const QVariant value = manager->value(property);
    const auto attribute = [&](const char *name) { return manager->attributeValue(property, QLatin1String(name)); };
    if (auto *spinBox = qobject_cast<QSpinBox *>(editor)) {
        QtPropertyBrowserUtils::setSpinBox(spinBox, value.toInt(), attribute("minimum").toInt(),
                                           attribute("maximum").toInt(), attribute("singleStep").toInt());
    } else if (auto *doubleSpinBox = qobject_cast<QDoubleSpinBox *>(editor)) {
        QtPropertyBrowserUtils::setDoubleSpinBox(doubleSpinBox, value.toDouble(), attribute("minimum").toDouble(),
                                                 attribute("maximum").toDouble(),
                                                 attribute("singleStep").toDouble(), attribute("decimals").toInt());
    } else if (auto *checkBox = qobject_cast<QCheckBox *>(editor)) {
        QtPropertyBrowserUtils::setCheckBox(checkBox, value.toBool());
    } else if (auto *lineEdit = qobject_cast<QLineEdit *>(editor)) {
        QtPropertyBrowserUtils::setLineEdit(lineEdit, value.toString());
    } else if (auto *comboBox = qobject_cast<QComboBox *>(editor)) {
        QtPropertyBrowserUtils::setComboBox(comboBox, attribute("enumNames").toStringList(), value.toInt());
    } else if (auto *colorEdit = qobject_cast<QtColorEditWidget *>(editor)) {
        colorEdit->setValue(value.value<QColor>());
    }
}

void QtVariantEditorFactory::refresh(QtProperty *property)
{
    updateEditors<QWidget>(property, &QtVariantEditorFactory::fill);
}
