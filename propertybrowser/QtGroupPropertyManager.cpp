#include "propertybrowser/QtGroupPropertyManager.h"

QtGroupPropertyManager::QtGroupPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtGroupPropertyManager::~QtGroupPropertyManager()
{
    clear();
}

bool QtGroupPropertyManager::hasValue(const QtProperty *) const
{
    return false;
}

void QtGroupPropertyManager::initializeProperty(QtProperty *)
{
}
