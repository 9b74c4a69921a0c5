#ifndef QTLINEEDITFACTORY_H
#define QTLINEEDITFACTORY_H

#include "propertybrowser/QtAbstractEditorFactory.h"
#include "propertybrowser/QtStringPropertyManager.h"

class QLineEdit;

// Line edits for text properties; the text is taken when the user finishes
// the edit (Enter or focus out).
class QtLineEditFactory : public QtAbstractEditorFactory<QtStringPropertyManager>
{
    Q_OBJECT
public:
    explicit QtLineEditFactory(QObject *parent = nullptr);

protected:
    void connectPropertyManager(QtStringPropertyManager *manager) override;
    QWidget *createManagerEditor(QtStringPropertyManager *manager, QtProperty *property, QWidget *parent) override;

private:
    static void fill(QtStringPropertyManager *manager, QtProperty *property, QLineEdit *editor);
    void refresh(QtProperty *property);
};

#endif // QTLINEEDITFACTORY_H
