#ifndef QTBOOLPROPERTYMANAGER_H
#define QTBOOLPROPERTYMANAGER_H

#include "propertybrowser/QtAbstractPropertyManager.h"

#include <QMap>

// Boolean properties, false when created.
class QtBoolPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtBoolPropertyManager(QObject *parent = nullptr);
    ~QtBoolPropertyManager() override;

    bool value(const QtProperty *property) const;

public slots:
    void setValue(QtProperty *property, bool value);

signals:
    void valueChanged(QtProperty *property, bool value);

protected:
    QString valueText(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

private:
    QMap<const QtProperty *, bool> m_values;
};

#endif // QTBOOLPROPERTYMANAGER_H
