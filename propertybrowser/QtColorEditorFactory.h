#ifndef QTCOLOREDITORFACTORY_H
#define QTCOLOREDITORFACTORY_H

#include "propertybrowser/QtAbstractEditorFactory.h"
#include "propertybrowser/QtColorPropertyManager.h"

class QtColorEditWidget;

// QtColorEditWidget editors for colour properties.
class QtColorEditorFactory : public QtAbstractEditorFactory<QtColorPropertyManager>
{
    Q_OBJECT
public:
    explicit QtColorEditorFactory(QObject *parent = nullptr);

protected:
    void connectPropertyManager(QtColorPropertyManager *manager) override;
    QWidget *createManagerEditor(QtColorPropertyManager *manager, QtProperty *property, QWidget *parent) override;

private:
    static void fill(QtColorPropertyManager *manager, QtProperty *property, QtColorEditWidget *editor);
    void refresh(QtProperty *property);
};

#endif // QTCOLOREDITORFACTORY_H
