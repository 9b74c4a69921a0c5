#ifndef QTCHECKBOXFACTORY_H
#define QTCHECKBOXFACTORY_H

#include "propertybrowser/QtAbstractEditorFactory.h"
#include "propertybrowser/QtBoolPropertyManager.h"

class QCheckBox;

// Check boxes for boolean properties.
class QtCheckBoxFactory : public QtAbstractEditorFactory<QtBoolPropertyManager>
{
    Q_OBJECT
public:
    explicit QtCheckBoxFactory(QObject *parent = nullptr);

protected:
    void connectPropertyManager(QtBoolPropertyManager *manager) override;
    QWidget *createManagerEditor(QtBoolPropertyManager *manager, QtProperty *property, QWidget *parent) override;

private:
    static void fill(QtBoolPropertyManager *manager, QtProperty *property, QCheckBox *editor);
    void refresh(QtProperty *property);
};

#endif // QTCHECKBOXFACTORY_H
