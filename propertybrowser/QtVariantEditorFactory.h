#ifndef QTVARIANTEDITORFACTORY_H
#define QTVARIANTEDITORFACTORY_H

#include "propertybrowser/QtAbstractEditorFactory.h"
#include "propertybrowser/QtVariantPropertyManager.h"

// Editors for variant properties, by type: spin boxes (Int, Double) with
// the property's range, step and decimals, a check box (Bool), a line edit
// (String), a combo box (enumeration) and a QtColorEditWidget (Color). A
// point has no editor of its own; its "X" and "Y" children have.
class QtVariantEditorFactory : public QtAbstractEditorFactory<QtVariantPropertyManager>
{
    Q_OBJECT
public:
    explicit QtVariantEditorFactory(QObject *parent = nullptr);

protected:
    void connectPropertyManager(QtVariantPropertyManager *manager) override;
    QWidget *createManagerEditor(QtVariantPropertyManager *manager, QtProperty *property, QWidget *parent) override;

private:
    static void fill(QtVariantPropertyManager *manager, QtProperty *property, QWidget *editor);
    void refresh(QtProperty *property);
    // Wires an editor's change signal back to the property.
    template <class Editor, class Signal>
    Editor *wire(Editor *editor, Signal signal);
};

#endif // QTVARIANTEDITORFACTORY_H
