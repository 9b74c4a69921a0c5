#ifndef QTDOUBLESPINBOXFACTORY_H
#define QTDOUBLESPINBOXFACTORY_H

#include "propertybrowser/QtAbstractEditorFactory.h"
#include "propertybrowser/QtDoublePropertyManager.h"

class QDoubleSpinBox;

// Spin boxes for real properties, with the property's range, step and decimals.
class QtDoubleSpinBoxFactory : public QtAbstractEditorFactory<QtDoublePropertyManager>
{
    Q_OBJECT
public:
    explicit QtDoubleSpinBoxFactory(QObject *parent = nullptr);

protected:
    void connectPropertyManager(QtDoublePropertyManager *manager) override;
    QWidget *createManagerEditor(QtDoublePropertyManager *manager, QtProperty *property, QWidget *parent) override;

private:
    static void fill(QtDoublePropertyManager *manager, QtProperty *property, QDoubleSpinBox *editor);
    void refresh(QtProperty *property);
};

#endif // QTDOUBLESPINBOXFACTORY_H
