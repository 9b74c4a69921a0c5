#ifndef QTENUMPROPERTYMANAGER_H
#define QTENUMPROPERTYMANAGER_H

#include "propertybrowser/QtAbstractPropertyManager.h"

#include <QMap>
#include <QStringList>

// Choice properties: the value is an index into the property's list of
// names, -1 while the list is empty.
class QtEnumPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT
public:
    explicit QtEnumPropertyManager(QObject *parent = nullptr);
    ~QtEnumPropertyManager() override;

    int value(const QtProperty *property) const;
    QStringList enumNames(const QtProperty *property) const;

public slots:
    // An index past the end, below -1, or -1 while there are names, is
    // ignored: the old index stays.
    void setValue(QtProperty *property, int value);
    // A list different from the old one resets the index to 0 (-1 when
    // empty) and emits valueChanged even if the index number stays.
    void setEnumNames(QtProperty *property, const QStringList &names);

signals:
    void valueChanged(QtProperty *property, int value);
    void enumNamesChanged(QtProperty *property, const QStringList &names);

protected:
    QString valueText(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

private:
    struct Data
    {
        int value = -1;
        QStringList names;
    };
    QMap<const QtProperty *, Data> m_values;
};

#endif // QTENUMPROPERTYMANAGER_H
