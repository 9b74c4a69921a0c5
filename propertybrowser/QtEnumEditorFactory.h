#ifndef QTENUMEDITORFACTORY_H
#define QTENUMEDITORFACTORY_H

#include "propertybrowser/QtAbstractEditorFactory.h"
#include "propertybrowser/QtEnumPropertyManager.h"

class QComboBox;

// Combo boxes for choice properties.
class QtEnumEditorFactory : public QtAbstractEditorFactory<QtEnumPropertyManager>
{
    Q_OBJECT
public:
    explicit QtEnumEditorFactory(QObject *parent = nullptr);

protected:
    void connectPropertyManager(QtEnumPropertyManager *manager) override;
    QWidget *createManagerEditor(QtEnumPropertyManager *manager, QtProperty *property, QWidget *parent) override;

private:
    static void fill(QtEnumPropertyManager *manager, QtProperty *property, QComboBox *editor);
    void refresh(QtProperty *property);
};

#endif // QTENUMEDITORFACTORY_H
