#ifndef QTSTRINGPROPERTYMANAGER_H
#define QTSTRINGPROPERTYMANAGER_H

#include "propertybrowser/QtAbstractPropertyManager.h"

#include <QMap>

// Text properties, empty when created.
class QtStringPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtStringPropertyManager(QObject *parent = nullptr);
    ~QtStringPropertyManager() override;

    QString value(const QtProperty *property) const;

public slots:
    void setValue(QtProperty *property, const QString &value);

signals:
    void valueChanged(QtProperty *property, const QString &value);

protected:
    QString valueText(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

private:
    QMap<const QtProperty *, QString> m_values;
};

#endif // QTSTRINGPROPERTYMANAGER_H
