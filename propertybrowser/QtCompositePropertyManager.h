#ifndef QTCOMPOSITEPROPERTYMANAGER_H
#define QTCOMPOSITEPROPERTYMANAGER_H

#include "propertybrowser/QtAbstractPropertyManager.h"
#include "propertybrowser/QtChildPropertyMap.h"

#include <QMap>
#include <QStringList>
#include <QVector>

class QtDoublePropertyManager;

// Base of the managers whose values are a few real components (a point, a
// rectangle), each edited by a sub-property of subDoublePropertyManager().
// Editing a child sets the whole value: the parent emits once.
class QtCompositePropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    ~QtCompositePropertyManager() override;

    QtDoublePropertyManager *subDoublePropertyManager() const { return m_doubleManager; }

protected:
    QtCompositePropertyManager(const QStringList &childNames, QObject *parent);

    QVector<double> components(const QtProperty *property) const;
    void setComponents(QtProperty *property, const QVector<double> &components);
    // Emits the subclass's typed valueChanged with the property's value.
    virtual void emitValueChanged(QtProperty *property) = 0;
    virtual QString componentsText(const QVector<double> &components) const = 0;

    QString valueText(const QtProperty *property) const override;

    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

private:
    void childValueChanged(QtProperty *child, double value);

    QStringList m_childNames;
    QtDoublePropertyManager *m_doubleManager;
    QMap<const QtProperty *, QVector<double>> m_values;
    QtChildPropertyMap m_children;
};

#endif // QTCOMPOSITEPROPERTYMANAGER_H
