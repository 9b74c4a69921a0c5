#ifndef QTSPINBOXFACTORY_H
#define QTSPINBOXFACTORY_H

#include "propertybrowser/QtAbstractEditorFactory.h"
#include "propertybrowser/QtIntPropertyManager.h"

class QSpinBox;

// Spin boxes for integer properties, with the property's range and step.
class QtSpinBoxFactory : public QtAbstractEditorFactory<QtIntPropertyManager>
{
    Q_OBJECT
public:
    explicit QtSpinBoxFactory(QObject *parent = nullptr);

protected:
    void connectPropertyManager(QtIntPropertyManager *manager) override;
    QWidget *createManagerEditor(QtIntPropertyManager *manager, QtProperty *property, QWidget *parent) override;

private:
    static void fill(QtIntPropertyManager *manager, QtProperty *property, QSpinBox *editor);
    void refresh(QtProperty *property);
};

#endif // QTSPINBOXFACTORY_H
