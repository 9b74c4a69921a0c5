#ifndef QTGROUPPROPERTYMANAGER_H
#define QTGROUPPROPERTYMANAGER_H

#include "propertybrowser/QtAbstractPropertyManager.h"

// Properties without a value that only gather sub-properties.
class QtGroupPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtGroupPropertyManager(QObject *parent = nullptr);
    ~QtGroupPropertyManager() override;

protected:
    bool hasValue(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
};

#endif // QTGROUPPROPERTYMANAGER_H
