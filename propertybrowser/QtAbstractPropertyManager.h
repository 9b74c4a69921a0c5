#ifndef QTABSTRACTPROPERTYMANAGER_H
#define QTABSTRACTPROPERTYMANAGER_H

#include "propertybrowser/QtProperty.h"

#include <QMap>
#include <QObject>
#include <QSet>
#include <QVector>

// Creates properties and holds their values. Deleting the manager deletes
// every property it created. Every concrete manager calls clear() in its own
// destructor, while its value tables still exist.
class QtAbstractPropertyManager : public QObject
{
    Q_OBJECT
public:
    explicit QtAbstractPropertyManager(QObject *parent = nullptr);
    ~QtAbstractPropertyManager() override;

    QSet<QtProperty *> properties() const;
    // Deletes every property of the manager.
    void clear();
    QtProperty *addProperty(const QString &name = QString());
    // Makes room for that many properties in all, to be added without
    // growing by steps.
    void reserve(int count);

signals:
    // Emitted by the manager of the parent property.
    void propertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after);
    void propertyChanged(QtProperty *property);
    // Emitted by the manager of the parent property.
    void propertyRemoved(QtProperty *property, QtProperty *parent);
    // Emitted while the property is still whole, before its value goes.
    void propertyDestroyed(QtProperty *property);

protected:
    virtual bool hasValue(const QtProperty *property) const;
    virtual QString valueText(const QtProperty *property) const;
    virtual void initializeProperty(QtProperty *property) = 0;
    virtual void uninitializeProperty(QtProperty *property);
    virtual QtProperty *createProperty();

    // Stores a new value of a property in a manager's value table; false when
    // the property is not in the table or already holds the value.
    template <class T>
    static bool storeValue(QMap<const QtProperty *, T> &values, const QtProperty *property, const T &value)
    {
        const auto it = values.find(property);
        if (it == values.end() || it.value() == value)
            return false;
        it.value() = value;
        return true;
    }

private:
    friend class QtProperty;
    void forgetProperty(QtProperty *property);

    // Every live property, each knowing its place: a manager of a hundred
    // thousand properties keeps a word for each.
    QVector<QtProperty *> m_properties;
    // While clear() deletes: the one it deletes, and the others that go
    // with it (a point's children, ...), which it must not delete again.
    const QtProperty *m_deleting = nullptr;
    QSet<const QtProperty *> *m_goneAlong = nullptr;
};

#endif // QTABSTRACTPROPERTYMANAGER_H
